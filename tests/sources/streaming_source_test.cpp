// The streaming source against a fake decoder: how frames are fetched (results 0, 1, 2,
// 3 + waits, 100 + attempt, 998, 999), how the decode thread is throttled and closed, and how
// the whole sound is read.
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "fake_streaming_media.h"
#include "sources/streaming_source.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using test::fakeFrameNumber;
using test::FakeSound;
using test::makeFakeClip;

using Clock = std::chrono::steady_clock;

// Waits until the decode thread has reached a state, for at most a few seconds; true when it
// has.
template <typename Condition> bool waitUntil(Condition reached)
{
    const auto deadline = Clock::now() + 5s;
    while (!reached()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class StreamingSourceTest : public ::testing::Test {
protected:
    struct Fetched {
        int result = -1;
        int frame = -1; // the fake frame number shown by the pixels
        const std::uint8_t* pixels = nullptr;
    };

    void open()
    {
        source = std::make_unique<StreamingSource>(test::fakeStreamingMedia(clip, sound), timings);
        ASSERT_EQ(source->open("clip.mkv", info), kSourceOk);
    }

    void openAndPrepare()
    {
        open();
        ASSERT_EQ(source->prepare(info), kSourceOk);
    }

    Fetched fetch(std::int64_t index)
    {
        Fetched fetched;
        fetched.result = source->getFrame(index, info, fetched.pixels);
        fetched.frame = fakeFrameNumber(fetched.pixels, info.frameHeader.sizeImage);
        return fetched;
    }

    std::shared_ptr<test::FakeClip> clip = makeFakeClip(50, 25.0);
    FakeSound sound;
    StreamingTimings timings;
    TSourceInfo info;
    std::unique_ptr<StreamingSource> source;
};

TEST_F(StreamingSourceTest, OpenDescribesThePictureAndTheSound)
{
    clip = makeFakeClip(50, 25.0, 640, 480);
    clip->info.width = 320;
    clip->info.height = 240;
    sound.sampleRate = 44100;
    sound.channels = 2;
    sound.promisedBytes = 352800;
    open();

    EXPECT_TRUE(info.hasVideo);
    EXPECT_TRUE(info.hasAudio);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    EXPECT_EQ(info.clipWidth, 640);
    EXPECT_EQ(info.clipHeight, 480);
    EXPECT_EQ(info.frameHeader.sizeImage, 320U * 240U * 3U);
    EXPECT_DOUBLE_EQ(info.frameRate, 25.0);
    EXPECT_DOUBLE_EQ(info.frameDuration, 0.04);
    EXPECT_EQ(info.frameCount, 50);
    EXPECT_DOUBLE_EQ(info.duration, 2.0);
    EXPECT_EQ(info.videoInfo.compression, "FAKE");
    EXPECT_EQ(info.waveFormat.formatTag, 1);
    EXPECT_EQ(info.waveFormat.channels, 2);
    EXPECT_EQ(info.waveFormat.samplesPerSec, 44100U);
    EXPECT_EQ(info.waveFormat.avgBytesPerSec, 176400U);
    EXPECT_EQ(info.waveFormat.blockAlign, 4);
    EXPECT_EQ(info.waveFormat.bitsPerSample, 16);
    EXPECT_EQ(info.audioRate, 176400);
    EXPECT_EQ(info.audioLength, 352800);
    EXPECT_EQ(info.sampleRate, 44100);
}

TEST_F(StreamingSourceTest, AStillPictureIsAOneFrameClipAtOneFrameASecond)
{
    clip = makeFakeClip(1, 0.0);
    sound.present = false;
    open();
    EXPECT_TRUE(info.hasVideo);
    EXPECT_FALSE(info.hasAudio);
    EXPECT_DOUBLE_EQ(info.frameRate, 1.0);
    EXPECT_DOUBLE_EQ(info.frameDuration, 1.0);
    EXPECT_EQ(info.frameCount, 1);
    EXPECT_DOUBLE_EQ(info.duration, 1.0);
}

TEST_F(StreamingSourceTest, OpenFailsWithoutAUsablePictureAndThenIgnoresTheSound)
{
    struct Case {
        const char* name;
        bool failOpen;
        int clipWidth;
        int clipHeight;
    };
    for (const Case& c : { Case { "decoder refuses", true, 8, 6 },
             Case { "too wide", false, 10001, 6 }, Case { "too tall", false, 8, 10001 } }) {
        SCOPED_TRACE(c.name);
        clip = makeFakeClip(50, 25.0, c.clipWidth, c.clipHeight);
        clip->failOpen = c.failOpen;
        info = {};
        StreamingSource reader(test::fakeStreamingMedia(clip, sound), timings);
        EXPECT_EQ(reader.open("clip.mkv", info), kSourceFailed);
        EXPECT_FALSE(info.hasVideo);
        EXPECT_FALSE(info.hasAudio);
        EXPECT_EQ(clip->liveDecoders, 0);
    }
}

TEST_F(StreamingSourceTest, SoundlessOrEmptySoundMeansNoAudio)
{
    for (const auto& [present, promised, rate] : { std::tuple { false, 8000, 1000 },
             std::tuple { true, 0, 1000 }, std::tuple { true, 8000, 0 } }) {
        sound.present = present;
        sound.promisedBytes = promised;
        sound.sampleRate = rate;
        info = {};
        open();
        EXPECT_TRUE(info.hasVideo);
        EXPECT_FALSE(info.hasAudio) << present << " " << promised << " " << rate;
        std::vector<std::uint8_t> pcm;
        EXPECT_EQ(source->getAudio(info, pcm), kSourceFailed);
    }
}

// The routes of a fetch in the order a performance takes them, with a decoder slow enough
// (40 ms a frame) that the next frame is never there yet when it is asked for.
TEST_F(StreamingSourceTest, EachRouteToAFrameGivesItsResult)
{
    clip->decodeDelayMs = 40;
    openAndPrepare();

    Fetched first = fetch(0);
    EXPECT_EQ(first.result, kFetchedLatest) << "prepare left frame 0 in the latest slot";
    EXPECT_EQ(first.frame, 0);

    const auto before = Clock::now();
    const int decodedBefore = clip->decoded;
    const Fetched again = fetch(0);
    EXPECT_EQ(again.result, kFetchedReady);
    EXPECT_EQ(again.pixels, first.pixels);
    EXPECT_EQ(again.frame, 0);
    EXPECT_LT(Clock::now() - before, 40ms) << "the same frame again is served without waiting";
    EXPECT_LE(clip->decoded - decodedBefore, 1);

    const Fetched next = fetch(1);
    EXPECT_EQ(next.result, kFetchedNext);
    EXPECT_EQ(next.frame, 1);

    // Three earlier waits: the first ends at once on the arrival of frame 1, which is still
    // signalled; frames 2 and 3 come and go; then frame 4.
    const Fetched ahead = fetch(4);
    EXPECT_EQ(ahead.result, kFetchedAhead + 3);
    EXPECT_EQ(ahead.frame, 4);

    const Fetched back = fetch(2);
    EXPECT_EQ(back.result, kFetchedBySeek + 1);
    EXPECT_EQ(back.frame, 2);

    // Far ahead, beyond the look-ahead of 40 frames, is a seek too.
    const Fetched far = fetch(48);
    EXPECT_EQ(far.result, kFetchedBySeek + 1);
    EXPECT_EQ(far.frame, 48);
    EXPECT_EQ(clip->seekTimes().size(), 2U);
}

TEST_F(StreamingSourceTest, AFrameThatNeverComesGivesTheReadyPixelsAfterFourAttempts)
{
    // The header promises 50 frames; the file holds 10.
    clip->framesInFile = 10;
    timings.frameWait = 30ms;
    openAndPrepare();
    ASSERT_EQ(fetch(0).frame, 0);

    const Fetched missing = fetch(45);
    EXPECT_EQ(missing.result, kSourceFailed);
    EXPECT_EQ(missing.frame, 0) << "the ready frame is shown again";

    const Fetched last = fetch(9);
    EXPECT_EQ(last.result, kFetchedBySeek + 1);
    EXPECT_EQ(last.frame, 9) << "the file's last frame can still be reached";
}

TEST_F(StreamingSourceTest, ASeekSlowerThanTheFrameWaitIsWaitedForNotStartedOver)
{
    timings.frameWait = 100ms;
    openAndPrepare();
    ASSERT_EQ(fetch(0).frame, 0);
    ASSERT_EQ(fetch(45).frame, 45);
    std::this_thread::sleep_for(30ms); // frame 46 is delivered, frame 47 held
    clip->decodeDelayMs = 250;
    const Fetched back = fetch(2);
    EXPECT_EQ(back.result, kFetchedBySeek + 3);
    EXPECT_EQ(back.frame, 2);
    EXPECT_EQ(clip->seekTimes().size(), 2U);
}

TEST_F(StreamingSourceTest, AStillPictureAlwaysAsksForTimeZero)
{
    clip = makeFakeClip(1, 0.0);
    openAndPrepare();
    const Fetched first = fetch(0);
    EXPECT_EQ(first.result, kFetchedLatest);
    EXPECT_EQ(first.frame, 0);
    for (const std::int64_t index : { 0, 1, 7, 500 }) {
        const Fetched again = fetch(index);
        EXPECT_EQ(again.result, kFetchedReady) << index;
        EXPECT_EQ(again.frame, 0);
    }
    EXPECT_TRUE(clip->seekTimes().empty());
}

TEST_F(StreamingSourceTest, TimesCountFromTheFirstFramesTimeStamp)
{
    clip->info.firstFrameTime = 1.4;
    clip->firstStamp = 1.4;
    openAndPrepare();
    EXPECT_DOUBLE_EQ(info.seekLimit, 0.0);
    EXPECT_EQ(fetch(0).frame, 0);
    EXPECT_EQ(fetch(1).frame, 1);
    const Fetched far = fetch(45);
    EXPECT_EQ(far.result, kFetchedBySeek + 1);
    EXPECT_EQ(far.frame, 45);
}

TEST_F(StreamingSourceTest, FrameZeroIsReachableWhenItsTimeStampIsLaterThanReported)
{
    clip->firstStamp = 0.5;
    openAndPrepare();
    EXPECT_DOUBLE_EQ(info.seekLimit, 0.5);
    const Fetched first = fetch(0);
    EXPECT_EQ(first.result, kFetchedLatest);
    EXPECT_EQ(first.frame, 0);
}

TEST_F(StreamingSourceTest, TheDecodeThreadDropsAFrameNobodyAsksFor)
{
    timings.frameWait = 30ms; // the decode thread waits 10 x 30 ms for a request
    openAndPrepare();
    ASSERT_EQ(fetch(0).frame, 0);
    std::this_thread::sleep_for(400ms);

    // Frame 1 was delivered at once; frame 2 waited 300 ms and was dropped.
    const Fetched one = fetch(1);
    EXPECT_EQ(one.result, kFetchedLatest);
    const Fetched two = fetch(2);
    EXPECT_EQ(two.result, kFetchedBySeek + 1) << "frame 2 is gone: only a seek finds it";
    EXPECT_EQ(two.frame, 2);
}

TEST_F(StreamingSourceTest, StopHaltsDecodingAndASeekStillDeliversOneFrame)
{
    openAndPrepare();
    ASSERT_EQ(fetch(0).frame, 0);
    ASSERT_EQ(fetch(1).frame, 1);
    ASSERT_TRUE(waitUntil([&] { return clip->decoded == 4; })) << "frame 2 delivered, frame 3 held";
    source->stop(info);
    std::this_thread::sleep_for(30ms);
    const int decoded = clip->decoded;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(clip->decoded, decoded) << "stopped, the decode thread decodes nothing";

    const Fetched back = fetch(0);
    EXPECT_EQ(back.result, kFetchedBySeek + 1);
    EXPECT_EQ(back.frame, 0);
}

TEST_F(StreamingSourceTest, SequentialPlaySeeksForEveryNewFrame)
{
    open();
    ASSERT_EQ(source->startPicture(info, true), kSourceOk);
    EXPECT_EQ(fetch(0).result, kFetchedLatest);
    const Fetched next = fetch(1);
    EXPECT_EQ(next.result, kFetchedBySeek + 1);
    EXPECT_EQ(next.frame, 1);
}

TEST_F(StreamingSourceTest, CloseEndsAWaitingFetchWithClosing)
{
    clip->framesInFile = 10; // frame 45 never comes
    openAndPrepare();
    ASSERT_EQ(fetch(0).frame, 0);

    auto waiting = std::async(std::launch::async, [this] {
        const std::uint8_t* pixels = nullptr;
        return source->getFrame(45, info, pixels);
    });
    std::this_thread::sleep_for(50ms);
    const auto before = Clock::now();
    source->close(info);
    EXPECT_LT(Clock::now() - before, 500ms) << "not after the four seek attempts";
    EXPECT_EQ(waiting.get(), kFetchClosing);
    EXPECT_EQ(clip->liveDecoders, 0);
}

TEST_F(StreamingSourceTest, CloseIsPromptWhileTheDecodeThreadWaitsForARequest)
{
    openAndPrepare(); // the decode thread waits up to 2 s for each request
    ASSERT_EQ(fetch(0).frame, 0);
    ASSERT_TRUE(waitUntil([&] { return clip->decoded == 3; }))
        << "frame 1 delivered, frame 2 held until asked for";

    const auto before = Clock::now();
    EXPECT_EQ(source->close(info), kSourceOk);
    EXPECT_LT(Clock::now() - before, 500ms);
    EXPECT_EQ(clip->liveDecoders, 0);
    EXPECT_EQ(clip->decoded, 3);
}

TEST_F(StreamingSourceTest, DestructionWaitsOutTheDecoderCallItIsIn)
{
    clip->decodeDelayMs = 150;
    openAndPrepare(); // the decode thread goes straight on to decode frame 1
    std::this_thread::sleep_for(20ms);
    const auto before = Clock::now();
    source.reset();
    EXPECT_LT(Clock::now() - before, 1000ms);
    EXPECT_EQ(clip->liveDecoders, 0);
    EXPECT_EQ(clip->decoded, 2);
}

TEST_F(StreamingSourceTest, TheSoundIsCutAtItsPromisedLengthAnd4000Bytes)
{
    struct Case {
        std::int64_t promised;
        std::int64_t produced;
        std::int64_t kept;
    };
    for (const Case& c :
        { Case { 8000, 1000000, 12000 }, Case { 8000, 6000, 6000 }, Case { 8000, 11500, 11500 } }) {
        SCOPED_TRACE(c.produced);
        sound.promisedBytes = c.promised;
        sound.producedBytes = c.produced;
        sound.mostHeld = std::make_shared<std::atomic<std::int64_t>>(0);
        open();
        std::vector<std::uint8_t> pcm;
        ASSERT_EQ(source->getAudio(info, pcm), kSourceOk);
        EXPECT_EQ(static_cast<std::int64_t>(pcm.size()), c.kept);
        EXPECT_EQ(info.audioLength, c.kept);
        EXPECT_LE(*sound.mostHeld, 12000 + 1000) << "no more than the capacity and one chunk";
    }
}

TEST_F(StreamingSourceTest, ASoundThatFailsOrTakesTooLongGives999)
{
    timings.audioLimit = 100ms;
    sound.producedBytes = 8000;
    sound.chunkDelayMs = 40;
    open();
    std::vector<std::uint8_t> pcm;
    const auto before = Clock::now();
    EXPECT_EQ(source->getAudio(info, pcm), kSourceFailed);
    EXPECT_LT(Clock::now() - before, 500ms);
    EXPECT_TRUE(pcm.empty());

    sound.chunkDelayMs = 0;
    sound.fails = true;
    open();
    EXPECT_EQ(source->getAudio(info, pcm), kSourceFailed);
}

} // namespace
} // namespace oskel
