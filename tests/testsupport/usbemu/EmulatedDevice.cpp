// The usbdevfs side of the emulated device. The handler runs on umockdev's
// thread; everything it shares with the test's threads is under one mutex.
#include "UsbEmu.h"

#include <umockdev.h>

#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <unistd.h>
#include <map>
#include <mutex>
#include <stdexcept>

namespace sxtest::usbemu {

namespace {

// One URB as submitted by a client: the URB struct (our reference) and its
// buffer (our reference, null for a zero-length packet).
struct Urb {
    UMockdevIoctlClient* client = nullptr;
    UMockdevIoctlData* urb = nullptr;
    UMockdevIoctlData* buf = nullptr;

    usbdevfs_urb* Get() const { return reinterpret_cast<usbdevfs_urb*>(urb->data); }
    void Release()
    {
        if (buf)
            g_object_unref(buf);
        if (urb)
            g_object_unref(urb);
        urb = buf = nullptr;
    }
};

struct InEvent {
    int status;
    std::vector<uint8_t> bytes;
};

UMockdevIoctlData* Resolve(UMockdevIoctlData* data, size_t offset, size_t len)
{
    GError* err = nullptr;
    UMockdevIoctlData* r = umockdev_ioctl_data_resolve(data, offset, len, &err);
    if (err)
        g_error_free(err);
    return r;
}

void Complete(UMockdevIoctlClient* client, int err)
{
    umockdev_ioctl_client_complete(client, err ? -1 : 0, err);
}

constexpr uint32_t kCaps = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                           USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

} // namespace

struct EmulatedDevice::State {
    mutable std::mutex mtx;
    mutable std::condition_variable cv;

    OutHandler outHandler;
    std::deque<Urb> pendingIn;
    std::deque<Urb> pendingOut;
    std::deque<Urb> done;
    std::vector<Urb> lost;
    std::deque<InEvent> inQueue;

    std::map<unsigned, int> refuse;
    // Who holds each claimed interface: as in the kernel, a claim another
    // client holds is refused (EBUSY) until it is released or that client
    // closes the node.
    std::map<unsigned, UMockdevIoctlClient*> claimedBy;
    size_t outLimit = SIZE_MAX;
    int outStatus = 0;
    bool holdOut = false;
    std::vector<uint8_t> discardData;
    bool ignoreDiscard = false;
    bool discardTooLate = false;
    bool gone = false;

    std::vector<std::vector<uint8_t>> outs;
    std::vector<std::string> log;
    DeviceCounters c;

    // The node's FIFO, read and write: full, it polls not writable; empty,
    // writable. Its state follows Reapable() on every change.
    int readyFd = -1;
    bool ready = true;

    // A finished URB waits for its client's reap (or an IN URB has its data
    // queued); once the device is gone every request must come, so that
    // held URBs come back shut down and later ones fail.
    bool Reapable() const { return gone || !done.empty() || (!inQueue.empty() && !pendingIn.empty()); }
    void SetReady(bool on);
    void Changed()
    {
        SetReady(Reapable());
        cv.notify_all();
    }

    bool OnIoctl(UMockdevIoctlClient* client);
    void Claim(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool claim);
    void Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void DropClient(UMockdevIoctlClient* client);
    void ShutDownHeld();
};

// Called with mtx held. Emptying the FIFO wakes a poll() for POLLOUT;
// filling it (one page: F_SETPIPE_SZ leaves one slot) makes the node quiet.
void EmulatedDevice::State::SetReady(bool on)
{
    if (readyFd < 0 || on == ready)
        return;
    unsigned char page[4096] = {};
    if (on)
        while (read(readyFd, page, sizeof page) > 0) {
        }
    else
        while (write(readyFd, page, sizeof page) > 0) {
        }
    ready = on;
}

// The device is gone: the URBs it held come back shut down.
void EmulatedDevice::State::ShutDownHeld()
{
    std::lock_guard<std::mutex> lock(mtx);
    if (!gone || (pendingIn.empty() && pendingOut.empty()))
        return;
    for (std::deque<Urb>* q : {&pendingIn, &pendingOut}) {
        for (Urb& u : *q) {
            u.Get()->status = -ESHUTDOWN;
            u.Get()->actual_length = 0;
            done.push_back(u);
        }
        q->clear();
    }
    Changed();
}

bool EmulatedDevice::State::OnIoctl(UMockdevIoctlClient* client)
{
    ShutDownHeld();
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    switch (umockdev_ioctl_client_get_request(client)) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* d = Resolve(arg, 0, sizeof(uint32_t));
        if (!d) {
            Complete(client, EFAULT);
            return true;
        }
        memcpy(d->data, &kCaps, sizeof kCaps);
        Complete(client, 0);
        g_object_unref(d);
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
        Claim(client, arg, true);
        return true;
    case USBDEVFS_RELEASEINTERFACE:
        Claim(client, arg, false);
        return true;
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
    case USBDEVFS_RESET: {
        std::lock_guard<std::mutex> lock(mtx);
        Complete(client, gone ? ENODEV : 0);
        return true;
    }
    case USBDEVFS_GETDRIVER:
        Complete(client, ENODATA);
        return true;
    case USBDEVFS_SUBMITURB:
        Submit(client, arg);
        return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        Reap(client, arg);
        return true;
    case USBDEVFS_DISCARDURB:
        Discard(client, arg);
        return true;
    default:
        fprintf(stderr, "usbemu: unhandled ioctl 0x%lx\n", umockdev_ioctl_client_get_request(client));
        return false;
    }
}

