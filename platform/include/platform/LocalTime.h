// The local date and time.
#pragma once

#include <ctime>

namespace sxplat {

// The local time now; false when the system cannot give it.
bool LocalTimeNow(std::tm& out);

} // namespace sxplat
