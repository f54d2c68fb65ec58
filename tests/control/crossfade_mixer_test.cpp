#include <gtest/gtest.h>

#include "control/crossfade_mixer.h"
#include "core/control_names.h"
#include "core/event_processor.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

// The mixer driving the real event processor.
class CrossfadeMixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int number : { 1, 2, 3 }) {
            TPlayAvistruct& slot = performance.slot(number);
            slot.Loaded = true;
            slot.Volume = -500;
            slot.AlphaLevel = 100;
            slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(88200, 44100);
            slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(88200, 44100);
            slot.ForwardBuffer->setVolume(-500);
        }
    }
    const TPlayAvistruct& slot(int number) { return performance.slot(number); }
    int bufferVolume(int number) { return performance.slot(number).ForwardBuffer->volume(); }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    SelectionOnlyInspector inspector { performance };
    CrossfadeMixer mixer { performance, processor, inspector };
};

TEST_F(CrossfadeMixerTest, TheSliderFadesOpacityAndVolumeBetweenTheSides)
{
    mixer.cbCrossFadeEnableClick(true);
    mixer.sbCrossFadeChange(128);
    EXPECT_EQ(slot(1).AlphaLevel, 128);
    EXPECT_EQ(slot(2).AlphaLevel, 127);
    EXPECT_EQ(slot(1).Volume, -254);
    EXPECT_EQ(slot(2).Volume, -239);
    EXPECT_EQ(bufferVolume(1), -254);
    EXPECT_EQ(bufferVolume(2), -239);

    mixer.sbCrossFadeChange(0);
    EXPECT_EQ(slot(1).AlphaLevel, 0);
    EXPECT_EQ(slot(2).AlphaLevel, 255);
    EXPECT_EQ(slot(1).Volume, 0);
    EXPECT_EQ(slot(2).Volume, -239) << "B's volume beyond silence is dropped";

    mixer.sbCrossFadeChange(400); // taken as the end
    EXPECT_EQ(mixer.position(), 255);
    EXPECT_EQ(slot(1).AlphaLevel, 255);
    EXPECT_EQ(slot(2).AlphaLevel, 0);
    EXPECT_EQ(slot(1).Volume, 0) << "A's volume beyond silence is dropped";
    EXPECT_EQ(slot(2).Volume, 0);
}

TEST_F(CrossfadeMixerTest, OneSlotOnBothSidesPlaysFullWhateverThePosition)
{
    mixer.setCrossFadeB(1);
    mixer.cbCrossFadeEnableClick(true);
    mixer.sbCrossFadeChange(200);
    EXPECT_EQ(slot(1).AlphaLevel, 0);
    EXPECT_EQ(slot(1).Volume, 0);
    EXPECT_EQ(slot(2).AlphaLevel, 100) << "slot 2 left the crossfader";
}

TEST_F(CrossfadeMixerTest, WhileDisabledTheSliderChangesNothing)
{
    mixer.sbCrossFadeChange(128);
    mixer.setCrossFadeA(3);
    EXPECT_EQ(slot(3).AlphaLevel, 100);
    EXPECT_EQ(slot(2).AlphaLevel, 100);
    mixer.cbCrossFadeEnableClick(true);
    EXPECT_EQ(slot(3).AlphaLevel, 128) << "enabling sends the position";
}

TEST_F(CrossfadeMixerTest, TransformHoldsOneSideFullAndReleaseReturnsToTheSlider)
{
    performance.globals().CrossfadeAudio = false; // only Video
    mixer.cbCrossFadeEnableClick(true);
    mixer.sbCrossFadeChange(200);
    mixer.TransformDown(CrossfadeMixer::kSideA);
    EXPECT_EQ(slot(1).AlphaLevel, 0);
    EXPECT_EQ(slot(1).Volume, -500);
    EXPECT_EQ(slot(2).AlphaLevel, 55) << "the other side stays";
    mixer.TransformRelease(CrossfadeMixer::kSideA);
    EXPECT_EQ(slot(1).AlphaLevel, 200);

    mixer.cbCrossFadeEnableClick(false);
    mixer.TransformDown(CrossfadeMixer::kSideB);
    mixer.TransformRelease(CrossfadeMixer::kSideB);
    EXPECT_EQ(slot(2).AlphaLevel, 0) << "nothing restores it while disabled";
}

