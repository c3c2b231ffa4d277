// info, block, persist and single: the whole unit at a glance.
#include "Commands.h"

#include "ExitCodes.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>

namespace sxtool {

namespace {

int Failed(const char* what, int rc)
{
    Complain(texts::kCommandFailed, what, ErrorText(rc));
    return kExitFailed;
}

// Reads every item of the block with its own GET: the catalogue refuses a
// GET of the block itself.
int ReadBlock(void* ctx, void* dev, CBlockCfg& block)
{
    _BLOCK_CONFIG& b = block.cfg;
    struct Step {
        const char* what;
        int rc;
    };
    const Step unit[] = {
        {"GET framerate", sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, reinterpret_cast<_FRAMERATE_CONFIG*>(&b.frameRate))},
        {"GET units", sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &b.units)},
        {"GET sync", sxcmd_dev_syncmode(ctx, dev, CMD_ACTION_GET, reinterpret_cast<_BINARY_CONFIG*>(&b.syncMode))},
        {"GET stationmap", sxcmd_dev_stationmap(ctx, dev, &b.stationMap)},
        {"GET stylus", sxcmd_dev_stylusmode(ctx, dev, CMD_ACTION_GET, reinterpret_cast<_STYLUS_CONFIG*>(&b.stylusMode))},
        {"GET seuid", sxcmd_dev_id(ctx, dev, CMD_ACTION_GET, reinterpret_cast<_SEUID_CONFIG*>(&b.seuID))},
        {"GET dualoutput",
         sxcmd_dev_dualoutput(ctx, dev, CMD_ACTION_GET, reinterpret_cast<_BINARY_CONFIG*>(&b.dualOutMode))},
        {"GET serial", sxcmd_dev_serialif(ctx, dev, CMD_ACTION_GET, &b.serial)},
    };
    for (const Step& s : unit)
        if (s.rc != E_SX_SUCCESS)
            return Failed(s.what, s.rc);
    for (int src = 0; src < 4; ++src) {
        if (!((b.stationMap.source_map >> src) & 1u))
            continue;
        const int rc = sxcmd_dev_sourcecfg(ctx, dev, src, CMD_ACTION_GET, &b.src[src]);
        if (rc != E_SX_SUCCESS)
            return Failed("GET sourcecfg", rc);
    }
    for (int n = 0; n < 16; ++n) {
        if (!((b.stationMap.sensor_map >> n) & 1u))
            continue;
        _SENSOR_CONFIG& s = b.sensor[n];
        const Step sensor[] = {
            {"GET hemisphere", sxcmd_sns_hemisphere(ctx, dev, n, CMD_ACTION_GET, &s.hemisphere)},
            {"GET filter --target pos", sxcmd_sns_filter(ctx, dev, n, CMD_ACTION_GET, &s.filterPos, FILTER_TRGT_POS)},
            {"GET filter --target ori", sxcmd_sns_filter(ctx, dev, n, CMD_ACTION_GET, &s.filterOri, FILTER_TRGT_ORI)},
            {"GET tipoffset", sxcmd_sns_tipoffset(ctx, dev, n, CMD_ACTION_GET, &s.tipoff)},
            {"GET increment", sxcmd_sns_increment(ctx, dev, n, CMD_ACTION_GET, &s.increment)},
            {"GET srcselect", sxcmd_sns_srcselect(ctx, dev, n, CMD_ACTION_GET, &s.srcSelect)},
            {"GET origin", sxcmd_sns_origin(ctx, dev, n, CMD_ACTION_GET, reinterpret_cast<_ENUM_CONFIG*>(&s.snsOrigin))},
            {"GET predfilter", sxcmd_sns_predfilterext(ctx, dev, n, CMD_ACTION_GET, &s.pfExt)},
        };
        for (const Step& st : sensor)
            if (st.rc != E_SX_SUCCESS)
                return Failed(st.what, st.rc);
    }
    return kExitOk;
}

} // namespace

int RunInfo(Session& s)
{
    const char* line = nullptr;
    int rc = sxdev_report(s.Ctx(), s.Dev(), &line);
    if (rc != E_SX_SUCCESS)
        return Failed("device report", rc);
    std::string text = texts::kDeviceHeading;
    text += line ? line : "";
    void* identity = nullptr;
    int seuid = 0;
    rc = sxdev_info(s.Ctx(), s.Dev(), &identity, &seuid);
    if (rc != E_SX_SUCCESS)
        return Failed("device identity", rc);
    CWhoAmI(static_cast<_WHOAMI_STRUCT*>(identity)).Report(text, true, false);
    PrintReport(text);
    for (const char* item : {"stationmap", "bit", "units", "framerate"}) {
        const int code = PrintItemNamed(s, item);
        if (code != kExitOk)
            return code;
    }
    return kExitOk;
}

int RunBlock(Session& s)
{
    CBlockCfg block;
    const int code = ReadBlock(s.Ctx(), s.Dev(), block);
    if (code != kExitOk)
        return code;
    std::string text;
    block.ReportSEU(text, true, false);
    block.ReportSensors(text, true, true, false);
    PrintReport(text);
    return kExitOk;
}

int RunPersist(Session& s)
{
    const int rc = sxcmd_dev_persist(s.Ctx(), s.Dev());
    if (rc != E_SX_SUCCESS)
        return Failed("persist", rc);
    PrintReport(texts::kPersisted);
    return kExitOk;
}

int RunSingle(Session& s, PnoFormat format)
{
    _sxFrameInfo answer{};
    const int rc = sxcmd_dev_singlepno(s.Ctx(), s.Dev(), answer, 0);
    if (rc != E_SX_SUCCESS)
        return Failed("single P&O", rc);
    CSXSeuPno pno;
    if (pno.Extractseupno(answer.pFrame, answer.frameLen) == 0)
        return Failed("single P&O", E_DEVIOERR_FRAME_HEADER);
    std::string text;
    PnoPrinter(format).Frame(pno, text);
    PrintReport(text);
    return kExitOk;
}

} // namespace sxtool
