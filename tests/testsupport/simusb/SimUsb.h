// A simulated tracker on the emulated USB device of the test support: the
// unit's protocol behind a bulk endpoint pair with the maker's vendor id and
// the product id of its family. Every IN transfer carries one whole frame.
// It lives in the test support, above the simulator: the simulator (an
// application of the installed interface, shipped as sxsim) knows nothing
// of the tests, while the test support builds on the simulator's unit and
// on the emulated device beside it.
#pragma once

#include <simulator/SimTracker.h>

#include "testsupport/usbemu/UsbEmu.h"

#include <memory>

namespace sxsim {

class UsbSim {
public:
    // Adds a device VID_MAKER / cfg.pid to the testbed and starts the unit.
    static std::unique_ptr<UsbSim> Start(sxtest::usbemu::UsbTestbed& bed, const SimConfig& cfg);
    ~UsbSim();
    UsbSim(const UsbSim&) = delete;
    UsbSim& operator=(const UsbSim&) = delete;

    void SetFaults(const FaultConfig& f);
    SimStats Stats() const;
    // The device disappears from the bus.
    void Unplug();
    SimUnit& Unit() { return *m_unit; }
    sxtest::usbemu::EmulatedDevice& Device() { return *m_dev; }

    struct Inbox; // OUT bytes on their way from the emulation to the unit

private:
    UsbSim() = default;

    sxtest::usbemu::UsbTestbed* m_bed = nullptr;
    sxtest::usbemu::EmulatedDevice* m_dev = nullptr;
    std::shared_ptr<Inbox> m_inbox;
    std::unique_ptr<SimUnit> m_unit;
    std::unique_ptr<SimRunner> m_runner;
};

} // namespace sxsim
