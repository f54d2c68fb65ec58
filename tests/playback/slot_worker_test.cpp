#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <vector>

#include <gtest/gtest.h>

#include "playback/slot_worker.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

// A worker whose decoding ahead is held until the test lets it go.
struct AheadWorker {
    std::mutex mutex;
    std::vector<std::int64_t> fetched;
    std::vector<std::int64_t> aheads;
    std::counting_semaphore<64> release { 0 };
    SlotWorker worker {
        3,
        [this](int, std::int64_t frame, WorkerResult& result) {
            static const std::uint8_t pixel[3] {};
            const std::lock_guard lock(mutex);
            fetched.push_back(frame);
            result.pixels = pixel;
            return 0;
        },
        [](int, std::int64_t, WorkerResult&) {},
        [this](int, std::int64_t frame) {
            release.acquire();
            const std::lock_guard lock(mutex);
            aheads.push_back(frame);
        },
    };

    void play(std::int64_t frame)
    {
        ASSERT_TRUE(worker.start(frame, false));
        WorkerResult result;
        ASSERT_TRUE(worker.collect(std::chrono::steady_clock::now() + 5s, result));
    }
};

TEST(SlotWorkerAhead, DecodesTheSameStepOnAndIsBusyUntilDone)
{
    AheadWorker ahead;
    ahead.release.release(8);
    ahead.play(10); // no step seen yet
    ahead.play(11);
    ahead.play(13);
    ahead.play(13); // paused
    ahead.play(40); // a jump
    ahead.play(39); // backwards
    ahead.play(40);
    ahead.play(41);
    // The decoding ahead after the last start runs on; busy until it has ended.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (ahead.worker.busy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    const std::lock_guard lock(ahead.mutex);
    EXPECT_EQ(ahead.aheads, (std::vector<std::int64_t> { 12, 15, 41, 42 }));
}

TEST(SlotWorkerAhead, AStartWaitsForTheDecodingAheadItFollows)
{
    AheadWorker ahead;
    ahead.play(1);
    ahead.play(2); // decodes 3 ahead, held
    EXPECT_TRUE(ahead.worker.busy());
    std::atomic<bool> started = false;
    std::thread frameThread([&] {
        ahead.worker.start(3, false);
        started = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(started) << "the source is the worker's until it has decoded ahead";
    ahead.release.release(4);
    frameThread.join();
    WorkerResult result;
    EXPECT_TRUE(ahead.worker.collect(std::chrono::steady_clock::now() + 5s, result));
    const std::lock_guard lock(ahead.mutex);
    EXPECT_EQ(ahead.fetched, (std::vector<std::int64_t> { 1, 2, 3 }));
}

} // namespace
} // namespace oskel
