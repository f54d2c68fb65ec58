#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace oskel {

// Runs work on the main thread on behalf of other threads: a queued post, and a blocking
// invoke that returns once the main thread has run the task. A task's exception never
// crosses to the calling thread: it goes on in the main thread's processPending, to be
// reported there, and the caller learns only that the task did not complete. The main thread serves
// the queue from its event loop (processPending), or while it waits for another thread (serveFor),
// so a thread blocked in invoke can always finish. After close() nothing more runs and blocked
// invokers return false.
class MainThreadDispatcher {
public:
    using Task = std::function<void()>;

    // The thread that constructs the dispatcher is the main thread.
    MainThreadDispatcher();
    ~MainThreadDispatcher();
    MainThreadDispatcher(const MainThreadDispatcher&) = delete;
    MainThreadDispatcher& operator=(const MainThreadDispatcher&) = delete;

    bool isMainThread() const { return std::this_thread::get_id() == m_mainThread; }

    // Any thread. Returns false once the dispatcher is closed.
    bool post(Task task);
    // Any thread. Runs at once when called on the main thread. Returns false when the task
    // did not complete: the dispatcher closed, or the task failed.
    bool invoke(Task task);

    // Main thread: runs every task queued so far; returns how many ran.
    std::size_t processPending();
    // Any thread: how many tasks wait to run.
    std::size_t queued() const;
    // Main thread: runs tasks as they arrive until the time is up.
    void serveFor(std::chrono::milliseconds duration);
    // Called on the posting thread after each post, so that a GUI event loop can schedule
    // processPending. Set before other threads start posting.
    void setWakeHandler(std::function<void()> wake);

    // Main thread: where the failures of tasks go, the main thread's default handler (it
    // shows them to the performer). Without one, processPending and serveFor throw them.
    void setErrorHandler(std::function<void(std::exception_ptr)> handler)
    {
        m_errorHandler = std::move(handler);
    }

    // Any thread: stop serving; pending tasks are dropped.
    void close();
    bool isClosed() const;

private:
    struct InvokeState;
    struct Entry {
        Task task;
        std::shared_ptr<InvokeState> invoke; // null for a post
    };

    bool enqueue(Entry entry);
    std::optional<Entry> takeFront();
    static void runEntry(Entry& entry);

    const std::thread::id m_mainThread;
    mutable std::mutex m_lock;
    std::condition_variable m_queueChanged;
    std::deque<Entry> m_queue;
    bool m_closed = false;
    std::function<void()> m_wake;
    std::function<void(std::exception_ptr)> m_errorHandler; // main thread only
};

} // namespace oskel
