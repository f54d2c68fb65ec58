#include <fstream>

#include <gtest/gtest.h>

#include "control/clip_explorer.h"
#include "control/slot_grid_logic.h"
#include "core/control_names.h"
#include "core/event_processor.h"
#include "platform/manual_clock_sound_device.h"
#include "sources/fake_media_source.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

using slot_grid::CaptionMode;
using slot_grid::StatusButton;

// Text files are no clips.
class TextRefusingSource : public test::FakeMediaSource {
public:
    using FakeMediaSource::FakeMediaSource;
    int open(const std::filesystem::path& file, TSourceInfo& info) override
    {
        return file.extension() == ".txt" ? 1 : FakeMediaSource::open(file, info);
    }
};

// With a frame thread running, a finished load stays busy until its textures are made.
class RunningPlayback : public test::FakePlayback {
public:
    bool frameThreadRunning() const override { return true; }
};

class RecordingGridTargets : public SlotGridTargets {
public:
    std::vector<std::string> calls;
    CaptionMode captionStyle = CaptionMode::PcKeys;

    void openClipDialog(int slot) override { calls.push_back("dialog " + std::to_string(slot)); }
    void pauseMidiInput() override { calls.emplace_back("midi paused"); }
    void resumeMidiInput() override { calls.emplace_back("midi resumed"); }
    void toggleEffect(int slot) override { calls.push_back("effect " + std::to_string(slot)); }
    void copyEffectSetup(int from, int to) override
    {
        calls.push_back("effect copied " + std::to_string(from) + " " + std::to_string(to));
    }
    void bringApplicationToFront() override { calls.emplace_back("front"); }
    void setLayerCaptionStyle(CaptionMode mode) override { captionStyle = mode; }
};

class SlotGridTest : public ::testing::Test {
protected:
    std::filesystem::path file(const std::string& name)
    {
        const auto path = folder / name;
        std::ofstream(path) << "clip";
        return path;
    }
    // A drop on the slot's panel, and the frame thread making its textures.
    void dropOn(int slot, const std::vector<std::filesystem::path>& files)
    {
        const slot_grid::Rect panel = slot_grid::panelRect(slot);
        grid.dropFiles(files, panel.left + 10, panel.top + 10);
        performance.globals().loadingBusy = false;
    }
    TPlayAvistruct& fakeLoaded(int slot, std::int64_t length)
    {
        TPlayAvistruct& record = performance.slot(slot);
        record.Loaded = true;
        record.Length = length;
        record.OutPoint = length;
        return record;
    }
    std::string shownText(std::string_view control) const
    {
        const ControlValue* value = ui.lastShown(control);
        return value != nullptr && std::holds_alternative<std::string>(*value)
            ? std::get<std::string>(*value)
            : "";
    }
    std::optional<bool> shownState(std::string_view control) const
    {
        const ControlValue* value = ui.lastShown(control);
        if (value == nullptr || !std::holds_alternative<bool>(*value)) {
            return std::nullopt;
        }
        return std::get<bool>(*value);
    }

    test::TempDir folder;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::RecordingEventSink events;
    AudioMailbox controlMailbox;
    test::FakePlayback controlPlayback;
    // Carries out the settings of the control table that the controls send.
    EventProcessor controls { performance, controlMailbox, controlPlayback };
    ManualClockSoundDevice device;
    AudioEngine audio { device, ui,
        [] { return std::optional<std::int64_t>(std::int64_t { 1 } << 40); } };
    RunningPlayback playback;
    SourceInterface sources { [](SourceSystemKind) {
        return std::make_unique<TextRefusingSource>(test::FakeClip {});
    } };
    ClipLoader loader { performance, sources, audio, playback };
    Tempo tempo { performance, events };
    SelectionOnlyInspector inspector { performance };
    CrossfadeMixer mixer { performance, events, inspector };
    RecordingGridTargets targets;
    std::vector<bool> syncRestarts;
    SlotGrid grid { { performance, events, loader, tempo, mixer, inspector, targets,
        [this](bool hide) { syncRestarts.push_back(hide); } } };

    void SetUp() override
    {
        events.applyControlsWith(controls);
        controls.setControlChangedHandler(
            [this](const ControlEntry& entry, int slot) { tempo.controlChanged(entry, slot); });
    }
};

