// config save and load: every item `set` can change, kept in a JSON file
// with the tracker's identity, and applied again in a safe order, each read
// back. The values are the records' JSON forms, as `get --json` prints them.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "Session.h"
#include "Texts.h"

#include <frames/RecordFromJson.h>
#include <items/Connection.h>
#include <recording/FileOutput.h>

#include <SXCmdIF/SXCmdIF.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace sxtool {

namespace {

constexpr const char* kFormatKey = "sxtool_configuration";
constexpr int kFormatVersion = 1;

enum class Level { Unit, Source, Sensor };

// What a configuration holds, in the order it is applied: the units first
// (every later value is in them), then the unit's rate and switches, the
// sources, the sensors (their sources before what they compute from them),
// and last what changes how the unit is addressed: its identifier and its
// serial line.
struct ConfigRow {
    const char* item;
    uint32_t arg2; // the filter's target
    const char* key;
    Level level;
};
constexpr ConfigRow kRows[] = {
    {"units", 0, "units", Level::Unit},
    {"framerate", 0, "framerate", Level::Unit},
    {"sync", 0, "sync", Level::Unit},
    {"dualoutput", 0, "dualoutput", Level::Unit},
    {"oor", 0, "oor", Level::Unit},
    {"stylus", 0, "stylus", Level::Unit},
    {"selfcal", 0, "selfcal", Level::Unit},
    {"sourcecfg", 0, "sourcecfg", Level::Source},
    {"sourcerot", 0, "sourcerot", Level::Source},
    {"srcselect", 0, "srcselect", Level::Sensor},
    {"origin", 0, "origin", Level::Sensor},
    {"hemisphere", 0, "hemisphere", Level::Sensor},
    {"filter", FILTER_TRGT_POS, "filter_pos", Level::Sensor},
    {"filter", FILTER_TRGT_ORI, "filter_ori", Level::Sensor},
    {"boresight", 0, "boresight", Level::Sensor},
    {"tipoffset", 0, "tipoffset", Level::Sensor},
    {"increment", 0, "increment", Level::Sensor},
    {"predfilter", 0, "predfilter", Level::Sensor},
    {"virtual", 0, "virtual", Level::Sensor},
    {"fttmode", 0, "fttmode", Level::Sensor},
    {"seuid", 0, "seuid", Level::Unit},
    {"serial", 0, "serial", Level::Unit},
};

// Every item `set` takes is kept: a settable item missing here is a fault
// of this table.
void CheckRows()
{
    for (size_t i = 0; i < ItemCount(); ++i) {
        const ItemDef& item = Items()[i];
        bool kept = !item.parse;
        for (const ConfigRow& r : kRows)
            kept = kept || item.Name() == std::string(r.item);
        if (!kept) {
            std::fprintf(stderr, "sxtool: item '%s' is missing from the configuration's rows\n", item.Name());
            std::abort();
        }
    }
}

const char* LevelKey(Level l)
{
    return l == Level::Source ? "source" : "sensor";
}

std::string Label(const ConfigRow& r, int index)
{
    if (r.level == Level::Unit)
        return r.key;
    return std::string(LevelKey(r.level)) + " " + std::to_string(index) + " " + r.key;
}

ItemContext Context(Session& s, const ConfigRow& r, int index)
{
    ItemContext c;
    c.ctx = s.Ctx();
    c.dev = s.Dev();
    c.index = index < 0 ? 0 : index;
    c.arg2 = r.arg2;
    return c;
}

struct Payload {
    alignas(8) std::array<unsigned char, kMaxItemPayload> bytes{};
};

int GetRecord(Session& s, const ConfigRow& r, int index, Payload& p)
{
    return FindItem(r.item)->Send(Context(s, r, index), CMD_ACTION_GET, p.bytes.data());
}

struct Attached {
    std::vector<int> sensors, sources;
};

int ReadAttached(Session& s, Attached& a)
{
    _STATION_MAP map{};
    const int rc = sxcmd_dev_stationmap(s.Ctx(), s.Dev(), &map);
    if (rc != E_SX_SUCCESS)
        return rc;
    CStationMap m(&map);
    m.SensorVec(a.sensors);
    m.SourceVec(a.sources);
    return E_SX_SUCCESS;
}

_WHOAMI_STRUCT Identity(Session& s, int& seuid)
{
    void* identity = nullptr;
    _WHOAMI_STRUCT w{};
    if (sxdev_info(s.Ctx(), s.Dev(), &identity, &seuid) == E_SX_SUCCESS && identity)
        std::memcpy(&w, identity, sizeof w);
    return w;
}

std::string Firmware(const Json& who)
{
    return who.value("ioproc", "?") + ", " + who.value("dsp_bt_fw", "?") + ", " + who.value("dsp_app_fw", "?");
}

// One setting of a file, decoded and ready to send.
struct Setting {
    const ConfigRow* row;
    int index; // the sensor or source; -1 at the unit
    Payload wanted;
};

// Whether the sensor or source a setting addresses is attached.
bool Present(const Attached& a, const Setting& st)
{
    const std::vector<int>& v = st.row->level == Level::Source ? a.sources : a.sensors;
    return st.row->level == Level::Unit || std::find(v.begin(), v.end(), st.index) != v.end();
}

// The settings of one unit, source or sensor object of the file.
bool DecodeLevel(const std::string& file, const Json& obj, Level level, int index, std::vector<Setting>& out,
                 std::string& error)
{
    const std::string where =
        level == Level::Unit ? "unit" : std::string(LevelKey(level)) + " " + std::to_string(index);
    for (const auto& [key, value] : obj.items()) {
        if (level != Level::Unit && key == LevelKey(level))
            continue;
        const ConfigRow* row = nullptr;
        for (const ConfigRow& r : kRows)
            if (r.level == level && key == r.key)
                row = &r;
        if (!row) {
            error = file + ": " + where + ": unknown setting '" + key + "'";
            return false;
        }
        Setting st{row, index, {}};
        std::string why;
        if (!sxframes::RecordFromJson(FindItem(row->item)->Record(), value, st.wanted.bytes.data(), why)) {
            char text[512];
            std::snprintf(text, sizeof text, texts::kConfigBadValue, file.c_str(), Label(*row, index).c_str(),
                          why.c_str());
            error = text;
            return false;
        }
        out.push_back(st);
    }
    return true;
}

// Every setting of the file, in the file's order; false with error.
bool Decode(const std::string& file, const Json& j, std::vector<Setting>& out, std::string& error)
{
    for (const auto& [key, value] : j.items())
        if (key != kFormatKey && key != "tracker" && key != "simulated" && key != "unit" && key != "sources" &&
            key != "sensors") {
            error = file + ": unknown key '" + key + "' (the keys are " + kFormatKey +
                    ", tracker, simulated, unit, sources and sensors)";
            return false;
        }
    if (j.contains("unit") && !DecodeLevel(file, j["unit"], Level::Unit, -1, out, error))
        return false;
    for (Level level : {Level::Source, Level::Sensor}) {
        const char* key = level == Level::Source ? "sources" : "sensors";
        if (!j.contains(key))
            continue;
        std::vector<int> seen;
        for (const Json& one : j[key]) {
            const auto n = one.is_object() ? one.find(LevelKey(level)) : one.end();
            if (n == one.end() || !n->is_number_integer()) {
                error = file + ": " + key + ": every entry names its " + LevelKey(level);
                return false;
            }
            const int index = n->get<int>();
            std::string range;
            if (!(level == Level::Source ? sxitems::CheckSource(index, range) : sxitems::CheckSensor(index, range)) ||
                std::find(seen.begin(), seen.end(), index) != seen.end()) {
                error = file + ": " + key + ": " +
                        (range.empty() ? LevelKey(level) + std::string(" ") + std::to_string(index) + " twice" : range);
                return false;
            }
            seen.push_back(index);
            if (!DecodeLevel(file, one, level, index, out, error))
                return false;
        }
    }
    return true;
}

} // namespace

