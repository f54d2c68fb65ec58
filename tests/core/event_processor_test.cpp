#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/event_processor.h"
#include "core/slot_rules.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

class EventProcessorTest : public ::testing::Test {
protected:
    void SetUp() override { performance.globals().shuttingDown = false; }

    TPlayAvistruct& load(int number, bool syncMode = false, std::int64_t length = 882000)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.FrameCount = 250;
        slot.FrameRate = 25;
        slot.BlockAlign = 2;
        slot.BaseFrequency = 44100;
        slot.Length = length;
        slot.InPoint = 0;
        slot.OutPoint = length;
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        slot.InstallationMode = syncMode;
        slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(length, 44100);
        slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(length, 44100);
        return slot;
    }
    test::FakeSoundBuffer& forward(int number)
    {
        return static_cast<test::FakeSoundBuffer&>(*performance.slot(number).ForwardBuffer);
    }
    void process(
        std::uint8_t code, std::int32_t value = 0, std::int32_t value2 = 0, std::int32_t slot = 0)
    {
        processor.ProcessEvent(TSlotEvent { code, value, value2, slot });
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
};

TEST_F(EventProcessorTest, InAndOutPointsKeepAThousandBytesApartWithinTheClip)
{
    struct Case {
        std::int64_t length, in, out;
        std::uint8_t code;
        std::int32_t value;
        std::int64_t expectedIn, expectedOut;
    };
    for (const Case& c : std::vector<Case> {
             { 10000, 0, 10000, 7, 4000, 4000, 10000 }, // in inside: out untouched
             { 10000, 0, 5000, 7, 5000, 5000, 6000 }, // in at out: out pushed
             { 10000, 0, 9500, 7, 9600, 9600, 10000 }, // pushed, limited to the length
             { 10000, 3000, 10000, 8, 6000, 3000, 6000 }, // out inside: in untouched
             { 10000, 3000, 10000, 8, 2500, 1500, 2500 }, // out before in: in pulled
             { 10000, 3000, 10000, 8, 400, 0, 400 }, // pulled, limited at 0
             { 10000, 3000, 9000, 7, 10001, 3000, 9000 }, // beyond the clip: refused
             { 10000, 3000, 9000, 8, -1, 3000, 9000 }, // refused
         }) {
        TPlayAvistruct& slot = load(1, false, c.length);
        slot.InPoint = static_cast<std::int32_t>(c.in);
        slot.OutPoint = c.out;
        process(c.code, c.value, 0, 1);
        EXPECT_EQ(slot.InPoint, c.expectedIn) << int(c.code) << " " << c.value;
        EXPECT_EQ(slot.OutPoint, c.expectedOut) << int(c.code) << " " << c.value;
    }
}

TEST_F(EventProcessorTest, TheInspectedSlotShowsItsPointsInSampleFrames)
{
    load(2);
    performance.globals().selectedSlot = 2;
    int changed = 0;
    processor.setSelectionChangedHandler([&](int slot) { changed = slot; });
    process(7, 4001, 0, 2);
    EXPECT_EQ(std::get<std::int64_t>(*ui.lastShown(control::kInPoint)), 2000); // 2000.5 -> even
    EXPECT_EQ(changed, 2);
}

TEST_F(EventProcessorTest, ANormalTriggerIsPostedToTheMailboxWithTheFieldsFirst)
{
    TPlayAvistruct& slot = load(3);
    slot.Paused = true;
    mailbox.PendingFrequency = 500;
    process(0, -1200, 96, 3);
    EXPECT_EQ(mailbox.TriggerSlot, 3);
    EXPECT_EQ(mailbox.TriggerVolume, -1200);
    EXPECT_EQ(mailbox.TriggerPan, 602);
    EXPECT_EQ(mailbox.PendingFrequency, 0) << "a start cancels a pending frequency request";
    EXPECT_EQ(slot.Balance, 96);
    EXPECT_TRUE(slot.Shown);
    EXPECT_FALSE(slot.Paused);
    using Call = test::RecordingUserInterface::SlotColourCall;
    EXPECT_EQ(ui.statusColours.back(), (Call { 3, SlotColour::Green }));
}

