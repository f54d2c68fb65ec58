// The decoding layer against the ffmpeg tool: the same clip decoded by both must give the same
// frames, whatever the order in which ours are asked for.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "sources/decoded_media.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

using test::joinArgs;
using test::makeClip;
using test::testPicture;
using test::tone;

class DecodedMediaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }
};

using Frame = std::vector<std::uint8_t>;

// The ffmpeg tool's frames as we deliver them: rows bottom-up, and for a clip larger than
// 384 x 288 every second pixel of every second row, counting rows from the bottom.
std::vector<Frame> referenceFrames(const std::filesystem::path& clip, int width, int height)
{
    const std::vector<std::uint8_t> raw = test::decodeWithFfmpeg(clip);
    const bool halve = width > 384 || height > 288;
    const int step = halve ? 2 : 1;
    const std::size_t frameBytes = std::size_t(width) * height * 3;
    std::vector<Frame> frames;
    for (std::size_t start = 0; start + frameBytes <= raw.size(); start += frameBytes) {
        Frame frame;
        for (int row = 0; row < height / step; ++row) {
            const std::size_t topDownRow = std::size_t(height - 1 - row * step);
            for (int x = 0; x < width / step; ++x) {
                const std::size_t at = start + (topDownRow * width + std::size_t(x * step)) * 3;
                frame.insert(frame.end(), raw.begin() + std::ptrdiff_t(at),
                    raw.begin() + std::ptrdiff_t(at + 3));
            }
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

// Forwards, a jump back, backwards across keyframes, a step back by one, then random.
std::vector<std::int64_t> requestOrder(std::int64_t count)
{
    std::vector<std::int64_t> order;
    for (std::int64_t i = 0; i < 8; ++i) {
        order.push_back(i);
    }
    for (std::int64_t i = count - 1; i >= count - 30 && i >= 0; --i) {
        order.push_back(i);
    }
    order.insert(order.end(), { count / 2, count / 2 - 1, count / 2 + 1, 3, count - 1, 0 });
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::int64_t> pick(0, count - 1);
    for (int i = 0; i < 25; ++i) {
        order.push_back(pick(random));
    }
    return order;
}

struct ClipCase {
    const char* name;
    std::vector<std::string> args;
    int width;
    int height;
};

void PrintTo(const ClipCase& clip, std::ostream* out)
{
    *out << clip.name;
}

class FrameAccuracy : public DecodedMediaTest, public ::testing::WithParamInterface<ClipCase> { };

TEST_P(FrameAccuracy, EveryFrameEqualsTheFfmpegToolsWhateverTheOrderOfRequests)
{
    const ClipCase& c = GetParam();
    const auto clip = makeClip(c.name, c.args);
    const std::vector<Frame> reference = referenceFrames(clip, c.width, c.height);
    std::string error;
    const auto decoder = openVideoDecoder(clip, "", error);
    ASSERT_NE(decoder, nullptr) << error;
    ASSERT_EQ(decoder->info().frameCount, std::int64_t(reference.size()));
    for (const std::int64_t index : requestOrder(decoder->info().frameCount)) {
        const DecodedFrame* frame = decoder->frameAt(index);
        ASSERT_NE(frame, nullptr) << "frame " << index;
        ASSERT_EQ(frame->index, index);
        ASSERT_TRUE(frame->pixels == reference[std::size_t(index)]) << "frame " << index;
    }
}

std::vector<std::string> withCodec(
    const std::vector<std::string>& input, std::vector<std::string> codec)
{
    return joinArgs({ input, codec });
}

INSTANTIATE_TEST_SUITE_P(Clips, FrameAccuracy,
    ::testing::Values(
        // Uncompressed and lossless, halved: 400 x 300 is delivered as 200 x 150.
        ClipCase { "raw.avi",
            withCodec(
                testPicture("400x300", "25", "1.6"), { "-c:v", "rawvideo", "-pix_fmt", "bgr24" }),
            400, 300 },
        ClipCase { "ffv1.mkv",
            withCodec(testPicture("400x300", "25", "2"), { "-c:v", "ffv1", "-g", "10" }), 400,
            300 },
        // Long groups with B-frames: frames come out of the decoder in another order.
        ClipCase { "mpeg4.avi",
            withCodec(testPicture("320x240", "25", "3"),
                { "-c:v", "mpeg4", "-g", "24", "-bf", "2", "-q:v", "5" }),
            320, 240 },
        ClipCase { "h264.mp4",
            withCodec(testPicture("320x240", "25", "3"),
                { "-c:v", "libx264", "-preset", "ultrafast", "-g", "30", "-bf", "2", "-pix_fmt",
                    "yuv420p" }),
            320, 240 },
        ClipCase { "vp9.webm",
            withCodec(testPicture("176x144", "25", "2"),
                { "-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-g", "20" }),
            176, 144 }),
    [](const ::testing::TestParamInfo<ClipCase>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

struct ContainerCase {
    const char* name;
    std::vector<std::string> args;
    int clipWidth;
    int clipHeight;
    int width; // delivered
    int height;
    double frameRate;
    std::int64_t frameCount;
    int soundChannels; // 0: no sound
};

void PrintTo(const ContainerCase& clip, std::ostream* out)
{
    *out << clip.name;
}

class Containers : public DecodedMediaTest, public ::testing::WithParamInterface<ContainerCase> { };

TEST_P(Containers, OpenWithTheirPictureAndSound)
{
    const ContainerCase& c = GetParam();
    const auto clip = makeClip(c.name, c.args);
    std::string error;
    const auto decoder = openVideoDecoder(clip, "", error);
    ASSERT_NE(decoder, nullptr) << error;
    const VideoStreamInfo& info = decoder->info();
    EXPECT_EQ(info.clipWidth, c.clipWidth);
    EXPECT_EQ(info.clipHeight, c.clipHeight);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_NEAR(info.frameRate, c.frameRate, 1e-9);
    EXPECT_EQ(info.frameCount, c.frameCount);
    EXPECT_EQ(info.isStill, c.frameRate == 0.0);
    const DecodedFrame* last = decoder->frameAt(info.frameCount - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->pixels.size(), std::size_t(c.width) * c.height * 3);
    EXPECT_EQ(decoder->frameAt(info.frameCount), nullptr);

    AudioStreamInfo sound;
    std::vector<std::uint8_t> pcm;
    const bool hasSound = decodeAllAudio(clip, "", sound, pcm, {}, error);
    ASSERT_EQ(hasSound, c.soundChannels > 0) << error;
    if (hasSound) {
        EXPECT_EQ(sound.channels, c.soundChannels);
        EXPECT_EQ(sound.sampleRate, 48000);
        // Two seconds of sound, give or take the codec's padding.
        const double seconds = double(pcm.size()) / (2.0 * sound.channels * sound.sampleRate);
        EXPECT_NEAR(seconds, 2.0, 0.05);
        EXPECT_NEAR(double(sound.expectedBytes), double(pcm.size()), 0.05 * double(pcm.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Containers,
    ::testing::Values(ContainerCase { "h264_aac.mp4",
                          joinArgs({ testPicture("640x360", "30", "2"), tone(48000, "2"),
                              { "-ac", "2", "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt",
                                  "yuv420p", "-c:a", "aac" } }),
                          640, 360, 320, 180, 30.0, 60, 2 },
        ContainerCase { "mjpeg_pcm.mov",
            joinArgs({ testPicture("160x120", "24", "2"), tone(48000, "2"),
                { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }),
            160, 120, 160, 120, 24.0, 48, 1 },
        ContainerCase { "mpeg4_vorbis.mkv",
            joinArgs({ testPicture("1280x720", "25", "2"), tone(48000, "2"),
                { "-c:v", "mpeg4", "-c:a", "libvorbis" } }),
            1280, 720, 384, 216, 25.0, 50, 1 },
        ContainerCase { "vp9_opus.webm",
            joinArgs({ testPicture("176x144", "25", "2"), tone(48000, "2"),
                { "-ac", "6", "-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8",
                    "-c:a", "libopus" } }),
            176, 144, 176, 144, 25.0, 50, 2 },
        ContainerCase { "still.png",
            joinArgs({ testPicture("500x400", "1", "1"), { "-frames:v", "1" } }), 500, 400, 250,
            200, 0.0, 1, 0 }),
    [](const ::testing::TestParamInfo<ContainerCase>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

// 200 frames in four groups of 50, each starting with a keyframe.
std::filesystem::path longGroupClip()
{
    return makeClip("long_groups.mp4",
        joinArgs({ testPicture("160x120", "25", "8"),
            { "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-keyint_min", "50",
                "-sc_threshold", "0", "-pix_fmt", "yuv420p" } }));
}

TEST_F(DecodedMediaTest, PlayInEitherDirectionCostsAboutOneDecodePerFrame)
{
    std::string error;
    const auto decoder = openVideoDecoder(longGroupClip(), "", error);
    ASSERT_NE(decoder, nullptr) << error;
    ASSERT_EQ(decoder->info().frameCount, 200);
    for (std::int64_t index = 0; index < 200; ++index) {
        ASSERT_NE(decoder->frameAt(index), nullptr);
    }
    const auto forwards = decoder->statistics();
    EXPECT_EQ(forwards.seeks, 0);
    EXPECT_LE(forwards.picturesDecoded, 200);

    // Backwards through a second decoder, so that nothing comes from the first pass: each
    // group is decoded once from its keyframe and then served from the cache.
    const auto reverse = openVideoDecoder(longGroupClip(), "", error);
    ASSERT_NE(reverse, nullptr) << error;
    for (std::int64_t index = 199; index >= 0; --index) {
        ASSERT_NE(reverse->frameAt(index), nullptr);
    }
    const auto backwards = reverse->statistics();
    EXPECT_LE(backwards.seeks, 4);
    EXPECT_LE(backwards.picturesDecoded, 220); // without the cache: about 5,000
}

TEST_F(DecodedMediaTest, ShortJumpsDecodeOnFarJumpsSeekAndDecodedFramesComeFromTheCache)
{
    std::string error;
    const auto decoder = openVideoDecoder(longGroupClip(), "", error);
    ASSERT_NE(decoder, nullptr) << error;
    auto before = decoder->statistics(); // frame 0 decoded when opening
    const auto cost = [&](std::int64_t index) {
        EXPECT_NE(decoder->frameAt(index), nullptr) << index;
        const auto after = decoder->statistics();
        const std::pair<std::int64_t, std::int64_t> spent {
            after.picturesDecoded - before.picturesDecoded, after.seeks - before.seeks
        };
        before = after;
        return spent;
    };
    using Cost = std::pair<std::int64_t, std::int64_t>; // pictures decoded, seeks
    EXPECT_EQ(cost(49), (Cost { 49, 0 })); // far, but no keyframe between: decodes on
    EXPECT_EQ(cost(40), (Cost { 0, 0 })); // decoded on the way
    EXPECT_EQ(cost(150), (Cost { 1, 1 })); // far ahead: seeks to the keyframe at 150
    EXPECT_EQ(cost(149), (Cost { 50, 1 })); // back: decodes the group from 100
    EXPECT_EQ(cost(120), (Cost { 0, 0 })); // decoded on the way
    EXPECT_EQ(cost(95), (Cost { 46, 1 })); // back to the group from 50
    EXPECT_EQ(cost(99), (Cost { 4, 0 })); // a short step on: decodes on
}

// Decoding ahead while the frame before is still in use: that frame stays as it was, the next
// frameAt is served without decoding, and a frame further off is left for later.
TEST_F(DecodedMediaTest, DecodingAheadServesTheNextFrameAndKeepsTheFrameInUse)
{
    const std::filesystem::path clips[] = {
        longGroupClip(), // a large cache
        makeClip("ahead.avi", // keyframes only: a cache of a few frames
            joinArgs({ testPicture("640x480", "25", "1"), { "-c:v", "mjpeg" } })),
    };
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.filename().string());
        std::string error;
        const auto decoder = openVideoDecoder(clip, "", error);
        ASSERT_NE(decoder, nullptr) << error;
        const std::vector<Frame> reference
            = referenceFrames(clip, decoder->info().clipWidth, decoder->info().clipHeight);
        ASSERT_GE(reference.size(), 20u);
        for (std::int64_t index = 0; index < 12; ++index) {
            const DecodedFrame* shown = decoder->frameAt(index);
            ASSERT_NE(shown, nullptr);
            const auto before = decoder->statistics();
            decoder->decodeAhead(index + 1);
            EXPECT_EQ(shown->pixels, reference[std::size_t(index)]) << index;
            const auto ahead = decoder->statistics();
            EXPECT_EQ(ahead.seeks, before.seeks);
            const DecodedFrame* next = decoder->frameAt(index + 1);
            ASSERT_NE(next, nullptr);
            EXPECT_EQ(next->pixels, reference[std::size_t(index + 1)]) << index + 1;
            EXPECT_EQ(decoder->statistics().picturesDecoded, ahead.picturesDecoded);
        }
        const auto before = decoder->statistics();
        decoder->decodeAhead(150);
        decoder->decodeAhead(-1);
        decoder->decodeAhead(100000);
        EXPECT_EQ(decoder->statistics().picturesDecoded, before.picturesDecoded);
        EXPECT_EQ(decoder->statistics().seeks, before.seeks);
    }
}

TEST_F(DecodedMediaTest, FramePastEverySizeLimitIsFittedAndLooksLikeTheClip)
{
    const auto clip = makeClip("wide.avi",
        joinArgs({ testPicture("1280x720", "25", "0.2"), { "-c:v", "mjpeg", "-q:v", "2" } }));
    std::string error;
    const auto decoder = openVideoDecoder(clip, "avi", error);
    ASSERT_NE(decoder, nullptr) << error;
    const DecodedFrame* frame = decoder->frameAt(2);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->width, 384);
    ASSERT_EQ(frame->height, 216);
    // The ffmpeg tool's own area scaling of the whole frame, flipped: halving first loses
    // detail, so the two agree on average, not pixel for pixel.
    const std::vector<std::uint8_t> raw
        = test::decodeWithFfmpeg(clip, "select=eq(n\\,2),scale=384:216:flags=area,vflip");
    ASSERT_EQ(raw.size(), frame->pixels.size());
    double difference = 0.0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        difference += std::abs(int(raw[i]) - int(frame->pixels[i]));
    }
    EXPECT_LT(difference / double(raw.size()), 8.0);
}

TEST_F(DecodedMediaTest, PcmSoundIsDeliveredByteForByte)
{
    const auto clip = makeClip("pcm_stereo.avi",
        joinArgs({ testPicture("64x48", "25", "1"), tone(44100, "1"),
            { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    AudioStreamInfo info;
    std::vector<std::uint8_t> pcm;
    std::string error;
    ASSERT_TRUE(decodeAllAudio(clip, "avi", info, pcm, {}, error)) << error;
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.expectedBytes, std::int64_t(pcm.size()));
    EXPECT_TRUE(pcm == test::decodeSoundWithFfmpeg(clip, 2));
}

TEST_F(DecodedMediaTest, CompressedSoundKeepsItsRateAndChannels)
{
    const auto clip = makeClip("mp3_mono.avi",
        joinArgs({ testPicture("64x48", "25", "1"), tone(22050, "1"),
            { "-c:v", "mjpeg", "-c:a", "libmp3lame" } }));
    AudioStreamInfo info;
    std::vector<std::uint8_t> pcm;
    std::string error;
    ASSERT_TRUE(decodeAllAudio(clip, "avi", info, pcm, {}, error)) << error;
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.channels, 1);
    EXPECT_TRUE(pcm == test::decodeSoundWithFfmpeg(clip, 1));
}

TEST_F(DecodedMediaTest, DecodingTheSoundStopsWhenAskedTo)
{
    const auto clip = makeClip("pcm_mono.avi",
        joinArgs({ testPicture("64x48", "25", "1"), tone(44100, "1"), { "-c:v", "mjpeg" } }));
    AudioStreamInfo info;
    std::vector<std::uint8_t> pcm;
    std::string error;
    int asked = 0;
    EXPECT_FALSE(decodeAllAudio(
        clip, "avi", info, pcm, [&asked] { return ++asked < 3; }, error));
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(pcm.empty());
}

TEST_F(DecodedMediaTest, AClipInMemoryDecodesAsFromItsFile)
{
    const auto clip = makeClip("memory.mkv",
        joinArgs({ testPicture("96x64", "25", "1"), tone(44100, "1"),
            { "-c:v", "ffv1", "-g", "5", "-c:a", "flac" } }));
    const std::vector<std::uint8_t> bytes = test::readFileBytes(clip);
    MediaOpenError reason = MediaOpenError::None;
    std::string error;
    const auto fromMemory = openVideoDecoder(MediaInput { {}, bytes }, "", reason, error);
    const auto fromFile = openVideoDecoder(clip, "", error);
    ASSERT_NE(fromMemory, nullptr) << error;
    ASSERT_NE(fromFile, nullptr) << error;
    for (const std::int64_t index : { 20, 3, 24, 0 }) {
        const DecodedFrame* a = fromMemory->frameAt(index);
        ASSERT_NE(a, nullptr);
        const Frame memoryPixels = a->pixels;
        EXPECT_TRUE(memoryPixels == fromFile->frameAt(index)->pixels) << index;
    }
    AudioStreamInfo memoryInfo;
    AudioStreamInfo fileInfo;
    std::vector<std::uint8_t> memorySound;
    std::vector<std::uint8_t> fileSound;
    ASSERT_TRUE(decodeAllAudio(MediaInput { {}, bytes }, "", memoryInfo, memorySound, {}, error));
    ASSERT_TRUE(decodeAllAudio(clip, "", fileInfo, fileSound, {}, error));
    EXPECT_TRUE(memorySound == fileSound);
}

TEST_F(DecodedMediaTest, StreamingDeliversFramesInOrderFromASeekPoint)
{
    const auto clip = makeClip("stream.mp4",
        joinArgs({ testPicture("160x120", "25", "2"),
            { "-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-pix_fmt", "yuv420p" } }));
    std::string error;
    const auto decoder = openVideoDecoder(clip, "", error);
    ASSERT_NE(decoder, nullptr) << error;
    ASSERT_TRUE(decoder->seek(1.01)); // the first frame at or after: 26 at 25 frames a second
    for (std::int64_t expected = 26; expected < 50; ++expected) {
        const DecodedFrame* frame = decoder->nextFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->index, expected);
        EXPECT_NEAR(frame->time, double(expected) / 25.0, 1e-6);
    }
    EXPECT_EQ(decoder->nextFrame(), nullptr);
}

} // namespace
} // namespace oskel