TEST(SlotGridLayout, PanelsInterleaveInTwoRows)
{
    struct Case {
        int slot, left, top;
    };
    for (const Case& c : std::vector<Case> {
             { 1, 0, 0 }, { 2, 54, 120 }, { 3, 108, 0 }, { 4, 162, 120 }, { 16, 810, 120 } }) {
        const slot_grid::Rect panel = slot_grid::panelRect(c.slot);
        EXPECT_EQ(panel.left, c.left) << c.slot;
        EXPECT_EQ(panel.top, c.top) << c.slot;
        EXPECT_EQ(panel.width, 106);
        EXPECT_EQ(panel.height, 118);
    }
    struct Point {
        int x, y;
        std::optional<int> slot;
    };
    for (const Point& p :
        std::vector<Point> { { 0, 0, 1 }, { 106, 118, 1 }, { 107, 50, std::nullopt }, { 108, 0, 3 },
            { 54, 120, 2 }, { 60, 119, std::nullopt }, { 916, 238, 16 }, { 917, 238, std::nullopt },
            { -1, 0, std::nullopt }, { 50, 239, std::nullopt } }) {
        EXPECT_EQ(slot_grid::slotAtPoint(p.x, p.y), p.slot) << p.x << "," << p.y;
    }
    EXPECT_EQ(slot_grid::cloneName("lbKey", 12), "lbKeyclone12");
}

TEST(SlotGridLayout, CaptionsFollowTheLayoutAndTheMidiOptions)
{
    Options options;
    EXPECT_EQ(slot_grid::captionMode(options), CaptionMode::PcKeys);
    options.ui.MIDIKeyLetters = true;
    EXPECT_EQ(slot_grid::captionMode(options), CaptionMode::MidiKeyboard);
    options.midi.MIDIguitairMode = true;
    EXPECT_EQ(slot_grid::captionMode(options), CaptionMode::MidiGuitar);

    const auto caption = [](CaptionMode mode, KeyboardLayout layout, int slot) {
        return std::string(slot_grid::slotCaption(mode, layout, slot));
    };
    EXPECT_EQ(caption(CaptionMode::PcKeys, KeyboardLayout::Qwerty, 1), "Q");
    EXPECT_EQ(caption(CaptionMode::PcKeys, KeyboardLayout::Qwerty, 16), "K");
    EXPECT_EQ(caption(CaptionMode::PcKeys, KeyboardLayout::Azerty, 1), "A");
    EXPECT_EQ(caption(CaptionMode::PcKeys, KeyboardLayout::Azerty, 3), "Z");
    EXPECT_EQ(caption(CaptionMode::PcKeys, KeyboardLayout::Azerty, 4), "S");
    EXPECT_EQ(caption(CaptionMode::MidiKeyboard, KeyboardLayout::Azerty, 8), "C");
    EXPECT_EQ(caption(CaptionMode::MidiGuitar, KeyboardLayout::Qwerty, 3), "F#");
    EXPECT_EQ(caption(CaptionMode::MidiGuitar, KeyboardLayout::Qwerty, 10), "C#");
    EXPECT_EQ(caption(CaptionMode::MidiGuitar, KeyboardLayout::Qwerty, 0), "");
    EXPECT_EQ(caption(CaptionMode::MidiGuitar, KeyboardLayout::Qwerty, 17), "");
}

TEST(SlotGridLayout, TheProgressBarFillsWithThePlayedShare)
{
    EXPECT_EQ(slot_grid::progressWidth(0, 250), 0);
    EXPECT_EQ(slot_grid::progressWidth(249, 250), 96);
    EXPECT_EQ(slot_grid::progressWidth(125, 250), 48);
    EXPECT_EQ(slot_grid::progressWidth(1, 192), 0); // 0.5 goes to the even 0
    EXPECT_EQ(slot_grid::progressWidth(3, 192), 2); // 1.5 goes to 2
    EXPECT_EQ(slot_grid::progressWidth(5, 0), 0);
    EXPECT_EQ(slot_grid::progressWidth(-5, 250), 0);
    EXPECT_EQ(slot_grid::progressWidth(900, 250), 96);
}

TEST_F(SlotGridTest, SwitchingCaptionsShowsThemEverywhere)
{
    performance.options().ui.MIDIKeyLetters = true;
    performance.options().midi.MIDIguitairMode = true;
    grid.showCaptions();
    EXPECT_EQ(shownText("lbKeyclone3"), "F#");
    EXPECT_EQ(shownText("lbKeyclone10"), "C#");
    EXPECT_EQ(targets.captionStyle, CaptionMode::MidiGuitar);
    EXPECT_EQ(shownText(control::kCrossfadeLetterA), "E");
    EXPECT_EQ(shownText(control::kCrossfadeLetterB), "F");
    EXPECT_TRUE(ui.lastShown(control::kInspectorRefresh) != nullptr);
}

