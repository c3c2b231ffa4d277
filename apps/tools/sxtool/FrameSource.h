// Where a stream's frames come from: the device's queue, read in batches
// with a short sleep when it is empty, or the P&O callback, which hands each
// frame over on the transport's thread to a buffer the command waits on.
// Neither spins.
#pragma once

#include <cstdint>
#include <memory>

namespace sxtool {

struct StreamFrame {
    const unsigned char* bytes;
    unsigned length;
    uint32_t seqNum;
    uint64_t timeStampNs;
};

// Takes one frame; returns false to stop taking frames.
class FrameHandler {
public:
    virtual ~FrameHandler() = default;
    virtual bool OnFrame(const StreamFrame& frame) = 0;
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Prepares the device (time stamps, counters, callback); returns the
    // library's error code.
    virtual int Start() = 0;
    // Hands over what has arrived, waiting up to waitMs for something when
    // nothing is there. False when the handler asked to stop.
    virtual bool Poll(FrameHandler& handler, int waitMs) = 0;
    // Undoes Start (removes the callback).
    virtual void Stop() = 0;
    // Takes frames from another device (a new connection) after its Start;
    // what came from the old one is still handed over.
    virtual void Rebind(void* dev) = 0;
    // Frames waiting in the library's queue.
    virtual unsigned QueueDepth() = 0;
};

std::unique_ptr<FrameSource> MakeQueueSource(void* ctx, void* dev);
std::unique_ptr<FrameSource> MakeCallbackSource(void* ctx, void* dev);

} // namespace sxtool
