#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/manual_clock_sound_device.h"

namespace oskel {
namespace {

constexpr WaveFormat kMono8 { 1, 22050, 8 };
constexpr WaveFormat kStereo8 { 2, 11025, 8 };
constexpr WaveFormat kMono16 { 1, 48000, 16 };
constexpr WaveFormat kStereo16 { 2, 44100, 16 };

struct CursorCase {
    std::string name;
    WaveFormat format;
    int frequency;
    int outputRate;
    std::int64_t lengthFrames;
    bool looping;
    std::vector<std::int64_t> advancesMs;
};

void PrintTo(const CursorCase& c, std::ostream* out)
{
    *out << c.name;
}

class PlayCursor : public testing::TestWithParam<CursorCase> { };

// After N output frames the voice has moved floor(frequency x N / outputRate) frames: wrapped
// modulo its length when looping, stopped at its end otherwise.
TEST_P(PlayCursor, MovesByExactlyFrequencyTimesElapsedTime)
{
    const CursorCase& c = GetParam();
    ManualClockSoundDevice device(c.outputRate);
    const std::int64_t blockAlign = c.format.blockAlign();
    auto buffer = device.createBuffer(c.format, c.lengthFrames * blockAlign);
    buffer->setFrequency(c.frequency);
    buffer->play(c.looping);
    device.start();

    std::int64_t elapsedMs = 0;
    for (const std::int64_t ms : c.advancesMs) {
        device.advance(ms);
        elapsedMs += ms;
        const std::int64_t outputFrames = c.outputRate * elapsedMs / 1000;
        ASSERT_EQ(device.framesMixed(), outputFrames);
        const std::int64_t moved = c.frequency * outputFrames / c.outputRate;
        const bool ended = !c.looping && moved >= c.lengthFrames;
        const std::int64_t frame
            = c.looping ? moved % c.lengthFrames : std::min(moved, c.lengthFrames);
        EXPECT_EQ(buffer->playCursor(), frame * blockAlign) << "after " << elapsedMs << " ms";
        EXPECT_EQ(buffer->isPlaying(), !ended) << "after " << elapsedMs << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(FormatsAndRates, PlayCursor,
    testing::Values(
        CursorCase { "Mono8At22050Into44100", kMono8, 22050, 44100, 100000, false, { 10, 10, 10 } },
        CursorCase { "Stereo8AtOdd33333Into48000", kStereo8, 33333, 48000, 60000, false,
            { 7, 13, 1000, 3 } },
        CursorCase { "Mono16At48000Into44100", kMono16, 48000, 44100, 10000, false,
            { 1, 1, 1, 1, 1, 1, 1, 50 } },
        CursorCase { "Stereo16At44100Into48000", kStereo16, 44100, 48000, 200000, false,
            { 10, 10, 10, 2000 } },
        CursorCase {
            "Stereo16At88200Into22050", kStereo16, 88200, 22050, 100000, false, { 3, 500 } },
        CursorCase { "Mono16AtLowest100Into48000", kMono16, 100, 48000, 1000, false, { 999, 1 } },
        CursorCase {
            "Mono8AtHighest200000Into44100", kMono8, 200000, 44100, 300000, false, { 1, 7, 999 } },
        CursorCase {
            "LoopingWrapsAtTheEnd", kStereo16, 44100, 48000, 1000, true, { 10, 13, 700, 2001 } },
        CursorCase { "LoopingTinyBufferWrapsManyTimesPerFrame", kMono8, 200000, 8000, 7, true,
            { 1, 2, 3, 1000 } },
        CursorCase { "LoopingSingleFrame", kStereo8, 11025, 48000, 1, true, { 5, 10 } },
        CursorCase {
            "OneShotStopsExactlyAtItsEnd", kMono16, 48000, 48000, 480, false, { 9, 1, 1 } },
        CursorCase { "OneShotStopsPartWayThroughABlock", kStereo16, 44100, 48000, 1000, false,
            { 20, 3, 100 } }),
    [](const testing::TestParamInfo<CursorCase>& param) { return param.param.name; });

TEST(PlayCursorTiming, FrequencyChangesKeepTheFractionOfAFrame)
{
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer(kStereo16, 4 * 48000);
    buffer->play(false);
    device.start();

    device.advance(7); // 336 frames x 44100 / 48000 = 308.7
    buffer->setFrequency(22050);
    device.advance(10); // + 480 x 22050 / 48000 = 220.5

    EXPECT_EQ(buffer->playCursor(), 529 * 4) << "308.7 + 220.5 = 529.2, not 308 + 220";
}

TEST(PlayCursorTiming, SetPositionRoundsDownToAFrameAndStartsAfreshFromIt)
{
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer(kStereo16, 400);
    device.start();

    buffer->setPosition(4 * 10 + 3);
    EXPECT_EQ(buffer->playCursor(), 40);

    buffer->play(true);
    device.advanceFrames(1); // 0.91875 of a frame further
    buffer->setPosition(8);
    device.advanceFrames(1);
    EXPECT_EQ(buffer->playCursor(), 8) << "the fraction of a frame left before the move is gone";
}

TEST(PlayCursorTiming, SetPositionAcceptsTheEndAndRefusesBeyondIt)
{
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer(kStereo16, 400);
    device.start();

    buffer->setPosition(400);
    EXPECT_EQ(buffer->playCursor(), 400);
    for (const std::int64_t refused : { std::int64_t(401), std::int64_t(-1), std::int64_t(-4) }) {
        EXPECT_THROW(buffer->setPosition(refused), SoundError) << refused;
        EXPECT_EQ(buffer->playCursor(), 400) << refused;
    }

    buffer->play(false);
    device.advanceFrames(1);
    EXPECT_FALSE(buffer->isPlaying()) << "a one-shot played from its end ends at once";
    EXPECT_EQ(buffer->playCursor(), 400);
}

TEST(PlayCursorTiming, StopHoldsTheCursorAndPlayResumesFromIt)
{
    ManualClockSoundDevice device(44100);
    auto buffer = device.createBuffer(kStereo16, 4 * 44100);
    buffer->play(false);
    device.start();

    device.advance(10);
    buffer->stop();
    device.advance(100);
    EXPECT_EQ(buffer->playCursor(), 441 * 4);

    buffer->play(false);
    device.advance(10);
    EXPECT_EQ(buffer->playCursor(), 882 * 4);
}

TEST(PlayCursorTiming, NothingMovesWhileTheDeviceIsStopped)
{
    ManualClockSoundDevice device(44100);
    auto buffer = device.createBuffer(kStereo16, 4 * 44100);
    buffer->play(false);

    device.advance(100);
    EXPECT_EQ(device.framesMixed(), 0);
    EXPECT_EQ(buffer->playCursor(), 0);

    device.start();
    device.advance(10);
    device.stop();
    device.advance(10);
    EXPECT_EQ(buffer->playCursor(), 441 * 4);
}

} // namespace
} // namespace oskel
