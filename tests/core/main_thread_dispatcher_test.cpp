#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/main_thread_dispatcher.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

TEST(MainThreadDispatcher, InvokeRunsOnTheMainThreadAndReturnsWhenDone)
{
    MainThreadDispatcher dispatcher;
    const auto mainId = std::this_thread::get_id();
    std::thread::id ranOn;
    std::atomic<bool> returned = false;
    std::thread worker([&] {
        EXPECT_TRUE(dispatcher.invoke([&] { ranOn = std::this_thread::get_id(); }));
        returned = true;
    });
    while (!returned) {
        dispatcher.serveFor(5ms);
    }
    worker.join();
    EXPECT_EQ(ranOn, mainId);
}

TEST(MainThreadDispatcher, InvokeOnTheMainThreadRunsAtOnce)
{
    MainThreadDispatcher dispatcher;
    int runs = 0;
    EXPECT_TRUE(dispatcher.invoke([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(dispatcher.processPending(), 0u);
}

TEST(MainThreadDispatcher, AFailureInAnInvokedTaskIsReportedOnTheMainThread)
{
    MainThreadDispatcher dispatcher;
    std::atomic<int> completed = -1;
    std::thread worker([&] {
        completed = dispatcher.invoke([] { throw std::runtime_error("Could not play"); }) ? 1 : 0;
    });
    std::string reported;
    while (reported.empty()) {
        try {
            dispatcher.processPending();
        } catch (const std::runtime_error& error) {
            reported = error.what();
        }
        std::this_thread::sleep_for(1ms);
    }
    worker.join();
    EXPECT_EQ(reported, "Could not play");
    EXPECT_EQ(completed, 0) << "the caller is told the task did not complete";
}

TEST(MainThreadDispatcher, TheErrorHandlerTakesFailuresAndTheQueueGoesOn)
{
    MainThreadDispatcher dispatcher;
    std::vector<std::string> reported;
    dispatcher.setErrorHandler([&](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            reported.emplace_back(error.what());
        }
    });
    int ran = 0;
    dispatcher.post([] { throw std::runtime_error("Could not set volume"); });
    dispatcher.post([&] { ++ran; });
    EXPECT_NO_THROW(dispatcher.processPending());
    EXPECT_EQ(reported, std::vector<std::string> { "Could not set volume" });
    EXPECT_EQ(ran, 1);
}

// A task that serves the queue while it waits for another thread (the start clips waiting for
// the frame thread) runs what was queued behind it, the other thread's call among them.
TEST(MainThreadDispatcher, ATaskServingTheQueueRunsWhatWasQueuedBehindIt)
{
    MainThreadDispatcher dispatcher;
    std::atomic<bool> answered = false;
    std::thread other;
    bool served = false;
    dispatcher.post([&] {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!answered && std::chrono::steady_clock::now() < deadline) {
            dispatcher.serveFor(10ms);
        }
        served = answered;
    });
    other = std::thread([&] { answered = dispatcher.invoke([] {}); });
    while (dispatcher.queued() < 2) {
        std::this_thread::sleep_for(1ms); // both queued before the main thread looks
    }
    EXPECT_EQ(dispatcher.processPending(), 1u) << "the call behind ran inside the first task";
    other.join();
    EXPECT_TRUE(served);
}

TEST(MainThreadDispatcher, PostsRunInOrderAndCloseReleasesBlockedInvokers)
{
    MainThreadDispatcher dispatcher;
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        dispatcher.post([&order, i] { order.push_back(i); });
    }
    EXPECT_EQ(dispatcher.processPending(), 5u);
    EXPECT_EQ(order, (std::vector<int> { 0, 1, 2, 3, 4 }));

    std::atomic<int> result = -1;
    std::thread worker([&] { result = dispatcher.invoke([] {}) ? 1 : 0; });
    while (dispatcher.isClosed() == false && result == -1) {
        std::this_thread::sleep_for(5ms);
        dispatcher.close();
    }
    worker.join();
    EXPECT_EQ(result, 0) << "the task never ran, and the caller was told";
    EXPECT_FALSE(dispatcher.post([] {}));
}

TEST(MainThreadDispatcher, ManyThreadsInvokingConcurrentlyAllComplete)
{
    MainThreadDispatcher dispatcher;
    constexpr int kThreads = 4;
    constexpr int kCallsEach = 200;
    int counter = 0; // only touched on the main thread
    std::atomic<int> finished = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < kCallsEach; ++i) {
                dispatcher.invoke([&] { ++counter; });
                if (i % 3 == 0) {
                    dispatcher.post([&] { ++counter; });
                }
            }
            ++finished;
        });
    }
    while (finished < kThreads) {
        dispatcher.serveFor(1ms);
    }
    for (auto& worker : workers) {
        worker.join();
    }
    dispatcher.processPending();
    EXPECT_EQ(counter, kThreads * (kCallsEach + (kCallsEach + 2) / 3));
}

TEST(MainThreadDispatcher, TheWakeHandlerHearsOfEveryPost)
{
    MainThreadDispatcher dispatcher;
    std::atomic<int> wakes = 0;
    dispatcher.setWakeHandler([&] { ++wakes; });
    std::thread([&] {
        dispatcher.post([] {});
        dispatcher.post([] {});
    }).join();
    EXPECT_EQ(wakes, 2);
    EXPECT_EQ(dispatcher.processPending(), 2u);
}

} // namespace
} // namespace oskel
