#include "core/main_thread_dispatcher.h"

namespace oskel {

struct MainThreadDispatcher::InvokeState {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    bool ran = false;

    void finish(bool completed)
    {
        {
            std::lock_guard guard(lock);
            done = true;
            ran = completed;
        }
        finished.notify_all();
    }
};

MainThreadDispatcher::MainThreadDispatcher()
    : m_mainThread(std::this_thread::get_id())
{
}

MainThreadDispatcher::~MainThreadDispatcher()
{
    close();
}

bool MainThreadDispatcher::enqueue(Entry entry)
{
    std::function<void()> wake;
    {
        std::lock_guard guard(m_lock);
        if (m_closed) {
            return false;
        }
        m_queue.push_back(std::move(entry));
        wake = m_wake;
    }
    m_queueChanged.notify_all();
    if (wake) {
        wake();
    }
    return true;
}

bool MainThreadDispatcher::post(Task task)
{
    return enqueue(Entry { std::move(task), nullptr });
}

bool MainThreadDispatcher::invoke(Task task)
{
    if (isMainThread()) {
        if (isClosed()) {
            return false;
        }
        task();
        return true;
    }
    auto state = std::make_shared<InvokeState>();
    if (!enqueue(Entry { std::move(task), state })) {
        return false;
    }
    std::unique_lock guard(state->lock);
    state->finished.wait(guard, [&] { return state->done; });
    return state->ran;
}

std::optional<MainThreadDispatcher::Entry> MainThreadDispatcher::takeFront()
{
    std::lock_guard guard(m_lock);
    if (m_queue.empty()) {
        return std::nullopt;
    }
    Entry front = std::move(m_queue.front());
    m_queue.pop_front();
    return front;
}

std::size_t MainThreadDispatcher::queued() const
{
    std::lock_guard guard(m_lock);
    return m_queue.size();
}

void MainThreadDispatcher::runEntry(Entry& entry)
{
    if (!entry.invoke) {
        entry.task();
        return;
    }
    // A failure stays on the main thread, where its handler reports it; the caller is only
    // told that the task did not complete.
    try {
        entry.task();
        entry.invoke->finish(true);
    } catch (...) {
        entry.invoke->finish(false);
        throw;
    }
}

// The entries are taken off the queue one at a time, so that a task that serves the queue
// itself while it waits (a start-up load waiting for the frame thread) runs the entries queued
// behind it, among them the frame thread's own call, rather than waiting for them for ever.
std::size_t MainThreadDispatcher::processPending()
{
    const std::size_t count = queued();
    std::size_t taken = 0;
    while (taken < count) {
        std::optional<Entry> entry = takeFront();
        if (!entry) {
            break; // a task served the rest itself
        }
        ++taken;
        if (isClosed()) {
            if (entry->invoke) {
                entry->invoke->finish(false);
            }
            continue;
        }
        try {
            runEntry(*entry);
        } catch (...) {
            if (m_errorHandler) {
                m_errorHandler(std::current_exception());
                continue;
            }
            throw; // no handler: the caller has the failure; what was not run stays queued
        }
    }
    return taken;
}

void MainThreadDispatcher::serveFor(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (true) {
        processPending();
        std::unique_lock guard(m_lock);
        if (!m_queueChanged.wait_until(
                guard, deadline, [&] { return !m_queue.empty() || m_closed; })) {
            return;
        }
        if (m_closed) {
            return;
        }
    }
}

void MainThreadDispatcher::setWakeHandler(std::function<void()> wake)
{
    std::lock_guard guard(m_lock);
    m_wake = std::move(wake);
}

void MainThreadDispatcher::close()
{
    std::deque<Entry> dropped;
    {
        std::lock_guard guard(m_lock);
        m_closed = true;
        dropped.swap(m_queue);
    }
    m_queueChanged.notify_all();
    for (auto& entry : dropped) {
        if (entry.invoke) {
            entry.invoke->finish(false);
        }
    }
}

bool MainThreadDispatcher::isClosed() const
{
    std::lock_guard guard(m_lock);
    return m_closed;
}

} // namespace oskel
