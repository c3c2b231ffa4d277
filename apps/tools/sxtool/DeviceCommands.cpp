// info, block, persist and single: the whole unit at a glance.
#include "Commands.h"

#include "ExitCodes.h"
#include "Json.h"
#include "Output.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "StopFlag.h"
#include "Texts.h"

#include <frames/FrameClock.h>
#include <items/ItemTable.h>
#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>
#include <vector>

namespace sxtool {

namespace {

int Failed(const char* what, int rc)
{
    Complain(texts::kCommandFailed, what, ErrorText(rc));
    return kExitFailed;
}

// One record read through the item table: the GET of an item at the unit,
// a sensor or a source, and its report in the units in force.
struct Read {
    const sxitems::Item* row = nullptr;
    alignas(8) unsigned char payload[sxitems::kMaxRecord] = {};
    uint32_t arg2 = 0;

    const sxitems::RecordDef& Record() const { return sxitems::Record(row->record); }
    int Get(void* ctx, void* dev, int sensor, int source)
    {
        if (sensor >= 0)
            return row->sensor(ctx, dev, sensor, CMD_ACTION_GET, payload, static_cast<int>(arg2));
        if (source >= 0)
            return row->source(ctx, dev, source, CMD_ACTION_GET, payload, static_cast<int>(arg2));
        return row->unit(ctx, dev, CMD_ACTION_GET, payload, static_cast<int>(arg2));
    }
    void Report(const _UNITS_CONFIG& units, std::string& text) const
    {
        sxitems::ReportContext rc;
        rc.units = units;
        if (row->arg2 == sxitems::Arg2::FilterTarget)
            rc.filterTarget = arg2;
        Record().report(payload, rc, true, false, text);
    }
};

// What a value is read in, named: "centimeters, euler degrees".
std::string UnitsNamed(const _UNITS_CONFIG& u)
{
    return std::string(CSXcmd::posunitsstr(u.pos_units, true, false)) + ", " +
           CSXcmd::oriunitsstr(u.ori_units, true, false);
}

// The station map's sensors or sources, in words: "0, 1, 2 and 3", "none".
std::string Listed(const std::vector<int>& v)
{
    if (v.empty())
        return "none";
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i > 0)
            out += i + 1 == v.size() ? " and " : ", ";
        out += std::to_string(v[i]);
    }
    return out;
}

struct Attached {
    std::vector<int> sensors, sources;
};

Attached FromMap(const _STATION_MAP& map)
{
    Attached a;
    CStationMap m(&map);
    m.SensorVec(a.sensors);
    m.SourceVec(a.sources);
    return a;
}

// The block's rows: unit items, then each source's and each sensor's, read
// item by item (the unit refuses a GET of the block itself).
// A record whose report does not name the units its values are in gets a
// line that does.
enum class UnitsLabel { None, Position, Both };
struct BlockRow {
    const char* item;
    uint32_t arg2;
    const char* key; // the JSON key
    UnitsLabel label;
};
constexpr BlockRow kUnitRows[] = {
    {"framerate", 0, "framerate", UnitsLabel::None},
    {"units", 0, "units", UnitsLabel::None},
    {"sync", 0, "sync", UnitsLabel::None},
    {"stationmap", 0, "stationmap", UnitsLabel::None},
    {"stylus", 0, "stylus", UnitsLabel::None},
    {"seuid", 0, "seuid", UnitsLabel::None},
    {"dualoutput", 0, "dualoutput", UnitsLabel::None},
    {"serial", 0, "serial", UnitsLabel::None},
};
constexpr BlockRow kSourceRows[] = {{"sourcecfg", 0, "sourcecfg", UnitsLabel::None}};
constexpr BlockRow kSensorRows[] = {
    {"hemisphere", 0, "hemisphere", UnitsLabel::None},
    {"filter", FILTER_TRGT_POS, "filter_pos", UnitsLabel::None},
    {"filter", FILTER_TRGT_ORI, "filter_ori", UnitsLabel::None},
    {"tipoffset", 0, "tipoffset", UnitsLabel::Position},
    {"increment", 0, "increment", UnitsLabel::Both},
    {"srcselect", 0, "srcselect", UnitsLabel::None},
    {"origin", 0, "origin", UnitsLabel::None},
    {"predfilterext", 0, "predfilterext", UnitsLabel::None},
};

// Reads and prints (or collects) a row; the exit code.
int BlockItem(Session& s, const BlockRow& r, int sensor, int source, const _UNITS_CONFIG& units, std::string& text,
              Json* json)
{
    Read read;
    read.row = sxitems::FindItem(r.item);
    read.arg2 = r.arg2;
    const int rc = read.Get(s.Ctx(), s.Dev(), sensor, source);
    if (rc != E_SX_SUCCESS) {
        const std::string what = std::string("GET ") + r.item;
        return Failed(what.c_str(), rc);
    }
    if (json) {
        (*json)[r.key] = RecordJson(read.Record(), read.payload);
        return kExitOk;
    }
    read.Report(units, text);
    if (r.label == UnitsLabel::Position)
        text += std::string("   in ") + CSXcmd::posunitsstr(units.pos_units, true, false) + "\n";
    else if (r.label == UnitsLabel::Both)
        text += "   in " + UnitsNamed(units) + "\n";
    return kExitOk;
}

