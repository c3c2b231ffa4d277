// The viewer's reading of what a page sends, on arbitrary bytes: whatever
// comes, a checked request within its limits or a refusal with a message.
#include <viewer/ControlMessage.h>

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

using sxfuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    sxviewer::Control c;
    std::string error;
    const bool ok = sxviewer::ParseControl(reinterpret_cast<const char*>(data), size, c, error);
    if (!ok) {
        Check(!error.empty() && c.values.empty() && c.item.empty());
        return 0;
    }
    Check(size <= sxviewer::kMaxControlBytes);
    Check(c.id >= -1 && c.id <= 2147483647);
    if (c.kind != sxviewer::ControlKind::Set) {
        Check(c.item.empty() && c.values.empty());
        return 0;
    }
    Check(!c.values.empty() && c.values.size() <= sxviewer::kMaxValueWords);
    for (const std::string& w : c.values)
        Check(!w.empty() && w.size() <= sxviewer::kMaxWordBytes);
    Check(c.sensor >= -1 && c.sensor <= 15);
    bool offered = false;
    for (const std::string& n : sxviewer::SettableItems())
        offered = offered || n == c.item;
    Check(offered);
    return 0;
}