TEST_F(SlotGridTest, ProgressIsShownForPlayingSlotsOnly)
{
    TPlayAvistruct& playing = fakeLoaded(2, 1000);
    playing.FrameCount = 250;
    playing.CurrentFrame = 249;
    playing.Playing = true;
    TPlayAvistruct& stopped = fakeLoaded(3, 1000);
    stopped.FrameCount = 250;
    grid.RefreshProgress();
    ASSERT_EQ(ui.controls.size(), 1u);
    EXPECT_EQ(ui.controls[0].control, "imgProgressclone2");
    EXPECT_EQ(std::get<std::int64_t>(ui.controls[0].value), 96);
}

TEST_F(SlotGridTest, ClicksAndTransportButtons)
{
    TPlayAvistruct& loaded = fakeLoaded(1, 1000);
    loaded.Mute = true;
    loaded.Balance = 20;
    grid.panelClick(1);
    EXPECT_EQ(inspector.inspectedSlot(), 1);
    grid.panelClick(2);
    grid.thumbnailRightButtonDown(1);
    grid.panelClick(0);
    grid.thumbnailRightButtonDown(17);
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "dialog 2", "dialog 1" }));

    grid.thumbnailDoubleClick(1);
    grid.pauseClick(1);
    loaded.Paused = true;
    grid.pauseClick(1);
    grid.pauseClick(2); // empty: asks to resume, which the event processor ignores
    grid.stopClick(1);
    grid.playClick(-3);
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> { { 0, -8000, 20, 1 }, { 9, 1, 0, 1 }, { 9, 0, 0, 1 },
            { 9, 0, 0, 2 }, { 10, 0, 0, 1 } }));
}

TEST_F(SlotGridTest, StatusButtonsToggleTheSlotAndShowIt)
{
    TPlayAvistruct& slot = fakeLoaded(1, 1000);
    slot.BaseFrequency = 44100;
    slot.ClipBPM = 75.0; // half the global 150
    inspector.showAVIinfo(1);

    grid.statusButtonClick(1, StatusButton::Bpm);
    EXPECT_TRUE(slot.FollowBPM);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 3, 88200, 0, 1 } }));
    EXPECT_EQ(shownState("bBPMclone1"), true);
    EXPECT_EQ(shownState(control::kFollowBpm), true);

    slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(1000, 44100);
    slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(1000, 44100);
    grid.statusButtonClick(1, StatusButton::Sync);
    EXPECT_TRUE(slot.InstallationMode);
    EXPECT_TRUE(slot.Mute);
    EXPECT_FALSE(slot.Shown);
    EXPECT_TRUE(slot.ForwardBuffer->isPlaying()) << "the sync-mode slots start again together";
    EXPECT_EQ(shownState(control::kSlotSyncMode), true);
    grid.statusButtonClick(1, StatusButton::Sync);
    EXPECT_FALSE(slot.Mute);
    EXPECT_TRUE(slot.Shown);
    EXPECT_FALSE(slot.ForwardBuffer->isPlaying()) << "leaving sync mode releases the slot";

    slot.ClipWidth = 200;
    slot.ClipHeight = 150;
    grid.statusButtonClick(1, StatusButton::ThreeD);
    EXPECT_FALSE(slot.BillBoard) << "too small for 3D";
    EXPECT_EQ(shownState("b3Dclone1"), false);

    grid.statusButtonClick(1, StatusButton::Effect);
    grid.statusButtonClick(2, StatusButton::Effect); // empty
    EXPECT_EQ(targets.calls, std::vector<std::string> { "effect 1" });
}

