#include <gtest/gtest.h>

#include "core/layer_stack.h"
#include "core/slot_sound.h"
#include "fake_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/init_sound.h"
#include "playback/slot_commands.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

ByteBlock bytes(std::vector<std::uint8_t> data)
{
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(data));
}

std::vector<std::uint8_t> contents(SoundBuffer& buffer)
{
    const auto span = buffer.lock();
    std::vector<std::uint8_t> copy(span.begin(), span.end());
    buffer.unlock();
    return copy;
}

class AudioEngineTest : public ::testing::Test {
protected:
    test::FakeSoundDevice device;
    test::RecordingUserInterface ui;
    std::optional<std::int64_t> freeMemory = std::int64_t { 1 } << 40;
    AudioEngine engine { device, ui, [this] { return freeMemory; } };
    TPlayAvistruct slot;
};

TEST_F(AudioEngineTest, TheBackwardBufferHoldsTheSampleFramesInReverseOrder)
{
    const WaveFormat stereo16 { 2, 44100, 16 };
    slot.AudioData = bytes({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }); // three 4-byte frames
    engine.BuildForwardBuffer(slot, stereo16);
    engine.BuildBackwardBuffer(slot, stereo16);
    EXPECT_EQ(contents(*slot.ForwardBuffer),
        (std::vector<std::uint8_t> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }));
    EXPECT_EQ(contents(*slot.BackwardBuffer),
        (std::vector<std::uint8_t> { 9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4 }));
    EXPECT_EQ(slot.AudioData, nullptr) << "the decoded sound is released once both are built";
    EXPECT_EQ(slot.BackwardBuffer->volume(), -8000);
}

TEST_F(AudioEngineTest, SoundThatIsNotWholeFramesOrNotPlayableIsRefused)
{
    struct Case {
        WaveFormat format;
        std::vector<std::uint8_t> data;
    };
    for (const Case& c : std::vector<Case> {
             { { 2, 44100, 16 }, { 1, 2, 3, 4, 5, 6 } }, // a frame and a half
             { { 1, 44100, 16 }, {} }, // nothing
             { { 1, 44100, 24 }, { 1, 2, 3 } }, // 24-bit samples
             { { 6, 44100, 16 }, std::vector<std::uint8_t>(12) },
             { { 1, 50, 8 }, { 1 } }, // rate below 100 Hz
         }) {
        slot.AudioData = bytes(c.data);
        try {
            engine.BuildForwardBuffer(slot, c.format);
            ADD_FAILURE() << "accepted " << c.data.size() << " bytes";
        } catch (const SoundError& error) {
            EXPECT_STREQ(error.what(), "Could not create secondary sound buffer");
        }
    }
    slot.AudioData = nullptr;
    EXPECT_THROW(engine.BuildBackwardBuffer(slot, WaveFormat {}), SoundError);
}

TEST_F(AudioEngineTest, TheReferenceRateFollowsTheSoundMostRecentlySetUp)
{
    EXPECT_EQ(engine.referenceRate(), 44100) << "before any clip";
    slot.AudioData = bytes({ 1, 2, 3, 4 });
    engine.BuildForwardBuffer(slot, WaveFormat { 1, 22050, 16 });
    EXPECT_EQ(engine.referenceRate(), 22050);
    slot.FrameCount = 25;
    slot.FrameRate = 25;
    ASSERT_TRUE(engine.BuildSilentBuffers(slot));
    EXPECT_EQ(engine.referenceRate(), 44100) << "a silent clip plays at 44100";
}

TEST_F(AudioEngineTest, SilentBuffersLastAsLongAsThePicture)
{
    struct Case {
        std::int64_t frames;
        std::int32_t rate;
        std::int64_t length;
    };
    for (const Case& c : std::vector<Case> { { 1, 1, 88200 }, { 250, 25, 882000 } }) {
        slot.FrameCount = c.frames;
        slot.FrameRate = c.rate;
        ASSERT_TRUE(engine.BuildSilentBuffers(slot));
        EXPECT_EQ(slot.Length, c.length);
        EXPECT_EQ(slot.OutPoint, c.length);
        EXPECT_EQ(slot.BlockAlign, 2);
        EXPECT_EQ(slot.BytesPerSecond, 88200);
        EXPECT_EQ(slot.BaseFrequency, 44100);
        EXPECT_EQ(slot.ForwardBuffer->length(), c.length);
        EXPECT_EQ(slot.BackwardBuffer->length(), c.length);
        const auto silence = contents(*slot.BackwardBuffer);
        EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](auto b) { return b == 0; }));
    }
}

TEST_F(AudioEngineTest, DecliningTheMemoryQuestionCancelsSilentBuffers)
{
    freeMemory = 1000;
    slot.FrameCount = 250;
    slot.FrameRate = 25;
    ui.scriptedAnswers.push_back(DialogAnswer::Cancel);
    EXPECT_FALSE(engine.BuildSilentBuffers(slot));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].find("enough RAM"), std::string::npos);
    ui.scriptedAnswers.push_back(DialogAnswer::Ok);
    EXPECT_TRUE(engine.BuildSilentBuffers(slot));
}

class SlotCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPlayAvistruct& slot = slots[4];
        slot.Loaded = true;
        slot.BlockAlign = 2;
        slot.Length = 10000;
        slot.InPoint = 2000;
        slot.OutPoint = 8000;
        slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(10000, 44100);
        slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(10000, 44100);
    }
    TPlayAvistruct& slot() { return slots[4]; }

    TPlayAviStructArray slots;
    GlobalState globals;
    LayerStack layers;
    std::vector<std::string> statuses;
    AudioCommandContext context { slots, globals, layers,
        [this](std::string text) { statuses.push_back(text); } };
};

TEST_F(SlotCommandsTest, ATriggerStartsTheBufferOfItsDirectionAtTheSelection)
{
    struct Case {
        int direction;
        std::int64_t outPoint;
        bool loop;
        std::int64_t position;
    };
    for (const Case& c : std::vector<Case> { { 1, 8000, true, 2000 }, // forwards from the in point
             { 2, 8000, true, 2000 }, // backwards from the mirrored out point
             { 2, 10000, false, 0 }, // out point at the end: from the start of the reversed sound
             { 2, 0, true, 0 } }) {
        StopSlotSound(slot());
        slot().Direction = c.direction;
        slot().OutPoint = c.outPoint;
        globals.Loop = c.loop;
        carryOutTrigger(context, 4, -600, 2500);
        const auto& buffer = static_cast<test::FakeSoundBuffer&>(*activeBuffer(slot()));
        EXPECT_TRUE(buffer.isPlaying());
        EXPECT_EQ(buffer.playCursor(), c.position) << c.direction << " " << c.outPoint;
        EXPECT_EQ(buffer.looping(), c.loop);
        EXPECT_EQ(slot().Looping, c.loop);
        EXPECT_EQ(slot().ForwardBuffer->volume(), -600);
        EXPECT_EQ(slot().BackwardBuffer->pan(), 2500);
        EXPECT_TRUE(slot().Playing);
        EXPECT_TRUE(slot().Started);
    }
    EXPECT_EQ(layers.order().back(), 4) << "Layering brings the slot to the front";
    EXPECT_TRUE(statuses.empty());
}

TEST_F(SlotCommandsTest, ADirectionChangeGoesOnFromTheMirroredPoint)
{
    slot().Playing = true;
    slot().CurrentFrame = 42;
    slot().ForwardBuffer->setPosition(3000);
    slot().ForwardBuffer->play(true);
    carryOutDirectionChange(context, 4, 2);
    EXPECT_EQ(slot().Direction, 2);
    EXPECT_EQ(slot().BackwardBuffer->playCursor(), 7000);
    EXPECT_TRUE(slot().BackwardBuffer->isPlaying());
    EXPECT_FALSE(slot().ForwardBuffer->isPlaying());
    EXPECT_EQ(slot().ReverseFrame, 42);
    EXPECT_FALSE(slot().Reversing);

    carryOutDirectionChange(context, 4, 1);
    EXPECT_EQ(slot().Direction, 1);
    EXPECT_EQ(slot().ForwardBuffer->playCursor(), 3000);
}

TEST_F(SlotCommandsTest, ADirectionChangeWhileStoppedStartsNothing)
{
    carryOutDirectionChange(context, 4, 2);
    EXPECT_EQ(slot().Direction, 2);
    EXPECT_EQ(slot().BackwardBuffer->playCursor(), 0);
    EXPECT_FALSE(slot().BackwardBuffer->isPlaying());
}

TEST_F(SlotCommandsTest, RestartAlwaysLoopsAndKeepsAMutedSlotMuted)
{
    globals.Loop = false;
    slot().Mute = true;
    RestartSlot(slot());
    const auto& buffer = static_cast<test::FakeSoundBuffer&>(*slot().ForwardBuffer);
    EXPECT_TRUE(buffer.looping());
    EXPECT_EQ(buffer.playCursor(), 2000);
    EXPECT_EQ(buffer.volume(), -8000);
    EXPECT_TRUE(slot().Looping);
    EXPECT_TRUE(slot().Playing);
}

} // namespace
} // namespace oskel

namespace oskel {
namespace {

TEST(InitSound, FallsBackWithAStatusLineAndGivesUpOnlyWithNoOutputAtAll)
{
    test::RecordingUserInterface ui;
    auto device = InitSound(ui, [] {
        return SoundOutput { std::make_unique<test::FakeSoundDevice>(),
            "No sound card could be opened (none): playing silently" };
    });
    EXPECT_NE(device, nullptr);
    EXPECT_EQ(ui.statusTexts,
        std::vector<std::string> { "No sound card could be opened (none): playing silently" });
    EXPECT_TRUE(ui.messages.empty());

    auto none = InitSound(ui, []() -> SoundOutput { throw SoundError("no threads left"); });
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(ui.messages, std::vector<std::string> { kNoSoundMessage });
}

} // namespace
} // namespace oskel