TEST_F(CrossfadeMixerTest, ResetClipsMakesBothSidesFull)
{
    mixer.bResetClipsClick();
    for (int number : { 1, 2 }) {
        EXPECT_EQ(slot(number).AlphaLevel, 0);
        EXPECT_EQ(slot(number).Volume, 0);
    }
    EXPECT_EQ(slot(3).AlphaLevel, 100);
}

class CrossfadeMixerEventsTest : public ::testing::Test {
protected:
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::RecordingEventSink events;
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    SelectionOnlyInspector inspector { performance };
    CrossfadeMixer mixer { performance, events, inspector };

    void SetUp() override { events.applyControlsWith(processor); }
};

TEST_F(CrossfadeMixerEventsTest, SidesShowTheirLetterAndALoadedSlotsThumbnail)
{
    EXPECT_EQ(mixer.slotA(), 1);
    EXPECT_EQ(mixer.slotB(), 2);
    performance.slot(4).Loaded = true;
    mixer.setCrossFadeA(4);
    EXPECT_EQ(std::get<std::string>(*ui.lastShown(control::kCrossfadeLetterA)), "S");
    EXPECT_EQ(std::get<std::int64_t>(*ui.lastShown(control::kCrossfadePreviewA)), 4);
    mixer.setCrossFadeB(5);
    EXPECT_EQ(std::get<std::string>(*ui.lastShown(control::kCrossfadeLetterB)), "E");
    EXPECT_EQ(ui.lastShown(control::kCrossfadePreviewB), nullptr) << "slot 5 is empty";
    for (int refused : { 0, -1, 17 }) {
        mixer.setCrossFadeA(refused);
        mixer.pnCFpreviewBDragDrop(refused);
    }
    EXPECT_EQ(mixer.slotA(), 4);
    EXPECT_EQ(mixer.slotB(), 5);
    mixer.pnCFpreviewBDragDrop(9);
    EXPECT_EQ(mixer.slotB(), 9);
    EXPECT_TRUE(CrossfadeMixer::pnCFpreviewDragOver(1));
    EXPECT_FALSE(CrossfadeMixer::pnCFpreviewDragOver(0));
    EXPECT_TRUE(events.events.empty()) << "disabled";
}

TEST_F(CrossfadeMixerEventsTest, TheMixerSetsTheCrossfadersStateThroughTheEventProcessor)
{
    mixer.toggleEnable();
    EXPECT_TRUE(std::get<bool>(*ui.lastShown(control::kCrossfadeEnable)));
    mixer.sbCrossFadeChange(-20);
    mixer.pnCFpreviewADragDrop(7);
    EXPECT_TRUE(mixer.enabled());
    EXPECT_EQ(mixer.position(), 0) << "taken as the end";
    EXPECT_EQ(mixer.slotA(), 7);
    EXPECT_EQ(mixer.slotB(), 2);
}

TEST_F(CrossfadeMixerEventsTest, ScratchAndThePreviewsActOnTheirSide)
{
    performance.slot(1).Loaded = true;
    performance.slot(2).Loaded = true;
    performance.slot(2).Mute = true;
    mixer.tbCFscratchAChange(64);
    mixer.tbCFscratchBChange(300);
    mixer.CFpreviewDblClick(CrossfadeMixer::kSideB);
    mixer.CFpreviewDblClick(7);
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> { { 40, 64, 0, 1 }, { 40, 127, 0, 2 }, { 0, -8000, 64, 2 } }));
    mixer.CFpreviewClick(CrossfadeMixer::kSideA);
    EXPECT_EQ(inspector.inspectedSlot(), 1);
}

} // namespace
} // namespace oskel