TEST_F(SlotGridTest, FilesDroppedTogetherLoadOneAfterTheOtherIntoThePanelUnderThem)
{
    dropOn(3, { file("one.avi"), file("two.mp4") });
    const TPlayAvistruct& slot = performance.slot(3);
    EXPECT_TRUE(slot.Loaded);
    EXPECT_TRUE(slot.FileName.view().ends_with("two.mp4"));
    EXPECT_EQ(inspector.inspectedSlot(), 3) << "no slot was selected";
    EXPECT_EQ(ui.statusTexts.back().rfind("Ready ... ", 0), 0u);
    const GlobalState& globals = performance.globals();
    EXPECT_TRUE(globals.texturesPending);
    for (int other = 1; other <= kSlotCount; ++other) {
        EXPECT_EQ(globals.slotTexturePending.at(static_cast<std::size_t>(other)), other == 3);
    }
    ASSERT_EQ(globals.clipFolderHistory.size(), 1u);
    EXPECT_EQ(std::filesystem::path(globals.clipFolderHistory[0]).parent_path(), folder.path());
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "front", "front" }));

    // With a slot selected, the inspector stays where it is.
    dropOn(4, { file("three.mp4") });
    EXPECT_TRUE(performance.slot(4).Loaded);
    EXPECT_EQ(inspector.inspectedSlot(), 3);
}

TEST_F(SlotGridTest, FoldersAndFilesThatAreNoClipsAreRefused)
{
    const auto subfolder = folder / "more clips";
    std::filesystem::create_directory(subfolder);
    dropOn(1, { subfolder, folder / "missing.mp4", file("notes.txt") });
    EXPECT_FALSE(performance.slot(1).Loaded);
    ASSERT_EQ(ui.messages.size(), 1u) << "only the text file reached the loader";
    EXPECT_NE(ui.messages[0].find("notes.txt"), std::string::npos);
    EXPECT_TRUE(performance.globals().clipFolderHistory.empty());

    grid.dropFiles({ file("far.mp4") }, 2000, 5); // beside every panel
    EXPECT_FALSE(performance.slot(16).Loaded);

    performance.globals().loadingBusy = true; // a patch is loading
    grid.dropFiles({ file("late.mp4") }, 5, 5);
    EXPECT_FALSE(performance.slot(1).Loaded);
}

TEST_F(SlotGridTest, DozensOfDroppedFilesLeaveTheLastLoaded)
{
    std::vector<std::filesystem::path> files;
    for (int k = 0; k < 40; ++k) {
        files.push_back(file("clip" + std::to_string(k) + ".mp4"));
    }
    dropOn(16, files);
    EXPECT_TRUE(performance.slot(16).FileName.view().ends_with("clip39.mp4"));
}

TEST_F(SlotGridTest, CopyingAClipWithItsSettings)
{
    dropOn(1, { file("source.mp4") });
    dropOn(2, { file("target.mp4") });
    performance.slot(1).Left = 40;
    performance.slot(1).Volume = -700;
    performance.slot(2).Playing = true;
    targets.calls.clear();

    grid.dropSlot(1, 2, CopyMode::ClipWithSettings);
    const TPlayAvistruct& target = performance.slot(2);
    EXPECT_TRUE(target.FileName.view().ends_with("source.mp4"));
    EXPECT_FALSE(target.Playing);
    EXPECT_EQ(target.Left, 40);
    EXPECT_EQ(target.Volume, -700);
    EXPECT_TRUE(target.TextureDirty);
    EXPECT_EQ(targets.calls,
        (std::vector<std::string> { "midi paused", "midi resumed", "effect copied 1 2" }));
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });
    EXPECT_EQ(inspector.inspectedSlot(), 2);
}

TEST_F(SlotGridTest, CopyingTheClipOnlyKeepsTheTargetsSettings)
{
    dropOn(1, { file("source.mp4") });
    dropOn(2, { file("target.mp4") });
    performance.slot(1).Left = 40;
    performance.slot(2).Left = 7;
    targets.calls.clear();

    grid.dropSlot(1, 2, CopyMode::ClipOnly);
    EXPECT_TRUE(performance.slot(2).FileName.view().ends_with("source.mp4"));
    EXPECT_EQ(performance.slot(2).Left, 7);
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "midi paused", "midi resumed" }));
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });
}

