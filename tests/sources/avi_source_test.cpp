#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "avi_clip_patching.h"
#include "sources/avi_source.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

using test::joinArgs;
using test::makeClip;
using test::testPicture;
using test::tone;

class AviSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }
    void TearDown() override { EXPECT_EQ(m_source.close(m_info), 0); }

    AviSource m_source;
    TSourceInfo m_info;
};

std::filesystem::path smallClip(const std::string& size, const std::string& rate = "25")
{
    // The test picture comes in even sizes only; odd ones are scaled to.
    std::string name = "size_" + size + "_" + rate + ".avi";
    std::replace(name.begin(), name.end(), '/', '_');
    return makeClip(name,
        joinArgs({ testPicture(size, rate, "1"),
            { "-vf", "scale=" + size, "-frames:v", "3", "-c:v", "mjpeg", "-pix_fmt",
                "yuvj444p" } }));
}

struct SizeCase {
    const char* clip;
    int width;
    int height;
};

TEST_F(AviSourceTest, LargeClipsAreDeliveredHalvedAndFitted)
{
    const SizeCase cases[] = {
        { "720x576", 360, 288 },
        { "384x288", 384, 288 },
        { "385x200", 192, 100 },
        { "721x300", 360, 150 },
        { "1280x720", 384, 216 },
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.clip);
        AviSource source;
        TSourceInfo info;
        ASSERT_EQ(source.open(smallClip(c.clip), info), 0);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(std::to_string(info.clipWidth) + "x" + std::to_string(info.clipHeight), c.clip);
        const std::uint8_t* pixels = nullptr;
        ASSERT_EQ(source.getFrame(2, info, pixels), 0);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(info.frameHeader.width, c.width);
        EXPECT_EQ(info.frameHeader.height, c.height);
        EXPECT_EQ(info.frameHeader.bitCount, 24);
        EXPECT_EQ(info.frameHeader.sizeImage, std::uint32_t(3 * c.width * c.height));
        EXPECT_EQ(source.close(info), 0);
    }
}

TEST_F(AviSourceTest, FrameRateIsRoundedToAWholeNumber)
{
    ASSERT_EQ(m_source.open(smallClip("64x48", "30000/1001"), m_info), 0);
    EXPECT_EQ(m_info.frameRate, 30.0);
    EXPECT_DOUBLE_EQ(m_info.frameDuration, 1.0 / 30.0);
    EXPECT_EQ(m_info.frameCount, 3);
    EXPECT_DOUBLE_EQ(m_info.duration, 3.0 / 30.0);
    EXPECT_TRUE(m_info.hasVideo);
    EXPECT_FALSE(m_info.hasAudio); // no sound in the clip
    EXPECT_EQ(m_info.videoInfo.compression, "MJPG");
}

TEST_F(AviSourceTest, OpenResultsTellWhyAFileCannotBeRead)
{
    const auto soundOnly
        = makeClip("sound_only.avi", joinArgs({ tone(44100, "0.5"), { "-c:a", "pcm_s16le" } }));
    const auto mp4 = makeClip(
        "not_avi.mp4", joinArgs({ testPicture("64x48", "25", "0.2"), { "-c:v", "mpeg4" } }));
    const auto renamed = test::clipFolder() / "mp4_named.avi";
    std::filesystem::copy_file(mp4, renamed, std::filesystem::copy_options::overwrite_existing);
    const auto empty = test::clipFolder() / "empty.avi";
    test::writeFileBytes(empty, {});
    const struct {
        std::filesystem::path path;
        int result;
    } cases[] = {
        { test::clipFolder() / "missing.avi", AviSource::kCannotOpen },
        { test::clipFolder(), AviSource::kCannotOpen }, // a folder
        { renamed, AviSource::kNotAvi },
        { empty, AviSource::kNotAvi },
        { soundOnly, AviSource::kNoPicture },
    };
    for (const auto& c : cases) {
        TSourceInfo info;
        EXPECT_EQ(m_source.open(c.path, info), c.result) << c.path;
        EXPECT_FALSE(info.hasVideo);
        EXPECT_FALSE(info.hasAudio);
    }
}

TEST_F(AviSourceTest, FramesOutsideTheClipAreFailures)
{
    ASSERT_EQ(m_source.open(smallClip("64x48"), m_info), 0);
    const std::uint8_t* pixels = nullptr;
    EXPECT_EQ(m_source.getFrame(-1, m_info, pixels), kSourceFailed);
    EXPECT_EQ(m_source.getFrame(3, m_info, pixels), kSourceFailed);
    EXPECT_EQ(m_source.getFrame(2, m_info, pixels), 0);
    EXPECT_EQ(m_source.close(m_info), 0);
    EXPECT_EQ(m_source.getFrame(0, m_info, pixels), kSourceFailed);
}

TEST_F(AviSourceTest, SoundIsDeliveredAsPcmWithItsWaveFormat)
{
    const auto clip = makeClip("stereo_mp3.avi",
        joinArgs({ testPicture("64x48", "25", "1"), tone(32000, "1"),
            { "-ac", "2", "-c:v", "mjpeg", "-c:a", "libmp3lame" } }));
    ASSERT_EQ(m_source.open(clip, m_info), 0);
    EXPECT_TRUE(m_info.hasVideo);
    ASSERT_TRUE(m_info.hasAudio);
    const TWaveFormatEx& format = m_info.waveFormat;
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSec, 32000U);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.avgBytesPerSec, 128000U);
    EXPECT_EQ(m_info.sampleRate, 32000);
    EXPECT_EQ(m_info.audioBlock, 4);

    std::vector<std::uint8_t> sound;
    ASSERT_EQ(m_source.getAudio(m_info, sound), 0);
    EXPECT_EQ(m_info.audioLength, std::int64_t(sound.size()));
    EXPECT_TRUE(sound == test::decodeSoundWithFfmpeg(clip, 2));
}

TEST_F(AviSourceTest, SoundLengthIsWhatDecodesWhateverTheHeaderSays)
{
    const auto clip = makeClip("pcm_for_patching.avi",
        joinArgs({ testPicture("64x48", "25", "1"), tone(44100, "1"),
            { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    const std::vector<std::uint8_t> original = test::readFileBytes(clip);
    const std::vector<std::uint8_t> truth = test::decodeSoundWithFfmpeg(clip, 1);
    const std::uint32_t length = test::aviStreamField(original, "auds", test::kStreamLength);
    ASSERT_GT(length, 0U);
    for (const std::uint32_t claimed : { length * 10, length / 10, 0U, 0xFFFFFFF0U }) {
        SCOPED_TRACE(claimed);
        std::vector<std::uint8_t> bytes = original;
        ASSERT_TRUE(test::patchAviStream(bytes, "auds", false, test::kStreamLength, claimed));
        const auto patched = test::clipFolder() / "pcm_patched.avi";
        test::writeFileBytes(patched, bytes);
        AviSource source;
        TSourceInfo info;
        ASSERT_EQ(source.open(patched, info), 0);
        std::vector<std::uint8_t> sound;
        ASSERT_EQ(source.getAudio(info, sound), 0);
        EXPECT_EQ(info.audioLength, std::int64_t(sound.size()));
        EXPECT_TRUE(sound == truth);
        EXPECT_EQ(source.close(info), 0);
    }
}

} // namespace
} // namespace oskel
