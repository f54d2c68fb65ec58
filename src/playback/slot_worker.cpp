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

bool SlotWorker::start(std::int64_t frame, bool processAlways)
{
    if (m_outstanding) {
        return false;
    }
    m_frame = frame;
    m_processAlways = processAlways;
    m_outstanding = true;
    m_started.release();
    return true;
}

bool SlotWorker::collect(std::chrono::steady_clock::time_point deadline, WorkerResult& result)
{
    if (!m_outstanding || !m_done.try_acquire_until(deadline)) {
        return false;
    }
    result = m_result;
    m_outstanding = false;
    return true;
}

void SlotWorker::run()
{
    while (!m_terminated) {
        if (!m_started.try_acquire_for(kStartWait) || m_terminated) {
            continue;
        }
        work();
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
