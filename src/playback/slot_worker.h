#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <semaphore>
#include <thread>

#include "sources/source_info.h"

namespace oskel {

// What a worker hands back for one frame.
struct WorkerResult {
    const std::uint8_t* pixels = nullptr; // valid until the slot's next fetch
    // Holds the picture an effect made, where pixels point, while the result is kept.
    std::shared_ptr<const void> keep;
    TBitmapInfoHeader header;
    double decodeMs = 0.0;
    double processingMs = 0.0;
};

// One slot's decoding thread: on each start it fetches the frame the tick chose, runs the
// per-slot processing (previews, the effect) and signals done. The frame thread starts it
// and waits for it; a worker that takes too long is simply not drawn on that tick.
// The hand-overs are semaphores: one futex call each way, as a tick hands over sixteen.
class SlotWorker {
public:
    // Worker thread: fetches the frame; returns the source's result code. A failed fetch that
    // still sets the pixels (the frame before) is drawn.
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
    std::binary_semaphore m_started { 0 };
    std::binary_semaphore m_done { 0 };
    std::atomic<bool> m_busy = false;
    std::atomic<bool> m_terminated = false;
    // Each start is a new generation; a result counts only for the generation it was made
    // for, so a late result of a frame that timed out is never taken for the next one.
    std::atomic<std::uint64_t> m_generation = 0;
    std::atomic<std::uint64_t> m_resultGeneration = 0;
    // Written by the frame thread before it releases m_started, read by the worker after it
    // acquired it; the result the other way round, published by m_resultGeneration.
    std::int64_t m_frame = 0;
    bool m_processAlways = false;
    std::int64_t m_lastProcessedFrame = -1;
    WorkerResult m_result;
    std::thread m_thread;
};

} // namespace oskel
