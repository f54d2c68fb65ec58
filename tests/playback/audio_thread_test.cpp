#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "fake_sound_device.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/playback.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

// A buffer whose play always fails, as a sound card that went away.
class BrokenBuffer : public test::FakeSoundBuffer {
public:
    using FakeSoundBuffer::FakeSoundBuffer;
    void play(bool) override { throw SoundError("device gone"); }
};

class AudioThreadTest : public ::testing::Test {
protected:
    void SetUp() override { processor.setSoundDevice(&device); }
    void TearDown() override { playback.stopAudioThread(); }

    TPlayAvistruct& load(int number)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.BlockAlign = 2;
        slot.Length = 88200;
        slot.OutPoint = 88200;
        slot.ForwardBuffer = device.createBuffer(AudioEngine::silentFormat(), 88200);
        slot.BackwardBuffer = device.createBuffer(AudioEngine::silentFormat(), 88200);
        return slot;
    }
    // Serves the main thread until the condition holds or a second has passed.
    template <typename Condition> bool serveUntil(Condition condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + 1s;
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(2ms);
        }
        return condition();
    }

    // Its buffers are safe to share between threads, as the real ones are.
    ManualClockSoundDevice device;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    Playback playback { performance, mailbox };
    EventProcessor processor { performance, mailbox, playback };
};

TEST_F(AudioThreadTest, TheAudioThreadCarriesOutTriggersAndDirectionChanges)
{
    playback.startAudioThread();
    TPlayAvistruct& slot = load(2);
    processor.ProcessEvent({ 0, -500, 64, 2 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.TriggerSlot == 0; }));
    EXPECT_TRUE(slot.Playing);
    EXPECT_TRUE(slot.ForwardBuffer->isPlaying());
    EXPECT_EQ(slot.ForwardBuffer->volume(), -500);

    processor.ProcessEvent({ 2, 2, 0, 2 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.PendingDirection == 0; }));
    EXPECT_EQ(slot.Direction, 2);
    EXPECT_TRUE(slot.BackwardBuffer->isPlaying());

    processor.ProcessEvent({ 4, 22050, 0, 2 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.PendingFrequency == 0; }));
    EXPECT_EQ(slot.BackwardBuffer->frequency(), 22050) << "only the buffer in use";
    EXPECT_EQ(slot.ForwardBuffer->frequency(), 44100);
}

TEST_F(AudioThreadTest, StandbyEndsTheThreadStoppingEverySlotAndATriggerEndsStandby)
{
    playback.startAudioThread();
    TPlayAvistruct& slot = load(1);
    processor.ProcessEvent({ 0, 0, 64, 1 });
    ASSERT_TRUE(serveUntil([&] { return slot.ForwardBuffer->isPlaying(); }));

    processor.ProcessEvent({ 28, 0, 0, 0 });
    EXPECT_FALSE(playback.audioThreadExists());
    EXPECT_FALSE(slot.ForwardBuffer->isPlaying());
    EXPECT_FALSE(slot.Playing);
    EXPECT_TRUE(performance.globals().standby);

    processor.ProcessEvent({ 0, 0, 64, 1 });
    EXPECT_TRUE(playback.audioThreadRunning());
    EXPECT_FALSE(performance.globals().standby);
    EXPECT_TRUE(serveUntil([&] { return slot.ForwardBuffer->isPlaying(); }));
}

TEST_F(AudioThreadTest, AFailureEndsTheThreadWhichSaysWhyAndNothingWaitsForIt)
{
    playback.startAudioThread();
    TPlayAvistruct& slot = load(3);
    slot.ForwardBuffer = std::make_shared<BrokenBuffer>(88200, 44100);
    processor.ProcessEvent({ 0, 0, 64, 3 });
    ASSERT_TRUE(serveUntil([&] { return !playback.audioThreadExists(); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Could not play");

    // The trigger is still pending; the next one replaces it after starting a new thread.
    load(4);
    processor.ProcessEvent({ 0, 0, 64, 4 });
    EXPECT_TRUE(serveUntil([&] { return performance.slot(4).Playing.load(); }));
}

TEST_F(AudioThreadTest, WithLoopOffASlotPlaysOnceAndStopsAtItsEnd)
{
    performance.globals().Loop = false;
    device.start();
    playback.startAudioThread();
    TPlayAvistruct& slot = load(6); // one second of sound at 44100 Hz
    processor.ProcessEvent({ 0, 0, 64, 6 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.TriggerSlot == 0; }));
    EXPECT_FALSE(slot.Looping);
    device.advance(900);
    EXPECT_TRUE(slot.ForwardBuffer->isPlaying());
    EXPECT_EQ(slot.ForwardBuffer->playCursor(), 79380) << "0.9 s at 44100 Hz, 2 bytes a frame";
    device.advance(200);
    EXPECT_FALSE(slot.ForwardBuffer->isPlaying());

    performance.globals().Loop = true;
    processor.ProcessEvent({ 0, 0, 64, 6 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.TriggerSlot == 0; }));
    device.advance(1100);
    EXPECT_TRUE(slot.ForwardBuffer->isPlaying());
    EXPECT_EQ(slot.ForwardBuffer->playCursor(), 8820) << "wrapped after one second";
}

TEST_F(AudioThreadTest, ASuspendedThreadTakesNothingUntilAFrequencyTriggerWakesIt)
{
    playback.startAudioThreadSuspended();
    TPlayAvistruct& slot = load(5);
    processor.ProcessEvent({ 5, 0, 30000, 5 });
    EXPECT_TRUE(playback.audioThreadRunning()) << "the first one only resumes the thread";
    EXPECT_EQ(mailbox.TriggerSlot, 0);
    processor.ProcessEvent({ 5, 0, 30000, 5 });
    ASSERT_TRUE(serveUntil([&] { return mailbox.TriggerSlot == 0; }));
    EXPECT_TRUE(slot.Playing);
    EXPECT_EQ(slot.ForwardBuffer->frequency(), 30000);
}

} // namespace
} // namespace oskel