TEST_F(SlotGridTest, CopyingSettingsOnlyFitsThePointsIntoTheTarget)
{
    struct Case {
        std::int64_t sourceLength, sourceIn, sourceOut, targetLength;
        std::int64_t expectedIn, expectedOut;
    };
    for (const Case& c : std::vector<Case> {
             { 1000000, 600000, 900000, 500000, 0, 500000 }, // a long clip onto a short one
             { 1000000, 1000, 1000000, 2000000, 1000, 2000000 }, // to the end stays to the end
             { 1000000, 1000, 400000, 500000, 1000, 400000 },
         }) {
        TPlayAvistruct& source = fakeLoaded(1, c.sourceLength);
        source.InPoint = static_cast<std::int32_t>(c.sourceIn);
        source.OutPoint = c.sourceOut;
        TPlayAvistruct& target = fakeLoaded(2, c.targetLength);
        target.TextureDirty = false;
        grid.dropSlot(1, 2, CopyMode::SettingsOnly);
        EXPECT_EQ(target.InPoint, c.expectedIn) << c.sourceOut;
        EXPECT_EQ(target.OutPoint, c.expectedOut) << c.sourceOut;
        EXPECT_TRUE(target.TextureDirty);
    }
    EXPECT_EQ(targets.calls.back(), "effect copied 1 2");
    EXPECT_EQ(inspector.inspectedSlot(), 2);
}

TEST_F(SlotGridTest, DropsThatCopyNothing)
{
    fakeLoaded(1, 1000).Left = 30;
    grid.dropSlot(1, 3, CopyMode::SettingsOnly); // onto an empty slot
    grid.dropSlot(4, 1, CopyMode::ClipWithSettings); // from an empty slot
    grid.dropSlot(1, 17, CopyMode::ClipOnly);
    grid.dropSlot(slot_grid::kFileListTag, 1, CopyMode::ClipOnly);
    EXPECT_EQ(performance.slot(3).Left, 0);
    EXPECT_TRUE(syncRestarts.empty());
    EXPECT_TRUE(targets.calls.empty());

    grid.dropSlot(1, 1, CopyMode::ClipWithSettings); // on itself: a click
    EXPECT_EQ(inspector.inspectedSlot(), 1);

    EXPECT_TRUE(SlotGrid::canStartDrag(1));
    EXPECT_TRUE(SlotGrid::canStartDrag(slot_grid::kFileListTag));
    EXPECT_FALSE(SlotGrid::canStartDrag(0));
    EXPECT_FALSE(SlotGrid::canStartDrag(17));
}

TEST_F(SlotGridTest, TheFileListsSelectionLoadsIntoThePanel)
{
    grid.dropFileListSelection(5, file("listed.mp4"));
    EXPECT_TRUE(performance.slot(5).Loaded);
    grid.dropFileListSelection(0, file("nowhere.mp4"));
}

} // namespace
} // namespace oskel

namespace oskel {
namespace {

std::vector<std::string> captionsOf(const PatchFolderList& list)
{
    std::vector<std::string> captions;
    for (const PatchListEntry& entry : list.entries()) {
        captions.push_back(entry.caption);
    }
    return captions;
}

// The clip explorer lists the sub-folders and every file, opens folders, and loads a file into
// the first slot without a clip as a file dropped on the grid; an unreadable folder changes
// nothing but the status line.
TEST_F(SlotGridTest, TheClipExplorerOpensFoldersAndLoadsClipsIntoTheFirstFreeSlot)
{
    std::filesystem::create_directory(folder / "set two");
    file("b.avi");
    file("A.mov");
    file("set two/c.avi");
    ClipExplorer explorer(performance, grid);
    explorer.start({ folder / "gone", folder.path() });
    EXPECT_TRUE(ui.statusTexts.empty()) << "a folder gone since the last run is passed over";
    EXPECT_EQ(captionsOf(explorer.list()),
        (std::vector<std::string> { " Up one level", "set two", "A.mov", "b.avi" }));
    EXPECT_EQ(explorer.clipAt(1), std::nullopt) << "a folder is not dragged";
    EXPECT_EQ(explorer.clipAt(2), folder / "A.mov");

    fakeLoaded(1, 100);
    explorer.openEntry(3);
    performance.globals().loadingBusy = false;
    EXPECT_EQ(performance.slot(2).FileName.str(), (folder / "b.avi").string());
    EXPECT_TRUE(performance.slot(2).Loaded);

    explorer.openEntry(1);
    EXPECT_EQ(explorer.folder(), folder / "set two");
    explorer.openEntry(0);
    EXPECT_EQ(explorer.folder(), folder.path());
    explorer.openEntry(99); // beyond the list

    EXPECT_FALSE(explorer.changeFolder(folder / "missing"));
    EXPECT_EQ(explorer.folder(), folder.path());
    ASSERT_FALSE(ui.statusTexts.empty());
    EXPECT_EQ(ui.statusTexts.back().rfind("Cannot read the folder", 0), 0u);
}

} // namespace
} // namespace oskel
