#include "playback/slot_worker.h"

namespace oskel {

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

SlotWorker::SlotWorker(int slot, Fetch fetch, Process process)
    : m_slot(slot)
    , m_fetch(std::move(fetch))
    , m_process(std::move(process))
{
    m_thread = std::thread([this] { run(); });
}

SlotWorker::~SlotWorker()
{
    m_terminated = true;
    m_started.release();
    m_thread.join();
}

void SlotWorker::start(std::int64_t frame, bool processAlways)
{
    if (m_busy.exchange(true)) {
        return;
    }
    m_frame = frame;
    m_processAlways = processAlways;
    m_generation.fetch_add(1);
    m_started.release();
}

bool SlotWorker::waitDone(std::chrono::milliseconds timeout, WorkerResult& result)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_done.try_acquire_until(deadline)) {
        if (m_resultGeneration.load(std::memory_order_acquire) == m_generation.load()) {
            result = m_result;
            return true;
        }
    }
    return false;
}

void SlotWorker::run()
{
    while (!m_terminated) {
        if (!m_started.try_acquire_for(kStartWait) || m_terminated) {
            continue;
        }
        const std::uint64_t generation = m_generation.load();
        work();
        m_resultGeneration.store(generation, std::memory_order_release);
        m_busy = false;
        m_done.release();
    }
}

void SlotWorker::work()
{
    WorkerResult result;
    const auto started = std::chrono::steady_clock::now();
    // A fetch that failed may still hand out pixels: the frame shown before, which the slot
    // keeps showing rather than going black.
    m_fetch(m_slot, m_frame, result);
    result.decodeMs = millisecondsSince(started);
    const auto processing = std::chrono::steady_clock::now();
    if (result.pixels != nullptr && (m_processAlways || m_frame != m_lastProcessedFrame)) {
        m_process(m_slot, m_frame, result);
    }
    m_lastProcessedFrame = m_frame;
    result.processingMs = millisecondsSince(processing);
    m_result = result;
}

} // namespace oskel