int ReadUnitsAndMap(Session& s, _UNITS_CONFIG& units, _STATION_MAP& map)
{
    int rc = sxcmd_dev_units(s.Ctx(), s.Dev(), CMD_ACTION_GET, &units);
    if (rc != E_SX_SUCCESS)
        return Failed("GET units", rc);
    rc = sxcmd_dev_stationmap(s.Ctx(), s.Dev(), &map);
    if (rc != E_SX_SUCCESS)
        return Failed("GET stationmap", rc);
    return kExitOk;
}

} // namespace

int RunInfo(Session& s, bool json)
{
    const char* line = nullptr;
    int rc = sxdev_report(s.Ctx(), s.Dev(), &line);
    if (rc != E_SX_SUCCESS)
        return Failed("device report", rc);
    void* identity = nullptr;
    int seuid = 0;
    rc = sxdev_info(s.Ctx(), s.Dev(), &identity, &seuid);
    if (rc != E_SX_SUCCESS)
        return Failed("device identity", rc);
    _UNITS_CONFIG units{};
    _STATION_MAP map{};
    const int code = ReadUnitsAndMap(s, units, map);
    if (code != kExitOk)
        return code;
    const Attached a = FromMap(map);

    std::string text;
    Json j = Json::object();
    if (json) {
        std::string device = line ? line : "";
        while (!device.empty() && (device.back() == '\n' || device.back() == '\r'))
            device.pop_back();
        j["device"] = device;
        j["seuid"] = seuid;
        j["identity"] = RecordJson(sxitems::Record(sxitems::RecordKind::WhoAmI), identity);
        j["sensors"] = a.sensors;
        j["sources"] = a.sources;
    } else {
        text = texts::kDeviceHeading;
        text += line ? line : "";
        CWhoAmI(static_cast<_WHOAMI_STRUCT*>(identity)).Report(text, true, false);
    }
    for (const char* item : {"stationmap", "bit", "units", "framerate"}) {
        const BlockRow r{item, 0, item, UnitsLabel::None};
        const int c = BlockItem(s, r, -1, -1, units, text, json ? &j : nullptr);
        if (c != kExitOk)
            return c;
        if (!json && r.item == std::string("stationmap")) {
            text += "sensors attached: " + Listed(a.sensors) + "\n";
            text += "sources attached: " + Listed(a.sources) + "\n";
        }
    }
    if (json) {
        // "hz" as before; the record's own field is in Hz as well now.
        j["framerate"]["hz"] = j["framerate"]["frame_rate"];
        PrintJson(j, s.Simulated());
    } else {
        PrintReport(text);
    }
    return kExitOk;
}

int RunBlock(Session& s, bool json)
{
    _UNITS_CONFIG units{};
    _STATION_MAP map{};
    int code = ReadUnitsAndMap(s, units, map);
    if (code != kExitOk)
        return code;
    const Attached a = FromMap(map);
    std::string text = "BLOCK_CONFIG:\n";
    text += "values in " + UnitsNamed(units) + "\n";
    Json j = Json::object();
    for (const BlockRow& r : kUnitRows)
        if ((code = BlockItem(s, r, -1, -1, units, text, json ? &j : nullptr)) != kExitOk)
            return code;
    Json sources = Json::array(), sensors = Json::array();
    for (int src : a.sources) {
        Json one = {{"source", src}};
        if (!json)
            text += "SOURCE_CONFIG[" + std::to_string(src) + "]:\n";
        for (const BlockRow& r : kSourceRows)
            if ((code = BlockItem(s, r, -1, src, units, text, json ? &one : nullptr)) != kExitOk)
                return code;
        sources.push_back(one);
    }
    for (int n : a.sensors) {
        Json one = {{"sensor", n}};
        if (!json)
            text += "SENSOR_CONFIG[" + std::to_string(n) + "]:\n";
        for (const BlockRow& r : kSensorRows)
            if ((code = BlockItem(s, r, n, -1, units, text, json ? &one : nullptr)) != kExitOk)
                return code;
        sensors.push_back(one);
    }
    if (json) {
        j["units_in_force"] = UnitsJson(units);
        j["sources"] = sources;
        j["sensors"] = sensors;
        PrintJson(j, s.Simulated());
    } else {
        PrintReport(text);
    }
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

int RunSingle(Session& s, PnoFormat format, bool timestamps)
{
    _sxFrameInfo answer{};
    const int rc = sxcmd_dev_singlepno(s.Ctx(), s.Dev(), answer, 0);
    if (rc != E_SX_SUCCESS)
        return Failed("single P&O", rc);
    const uint64_t when = answer.timeStamp != 0 ? answer.timeStamp : MonotonicNs();
    CSXSeuPno pno;
    if (pno.Extractseupno(answer.pFrame, answer.frameLen) == 0)
        return Failed("single P&O", E_DEVIOERR_FRAME_HEADER);
    // One frame alone shows nothing of the rate: it was measured when it came.
    sxframes::FrameClock clock;
    const sxframes::FrameTime t = clock.Stamp(pno.FrameNum(), static_cast<int64_t>(when));
    std::string text;
    PnoPrinter printer(format, timestamps);
    printer.SetSimulated(s.Simulated());
    printer.Frame(pno, text, {when, answer.seqNum, t.systemNs});
    PrintReport(text);
    return kExitOk;
}

} // namespace sxtool
