#include "Connection.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxitems {

namespace {

// The most trackers tried on one bus: the library looks at no more.
constexpr int kMaxUsbTrackers = 16;

} // namespace

int ConnectSerialRetried(void* ctx, void*& dev, int port, int cfg, int attempts)
{
    int rc = E_SXERR_NOTFOUND;
    for (int attempt = 0; attempt < (attempts < 1 ? 1 : attempts) && (rc & 0xFFFF) == E_SXERR_NOTFOUND; ++attempt)
        rc = sxctx_connectser(ctx, dev, port, cfg);
    return rc;
}

int ConnectUsbWhere(void* ctx, void*& dev, const std::function<bool(const _WHOAMI_STRUCT&)>& pick,
                    std::vector<_WHOAMI_STRUCT>& seen)
{
    std::vector<void*> held;
    int rc = E_SXERR_NOTFOUND;
    int unanswered = E_SX_SUCCESS; // the first commands of a tracker that failed them
    dev = nullptr;
    for (int i = 0; i < kMaxUsbTrackers; ++i) {
        void* d = nullptr;
        const int r = sxctx_connectusb(ctx, d, PID_SORIX);
        // Nothing registered: no tracker left to open (or USB failed).
        if (!d) {
            if ((r & 0xFFFF) != E_SXERR_NOTFOUND || seen.empty())
                rc = r;
            if (unanswered != E_SX_SUCCESS)
                rc = unanswered;
            break;
        }
        if (r != E_SX_SUCCESS && unanswered == E_SX_SUCCESS)
            unanswered = r;
        // A tracker whose first commands failed stays registered: it is held
        // too, so that the next attempt goes on to the next tracker.
        void* identity = nullptr;
        int seuid = 0;
        _WHOAMI_STRUCT who{};
        if (sxdev_info(ctx, d, &identity, &seuid) == E_SX_SUCCESS && identity)
            std::memcpy(&who, identity, sizeof who);
        seen.push_back(who);
        if (r == E_SX_SUCCESS && pick && pick(who)) {
            dev = d;
            rc = E_SX_SUCCESS;
            break;
        }
        held.push_back(d);
    }
    for (void* d : held)
        sxctx_dev_release(ctx, d);
    return rc;
}

int ConnectUsbSerial(void* ctx, void*& dev, const std::string& serial, std::vector<_WHOAMI_STRUCT>& seen)
{
    return ConnectUsbWhere(
        ctx, dev, [&serial](const _WHOAMI_STRUCT& w) { return IdentityText(w.hw_ser_no) == serial; }, seen);
}

std::string SerialNumbers(const std::vector<_WHOAMI_STRUCT>& trackers)
{
    std::string list;
    for (const _WHOAMI_STRUCT& w : trackers) {
        const std::string serial = IdentityText(w.hw_ser_no);
        list += (list.empty() ? "" : ", ") + (serial.empty() ? std::string("(one that did not answer)") : serial);
    }
    return list.empty() ? "none" : list;
}

void ToNewlines(std::string& text)
{
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[out++] = text[i];
    }
    text.resize(out);
}

} // namespace sxitems
