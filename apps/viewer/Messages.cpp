#include "viewer/Messages.h"

#include "viewer/ControlMessage.h"

#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

namespace sxviewer {

namespace {

using sxframes::Json;

Json Words(const sxitems::Vocabulary& v)
{
    Json a = Json::array();
    for (unsigned value = 0; value < v.count; ++value) {
        const std::string w = sxitems::Word(v, value);
        if (!w.empty())
            a.push_back(w);
    }
    return a;
}

} // namespace

Text Shared(const Json& j)
{
    return std::make_shared<const std::string>(j.dump(-1, ' ', false, Json::error_handler_t::replace));
}

Text HelloMessage(const ViewOptions& options)
{
    Json rates = Json::array();
    for (uint32_t code = FR_30; code < FR_MAX; ++code)
        rates.push_back(CFrameRateCfg(&code).EffectiveRate());
    Json j = Json::object();
    j["type"] = "hello";
    j["read_only"] = options.readOnly;
    j["display_hz"] = options.displayHz;
    j["choices"] = {{"position_units", Words(sxitems::kPosUnits)},
                    {"orientation_units", Words(sxitems::kOriUnits)},
                    {"framerates", rates},
                    {"filter_levels", Words(sxitems::kFilterLevels)},
                    {"filter_targets", Words(sxitems::kFilterTargets)},
                    {"items", SettableItems()}};
    return Shared(j);
}

Text ResultMessage(int64_t id, bool ok, const std::string& message)
{
    Json j = Json::object();
    j["type"] = "result";
    if (id >= 0)
        j["id"] = id;
    j["ok"] = ok;
    j["message"] = message;
    return Shared(j);
}

} // namespace sxviewer
