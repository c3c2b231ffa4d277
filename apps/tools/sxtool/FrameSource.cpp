#include "FrameSource.h"

#include "StopFlag.h"

#include <SXCmdIF/SXCmdIF.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace sxtool {

namespace {

class QueueSource : public FrameSource {
public:
    QueueSource(void* ctx, void* dev) : m_ctx(ctx), m_dev(dev) {}

    int Start() override
    {
        const int rc = sxdev_tsenable(m_ctx, m_dev, true);
        return rc != E_SX_SUCCESS ? rc : sxctx_dev_resetpnocounters(m_ctx, m_dev);
    }

    bool Poll(FrameHandler& handler, int waitMs) override
    {
        bool any = false;
        for (;;) {
            _sxFrameInfo f{};
            if (sxctx_dev_fifopnofraw(m_ctx, m_dev, &f) != E_SX_SUCCESS)
                break;
            any = true;
            if (!handler.OnFrame({f.pFrame, f.frameLen, f.seqNum, f.timeStamp}))
                return false;
        }
        if (!any && waitMs > 0)
            SleepMs(waitMs);
        return true;
    }

    void Stop() override {}
    void Rebind(void* dev) override { m_dev = dev; }

    unsigned QueueDepth() override
    {
        unsigned frames = 0;
        int bytes = 0;
        sxctx_dev_fifo_unread_count(m_ctx, m_dev, &frames, &bytes);
        return frames;
    }

private:
    void* m_ctx;
    void* m_dev;
};

class CallbackSource : public FrameSource {
public:
    CallbackSource(void* ctx, void* dev) : m_ctx(ctx), m_dev(dev) {}
    ~CallbackSource() override { Stop(); }

    int Start() override
    {
        m_installed = true;
        return sxdev_SetPnoCallback(m_ctx, m_dev, &CallbackSource::OnPno, this);
    }

    bool Poll(FrameHandler& handler, int waitMs) override
    {
        {
            std::unique_lock<std::mutex> lock(m_mtx);
            if (m_pending.empty() && waitMs > 0)
                m_cv.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !m_pending.empty(); });
            m_taking.swap(m_pending);
        }
        bool go = true;
        for (const Held& h : m_taking) {
            if (go && !handler.OnFrame({h.bytes.data(), static_cast<unsigned>(h.bytes.size()), h.seqNum, h.ts}))
                go = false;
        }
        m_taking.clear();
        return go;
    }

    void Stop() override
    {
        if (m_installed)
            sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
        m_installed = false;
    }

    void Rebind(void* dev) override
    {
        // The old device took its callback along when it was released.
        m_installed = false;
        m_dev = dev;
    }

    unsigned QueueDepth() override
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return static_cast<unsigned>(m_pending.size());
    }

private:
    struct Held {
        std::vector<unsigned char> bytes;
        uint32_t seqNum;
        uint64_t ts;
    };

    // On the transport's reading thread: the frame is valid only during the
    // call, so it is copied.
    static void OnPno(void* arg, unsigned char* frame, unsigned int length)
    {
        auto* self = static_cast<CallbackSource*>(arg);
        const uint64_t ts = MonotonicNs();
        std::lock_guard<std::mutex> lock(self->m_mtx);
        self->m_pending.push_back({std::vector<unsigned char>(frame, frame + length), ++self->m_count, ts});
        self->m_cv.notify_one();
    }

    void* m_ctx;
    void* m_dev;
    bool m_installed = false;
    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::deque<Held> m_pending;
    std::deque<Held> m_taking;
    uint32_t m_count = 0;
};

} // namespace

std::unique_ptr<FrameSource> MakeQueueSource(void* ctx, void* dev)
{
    return std::make_unique<QueueSource>(ctx, dev);
}

std::unique_ptr<FrameSource> MakeCallbackSource(void* ctx, void* dev)
{
    return std::make_unique<CallbackSource>(ctx, dev);
}

} // namespace sxtool