int RunConfigSave(Session& s, const ConfigOptions& o)
{
    CheckRows();
    Attached a;
    int rc = ReadAttached(s, a);
    if (rc != E_SX_SUCCESS) {
        Complain(texts::kCommandFailed, "GET stationmap", ErrorText(rc));
        return kExitFailed;
    }
    int seuid = 0;
    const _WHOAMI_STRUCT who = Identity(s, seuid);
    Json j = Json::object();
    j[kFormatKey] = kFormatVersion;
    j["tracker"] = RecordJson(sxitems::Record(sxitems::RecordKind::WhoAmI), &who);
    j["tracker"]["seuid"] = seuid;
    if (s.Simulated())
        j["simulated"] = true;
    Json unit = Json::object();
    auto save = [&](const ConfigRow& r, int index, Json& into) {
        Payload p;
        rc = GetRecord(s, r, index, p);
        if (rc != E_SX_SUCCESS) {
            Complain(texts::kCommandFailed, ("GET " + Label(r, index)).c_str(), ErrorText(rc));
            return false;
        }
        into[r.key] = RecordJson(FindItem(r.item)->Record(), p.bytes.data());
        return true;
    };
    for (const ConfigRow& r : kRows)
        if (r.level == Level::Unit && !save(r, -1, unit))
            return kExitFailed;
    j["unit"] = unit;
    for (Level level : {Level::Source, Level::Sensor}) {
        Json list = Json::array();
        for (int index : level == Level::Source ? a.sources : a.sensors) {
            Json one = {{LevelKey(level), index}};
            for (const ConfigRow& r : kRows)
                if (r.level == level && !save(r, index, one))
                    return kExitFailed;
            list.push_back(one);
        }
        j[level == Level::Source ? "sources" : "sensors"] = list;
    }

    sxrec::FileOutput out;
    std::string error;
    const std::string text = j.dump(2) + "\n";
    if (!out.Open(o.file, o.force, "", error)) {
        Complain("%s", error.c_str());
        return kExitFileError;
    }
    if (std::fwrite(text.data(), 1, text.size(), out.File()) != text.size()) {
        Complain(texts::kFileFailed, o.file.c_str(), (std::string("cannot write: ") + std::strerror(errno)).c_str());
        return kExitFileError;
    }
    if (!out.Commit(error)) {
        Complain("%s", error.c_str());
        return kExitFileError;
    }
    Complain(texts::kConfigSaved, sxitems::IdentityText(who.hw_ser_no).c_str(), o.file.c_str());
    return kExitOk;
}

