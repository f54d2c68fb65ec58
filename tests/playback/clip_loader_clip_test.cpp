// The loader on real clips made by the ffmpeg tool, through both media systems.
#include <gtest/gtest.h>

#include "platform/manual_clock_sound_device.h"
#include "playback/clip_loader.h"
#include "sources/reader_factory.h"
#include "support/clip_maker.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

class ClipLoaderOnClipsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    ManualClockSoundDevice device;
    AudioEngine audio { device, ui, [] { return std::optional<std::int64_t>(); } };
    test::FakePlayback playback;
    SourceInterface sources { makeMediaReader };
    ClipLoader loader { performance, sources, audio, playback };
};

TEST_F(ClipLoaderOnClipsTest, ClipsWithAndWithoutSoundThroughBothSystems)
{
    const auto withSound = test::makeClip("loader-sound.AVI",
        test::joinArgs({ test::testPicture("720x576", "25", "1"), test::tone(22050, "1"),
            { "-c:v", "mjpeg", "-c:a", "pcm_s16le", "-ac", "2" } }));
    const auto quiet = test::makeClip("loader-quiet.avi",
        test::joinArgs({ test::testPicture("160x120", "30000/1001", "1"), { "-c:v", "mjpeg" } }));
    const auto soundOnly = test::makeClip("loader-sound-only.avi",
        test::joinArgs({ test::tone(44100, "1"), { "-c:a", "pcm_s16le" } }));
    const auto mp4 = test::makeClip("loader.mp4",
        test::joinArgs({ test::testPicture("320x240", "25", "1"), test::tone(44100, "1"),
            { "-c:v", "mpeg4", "-c:a", "aac" } }));

    ASSERT_TRUE(loader.LoadClipIntoSlot(1, withSound, false, false));
    const TPlayAvistruct& first = performance.slot(1);
    EXPECT_EQ(first.SourceSystem, 0) << "\".AVI\" in capitals is read by the AVI source";
    EXPECT_EQ(first.FrameRate, 25);
    EXPECT_EQ(first.FrameCount, 25);
    EXPECT_EQ(std::pair(first.ClipWidth, first.ClipHeight), std::pair(360, 288)) << "halved";
    EXPECT_FALSE(first.LoadedSilent);
    EXPECT_EQ(first.BlockAlign, 4);
    EXPECT_EQ(first.BaseFrequency, 22050);
    EXPECT_NEAR(static_cast<double>(first.Length), 22050.0 * 4, 22050.0 * 4 * 0.05);

    ASSERT_TRUE(loader.LoadClipIntoSlot(2, quiet, false, false));
    const TPlayAvistruct& second = performance.slot(2);
    EXPECT_EQ(second.FrameRate, 30) << "29.97 frames a second counts as 30";
    EXPECT_TRUE(second.LoadedSilent);
    EXPECT_EQ(second.BlockAlign, 2);

    ASSERT_TRUE(loader.LoadClipIntoSlot(3, mp4, false, false));
    EXPECT_EQ(performance.slot(3).SourceSystem, 1);
    EXPECT_FALSE(performance.slot(3).LoadedSilent);
    const std::uint8_t* pixels = nullptr;
    EXPECT_LT(sources.SourceGetFrame(3, 12, pixels), kFirstFrameFailure);
    EXPECT_NE(pixels, nullptr);

    EXPECT_FALSE(loader.LoadClipIntoSlot(4, soundOnly, false, false));
    EXPECT_FALSE(performance.slot(4).Loaded);
    EXPECT_EQ(ui.messages.back(),
        "Sorry Oskel was unable to load clip: " + soundOnly.string() + "\nno picture stream");
}

// The message of a clip that does not load says why on a second line, in the media system's
// words where it has them.
TEST_F(ClipLoaderOnClipsTest, AClipThatDoesNotLoadSaysWhy)
{
    const std::filesystem::path folder = test::clipFolder();
    test::writeFileBytes(folder / "garbage.mov", std::vector<std::uint8_t>(4096, 'x'));
    std::filesystem::create_directories(folder / "folder.avi");
    using namespace std::string_literals;
    struct Case {
        std::filesystem::path file;
        std::string shownName;
        std::string reason;
    };
    for (const Case& c :
        std::vector<Case> {
            { folder / "missing.avi", (folder / "missing.avi").string(), "there is no such file" },
            { folder / "folder.avi", (folder / "folder.avi").string(), "it is not a regular file" },
            { folder / "garbage.mov", (folder / "garbage.mov").string(),
                "not a readable media file (Invalid data found when processing input)" },
            { folder / ("garbage.mov\0.avi"s), (folder / "garbage.mov\\0.avi").string(),
                "the file name holds a NUL byte" },
            { folder / "\x1b[2J.avi", (folder / "\\e[2J.avi").string(), "there is no such file" },
        }) {
        EXPECT_FALSE(loader.LoadClipIntoSlot(5, c.file, false, false)) << c.shownName;
        EXPECT_FALSE(performance.slot(5).Loaded);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back(),
            "Sorry Oskel was unable to load clip: " + c.shownName + "\n" + c.reason);
    }
}

} // namespace
} // namespace oskel
