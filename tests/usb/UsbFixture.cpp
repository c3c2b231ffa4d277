#include "UsbFixture.h"

#include <platform/Thread.h>

#include <cstdio>

namespace sxtest {

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + part.size()))
        ++n;
    return n;
}

std::string Addr32(const void* p)
{
    char b[16];
    snprintf(b, sizeof b, "0x%x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
    return b;
}

void ChunkSink::Callback(void* arg, unsigned char* data, unsigned int len)
{
    auto* self = static_cast<ChunkSink*>(arg);
    std::lock_guard<std::mutex> lock(self->m_mtx);
    self->m_chunks.emplace_back(data, data + len);
    self->m_threads.push_back(sxplat::CurrentThreadId());
    self->m_cv.notify_all();
}

bool ChunkSink::WaitCount(size_t n, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mtx);
    return m_cv.wait_for(lock, timeout, [&] { return m_chunks.size() >= n; });
}

std::vector<std::vector<uint8_t>> ChunkSink::Chunks()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_chunks;
}

std::vector<uint32_t> ChunkSink::Threads()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_threads;
}

std::unique_ptr<CSXusbIO> UsbTest::NewIO()
{
    auto io = std::make_unique<CSXusbIO>();
    io->SetTrace(false, 0);
    return io;
}

std::unique_ptr<CSXusbIO> UsbTest::OpenIO()
{
    auto io = NewIO();
    EXPECT_EQ(io->DiscoverVidPid(kVid, kPid), 0);
    return io;
}

bool UsbTest::WaitResubmitted(const usbemu::EmulatedDevice& dev, int submissions)
{
    return dev.WaitUntil(
        [&](const usbemu::DeviceCounters& c) { return c.inSubmitted >= submissions && c.inPending == 1; });
}

} // namespace sxtest
