// Broken and hostile files must fail cleanly: no crash, no leak (the address sanitizer watches),
// and whatever does open delivers frames and sound of the sizes it announced.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "avi_clip_patching.h"
#include "sources/avi_source.h"
#include "sources/decoded_media.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

using test::joinArgs;
using test::makeClip;
using test::testPicture;
using test::tone;

using Bytes = std::vector<std::uint8_t>;

struct HostileFile {
    std::string name;
    Bytes bytes;
    bool cutShort = false; // the first part of a whole clip
};

Bytes randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

// An AVI file's opening words followed by noise.
Bytes riffThen(const Bytes& noise)
{
    Bytes bytes { 'R', 'I', 'F', 'F', 0, 0, 1, 0, 'A', 'V', 'I', ' ', 'L', 'I', 'S', 'T' };
    bytes.insert(bytes.end(), noise.begin(), noise.end());
    return bytes;
}

Bytes firstPart(const Bytes& bytes, double fraction)
{
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(double(bytes.size()) * fraction));
}

Bytes patched(Bytes bytes, const char* type, bool format, std::size_t offset, std::uint32_t value)
{
    EXPECT_TRUE(test::patchAviStream(bytes, type, format, offset, value));
    return bytes;
}

std::vector<HostileFile> hostileFiles()
{
    const Bytes avi = test::readFileBytes(makeClip("hostile_source.avi",
        joinArgs({ testPicture("96x64", "25", "1"), tone(44100, "1"),
            { "-c:v", "mpeg4", "-g", "5", "-c:a", "pcm_s16le" } })));
    const Bytes mp4 = test::readFileBytes(makeClip("hostile_source.mp4",
        joinArgs({ testPicture("96x64", "25", "1"), tone(44100, "1"),
            { "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-movflags",
                "+faststart" } })));
    std::vector<HostileFile> files {
        { "empty.avi", {} },
        { "empty.mp4", {} },
        { "random.avi", randomBytes(4096, 1) },
        { "random.mp4", randomBytes(4096, 2) },
        { "riff_then_random.avi", riffThen(randomBytes(2048, 3)) },
        { "zero_rate.avi", patched(avi, "vids", false, test::kStreamRate, 0) },
        { "huge_sound.avi", patched(avi, "auds", false, test::kStreamLength, 0xFFFFFFFFU) },
    };
    for (const double fraction : { 0.02, 0.1, 0.3, 0.6, 0.95 }) {
        const std::string percent = std::to_string(int(fraction * 100));
        files.push_back({ "truncated_" + percent + ".avi", firstPart(avi, fraction), true });
        files.push_back({ "truncated_" + percent + ".mp4", firstPart(mp4, fraction), true });
    }
    // Random bytes over the middle of a real clip: headers intact, the data broken.
    Bytes scrambled = avi;
    const Bytes noise = randomBytes(scrambled.size() / 3, 4);
    std::copy(noise.begin(), noise.end(), scrambled.begin() + std::ptrdiff_t(scrambled.size() / 3));
    files.push_back({ "scrambled.avi", scrambled });
    return files;
}

void expectFramesOfTheAnnouncedSize(VideoDecoder& decoder)
{
    const VideoStreamInfo& info = decoder.info();
    ASSERT_GT(info.frameCount, 0);
    ASSERT_GT(info.width, 0);
    ASSERT_LE(info.width, 384);
    ASSERT_LE(info.height, 288);
    for (const std::int64_t index :
        { info.frameCount - 1, std::int64_t(0), info.frameCount / 2, std::int64_t(1) }) {
        if (const DecodedFrame* frame = decoder.frameAt(index)) {
            EXPECT_EQ(frame->pixels.size(), std::size_t(info.width) * info.height * 3);
        }
    }
}

class HostileClipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }
};

TEST_F(HostileClipTest, FailCleanlyOrDeliverWhatTheyAnnounce)
{
    for (const HostileFile& file : hostileFiles()) {
        SCOPED_TRACE(file.name);
        const auto path = test::clipFolder() / file.name;
        test::writeFileBytes(path, file.bytes);

        std::string error;
        if (auto decoder = openVideoDecoder(path, "", error)) {
            expectFramesOfTheAnnouncedSize(*decoder);
            if (file.cutShort) {
                // What is announced is what the file still holds, not what its header says.
                const VideoStreamInfo& info = decoder->info();
                EXPECT_LT(info.frameCount, info.claimedFrameCount);
                EXPECT_NE(decoder->frameAt(info.frameCount - 1), nullptr);
            }
        } else {
            EXPECT_FALSE(error.empty());
        }
        AudioStreamInfo sound;
        Bytes pcm;
        if (decodeAllAudio(path, "", sound, pcm, {}, error)) {
            EXPECT_EQ(pcm.size() % std::size_t(2 * sound.channels), 0U);
            EXPECT_LE(pcm.size(), std::size_t(44100 * 2 * 2)); // never more than the clip holds
        }

        AviSource source;
        TSourceInfo info;
        const int opened = source.open(path, info);
        if (opened == 0) {
            EXPECT_TRUE(info.hasVideo);
            const std::uint8_t* pixels = nullptr;
            for (const std::int64_t index : { info.frameCount - 1, std::int64_t(0) }) {
                if (source.getFrame(index, info, pixels) == 0) {
                    EXPECT_EQ(
                        info.frameHeader.sizeImage, std::uint32_t(3 * info.width * info.height));
                }
            }
            Bytes whole;
            if (info.hasAudio && source.getAudio(info, whole) == 0) {
                EXPECT_EQ(info.audioLength, std::int64_t(whole.size()));
            }
        } else {
            EXPECT_FALSE(info.hasVideo);
            EXPECT_FALSE(info.hasAudio);
        }
        EXPECT_EQ(source.close(info), 0);
    }
}

TEST_F(HostileClipTest, AbsurdPictureHeadersAreRefused)
{
    // Uncompressed, so that the header is all there is to tell the picture's size.
    const Bytes avi = test::readFileBytes(makeClip("absurd_source.avi",
        joinArgs(
            { testPicture("96x64", "25", "0.4"), { "-c:v", "rawvideo", "-pix_fmt", "bgr24" } })));
    const HostileFile files[] = {
        { "width_100000.avi", patched(avi, "vids", true, test::kBitmapWidth, 100000) },
        { "width_negative.avi", patched(avi, "vids", true, test::kBitmapWidth, 0x80000000U) },
        { "frames_2g.avi", patched(avi, "vids", false, test::kStreamLength, 0x7FFFFFFF) },
    };
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        const auto path = test::clipFolder() / file.name;
        test::writeFileBytes(path, file.bytes);
        AviSource source;
        TSourceInfo info;
        EXPECT_NE(source.open(path, info), 0);
        EXPECT_FALSE(info.hasVideo);
    }
}

TEST_F(HostileClipTest, APictureStreamWithoutADecodableFrameIsRefused)
{
    Bytes avi = test::readFileBytes(makeClip("undecodable_source.avi",
        joinArgs({ testPicture("96x64", "25", "0.4"), tone(44100, "0.4"),
            { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } })));
    ASSERT_EQ(test::zeroAviChunks(avi, "00dc"), 10);
    const auto path = test::clipFolder() / "undecodable.avi";
    test::writeFileBytes(path, avi);
    AviSource source;
    TSourceInfo info;
    EXPECT_EQ(source.open(path, info), kSourceFailed);
    EXPECT_FALSE(info.hasVideo);
    EXPECT_FALSE(info.hasAudio); // though the sound is intact
    std::string error;
    EXPECT_EQ(openVideoDecoder(path, "", error), nullptr);
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace oskel
