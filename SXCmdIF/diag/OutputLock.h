// Locks of the debug output stage. Taken innermost, in this order:
// output lock (BxDebug's shared format buffer), then the sink lock of the
// transports' debug module (standard output or the application's receiver
// of trace lines, iodbg::BxDebug::Write), then log lock (every CLogFile's
// stream).
#pragma once

#include <mutex>

namespace sxdiag {

std::mutex& OutputLock();
std::mutex& LogLock();

} // namespace sxdiag
