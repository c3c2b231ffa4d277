// The settings a session made on its tracker, kept so that they can be made
// again on a new connection: after a lost line the tracker may have been
// reset (or replaced by the same model), and a session that reconnects must
// find it as it left it. Every SET and RESET of an item the tracker accepted
// is noted; a later one of the same item at the same address replaces it.
// Replayed in the order the kept ones were made (the units set before a
// boresight read in them stay before it). Thread-safe.
#pragma once

#include <items/ItemTable.h>

#include <mutex>
#include <vector>

namespace sxitems {

// Whom an item's command addresses.
enum class ItemLevel { Unit, Sensor, Source };

// Sends an item's command through the exported function of its level;
// payload is read by a SET, filled by a GET and null for a RESET. The
// library's code.
int SendItem(const Item& item, ItemLevel level, void* ctx, void* dev, int index, eCmdActions action, void* payload,
             int arg2);

class SettingsJournal {
public:
    // Notes a SET (payload: the item's record) or a RESET (payload null)
    // that the tracker accepted. Items that change the line itself (the
    // serial settings) are not noted: making them again would cut the new
    // connection.
    void Note(const Item& item, ItemLevel level, int index, eCmdActions action, const void* payload, int arg2);
    // Makes every noted setting again on dev; the first failure's code
    // (the rest are still tried), else 0.
    int Replay(void* ctx, void* dev) const;
    size_t Size() const;

private:
    struct Setting {
        const Item* item;
        ItemLevel level;
        int index;
        int arg2;
        eCmdActions action;
        std::vector<unsigned char> payload;
    };

    mutable std::mutex m_mtx;
    std::vector<Setting> m_settings;
};

} // namespace sxitems
