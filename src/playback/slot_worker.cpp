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
    : m_slot(slot), m_fetch(std::move(fetch)), m_process(std::move(process))
{
    m_thread = std::thread([this] { run(); });
}

SlotWorker::~SlotWorker()
{
    {
        std::lock_guard guard(m_lock);
        m_terminated = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void SlotWorker::start(std::int64_t frame, bool processAlways)
{
    {
        std::lock_guard guard(m_lock);
        if (m_busy) {
            return;
        }
        m_frame = frame;
        m_processAlways = processAlways;
        m_done = false;
        m_busy = true;
    }
    m_changed.notify_all();
}

bool SlotWorker::waitDone(std::chrono::milliseconds timeout, WorkerResult& result)
{
    std::unique_lock guard(m_lock);
    if (!m_changed.wait_for(guard, timeout, [this] { return m_done; })) {
        return false;
    }
    result = m_result;
    return true;
}

void SlotWorker::run()
{
    std::unique_lock guard(m_lock);
    while (!m_terminated) {
        if (!m_changed.wait_for(guard, kStartWait, [this] { return m_busy || m_terminated; })) {
            continue;
        }
        if (m_terminated) {
            break;
        }
        guard.unlock();
        work();
        guard.lock();
        m_busy = false;
        m_done = true;
        m_changed.notify_all();
    }
}

// Runs unlocked: m_frame, m_processAlways and m_lastProcessedFrame are only touched by the
// frame thread while the worker is idle, and m_result only by the worker while it is busy.
void SlotWorker::work()
{
    WorkerResult result;
    const auto started = std::chrono::steady_clock::now();
    const int code = m_fetch(m_slot, m_frame, result);
    result.decodeMs = millisecondsSince(started);
    if (code >= kFirstFrameFailure) {
        result.pixels = nullptr;
    }
    const auto processing = std::chrono::steady_clock::now();
    if (result.pixels != nullptr && (m_processAlways || m_frame != m_lastProcessedFrame)) {
        m_process(m_slot, m_frame, result);
    }
    m_lastProcessedFrame = m_frame;
    result.processingMs = millisecondsSince(processing);
    m_result = result;
}

} // namespace oskel