void EmulatedDevice::State::Claim(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool claim)
{
    UMockdevIoctlData* d = Resolve(arg, 0, sizeof(unsigned));
    if (!d) {
        Complete(client, EFAULT);
        return;
    }
    unsigned iface = 0;
    memcpy(&iface, d->data, sizeof iface);
    int err = 0;
    {
        std::lock_guard<std::mutex> lock(mtx);
        const auto holder = claimedBy.find(iface);
        const bool other = holder != claimedBy.end() && holder->second != client;
        if (gone)
            err = ENODEV;
        else if (claim && refuse.count(iface))
            err = refuse[iface];
        else if (claim && other)
            err = EBUSY;
        else if (claim)
            claimedBy[iface] = client;
        else if (!other)
            claimedBy.erase(iface);
        log.push_back(std::string(claim ? "claim " : "release ") + std::to_string(iface) + (err ? " refused" : ""));
        Changed();
    }
    Complete(client, err);
    g_object_unref(d);
}

void EmulatedDevice::State::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Urb u;
    u.client = client;
    u.urb = Resolve(arg, 0, sizeof(usbdevfs_urb));
    if (!u.urb) {
        Complete(client, EFAULT);
        return;
    }
    usbdevfs_urb* urb = u.Get();
    if (urb->buffer && urb->buffer_length > 0)
        u.buf = Resolve(u.urb, G_STRUCT_OFFSET(usbdevfs_urb, buffer), static_cast<size_t>(urb->buffer_length));
    urb->actual_length = 0;
    urb->status = 0;

    OutHandler handler;
    std::vector<uint8_t> taken;
    bool isOut = false;
    {
        std::lock_guard<std::mutex> lock(mtx);
        if (gone) {
            u.Release();
            Complete(client, ENODEV);
            return;
        }
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            // No control transfers on this device: the request stalls.
            urb->status = -EPIPE;
            done.push_back(u);
        } else if (urb->endpoint & 0x80) {
            ++c.inSubmitted;
            pendingIn.push_back(u);
        } else if (holdOut) {
            pendingOut.push_back(u);
        } else {
            isOut = true;
            const size_t len = u.buf ? static_cast<size_t>(u.buf->data_len) : 0;
            const size_t n = outStatus ? 0 : std::min(len, outLimit);
            if (n)
                taken.assign(u.buf->data, u.buf->data + n);
            urb->actual_length = static_cast<int>(n);
            urb->status = outStatus;
            outs.push_back(taken);
            ++c.outCompleted;
            handler = outHandler;
            done.push_back(u);
        }
        Changed();
    }
    if (isOut && handler)
        handler(taken.data(), taken.size());
    Complete(client, 0);
}

