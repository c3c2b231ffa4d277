#include "UsbEmu.h"

namespace sxtest::usbemu {

namespace {

void PutWord(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

} // namespace

DeviceSpec DeviceSpec::Tracker(uint16_t vid, uint16_t pid, uint16_t maxPacket)
{
    DeviceSpec d;
    d.vid = vid;
    d.pid = pid;
    d.interfaces.push_back(InterfaceSpec{{{EndpointSpec{0x81, 0x02, maxPacket}, EndpointSpec{0x02, 0x02, maxPacket}}}});
    return d;
}

std::vector<uint8_t> BuildDescriptors(const DeviceSpec& spec)
{
    // Device: USB 2.0, vendor-specific, EP0 of 64 bytes, no strings, one configuration.
    std::vector<uint8_t> out = {18, 1, 0x00, 0x02, 0xFF, 0x00, 0x00, 64};
    PutWord(out, spec.vid);
    PutWord(out, spec.pid);
    out.insert(out.end(), {0x00, 0x01, 0, 0, 0, 1});

    std::vector<uint8_t> cfg = {9, 2, 0, 0, static_cast<uint8_t>(spec.interfaces.size()), 1, 0, 0x80, 50};
    for (size_t k = 0; k < spec.interfaces.size(); ++k) {
        const auto& alts = spec.interfaces[k].alternates;
        for (size_t a = 0; a < alts.size(); ++a) {
            cfg.insert(cfg.end(), {9, 4, static_cast<uint8_t>(k), static_cast<uint8_t>(a),
                                   static_cast<uint8_t>(alts[a].size()), 0xFF, 0, 0, 0});
            for (const EndpointSpec& ep : alts[a]) {
                cfg.insert(cfg.end(), {7, 5, ep.address, ep.attributes});
                PutWord(cfg, ep.maxPacket);
                cfg.push_back((ep.attributes & 3) == 3 ? 1 : 0);
            }
        }
    }
    cfg[2] = static_cast<uint8_t>(cfg.size() & 0xFF);
    cfg[3] = static_cast<uint8_t>(cfg.size() >> 8);
    out.insert(out.end(), cfg.begin(), cfg.end());
    return out;
}

} // namespace sxtest::usbemu
