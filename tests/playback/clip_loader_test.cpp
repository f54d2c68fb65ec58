#include <fstream>

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/clip_loader.h"
#include "sources/fake_media_source.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

class ClipLoaderTest : public ::testing::Test {
protected:
    std::filesystem::path file(const std::string& name)
    {
        const auto path = folder / name;
        std::ofstream(path) << "clip";
        return path;
    }
    bool load(int slot, const std::filesystem::path& path, bool sync = false, bool keep = false)
    {
        return loader.LoadClipIntoSlot(slot, path, sync, keep);
    }

    test::TempDir folder;
    test::FakeClip aviClip;
    test::FakeClip streamingClip;
    std::vector<SourceSystemKind> readersMade;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    ManualClockSoundDevice device;
    std::optional<std::int64_t> freeMemory = std::int64_t { 1 } << 40;
    AudioEngine audio { device, ui, [this] { return freeMemory; } };
    test::FakePlayback playback;
    SourceInterface sources { [this](SourceSystemKind system) {
        readersMade.push_back(system);
        return std::make_unique<test::FakeMediaSource>(
            system == SourceSystemKind::ssVFW ? aviClip : streamingClip);
    } };
    ClipLoader loader { performance, sources, audio, playback };
};

TEST_F(ClipLoaderTest, AClipWithSoundLoadsReadyToPlay)
{
    playback.exists = false;
    const auto path = file("dance.avi");
    ASSERT_TRUE(load(3, path));
    const TPlayAvistruct& slot = performance.slot(3);
    EXPECT_TRUE(slot.Loaded);
    EXPECT_EQ(slot.LoadResult, 0);
    EXPECT_EQ(slot.FrameRate, 25);
    EXPECT_EQ(slot.FrameCount, 50);
    EXPECT_EQ(slot.Length, 22050 * 4 * 2);
    EXPECT_EQ(slot.OutPoint, slot.Length);
    EXPECT_EQ(slot.InPoint, 0);
    EXPECT_EQ(slot.BlockAlign, 4);
    EXPECT_EQ(slot.BaseFrequency, 22050);
    EXPECT_EQ(slot.BytesPerSecond, 88200);
    EXPECT_FALSE(slot.LoadedSilent);
    EXPECT_EQ(slot.ClipWidth, 320);
    EXPECT_EQ(std::tuple(slot.Left, slot.Top, slot.Right, slot.Bottom), std::tuple(0, 0, 384, 288));
    EXPECT_EQ(slot.Size, 336);
    EXPECT_EQ(slot.ForwardBuffer->volume(), -10000);
    EXPECT_EQ(slot.BackwardBuffer->volume(), -8000);
    EXPECT_EQ(slot.FileName, path.string());
    EXPECT_EQ(slot.SourceSystem, 0);
    ASSERT_EQ(ui.thumbnails.size(), 1u);
    EXPECT_EQ(ui.thumbnails[0].hint, "VFW - " + path.string());
    EXPECT_EQ(ui.thumbnails[0].picture.pixels.size(), 96u * 72u * 3u);
    EXPECT_TRUE(performance.globals().slotTexturePending[3]);
    EXPECT_TRUE(performance.globals().texturesPending);
    EXPECT_EQ(performance.globals().selectedSlot, 3);
    EXPECT_EQ(playback.starts, 1) << "a first clip starts playback";
    EXPECT_FALSE(performance.globals().loadingBusy);
    EXPECT_EQ(performance.globals().lastClipPath, path.string());
}

TEST_F(ClipLoaderTest, TheExtensionChoosesTheReaderAndAviFallsBackToStreaming)
{
    ASSERT_TRUE(load(1, file("UPPER.AVI")));
    EXPECT_EQ(readersMade.back(), SourceSystemKind::ssVFW);
    ASSERT_TRUE(load(2, file("clip.mp4")));
    EXPECT_EQ(readersMade.back(), SourceSystemKind::ssDS);
    EXPECT_EQ(ui.thumbnails.back().hint.rfind("DirectShow - ", 0), 0u);

    readersMade.clear();
    aviClip.openResult = -2;
    ASSERT_TRUE(load(3, file("odd.avi")));
    EXPECT_EQ(readersMade,
        (std::vector<SourceSystemKind> { SourceSystemKind::ssVFW, SourceSystemKind::ssDS }));
    EXPECT_EQ(performance.slot(3).SourceSystem, 1);
}