TEST_F(EventProcessorTest, ATriggerThatFindsNoAudioThreadLeavesStandbyAndNeverHangs)
{
    load(1);
    load(2);
    playback.exists = false;
    performance.globals().standby = true;
    process(0, 0, 64, 1);
    EXPECT_EQ(playback.starts, 1);
    EXPECT_FALSE(performance.globals().standby);
    EXPECT_EQ(mailbox.TriggerSlot, 1);

    // The thread dies with the trigger still pending: the next trigger does not wait for it.
    playback.exists = true;
    playback.suspended = true; // exists, but nothing will take the request
    const auto started = std::chrono::steady_clock::now();
    process(0, 0, 64, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(playback.resumes, 1);
    EXPECT_EQ(mailbox.TriggerSlot, 2);
}

TEST_F(EventProcessorTest, MonophonicTriggerSilencesTheOthersBeforeTogglingASyncSlot)
{
    performance.globals().NewTriggerStopsClips = true;
    TPlayAvistruct& target = load(1, true);
    TPlayAvistruct& otherSync = load(2, true);
    TPlayAvistruct& normal = load(3);
    target.Mute = true;
    target.Playing = true;
    otherSync.Playing = true;
    otherSync.Shown = true;
    normal.Playing = true;
    performance.slot(3).ForwardBuffer->play(true);

    process(0, 0, 64, 1);

    EXPECT_TRUE(otherSync.Mute);
    EXPECT_FALSE(otherSync.Shown);
    EXPECT_TRUE(otherSync.Playing) << "a sync-mode slot keeps running";
    EXPECT_EQ(performance.slot(2).ForwardBuffer->volume(), -8000);
    EXPECT_FALSE(normal.Playing);
    EXPECT_FALSE(performance.slot(3).ForwardBuffer->isPlaying());
    EXPECT_FALSE(target.Mute);
    EXPECT_TRUE(target.Shown);
    EXPECT_EQ(mailbox.TriggerSlot, 0) << "sync-mode triggers never go through the mailbox";
    EXPECT_EQ(performance.layerStack().order().back(), 1);
}

TEST_F(EventProcessorTest, ASecondTriggerOfAShownSyncSlotHidesItWithoutStoppingIt)
{
    TPlayAvistruct& slot = load(4, true);
    slot.Mute = false;
    slot.Shown = true;
    slot.Playing = true;
    slot.Volume = -300;
    process(0, -300, 64, 4);
    EXPECT_TRUE(slot.Mute);
    EXPECT_FALSE(slot.Shown);
    EXPECT_TRUE(slot.Playing);
    EXPECT_EQ(slot.ForwardBuffer->volume(), -8000);
    process(0, -300, 64, 4);
    EXPECT_FALSE(slot.Mute);
    EXPECT_EQ(slot.ForwardBuffer->volume(), -300) << "heard again at its own volume";
}

TEST_F(EventProcessorTest, AMutedSlotTakesNewVolumesAndComesBackAtThem)
{
    TPlayAvistruct& slot = load(5);
    process(31, -2000, 0, 5);
    process(32, 0, 0, 5);
    EXPECT_EQ(slot.BackwardBuffer->volume(), -8000);
    process(31, -900, 0, 5);
    EXPECT_EQ(slot.ForwardBuffer->volume(), -8000);
    EXPECT_EQ(slot.Volume, -900);
    process(33, 0, 0, 5);
    EXPECT_EQ(slot.ForwardBuffer->volume(), -900);
    EXPECT_EQ(slot.BackwardBuffer->volume(), -900);
}

TEST_F(EventProcessorTest, FrequencyNudgeNeverAsksForLessThanOneHertz)
{
    TPlayAvistruct& slot = load(6);
    performance.globals().selectedSlot = 6;
    forward(6).setFrequency(400);
    process(30, 0, 500, 6);
    EXPECT_EQ(forward(6).requestedFrequencies.back(), 1);
    EXPECT_EQ(slot.ForwardBuffer->frequency(), 400) << "the buffer refuses rates below 100 Hz";
    EXPECT_EQ(std::get<std::int64_t>(*ui.lastShown(control::kFrequency)), 400);
    process(30, 1, 600, 6);
    EXPECT_EQ(slot.ForwardBuffer->frequency(), 1000);
    EXPECT_EQ(slot.BackwardBuffer->frequency(), 1000);
}

TEST_F(EventProcessorTest, CrossfadeLawOnVolumeAndTransparency)
{
    TPlayAvistruct& a = load(3);
    TPlayAvistruct& b = load(5);
    b.Volume = -77;
    process(37, 0, 5, 3);
    EXPECT_EQ(a.Volume, 0);
    EXPECT_EQ(a.AlphaLevel, 0);
    EXPECT_EQ(b.Volume, -77) << "-590490 is out of range and dropped";
    EXPECT_EQ(b.AlphaLevel, 255);
    process(37, 128, 5, 3);
    EXPECT_EQ(a.Volume, -254);
    EXPECT_EQ(b.Volume, -239);
    EXPECT_EQ(a.AlphaLevel, 128);
    EXPECT_EQ(b.AlphaLevel, 127);
    process(37, 200, 3, 3);
    EXPECT_EQ(a.Volume, 0) << "A equal to B takes full volume";
    EXPECT_EQ(a.AlphaLevel, 0);
}

TEST_F(EventProcessorTest, GeometryEventsOnTheSlotRectangle)
{
    TPlayAvistruct& slot = load(7);
    process(18, 336, 0, 7);
    EXPECT_EQ(std::tuple(slot.Left, slot.Top, slot.Right, slot.Bottom), std::tuple(0, 0, 384, 288));
    EXPECT_EQ(slot.Size, 336);
    process(17, 64, 0, 7);
    EXPECT_EQ(
        std::tuple(slot.Left, slot.Top, slot.Right, slot.Bottom), std::tuple(32, 24, 352, 264));
    EXPECT_EQ(slot.Size, 280);
    process(16, 10, 20, 7);
    EXPECT_EQ(
        std::tuple(slot.Left, slot.Top, slot.Right, slot.Bottom), std::tuple(10, 20, 330, 260));
    process(17, 128, 0, 7); // out of range
    EXPECT_EQ(slot.Left, 10);
}

TEST_F(EventProcessorTest, TransparencyAndLumaFlags)
{
    TPlayAvistruct& slot = load(8);
    process(34, 9, 0, 8);
    EXPECT_FALSE(slot.Alpha);
    process(34, 10, 0, 8);
    EXPECT_TRUE(slot.Alpha);
    EXPECT_EQ(ui.opacityBars.back(), std::pair(8, 10));

    slot.InverseLuma = true;
    slot.LumaKey = true;
    process(20, 765, 0, 8);
    EXPECT_FALSE(slot.LumaKey);
    EXPECT_TRUE(slot.TextureDirty);
    slot.InverseLuma = false;
    slot.TextureDirty = false;
    process(20, 0, 0, 8);
    EXPECT_FALSE(slot.LumaKey);
    EXPECT_FALSE(slot.TextureDirty) << "the key stayed off";
    EXPECT_EQ(ui.lumaBars.back(), std::pair(8, 0));
}

TEST_F(EventProcessorTest, StopAllStopsEverySlotAndLeavesSyncSlotsMuted)
{
    TPlayAvistruct& sync = load(1, true);
    TPlayAvistruct& normal = load(2);
    sync.Playing = true;
    normal.Playing = true;
    normal.ForwardBuffer->play(false);
    process(25);
    EXPECT_FALSE(sync.Playing);
    EXPECT_TRUE(sync.Mute);
    EXPECT_FALSE(normal.Playing);
    EXPECT_FALSE(normal.Mute);
    EXPECT_FALSE(normal.ForwardBuffer->isPlaying());
    EXPECT_EQ(ui.statusTexts.back(), "Ready");
}

TEST_F(EventProcessorTest, StandbyStopsAndRestartsTheAudioThread)
{
    process(28);
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(performance.globals().standby);
    EXPECT_EQ(ui.statusTexts.back(), "Standby");
    EXPECT_TRUE(std::get<bool>(*ui.lastShown(control::kStandby)));
    process(29);
    EXPECT_EQ(playback.starts, 1);
    EXPECT_FALSE(performance.globals().standby);
}

TEST_F(EventProcessorTest, EventsThatCannotApplyChangeNothing)
{
    TPlayAvistruct& slot = load(9);
    slot.Volume = -100;
    slot.Balance = 30;
    const std::vector<TSlotEvent> refused {
        { 31, -10001, 0, 9 }, { 31, 1, 0, 9 }, // volume out of range
        { 41, 10001, 64, 9 }, { 41, 0, 128, 9 }, // pan out of range
        { 31, -50, 0, 10 }, // slot not loaded
        { 31, -50, 0, 0 }, { 31, -50, 0, -1 }, { 31, -50, 0, 17 }, { 42, 0, 0, 9 },
        { 255, -50, 0, 9 }, // no such code
        { 0, 5000, 64, 9 }, { 0, 0, 200, 9 }, // trigger values out of range
    };
    for (const TSlotEvent& event : refused) {
        processor.ProcessEvent(event);
    }
    EXPECT_EQ(slot.Volume, -100);
    EXPECT_EQ(slot.Balance, 30);
    EXPECT_EQ(mailbox.TriggerSlot, 0);

    performance.globals().shuttingDown = true;
    process(31, -50, 0, 9);
    EXPECT_EQ(slot.Volume, -100) << "every event is ignored while shutting down";
}

TEST_F(EventProcessorTest, PanFromMidiFollowsThePanLaw)
{
    load(1);
    struct Case {
        int balance;
        int pan;
    };
    for (const Case& c :
        std::vector<Case> { { 0, -10000 }, { 32, -602 }, { 64, 0 }, { 96, 602 }, { 127, 10000 } }) {
        processor.SetSlotPanFromMIDI(1, c.balance);
        EXPECT_EQ(performance.slot(1).ForwardBuffer->pan(), c.pan) << c.balance;
        EXPECT_EQ(performance.slot(1).Balance, c.balance);
    }
}

TEST_F(EventProcessorTest, DirectionRequestsWaitForThePreviousOneAndOnlyWhenItChanges)
{
    TPlayAvistruct& slot = load(2);
    slot.ChopSegment = 3;
    process(2, 1, 0, 2);
    EXPECT_EQ(mailbox.PendingDirection, 0) << "already forwards";
    EXPECT_EQ(slot.ChopSegment, -1);
    process(2, 2, 0, 2);
    EXPECT_EQ(mailbox.PendingDirection, 2);
    EXPECT_EQ(mailbox.DirectionSlot, 2);
}

} // namespace
} // namespace oskel

