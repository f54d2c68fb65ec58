#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "sources/source_info.h"

namespace oskel {

// What a worker hands back for one frame.
struct WorkerResult {
    const std::uint8_t* pixels = nullptr; // valid until the slot's next fetch
    TBitmapInfoHeader header;
    double decodeMs = 0.0;
    double processingMs = 0.0;
};

// One slot's decoding thread: on each start it fetches the frame the tick chose, runs the
// per-slot processing (previews, the effect) and signals done. The frame thread starts it
// and waits for it; a worker that takes too long is simply not drawn on that tick.
class SlotWorker {
public:
    // Worker thread: fetches the frame; returns the source's result code.
    using Fetch = std::function<int(int slot, std::int64_t frame, WorkerResult& result)>;
    // Worker thread: processes the fetched frame in place (previews, effect plug-in).
    using Process = std::function<void(int slot, std::int64_t frame, WorkerResult& result)>;

    SlotWorker(int slot, Fetch fetch, Process process);
    ~SlotWorker();
    SlotWorker(const SlotWorker&) = delete;
    SlotWorker& operator=(const SlotWorker&) = delete;

    // Frame thread. A worker still busy with an earlier frame is left to finish it.
    void start(std::int64_t frame, bool processAlways);
    // Frame thread: true with the result when the worker finished in time.
    bool waitDone(std::chrono::milliseconds timeout, WorkerResult& result);

    static constexpr auto kStartWait = std::chrono::milliseconds(1000);

private:
    void run();
    void work();

    const int m_slot;
    Fetch m_fetch;
    Process m_process;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_busy = false;
    bool m_done = false;
    bool m_terminated = false;
    std::int64_t m_frame = 0;
    std::int64_t m_lastProcessedFrame = -1;
    bool m_processAlways = false;
    WorkerResult m_result;
    std::thread m_thread;
};

} // namespace oskel