TEST_F(ClipLoaderTest, FailedLoadsLeaveTheSlotEmptyAndSayWhy)
{
    struct Case {
        std::string name;
        test::FakeClip clip;
        bool fileExists;
        std::uint8_t result;
        std::string reason; // the message's second line
    };
    test::FakeClip noPicture;
    noPicture.hasVideo = false;
    test::FakeClip badSound;
    badSound.audioFails = true;
    test::FakeClip unreadable;
    unreadable.openResult = 999;
    for (const Case& c :
        std::vector<Case> { { "sound.mp4", noPicture, true, 235, "it has no picture" },
            { "broken.mp4", badSound, true, 246, "its sound does not decode" },
            { "junk.mp4", unreadable, true, 0, "nothing in it could be read" },
            { "missing.mp4", {}, false, 0, "there is no such file" } }) {
        streamingClip = c.clip;
        ui.messages.clear();
        const auto path = c.fileExists ? file(c.name) : folder / c.name;
        EXPECT_FALSE(load(4, path)) << c.name;
        const TPlayAvistruct& slot = performance.slot(4);
        EXPECT_FALSE(slot.Loaded) << c.name;
        EXPECT_EQ(slot.LoadResult, c.result) << c.name;
        EXPECT_EQ(ui.messages,
            std::vector<std::string> {
                "Sorry Oskel was unable to load clip: " + path.string() + "\n" + c.reason });
        EXPECT_FALSE(performance.globals().loadingBusy) << "a failed load must not block the next";
    }
}

TEST_F(ClipLoaderTest, SilentBuffersForClipsWithoutSoundOrLongOnes)
{
    streamingClip.hasAudio = false;
    ASSERT_TRUE(load(1, file("quiet.mp4")));
    EXPECT_TRUE(performance.slot(1).LoadedSilent);
    EXPECT_EQ(performance.slot(1).Length, 176400) << "two seconds of 16-bit mono at 44100 Hz";

    streamingClip = test::FakeClip {};
    streamingClip.audioBytes = 3000004;
    ASSERT_TRUE(load(2, file("long.mp4")));
    EXPECT_TRUE(performance.slot(2).LoadedSilent);
    EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(),
                  "Loading Long Clip Silent .. see prefs"),
        ui.statusTexts.end());

    performance.globals().LoadLongClipsSilent = false;
    ASSERT_TRUE(load(2, file("long.mp4")));
    EXPECT_FALSE(performance.slot(2).LoadedSilent);
    EXPECT_EQ(performance.slot(2).Length, 3000004);

    performance.globals().LoadClipsSilent = true;
    streamingClip.audioBytes = 4000;
    ASSERT_TRUE(load(2, file("short.mp4")));
    EXPECT_TRUE(performance.slot(2).LoadedSilent);
}

TEST_F(ClipLoaderTest, DecliningTheMemoryQuestionCancelsQuietly)
{
    freeMemory = 1000;
    ui.scriptedAnswers.push_back(DialogAnswer::Cancel);
    EXPECT_FALSE(load(5, file("big.mp4")));
    EXPECT_EQ(performance.slot(5).LoadResult, 252);
    EXPECT_FALSE(performance.slot(5).Loaded);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(performance.globals().loadingBusy);
}

TEST_F(ClipLoaderTest, ReloadingWithKeptSettingsKeepsPointsAndSpeed)
{
    ASSERT_TRUE(load(6, file("a.mp4")));
    TPlayAvistruct& slot = performance.slot(6);
    slot.InPoint = 4000;
    slot.OutPoint = 80000;
    slot.Volume = -700;
    slot.ForwardBuffer->setFrequency(33000);
    ASSERT_TRUE(load(6, file("b.mp4"), false, true));
    EXPECT_EQ(slot.InPoint, 4000);
    EXPECT_EQ(slot.OutPoint, 80000);
    EXPECT_EQ(slot.Volume, -700);
    EXPECT_EQ(slot.ForwardBuffer->frequency(), 33000);
    EXPECT_TRUE(slot.FileName.view().ends_with("b.mp4"));
}

