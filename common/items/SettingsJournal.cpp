#include "SettingsJournal.h"

#include <SXCmdIF/SXCmdIF.h>

#include <algorithm>

namespace sxitems {

int SendItem(const Item& item, ItemLevel level, void* ctx, void* dev, int index, eCmdActions action, void* payload,
             int arg2)
{
    switch (level) {
    case ItemLevel::Sensor:
        return item.sensor ? item.sensor(ctx, dev, index, action, payload, arg2) : E_SXERR_INVALID_PARAMS;
    case ItemLevel::Source:
        return item.source ? item.source(ctx, dev, index, action, payload, arg2) : E_SXERR_INVALID_PARAMS;
    case ItemLevel::Unit:
        break;
    }
    return item.unit ? item.unit(ctx, dev, action, payload, arg2) : E_SXERR_INVALID_PARAMS;
}

void SettingsJournal::Note(const Item& item, ItemLevel level, int index, eCmdActions action, const void* payload,
                           int arg2)
{
    if (item.record == RecordKind::SerialConfig || (action != CMD_ACTION_SET && action != CMD_ACTION_RESET))
        return;
    Setting s{&item, level, index, arg2, action, {}};
    if (action == CMD_ACTION_SET && payload && item.record != RecordKind::None) {
        const auto* bytes = static_cast<const unsigned char*>(payload);
        s.payload.assign(bytes, bytes + Record(item.record).size);
    }
    // A filter's target is part of its address; other second words are not.
    const auto sameAddress = [&](const Setting& o) {
        return o.item == s.item && o.level == s.level && o.index == s.index &&
               (item.arg2 != Arg2::FilterTarget || o.arg2 == s.arg2);
    };
    // Values read in the units in force keep their place before a later
    // change of units, and a change of units its place before them: the
    // replay then sends each under the units it was made in.
    const auto isUnits = [](const Setting& o) { return o.item->record == RecordKind::Units; };
    const auto inUnits = [](const Setting& o) {
        return o.item->record != RecordKind::None && Record(o.item->record).inUnits;
    };
    std::lock_guard<std::mutex> lock(m_mtx);
    for (size_t i = m_settings.size(); i-- > 0;) {
        if (!sameAddress(m_settings[i]))
            continue;
        const auto later = m_settings.begin() + static_cast<std::ptrdiff_t>(i) + 1;
        const bool pinned = (inUnits(s) && std::any_of(later, m_settings.end(), isUnits)) ||
                            (isUnits(s) && std::any_of(later, m_settings.end(), inUnits));
        if (!pinned)
            m_settings.erase(m_settings.begin() + static_cast<std::ptrdiff_t>(i));
        break;
    }
    m_settings.push_back(std::move(s));
}

int SettingsJournal::Replay(void* ctx, void* dev) const
{
    std::vector<Setting> settings;
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        settings = m_settings;
    }
    int first = 0;
    for (Setting& s : settings) {
        void* payload = s.payload.empty() ? nullptr : s.payload.data();
        const int rc = SendItem(*s.item, s.level, ctx, dev, s.index, s.action, payload, s.arg2);
        if (rc != 0 && first == 0)
            first = rc;
    }
    return first;
}

size_t SettingsJournal::Size() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_settings.size();
}

} // namespace sxitems