void EmulatedDevice::State::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Urb u;
    bool found = false;
    bool isGone = false;
    {
        std::lock_guard<std::mutex> lock(mtx);
        isGone = gone;
        auto mine = [client](const Urb& x) { return x.client == client; };
        auto it = std::find_if(done.begin(), done.end(), mine);
        if (it != done.end()) {
            u = *it;
            done.erase(it);
            found = true;
        } else if (!inQueue.empty()) {
            auto in = std::find_if(pendingIn.begin(), pendingIn.end(), mine);
            if (in != pendingIn.end()) {
                u = *in;
                pendingIn.erase(in);
                InEvent ev = std::move(inQueue.front());
                inQueue.pop_front();
                usbdevfs_urb* urb = u.Get();
                const size_t room = u.buf ? static_cast<size_t>(u.buf->data_len) : 0;
                const size_t n = std::min(room, ev.bytes.size());
                if (n)
                    memcpy(u.buf->data, ev.bytes.data(), n);
                urb->actual_length = static_cast<int>(n);
                urb->status = (ev.status == 0 && ev.bytes.size() > room) ? -EOVERFLOW : ev.status;
                found = true;
            }
        }
        if (found)
            Changed();
    }
    if (!found) {
        Complete(client, isGone ? ENODEV : EAGAIN);
        return;
    }
    UMockdevIoctlData* ptr = Resolve(arg, 0, sizeof(void*));
    if (!ptr) {
        u.Release();
        Complete(client, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(ptr, 0, u.urb);
    Complete(client, 0);
    g_object_unref(ptr);
    u.Release();
}

void EmulatedDevice::State::Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    unsigned long addr = 0;
    if (arg && arg->data_len >= static_cast<gint>(sizeof addr))
        memcpy(&addr, arg->data, sizeof addr);
    int err = EINVAL;
    {
        std::lock_guard<std::mutex> lock(mtx);
        auto match = [client, addr](const Urb& x) { return x.client == client && x.urb->client_addr == addr; };
        for (std::deque<Urb>* q : {&pendingIn, &pendingOut}) {
            auto it = std::find_if(q->begin(), q->end(), match);
            if (it == q->end())
                continue;
            Urb u = *it;
            q->erase(it);
            if (discardTooLate) {
                usbdevfs_urb* urb = u.Get();
                size_t n = 0;
                if ((urb->endpoint & 0x80) && u.buf) {
                    n = std::min(discardData.size(), static_cast<size_t>(u.buf->data_len));
                    if (n)
                        memcpy(u.buf->data, discardData.data(), n);
                }
                urb->actual_length = static_cast<int>(n);
                urb->status = 0;
                done.push_back(u);
                break; // err stays EINVAL
            }
            ++c.discards;
            err = 0;
            if (ignoreDiscard) {
                lost.push_back(u);
                break;
            }
            usbdevfs_urb* urb = u.Get();
            urb->status = -ENOENT;
            size_t n = 0;
            if ((urb->endpoint & 0x80) && u.buf) {
                n = std::min(discardData.size(), static_cast<size_t>(u.buf->data_len));
                if (n)
                    memcpy(u.buf->data, discardData.data(), n);
            }
            urb->actual_length = static_cast<int>(n);
            done.push_back(u);
            break;
        }
        if (err && gone)
            err = ENODEV;
        Changed();
    }
    Complete(client, err);
}

// The client closed the node: the kernel kills its URBs.
void EmulatedDevice::State::DropClient(UMockdevIoctlClient* client)
{
    std::lock_guard<std::mutex> lock(mtx);
    for (auto it = claimedBy.begin(); it != claimedBy.end();)
        it = it->second == client ? claimedBy.erase(it) : std::next(it);
    for (std::deque<Urb>* q : {&pendingIn, &pendingOut, &done}) {
        for (auto it = q->begin(); it != q->end();) {
            if (it->client == client) {
                it->Release();
                it = q->erase(it);
            } else {
                ++it;
            }
        }
    }
    Changed();
}

namespace {

gboolean OnHandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer state)
{
    return static_cast<EmulatedDevice::State*>(state)->OnIoctl(client) ? TRUE : FALSE;
}

void OnClientConnected(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer state)
{
    auto* s = static_cast<EmulatedDevice::State*>(state);
    std::lock_guard<std::mutex> lock(s->mtx);
    s->log.push_back("open");
    ++s->c.opens;
    s->Changed();
}

void OnClientVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer state)
{
    static_cast<EmulatedDevice::State*>(state)->DropClient(client);
}

} // namespace

EmulatedDevice::EmulatedDevice(const DeviceSpec& spec, uint8_t bus)
    : m_spec(spec), m_bus(bus), m_state(std::make_unique<State>())
{
    char node[64];
    snprintf(node, sizeof node, "/dev/bus/usb/%03u/001", bus);
    m_devNode = node;
    m_sysPath = "/sys/devices/usb" + std::to_string(bus);
}

EmulatedDevice::~EmulatedDevice()
{
    if (m_state->readyFd >= 0)
        close(m_state->readyFd);
    for (std::deque<Urb>* q : {&m_state->pendingIn, &m_state->pendingOut, &m_state->done})
        for (Urb& u : *q)
            u.Release();
    for (Urb& u : m_state->lost)
        u.Release();
}