TEST_F(ClipLoaderTest, NewClipsAreCentredAtTheirSizeUnlessFullScreen)
{
    performance.globals().LoadClipsFullscreen = false;
    ASSERT_TRUE(load(7, file("c.mp4"), true));
    const TPlayAvistruct& slot = performance.slot(7);
    EXPECT_EQ(
        std::tuple(slot.Left, slot.Top, slot.Right, slot.Bottom), std::tuple(32, 24, 352, 264));
    EXPECT_EQ(slot.Size, 280);
    EXPECT_TRUE(slot.InstallationMode);
    EXPECT_TRUE(slot.Mute) << "sync mode starts muted";
}

TEST_F(ClipLoaderTest, AStillPictureIsOneFrameAtOneFramePerSecond)
{
    streamingClip.frameRate = 0.0;
    streamingClip.frameCount = 1;
    streamingClip.hasAudio = false;
    ASSERT_TRUE(load(8, file("photo.png")));
    EXPECT_EQ(performance.slot(8).FrameRate, 1);
    EXPECT_EQ(performance.slot(8).FrameCount, 1);
    EXPECT_EQ(performance.slot(8).Length, 88200);
}

TEST_F(ClipLoaderTest, ThumbnailsComeFromTheMiddleWhenAsked)
{
    performance.options().ui.thumbnails = ThumbnailPosition::Middle;
    ASSERT_TRUE(load(9, file("m.mp4")));
    EXPECT_EQ(ui.thumbnails.back().picture.pixels[0], 25) << "frame 25 of 50";
}

TEST_F(ClipLoaderTest, MultipleLoadTakesTheFirstSixteenAfterClearingEverySlot)
{
    std::vector<ClipLoader::Entry> entries;
    for (int i = 0; i < 20; ++i) {
        entries.push_back({ file("clip" + std::to_string(i) + ".mp4"), i % 2 == 0 });
    }
    bool restartedHidden = false;
    loader.setSyncRestarter([&](bool hide) { restartedHidden = hide; });
    loader.loadMultipleClips(entries);
    for (int slot = 1; slot <= 16; ++slot) {
        EXPECT_TRUE(performance.slot(slot).Loaded) << slot;
        EXPECT_EQ(performance.slot(slot).InstallationMode, slot % 2 == 1) << slot;
    }
    EXPECT_TRUE(performance.slot(16).FileName.view().ends_with("clip15.mp4"));
    EXPECT_TRUE(restartedHidden);
    EXPECT_EQ(ui.statusTexts.back().rfind("Ready ... ", 0), 0u);
}

TEST_F(ClipLoaderTest, ALoadWhileBusyReturnsAtOnce)
{
    performance.globals().loadingBusy = true;
    EXPECT_FALSE(load(1, file("x.mp4")));
    EXPECT_TRUE(readersMade.empty());
}

TEST_F(ClipLoaderTest, TheOpenDialogLoadsKeepsSettingsOnALoadedSlotAndRemembersTheFolder)
{
    performance.globals().lastClipPath = (folder / "old.avi").string();
    EXPECT_EQ(loader.dialogStartFolder(), folder.path());

    EXPECT_FALSE(loader.LoadClipDialog(2, std::nullopt));
    EXPECT_FALSE(performance.globals().loadingBusy) << "a cancelled dialog frees the loader";

    const auto first = file("first.mp4");
    ASSERT_TRUE(loader.LoadClipDialog(2, first));
    performance.slot(2).InPoint = 1234;
    ASSERT_TRUE(loader.LoadClipDialog(2, file("second.mp4")));
    EXPECT_EQ(performance.slot(2).InPoint, 1234) << "a loaded slot keeps its settings";
    EXPECT_EQ(performance.globals().lastClipPath, (folder / "second.mp4").string());
    EXPECT_EQ(performance.globals().clipFolderHistory,
        std::vector<std::string> { folder.path().string() + "/" });
    EXPECT_EQ(ui.statusTexts.back().rfind("Ready ... ", 0), 0u);
}

TEST_F(ClipLoaderTest, UnloadingClosesTheSource)
{
    ASSERT_TRUE(load(10, file("u.mp4")));
    performance.UnloadSlot(10, false);
    EXPECT_FALSE(performance.slot(10).Loaded);
    EXPECT_FALSE(sources.info(10).ready);
    EXPECT_EQ(sources.SourceGetFrame(10, 0, *std::make_unique<const std::uint8_t*>()), 999);
}

} // namespace
} // namespace oskel