int RunConfigLoad(Session& s, const ConfigOptions& o)
{
    CheckRows();
    std::ifstream in(o.file, std::ios::binary);
    std::stringstream bytes;
    if (!in || !(bytes << in.rdbuf())) {
        Complain(texts::kFileFailed, o.file.c_str(), (std::string("cannot read: ") + std::strerror(errno)).c_str());
        return kExitFileError;
    }
    const Json j = Json::parse(bytes.str(), nullptr, false);
    if (j.is_discarded() || !j.is_object() || j.value(kFormatKey, 0) != kFormatVersion) {
        Complain(texts::kConfigNotOne, o.file.c_str(),
                 j.is_discarded() ? "it is not JSON" : "it lacks \"sxtool_configuration\": 1");
        return kExitUsage;
    }
    // Another model, or other firmware, may read the same words otherwise.
    int seuid = 0;
    const _WHOAMI_STRUCT who = Identity(s, seuid);
    const Json here = RecordJson(sxitems::Record(sxitems::RecordKind::WhoAmI), &who);
    const Json saved = j.value("tracker", Json::object());
    bool same = true;
    for (const char* key : {"device_name", "ioproc", "dsp_bt_fw", "dsp_app_fw"})
        same = same && saved.value(key, Json()) == here[key];
    if (!same && !o.force) {
        Complain(texts::kConfigOtherTracker, o.file.c_str(), saved.value("device_name", "?").c_str(),
                 Firmware(saved).c_str(), here["device_name"].get<std::string>().c_str(), Firmware(here).c_str());
        return kExitFailed;
    }
    // Every value is checked before the first is sent.
    std::vector<Setting> settings;
    std::string error;
    if (!Decode(o.file, j, settings, error)) {
        Complain("%s", error.c_str());
        return kExitUsage;
    }
    Attached a;
    int rc = ReadAttached(s, a);
    if (rc != E_SX_SUCCESS) {
        Complain(texts::kCommandFailed, "GET stationmap", ErrorText(rc));
        return kExitFailed;
    }
    // A sensor or source of the file that this tracker lacks is said once.
    std::vector<std::pair<Level, int>> missing;
    for (const Setting& st : settings) {
        const std::pair<Level, int> which{st.row->level, st.index};
        if (Present(a, st) || std::find(missing.begin(), missing.end(), which) != missing.end())
            continue;
        missing.push_back(which);
        const std::string what = std::string(LevelKey(st.row->level)) + " " + std::to_string(st.index);
        Complain(texts::kConfigNotAttached, o.file.c_str(), what.c_str());
    }
    bool allTaken = missing.empty();
    unsigned applied = 0, unchanged = 0;
    for (const ConfigRow& row : kRows) {
        for (const Setting& st : settings) {
            if (st.row != &row || !Present(a, st))
                continue;
            const std::string label = Label(row, st.index);
            const sxitems::RecordDef& def = FindItem(row.item)->Record();
            const Json wanted = RecordJson(def, st.wanted.bytes.data());
            Payload now;
            rc = GetRecord(s, row, st.index, now);
            if (rc == E_SX_SUCCESS && RecordJson(def, now.bytes.data()) == wanted) {
                ++unchanged;
                continue;
            }
            Payload sent = st.wanted;
            rc = FindItem(row.item)->Send(Context(s, row, st.index), CMD_ACTION_SET, sent.bytes.data());
            if (rc == E_SX_SUCCESS)
                rc = GetRecord(s, row, st.index, now);
            if (rc != E_SX_SUCCESS) {
                Complain(texts::kCommandFailed, ("set " + label).c_str(), ErrorText(rc));
                allTaken = false;
                continue;
            }
            ++applied;
            const Json got = RecordJson(def, now.bytes.data());
            if (got != wanted) {
                Complain(texts::kConfigDiffers, label.c_str(), got.dump().c_str(), wanted.dump().c_str());
                allTaken = false;
            }
        }
    }
    char line[512];
    std::snprintf(line, sizeof line, texts::kConfigLoaded, applied, unchanged, o.file.c_str());
    PrintReport(line);
    return allTaken ? kExitOk : kExitFailed;
}

} // namespace sxtool
