// The streaming source on real clips made by the ffmpeg tool: every frame it hands out, by
// whichever route, equals the tool's own decoding of that frame; the sound comes whole; a
// still picture is a one-frame clip; a file deleted while it plays breaks nothing.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "sources/streaming_source.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

using test::joinArgs;
using test::makeClip;
using test::testPicture;
using test::tone;

using Frame = std::vector<std::uint8_t>;

// The tool's frames as the source delivers them: rows bottom-up (the clips here are small
// enough to be delivered at full size).
std::vector<Frame> referenceFrames(const std::filesystem::path& clip, int width, int height)
{
    const std::vector<std::uint8_t> raw = test::decodeWithFfmpeg(clip);
    const std::size_t row = std::size_t(width) * 3;
    const std::size_t frameBytes = row * std::size_t(height);
    std::vector<Frame> frames;
    for (std::size_t start = 0; start + frameBytes <= raw.size(); start += frameBytes) {
        Frame frame;
        frame.reserve(frameBytes);
        for (int y = height - 1; y >= 0; --y) {
            const auto from = raw.begin() + std::ptrdiff_t(start + std::size_t(y) * row);
            frame.insert(frame.end(), from, from + std::ptrdiff_t(row));
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

struct ClipCase {
    const char* name;
    std::vector<std::string> args;
    int width;
    int height;
    bool sound;
};

void PrintTo(const ClipCase& clip, std::ostream* out)
{
    *out << clip.name;
}

class StreamingSourceClips : public ::testing::TestWithParam<ClipCase> {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }

    // Fetches `index` and checks the pixels against the tool's frame.
    int fetchAndCompare(StreamingSource& source, TSourceInfo& info,
        const std::vector<Frame>& reference, std::int64_t index)
    {
        const std::uint8_t* pixels = nullptr;
        const int result = source.getFrame(index, info, pixels);
        EXPECT_LT(result, kFirstFrameFailure) << "frame " << index;
        EXPECT_NE(pixels, nullptr);
        const Frame& expected = reference.at(std::size_t(index));
        EXPECT_EQ(info.frameHeader.sizeImage, expected.size());
        if (pixels != nullptr && info.frameHeader.sizeImage == expected.size()) {
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pixels))
                << "frame " << index << " (result " << result << ")";
        }
        return result;
    }
};

TEST_P(StreamingSourceClips, EveryRouteHandsOutTheRightFrameAndTheSoundComesWhole)
{
    const ClipCase& c = GetParam();
    const auto clip = makeClip(c.name, c.args);
    const std::vector<Frame> reference = referenceFrames(clip, c.width, c.height);
    ASSERT_GE(reference.size(), 50U);

    StreamingSource source;
    TSourceInfo info;
    ASSERT_EQ(source.open(clip, info), kSourceOk);
    EXPECT_TRUE(info.hasVideo);
    EXPECT_EQ(info.hasAudio, c.sound);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_NEAR(info.frameRate, 25.0, 1e-9);
    // Program streams have no frame count: it is estimated from their duration.
    EXPECT_NEAR(double(info.frameCount), double(reference.size()), 3.0);
    ASSERT_EQ(source.prepare(info), kSourceOk);

    EXPECT_EQ(fetchAndCompare(source, info, reference, 0), kFetchedLatest);
    EXPECT_EQ(fetchAndCompare(source, info, reference, 0), kFetchedReady);
    for (std::int64_t index = 1; index <= 5; ++index) {
        EXPECT_LT(fetchAndCompare(source, info, reference, index), kFetchedAhead);
    }
    const int ahead = fetchAndCompare(source, info, reference, 20);
    EXPECT_GE(ahead, kFetchedAhead);
    EXPECT_LT(ahead, kFetchedBySeek);
    for (const std::int64_t index : { 3, 47, 44, 11, 2, 49 }) {
        const int sought = fetchAndCompare(source, info, reference, index);
        EXPECT_GT(sought, kFetchedBySeek) << index;
        EXPECT_LE(sought, kFetchedBySeek + 4) << index;
    }

    std::vector<std::uint8_t> sound;
    if (c.sound) {
        ASSERT_EQ(source.getAudio(info, sound), kSourceOk);
        // Two seconds of 16-bit sound at the stream's own rate and channels.
        const double seconds = double(sound.size()) / info.waveFormat.avgBytesPerSec;
        EXPECT_NEAR(seconds, 2.0, 0.1);
        EXPECT_EQ(info.audioLength, std::int64_t(sound.size()));
        const std::vector<std::uint8_t> tool
            = test::decodeSoundWithFfmpeg(clip, info.waveFormat.channels);
        const std::size_t common = std::min(tool.size(), sound.size());
        EXPECT_TRUE(
            std::equal(sound.begin(), sound.begin() + std::ptrdiff_t(common), tool.begin()));
    } else {
        EXPECT_EQ(source.getAudio(info, sound), kSourceFailed);
    }
    EXPECT_EQ(source.close(info), kSourceOk);
}

