// The slot's worker fetches frames in a random order (mostly forwards, with jumps and
// backward steps that seek) while the main thread opens, prepares, stops and closes the
// source again and again and the decoder's speed changes: no data race (run under the thread
// sanitizer), no torn frame, every result tells the truth, and no decoder outlives a close.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "fake_streaming_media.h"
#include "sources/streaming_source.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

// Whether a fetch's result agrees with the frame its pixels show.
bool truthful(int result, std::int64_t index, int frame)
{
    if (result >= kFirstFrameFailure) {
        return result == kFetchClosing || result == kSourceFailed;
    }
    if (frame < 0) {
        return false; // a torn frame
    }
    if (result < kFetchedBySeek) {
        return frame == index;
    }
    // A seek takes a frame within half a second (and one frame) of the one asked for.
    return result <= kFetchedBySeek + 4 && std::abs(frame - index) <= 13;
}

TEST(StreamingSourceStress, RandomFetchesWhileTheSourceIsReopenedStoppedAndClosed)
{
    auto clip = test::makeFakeClip(60, 25.0);
    StreamingTimings timings;
    timings.frameWait = 20ms;
    StreamingSource source(test::fakeStreamingMedia(clip, test::FakeSound {}), timings);

    // Held by the worker around a fetch and the reading of its pixels, and by the main thread
    // around open: the frame clock's acknowledgement before a slot is reloaded.
    std::mutex fetching;
    std::atomic<bool> done { false };
    std::atomic<int> served { 0 };
    std::atomic<int> untruthful { 0 };

    std::thread worker([&] {
        std::mt19937 random(7);
        TSourceInfo workerInfo;
        std::int64_t index = 0;
        while (!done) {
            const int route = std::uniform_int_distribution<int>(0, 9)(random);
            if (route < 6) {
                ++index;
            } else if (route < 9) {
                index = std::uniform_int_distribution<std::int64_t>(0, 59)(random);
            } else {
                index = std::uniform_int_distribution<std::int64_t>(0, 64)(random);
            }
            index %= 65;
            std::lock_guard lock(fetching);
            const std::uint8_t* pixels = nullptr;
            const int result = source.getFrame(index, workerInfo, pixels);
            const int frame = test::fakeFrameNumber(pixels, workerInfo.frameHeader.sizeImage);
            if (!truthful(result, index, frame)) {
                ++untruthful;
                ADD_FAILURE() << "result " << result << " for frame " << index << " shows "
                              << frame;
            }
            if (result < kFirstFrameFailure) {
                ++served;
            } else {
                std::this_thread::sleep_for(1ms); // closed: let the main thread in
            }
        }
    });

    std::mt19937 random(11);
    const auto pick
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int cycle = 0; cycle < 40; ++cycle) {
        TSourceInfo info;
        {
            std::lock_guard lock(fetching);
            ASSERT_EQ(source.open("clip.webm", info), kSourceOk);
        }
        clip->decodeDelayMs = pick(0, 3);
        if (pick(0, 4) > 0) {
            EXPECT_EQ(source.prepare(info), kSourceOk);
        }
        for (int step = pick(1, 4); step > 0; --step) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pick(0, 25)));
            clip->decodeDelayMs = pick(0, 3);
            if (pick(0, 3) == 0) {
                source.stop(info);
            }
        }
        EXPECT_EQ(source.close(info), kSourceOk);
        EXPECT_EQ(clip->liveDecoders, 0) << "close ended the decode thread and its decoder";
    }
    done = true;
    worker.join();

    EXPECT_EQ(untruthful, 0);
    EXPECT_GT(served, 100) << "the worker was served while the source was open";
}

} // namespace
} // namespace oskel
