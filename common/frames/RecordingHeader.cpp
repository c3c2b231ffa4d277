#include "frames/RecordingHeader.h"

#include <SXCmdIF/SXCmdIF.h>

#include <chrono>

namespace sxframes {

int ReadRecordingHeader(void* ctx, void* dev, sxrec::RecordingHeader& h)
{
    void* identity = nullptr;
    int seuid = 0;
    int rc = sxdev_info(ctx, dev, &identity, &seuid);
    if (rc == E_SX_SUCCESS) {
        h.identity = *static_cast<_WHOAMI_STRUCT*>(identity);
        h.seuid = static_cast<uint32_t>(seuid);
    }
    _FRAMERATE_CONFIG rate{};
    _STATION_MAP map{};
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &h.units);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &rate);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_stationmap(ctx, dev, &map);
    h.frameRateCode = rate.frame_rate;
    h.stationMap = map.map;
    using namespace std::chrono;
    h.startMonotonicNs =
        static_cast<uint64_t>(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
    h.startTimeNs = static_cast<uint64_t>(duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
    return rc;
}

} // namespace sxframes