std::vector<std::string> moving(std::vector<std::string> codec, bool withSound = false)
{
    return withSound ? joinArgs({ testPicture("160x120", "25", "2"), tone(48000, "2"), codec })
                     : joinArgs({ testPicture("160x120", "25", "2"), codec });
}

INSTANTIATE_TEST_SUITE_P(Containers, StreamingSourceClips,
    ::testing::Values(ClipCase { "stream_h264_aac.mp4",
                          moving({ "-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-bf",
                                     "2", "-pix_fmt", "yuv420p", "-c:a", "aac" },
                              true),
                          160, 120, true },
        ClipCase { "stream_mpeg4.mov", moving({ "-c:v", "mpeg4", "-g", "12", "-bf", "2" }), 160,
            120, false },
        ClipCase { "stream_mpeg4_mp3.mkv",
            moving({ "-c:v", "mpeg4", "-g", "12", "-c:a", "libmp3lame" }, true), 160, 120, true },
        ClipCase { "stream_vp9_opus.webm",
            moving({ "-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-g", "12",
                       "-c:a", "libopus" },
                true),
            160, 120, true },
        // Program streams start their time stamps late: the source counts from the first.
        ClipCase { "stream_mpeg1_mp2.mpg",
            moving({ "-c:v", "mpeg1video", "-g", "12", "-bf", "2", "-c:a", "mp2" }, true), 160, 120,
            true }),
    [](const ::testing::TestParamInfo<ClipCase>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

class StreamingSourceStills : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }
};

TEST_P(StreamingSourceStills, AStillPictureIsOneFrameShownForEveryIndex)
{
    const auto clip = makeClip(GetParam(),
        joinArgs({ testPicture("120x90", "1", "1"), { "-frames:v", "1", "-pix_fmt", "bgr24" } }));
    const std::vector<Frame> reference = referenceFrames(clip, 120, 90);
    ASSERT_EQ(reference.size(), 1U);

    StreamingSource source;
    TSourceInfo info;
    ASSERT_EQ(source.open(clip, info), kSourceOk);
    EXPECT_TRUE(info.hasVideo);
    EXPECT_FALSE(info.hasAudio);
    EXPECT_DOUBLE_EQ(info.frameRate, 1.0);
    EXPECT_EQ(info.frameCount, 1);
    ASSERT_EQ(source.prepare(info), kSourceOk);
    for (const std::int64_t index : { 0, 0, 3, 250 }) {
        const std::uint8_t* pixels = nullptr;
        const int result = source.getFrame(index, info, pixels);
        EXPECT_LE(result, kFetchedLatest) << index;
        ASSERT_EQ(info.frameHeader.sizeImage, reference[0].size());
        EXPECT_TRUE(std::equal(reference[0].begin(), reference[0].end(), pixels)) << index;
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, StreamingSourceStills,
    ::testing::Values("stream_still.png", "stream_still.bmp", "stream_still.jpg"),
    [](const ::testing::TestParamInfo<const char*>& param) {
        std::string name = param.param;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(StreamingSourceClipFile, DeletedOrReplacedWhilePlayingBreaksNothing)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto made = makeClip("stream_deleted_source.mp4",
        joinArgs({ testPicture("160x120", "25", "2"), tone(48000, "2"),
            { "-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-pix_fmt", "yuv420p", "-c:a",
                "aac" } }));
    const auto clip = test::clipFolder() / "stream_deleted.mp4";
    std::filesystem::copy_file(made, clip, std::filesystem::copy_options::overwrite_existing);
    const std::vector<Frame> reference = referenceFrames(made, 160, 120);

    StreamingSource source;
    TSourceInfo info;
    ASSERT_EQ(source.open(clip, info), kSourceOk);
    ASSERT_EQ(source.prepare(info), kSourceOk);
    const std::uint8_t* pixels = nullptr;
    ASSERT_LT(source.getFrame(2, info, pixels), kFirstFrameFailure);

    std::filesystem::remove(clip);
    test::writeFileBytes(clip, std::vector<std::uint8_t>(5000, 0x5a));
    // The open file is still readable: seeking back and forth goes on showing its frames.
    for (const std::int64_t index : { 40, 3, 4, 30 }) {
        ASSERT_LT(source.getFrame(index, info, pixels), kFirstFrameFailure) << index;
        EXPECT_TRUE(std::equal(reference.at(std::size_t(index)).begin(),
            reference.at(std::size_t(index)).end(), pixels))
            << index;
    }
    // The sound is read from the file's name, which no longer holds a clip.
    std::vector<std::uint8_t> sound;
    EXPECT_EQ(source.getAudio(info, sound), kSourceFailed);
    EXPECT_EQ(source.close(info), kSourceOk);
    std::filesystem::remove(clip);
}

// A worker fetching at random on a real clip while the main thread reopens, stops and closes
// it: the real decoder on the decode thread, under the address sanitizer.
TEST(StreamingSourceClipFile, RandomFetchesWhileTheClipIsReopened)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip("stream_random.mkv",
        joinArgs({ testPicture("96x64", "25", "2"), { "-c:v", "mpeg4", "-g", "10", "-bf", "2" } }));
    const std::vector<Frame> reference = referenceFrames(clip, 96, 64);
    ASSERT_EQ(reference.size(), 50U);
    const auto shows = [&](const std::uint8_t* pixels, std::int64_t low, std::int64_t high) {
        for (std::int64_t k = std::max<std::int64_t>(low, 0); k <= std::min<std::int64_t>(high, 49);
             ++k) {
            const Frame& frame = reference[std::size_t(k)];
            if (std::equal(frame.begin(), frame.end(), pixels)) {
                return true;
            }
        }
        return false;
    };

    StreamingSource source;
    std::mutex fetching; // the frame clock's acknowledgement before a slot is reloaded
    std::atomic<bool> done { false };
    std::atomic<int> served { 0 };
    std::thread worker([&] {
        std::mt19937 random(3);
        TSourceInfo info;
        std::int64_t index = 0;
        while (!done) {
            index = std::uniform_int_distribution<int>(0, 3)(random) == 0
                ? std::uniform_int_distribution<std::int64_t>(0, 49)(random)
                : (index + 1) % 50;
            std::lock_guard lock(fetching);
            const std::uint8_t* pixels = nullptr;
            const int result = source.getFrame(index, info, pixels);
            if (result >= kFirstFrameFailure) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            ++served;
            ASSERT_EQ(info.frameHeader.sizeImage, reference[0].size());
            if (result < kFetchedBySeek) {
                EXPECT_TRUE(shows(pixels, index, index)) << index << " result " << result;
            } else {
                EXPECT_TRUE(shows(pixels, index - 13, index + 13)) << index << " result " << result;
            }
        }
    });
    std::mt19937 random(5);
    for (int cycle = 0; cycle < 8; ++cycle) {
        TSourceInfo info;
        {
            std::lock_guard lock(fetching);
            ASSERT_EQ(source.open(clip, info), kSourceOk);
        }
        EXPECT_EQ(source.prepare(info), kSourceOk);
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 200)(random)));
        if (cycle % 3 == 0) {
            source.stop(info);
        }
        EXPECT_EQ(source.close(info), kSourceOk);
    }
    done = true;
    worker.join();
    EXPECT_GT(served, 50);
}

