#include "playback/slot_worker.h"

namespace oskel {

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

SlotWorker::SlotWorker(int slot, Fetch fetch, Process process, DecodeAhead decodeAhead)
    : m_slot(slot)
    , m_fetch(std::move(fetch))
    , m_process(std::move(process))
    , m_decodeAhead(std::move(decodeAhead))
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
    if (m_aheadPending) {
        // At most one decode: the source is the worker's alone until it is done.
        m_aheadDone.acquire();
        m_aheadPending = false;
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
    m_aheadPending = static_cast<bool>(m_decodeAhead);
    return true;
}

bool SlotWorker::busy()
{
    if (m_aheadPending && m_aheadDone.try_acquire()) {
        m_aheadPending = false;
    }
    return m_outstanding || m_aheadPending;
}

void SlotWorker::run()
{
    while (!m_terminated) {
        if (!m_started.try_acquire_for(kStartWait) || m_terminated) {
            continue;
        }
        work();
        m_done.release();
        if (m_decodeAhead) {
            decodeAhead();
            m_aheadDone.release();
        }
    }
}

// Play that moved on by a short step is taken to move on by the same step again.
void SlotWorker::decodeAhead()
{
    const std::int64_t step = m_frame - m_lastFetchedFrame;
    const bool steady = m_lastFetchedFrame >= 0 && step > 0 && step <= kLongestStepAhead;
    m_lastFetchedFrame = m_frame;
    if (steady) {
        m_decodeAhead(m_slot, m_frame + step);
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