namespace oskel {
namespace {

// A live source has no length: what needs in and out points, reverse or speed is refused
// with a message and changes nothing; everything else acts as on any clip.
TEST_F(EventProcessorTest, ALiveSlotRefusesWhatNeedsALength)
{
    struct Case {
        std::uint8_t code;
        std::int32_t value, value2;
        const char* message;
    };
    const std::string slot = "Slot 4 plays a live source: ";
    for (const Case& c : std::vector<Case> {
             { event_code::kDirection, 2, 0, "it plays forwards only" },
             { event_code::kSetFrequency, 22050, 0, "it plays at its own speed" },
             { event_code::kFrequencyThroughAudioThread, 22050, 0, "it plays at its own speed" },
             { event_code::kNudgeFrequency, 1, 500, "it plays at its own speed" },
             { event_code::kInPoint, 4000, 0, "it has no in and out points" },
             { event_code::kOutPoint, 4000, 0, "it has no in and out points" },
             { event_code::kScratch, 64, 0, "it has no position to scratch to" },
         }) {
        TPlayAvistruct& live = load(4);
        live.SourceSystem = kLiveSourceSystem;
        live.Playing = true;
        mailbox.PendingDirection = 0;
        process(c.code, c.value, c.value2, 4);
        EXPECT_EQ(ui.statusTexts.back(), slot + c.message) << int(c.code);
        EXPECT_EQ(live.InPoint, 0) << int(c.code);
        EXPECT_EQ(live.OutPoint, 882000) << int(c.code);
        EXPECT_EQ(forward(4).frequency(), 44100) << int(c.code);
        EXPECT_EQ(forward(4).playCursor(), 0) << int(c.code);
        EXPECT_EQ(mailbox.PendingDirection, 0) << int(c.code);
    }
}

TEST_F(EventProcessorTest, ALiveSlotTriggeredAtAFrequencyStartsAtItsOwn)
{
    TPlayAvistruct& live = load(5);
    live.SourceSystem = kLiveSourceSystem;
    process(event_code::kTriggerAtFrequency, -300, 88200, 5);
    EXPECT_EQ(mailbox.TriggerSlot, 5);
    EXPECT_EQ(mailbox.PendingFrequency, 44100);
    process(event_code::kTransparency, 128, 0, 5);
    EXPECT_EQ(live.AlphaLevel, 128) << "the picture's own events act as on any clip";
}

} // namespace
} // namespace oskel