// Broken files fail to open or play what they can: no crash, no leak, no thread left behind,
// and every frame handed out has the announced size.
TEST(StreamingSourceClipFile, BrokenFilesFailCleanlyOrPlayWhatTheyHold)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    using Bytes = std::vector<std::uint8_t>;
    const Bytes mkv = test::readFileBytes(makeClip("stream_broken_source.mkv",
        joinArgs({ testPicture("96x64", "25", "1"), tone(44100, "1"),
            { "-c:v", "mpeg4", "-g", "5", "-c:a", "libvorbis" } })));
    const Bytes mp4 = test::readFileBytes(makeClip("stream_broken_source.mp4",
        joinArgs({ testPicture("96x64", "25", "1"), tone(44100, "1"),
            { "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-movflags",
                "+faststart" } })));
    std::vector<std::pair<std::string, Bytes>> files { { "stream_empty.webm", {} },
        { "stream_text.mkv", Bytes(3000, 'x') } };
    for (const double fraction : { 0.05, 0.4, 0.8 }) {
        const std::string percent = std::to_string(int(fraction * 100));
        const auto part = [fraction](const Bytes& whole) {
            return Bytes(
                whole.begin(), whole.begin() + std::ptrdiff_t(double(whole.size()) * fraction));
        };
        files.emplace_back("stream_cut_" + percent + ".mkv", part(mkv));
        files.emplace_back("stream_cut_" + percent + ".mp4", part(mp4));
    }

    StreamingTimings quick;
    quick.frameWait = std::chrono::milliseconds(50);
    int opened = 0;
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const auto path = test::clipFolder() / name;
        test::writeFileBytes(path, bytes);
        StreamingSource source(ffmpegStreamingMedia(), quick);
        TSourceInfo info;
        if (source.open(path, info) != kSourceOk) {
            EXPECT_FALSE(info.hasVideo);
            EXPECT_FALSE(info.hasAudio);
            continue;
        }
        ++opened;
        source.prepare(info);
        for (const std::int64_t index : { std::int64_t(0), info.frameCount - 1, std::int64_t(1) }) {
            const std::uint8_t* pixels = nullptr;
            const int result = source.getFrame(index, info, pixels);
            EXPECT_TRUE(result < kFirstFrameFailure || result == kSourceFailed) << result;
            EXPECT_NE(pixels, nullptr);
            EXPECT_EQ(info.frameHeader.sizeImage, std::uint32_t(3 * info.width * info.height));
        }
        std::vector<std::uint8_t> sound;
        if (info.hasAudio && source.getAudio(info, sound) == kSourceOk) {
            EXPECT_EQ(info.audioLength, std::int64_t(sound.size()));
        }
        EXPECT_EQ(source.close(info), kSourceOk);
    }
    EXPECT_GE(opened, 2) << "the cut clips that keep their headers play what they hold";
}

} // namespace
} // namespace oskel
