#include <platform/LocalTime.h>

namespace sxplat {

bool LocalTimeNow(std::tm& out)
{
    const std::time_t now = std::time(nullptr);
    return localtime_s(&out, &now) == 0;
}

} // namespace sxplat
