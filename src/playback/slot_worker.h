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
// and collects its result. A worker still busy when the frame thread stops waiting is late:
// it is not started again until its result has been collected, on a later tick, so a slow
// worker delays its own slot only and what it made is still shown.
// The hand-overs are semaphores: one futex call each way, as a tick hands over sixteen.
class SlotWorker {
public:
    // Worker thread: fetches the frame; returns the source's result code. A failed fetch that
    // still sets the pixels (the frame before) is drawn.
    using Fetch = std::function<int(int slot, std::int64_t frame, WorkerResult& result)>;
    // Worker thread: processes the fetched frame in place (previews, effect plug-in).
    using Process = std::function<void(int slot, std::int64_t frame, WorkerResult& result)>;
    // Worker thread, after the result is handed over: decodes `frame` into the source's
    // cache, where the next fetch finds it, keeping the frame handed over valid.
    using DecodeAhead = std::function<void(int slot, std::int64_t frame)>;

    // With `decodeAhead`, a worker that has handed its frame over decodes the frame the
    // same step further on while the frame thread draws; it is busy until that is done.
    SlotWorker(int slot, Fetch fetch, Process process, DecodeAhead decodeAhead = {});
    ~SlotWorker();
    SlotWorker(const SlotWorker&) = delete;
    SlotWorker& operator=(const SlotWorker&) = delete;

    // Frame thread: starts the worker on `frame`; false, leaving it be, while a frame started
    // before has not been collected (the worker is late, or done and not yet collected).
    bool start(std::int64_t frame, bool processAlways);
    // Frame thread: true with the result of the frame started last when the worker has
    // finished it by `deadline`; the result is then collected and the worker free to start.
    bool collect(std::chrono::steady_clock::time_point deadline, WorkerResult& result);
    // Frame thread: a frame was started and its result not yet collected.
    bool outstanding() const { return m_outstanding; }
    // Frame thread: a frame is outstanding, or the worker still decodes ahead.
    bool busy();

    static constexpr auto kStartWait = std::chrono::milliseconds(1000);
    // Steps between the frames asked for that are worth decoding ahead.
    static constexpr std::int64_t kLongestStepAhead = 4;

private:
    void run();
    void work();
    void decodeAhead();

    const int m_slot;
    Fetch m_fetch;
    Process m_process;
    DecodeAhead m_decodeAhead;
    std::binary_semaphore m_started { 0 };
    std::binary_semaphore m_done { 0 };
    std::binary_semaphore m_aheadDone { 0 };
    std::atomic<bool> m_terminated = false;
    // Frame thread only: a start whose result has not been collected.
    bool m_outstanding = false;
    // Frame thread only: a collected result whose decoding ahead has not been seen to end.
    bool m_aheadPending = false;
    // Written by the frame thread before it releases m_started, read by the worker after it
    // acquired it; the result the other way round, through m_done. The frame thread reads
    // the result before it starts the worker again, so the two never touch them at once.
    std::int64_t m_frame = 0;
    bool m_processAlways = false;
    std::int64_t m_lastProcessedFrame = -1;
    std::int64_t m_lastFetchedFrame = -1; // worker thread only
    WorkerResult m_result;
    std::thread m_thread;
};

} // namespace oskel
