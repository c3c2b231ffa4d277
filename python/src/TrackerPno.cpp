#include "TrackerInternal.h"

#include "Errors.h"
#include "Frames.h"

#include <SXCmdIF/SXCmdIF.h>
#include <frames/FramePeriod.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>
#include <vector>

namespace sxpy {

namespace {

using Clock = std::chrono::steady_clock;

bool InterpreterFinalizing()
{
#if PY_VERSION_HEX >= 0x030D0000
    return Py_IsFinalizing() != 0;
#else
    return _Py_IsFinalizing() != 0;
#endif
}

} // namespace

uint64_t MonotonicNs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count());
}

void CopyFrame(const _sxFrameInfo& fi, RawFrame& raw)
{
    raw.bytes.assign(fi.pFrame, fi.pFrame + fi.frameLen);
    raw.body = !IsWholeFrame(fi.pFrame, fi.frameLen);
    raw.seq = fi.seqNum;
    raw.timestampNs = fi.timeStamp;
    raw.error = fi.errCode;
}

void OnPno(void* arg, unsigned char* frame, unsigned int length)
{
    auto* st = static_cast<CallbackState*>(arg);
    st->inflight.fetch_add(1);
    if (!g_finalizing.load() && Py_IsInitialized() && !InterpreterFinalizing()) {
        RawFrame raw;
        raw.timestampNs = MonotonicNs();
        raw.bytes.assign(frame, frame + length);
        if (st->restartClock.exchange(false))
            st->clock.Reset();
        st->clock.SetNominalPeriodNs(st->periodNs.load());
        raw.timeNs =
            st->clock
                .Stamp(FrameCountOf(frame, length, !IsWholeFrame(frame, length)), static_cast<int64_t>(raw.timestampNs))
                .systemNs;
        const PyGILState_STATE gil = PyGILState_Ensure();
        if (!g_finalizing.load() && st->fn) {
            // Holds the function through the call, should it replace itself.
            py::object fn = st->fn;
            raw.seq = ++st->delivered;
            t_inCallback = st;
            // The first exception is reported with its traceback; later
            // ones are counted (callback_errors), not printed at the frame
            // rate.
            try {
                fn(MakeFrame(std::move(raw)));
            } catch (py::error_already_set& e) {
                if (st->errors++ == 0)
                    e.discard_as_unraisable(fn);
            } catch (const std::exception& e) {
                if (st->errors++ == 0) {
                    PyErr_SetString(PyExc_RuntimeError, e.what());
                    PyErr_WriteUnraisable(fn.ptr());
                }
            } catch (...) {
                if (st->errors++ == 0) {
                    PyErr_SetString(PyExc_RuntimeError, "unknown C++ exception in the frame callback");
                    PyErr_WriteUnraisable(fn.ptr());
                }
            }
            t_inCallback = nullptr;
        }
        PyGILState_Release(gil);
    }
    st->inflight.fetch_sub(1);
}

void TrackerCore::TakeQueued(const _sxFrameInfo& fi, RawFrame& raw)
{
    CopyFrame(fi, raw);
    std::lock_guard<std::mutex> lock(m_clockMtx);
    raw.timeNs =
        m_clock.Stamp(FrameCountOf(fi.pFrame, fi.frameLen, raw.body), static_cast<int64_t>(fi.timeStamp)).systemNs;
}

void TrackerCore::SetFramePeriod(int64_t periodNs, bool restart)
{
    {
        std::lock_guard<std::mutex> lock(m_clockMtx);
        if (restart)
            m_clock.Reset();
        m_clock.SetNominalPeriodNs(periodNs);
    }
    m_cb.periodNs.store(periodNs);
    if (restart)
        m_cb.restartClock.store(true);
}

void TrackerCore::Start(bool clearQueue)
{
    RequireNotInCallback("start");
    Check(Blocking([&] {
              RequireOpen();
              if (clearQueue)
                  sxctx_dev_resetpnocounters(m_ctx, m_dev);
              // A stream begins: its frames' clock starts again at its rate.
              SetFramePeriod(sxframes::ReadFramePeriodNs(m_ctx, m_dev), true);
              int frames = 0;
              return sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_SET, &frames, 0);
          }),
          "start continuous P&O");
    m_streaming = true;
}

void TrackerCore::Stop()
{
    RequireNotInCallback("stop");
    Check(Blocking([&] {
              RequireOpen();
              return sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0);
          }),
          "stop continuous P&O");
    m_streaming = false;
}