void* EmulatedDevice::NewHandler()
{
    UMockdevIoctlBase* h = umockdev_ioctl_base_new();
    g_signal_connect(h, "handle-ioctl", G_CALLBACK(OnHandleIoctl), m_state.get());
    g_signal_connect(h, "client-connected", G_CALLBACK(OnClientConnected), m_state.get());
    g_signal_connect(h, "client-vanished", G_CALLBACK(OnClientVanished), m_state.get());
    return h;
}

void EmulatedDevice::UseReadinessNode(const std::string& path)
{
    State& s = *m_state;
    if (unlink(path.c_str()) != 0 || mkfifo(path.c_str(), 0666) != 0)
        throw std::runtime_error("usbemu: cannot make the FIFO node " + path);
    s.readyFd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (s.readyFd < 0)
        throw std::runtime_error("usbemu: cannot open the FIFO node " + path);
    (void)fcntl(s.readyFd, F_SETPIPE_SZ, 4096);
    std::lock_guard<std::mutex> lock(s.mtx);
    s.Changed();
}

// The URBs themselves change on the handler's thread (ShutDownHeld): umockdev
// copies their data back to the client there.
void EmulatedDevice::MarkGone()
{
    State& s = *m_state;
    std::lock_guard<std::mutex> lock(s.mtx);
    s.gone = true;
    s.Changed();
}

void EmulatedDevice::SetOutHandler(OutHandler handler)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->outHandler = std::move(handler);
}

void EmulatedDevice::QueueIn(const void* data, size_t len)
{
    QueueInStatus(0, data, len);
}

void EmulatedDevice::QueueInStatus(int urbStatus, const void* data, size_t len)
{
    const auto* p = static_cast<const uint8_t*>(data);
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->inQueue.push_back(InEvent{urbStatus, p ? std::vector<uint8_t>(p, p + len) : std::vector<uint8_t>()});
    m_state->Changed();
}

void EmulatedDevice::RefuseClaim(unsigned iface, int err)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->refuse[iface] = err;
}

void EmulatedDevice::SetOutLimit(size_t maxBytes)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->outLimit = maxBytes;
}

void EmulatedDevice::SetOutStatus(int urbStatus)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->outStatus = urbStatus;
}

void EmulatedDevice::SetHoldOut(bool hold)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->holdOut = hold;
}

void EmulatedDevice::SetDiscardData(std::vector<uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->discardData = std::move(bytes);
}

void EmulatedDevice::SetIgnoreDiscard(bool ignore)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->ignoreDiscard = ignore;
}

void EmulatedDevice::SetDiscardTooLate(bool tooLate)
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    m_state->discardTooLate = tooLate;
}

std::vector<std::vector<uint8_t>> EmulatedDevice::OutTransfers() const
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    return m_state->outs;
}

std::vector<std::string> EmulatedDevice::Log() const
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    return m_state->log;
}

int EmulatedDevice::OpenHandles() const
{
    int n = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    while (dirent* e = readdir(dir)) {
        if (std::atoi(e->d_name) == m_state->readyFd)
            continue; // the device's own hold on its FIFO
        char path[300];
        char target[512];
        snprintf(path, sizeof path, "/proc/self/fd/%s", e->d_name);
        const ssize_t len = readlink(path, target, sizeof target - 1);
        if (len <= 0)
            continue;
        const std::string t(target, static_cast<size_t>(len));
        if (t.size() > m_devNode.size() && t.compare(t.size() - m_devNode.size(), m_devNode.size(), m_devNode) == 0)
            ++n;
    }
    closedir(dir);
    return n;
}

namespace {

DeviceCounters Snapshot(const EmulatedDevice::State& s)
{
    DeviceCounters c = s.c;
    c.inPending = static_cast<int>(s.pendingIn.size());
    c.outPending = static_cast<int>(s.pendingOut.size());
    c.inQueued = s.inQueue.size();
    c.unreaped = static_cast<int>(s.done.size());
    return c;
}

} // namespace

DeviceCounters EmulatedDevice::Counters() const
{
    std::lock_guard<std::mutex> lock(m_state->mtx);
    return Snapshot(*m_state);
}

bool EmulatedDevice::WaitUntil(const std::function<bool(const DeviceCounters&)>& pred,
                               std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_state->mtx);
    return m_state->cv.wait_for(lock, timeout, [&] { return pred(Snapshot(*m_state)); });
}

} // namespace sxtest::usbemu
