// The USB link: OUT transfers arrive on the emulation's thread and wait in
// an inbox that wakes the unit's thread; frames and answers are queued as
// one IN transfer each.
#include "testsupport/simusb/SimUsb.h"

#include <simulator/SimRunner.h>

#include <SXCmdIF/protocol/SXusbIds.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace sxsim {

// Shared with the OUT handler, which may still run once after the unit
// stopped: it outlives both.
struct UsbSim::Inbox {
    std::mutex mtx;
    unsigned char bytes[2 * kMaxCommandFrame];
    size_t len = 0;
    int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::atomic<bool> gone{false};

    ~Inbox()
    {
        if (fd >= 0)
            close(fd);
    }
    void Put(const uint8_t* data, size_t n)
    {
        {
            std::lock_guard<std::mutex> lock(mtx);
            n = std::min(n, sizeof bytes - len); // an overfull inbox loses the rest
            std::memcpy(bytes + len, data, n);
            len += n;
        }
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t w = write(fd, &one, sizeof one);
    }
};

namespace {

// Queued IN transfers beyond this count mean the host is not reading.
constexpr size_t kMaxQueuedIn = 64;

class UsbLink final : public SimLink {
public:
    UsbLink(sxtest::usbemu::EmulatedDevice& dev, std::shared_ptr<UsbSim::Inbox> inbox)
        : m_dev(dev), m_inbox(std::move(inbox))
    {
    }

    int Fd() const override { return m_inbox->fd; }

    size_t ReadInput(unsigned char* buf, size_t cap, bool& closed) override
    {
        uint64_t v;
        [[maybe_unused]] ssize_t r = read(m_inbox->fd, &v, sizeof v);
        std::lock_guard<std::mutex> lock(m_inbox->mtx);
        const size_t n = std::min(cap, m_inbox->len);
        std::memcpy(buf, m_inbox->bytes, n);
        std::memmove(m_inbox->bytes, m_inbox->bytes + n, m_inbox->len - n);
        m_inbox->len -= n;
        closed = m_inbox->gone.load();
        return n;
    }

    SendResult Send(const unsigned char* data, size_t len, bool mustDeliver) override
    {
        if (m_inbox->gone.load())
            return SendResult::Closed;
        if (!mustDeliver && m_dev.Counters().inQueued >= kMaxQueuedIn)
            return SendResult::Full;
        m_dev.QueueIn(data, len);
        return SendResult::Sent;
    }

    void Close() override {}

private:
    sxtest::usbemu::EmulatedDevice& m_dev;
    std::shared_ptr<UsbSim::Inbox> m_inbox;
};

} // namespace

std::unique_ptr<UsbSim> UsbSim::Start(sxtest::usbemu::UsbTestbed& bed, const SimConfig& cfg)
{
    std::unique_ptr<UsbSim> sim(new UsbSim());
    sim->m_bed = &bed;
    sim->m_dev = &bed.AddDevice(sxtest::usbemu::DeviceSpec::Tracker(VID_MAKER, cfg.pid));
    sim->m_inbox = std::make_shared<Inbox>();
    sim->m_unit = std::make_unique<SimUnit>(cfg);
    std::weak_ptr<Inbox> inbox = sim->m_inbox;
    sim->m_dev->SetOutHandler([inbox](const uint8_t* data, size_t len) {
        if (auto box = inbox.lock())
            box->Put(data, len);
    });
    sim->m_runner = std::make_unique<SimRunner>(*sim->m_unit, std::make_unique<UsbLink>(*sim->m_dev, sim->m_inbox));
    if (!sim->m_runner->Start(nullptr))
        return nullptr;
    return sim;
}

UsbSim::~UsbSim()
{
    if (m_runner)
        m_runner->Stop();
    if (m_dev)
        m_dev->SetOutHandler(nullptr);
}

void UsbSim::SetFaults(const FaultConfig& f)
{
    m_runner->SetFaults(f);
}

SimStats UsbSim::Stats() const
{
    return m_runner->Stats();
}

void UsbSim::Unplug()
{
    if (m_inbox->gone.exchange(true))
        return;
    m_bed->Unplug(*m_dev);
}

} // namespace sxsim