py::object TrackerCore::NextFrame(double timeoutS)
{
    RequireNoCallback();
    if (!(timeoutS >= 0))
        timeoutS = 0;
    const auto wait =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::min(timeoutS, 1e6)));
    RawFrame raw;
    const int r = Blocking([&] {
        RequireOpen();
        const auto deadline = Clock::now() + wait;
        for (;;) {
            _sxFrameInfo fi{};
            const int rr = sxctx_dev_fifopnofraw(m_ctx, m_dev, &fi);
            if (rr == 0) {
                TakeQueued(fi, raw);
                return 0;
            }
            if (ErrCode(rr) != E_CTXERR_NO_MORE_DATA)
                return rr;
            const auto now = Clock::now();
            if (now >= deadline)
                return static_cast<int>(E_CTXERR_NO_MORE_DATA);
            std::this_thread::sleep_for(std::min<Clock::duration>(kPollSleep, deadline - now));
        }
    });
    if (r == E_CTXERR_NO_MORE_DATA)
        return py::none();
    Check(r, "read frame");
    return MakeFrame(std::move(raw));
}

py::object TrackerCore::Read(py::object maxFrames)
{
    RequireNoCallback();
    size_t limit = std::numeric_limits<size_t>::max();
    if (!maxFrames.is_none()) {
        const long long n = maxFrames.cast<long long>();
        if (n < 0)
            throw py::value_error("max_frames: 0 or more");
        limit = static_cast<size_t>(n);
    }
    std::vector<FrameRow> rows;
    const int r = Blocking([&] {
        RequireOpen();
        unsigned queued = 0;
        int bytes = 0;
        sxctx_dev_fifo_unread_count(m_ctx, m_dev, &queued, &bytes);
        rows.reserve(std::min<size_t>(limit, queued));
        Decoded d;
        std::lock_guard<std::mutex> lock(m_clockMtx);
        while (rows.size() < limit) {
            _sxFrameInfo fi{};
            const int rr = sxctx_dev_fifopnofraw(m_ctx, m_dev, &fi);
            if (ErrCode(rr) == E_CTXERR_NO_MORE_DATA)
                break;
            if (rr != 0)
                return rr;
            Decode(fi.pFrame, fi.frameLen, !IsWholeFrame(fi.pFrame, fi.frameLen), d);
            rows.emplace_back();
            const int64_t timeNs = m_clock.Stamp(d.frameCount, static_cast<int64_t>(fi.timeStamp)).systemNs;
            FillRow(fi.seqNum, fi.timeStamp, timeNs, fi.errCode, d, rows.back());
        }
        return 0;
    });
    Check(r, "read frames");
    const py::ssize_t n = static_cast<py::ssize_t>(rows.size());
    py::array out(FrameDtype(), std::vector<py::ssize_t>{n}, std::vector<py::ssize_t>{});
    if (n > 0)
        std::memcpy(out.mutable_data(), rows.data(), rows.size() * sizeof(FrameRow));
    return std::move(out);
}

py::object TrackerCore::Single()
{
    RequireNotInCallback("single");
    RawFrame raw;
    const int r = Blocking([&] {
        RequireOpen();
        _sxFrameInfo fi{};
        const int rr = sxcmd_dev_singlepno(m_ctx, m_dev, fi, 0);
        if (rr == 0 && fi.pFrame) {
            CopyFrame(fi, raw);
            // One frame alone shows nothing of the rate: measured when it came.
            raw.timeNs = sxframes::FrameClock()
                             .Stamp(FrameCountOf(fi.pFrame, fi.frameLen, raw.body),
                                    static_cast<int64_t>(fi.timeStamp ? fi.timeStamp : MonotonicNs()))
                             .systemNs;
        }
        return rr;
    });
    Check(r, "single P&O");
    return MakeFrame(std::move(raw));
}

void TrackerCore::OnFrame(py::object callback)
{
    RequireOpen();
    const bool install = !callback.is_none();
    if (install && !PyCallable_Check(callback.ptr()))
        throw py::type_error("on_frame takes a callable or None");
    if (install) {
        m_cb.fn = callback;
        m_cb.delivered = 0;
        m_cb.errors = 0;
    } else {
        // No call starts after this: the reading thread checks it with the GIL.
        m_cb.fn = py::object();
    }
    Check(Blocking([&] {
              RequireOpen();
              return install ? sxdev_SetPnoCallback(m_ctx, m_dev, &OnPno, &m_cb)
                             : sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
          }),
          "on_frame");
}

unsigned TrackerCore::Pending()
{
    unsigned frames = 0;
    Check(Blocking([&] {
              RequireOpen();
              int bytes = 0;
              return sxctx_dev_fifo_unread_count(m_ctx, m_dev, &frames, &bytes);
          }),
          "pending");
    return frames;
}

void TrackerCore::ClearQueue()
{
    Check(Blocking([&] {
              RequireOpen();
              return sxctx_dev_resetpnocounters(m_ctx, m_dev);
          }),
          "clear queue");
}

} // namespace sxpy
