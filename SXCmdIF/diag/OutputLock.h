// Locks of the debug output stage. Taken innermost, in this order:
// output lock (BxDebug's shared format buffer and standard output), then
// log lock (every CLogFile's stream).
#pragma once

#include <mutex>

namespace sxdiag {

std::mutex& OutputLock();
std::mutex& LogLock();

} // namespace sxdiag
