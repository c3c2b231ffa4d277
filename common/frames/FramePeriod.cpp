#include "frames/FramePeriod.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxframes {

int64_t FramePeriodNs(uint32_t frameRateCode)
{
    if (frameRateCode >= FR_MAX)
        return 0;
    const unsigned hz = CFrameRateCfg(&frameRateCode).EffectiveRate();
    return hz == 0 ? 0 : 1000000000LL / hz;
}

int64_t ReadFramePeriodNs(void* ctx, void* dev)
{
    _FRAMERATE_CONFIG rate{};
    if (sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &rate) != E_SX_SUCCESS)
        return 0;
    return FramePeriodNs(rate.frame_rate);
}

} // namespace sxframes
