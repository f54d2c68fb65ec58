// The MIDI clock's tempo on a stepped clock: ticks that jitter, a change of tempo, start, stop.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "control/midi_clock_follower.h"

namespace oskel {
namespace {

constexpr int kTicks = MidiClockFollower::kTicksPerBeat;

// A drum machine's clock: ticks at `bpm`, each late or early by up to `jitterMs`.
class JitteryClock {
public:
    explicit JitteryClock(double jitterMs)
        : m_jitter(-jitterMs, jitterMs)
    {
    }
    // The time of the next tick at the tempo.
    double next(double bpm)
    {
        m_exact += 60000.0 / (bpm * kTicks);
        return m_exact + m_jitter(m_random);
    }

private:
    double m_exact = 1000.0;
    std::mt19937 m_random { 7 };
    std::uniform_real_distribution<double> m_jitter;
};

double shownBpm(const MidiClockFollower& follower)
{
    return follower.tempoThousandths() / 1000.0;
}

TEST(MidiClockFollower, JitteringTicksGiveASteadyTempo)
{
    for (const double bpm : { 60.0, 90.0, 120.0, 174.5, 240.0 }) {
        SCOPED_TRACE(bpm);
        MidiClockFollower follower;
        JitteryClock clock(1.0);
        double worst = 0.0;
        for (int tick = 0; tick < 32 * kTicks; ++tick) {
            follower.tick(clock.next(bpm));
            if (tick >= 8 * kTicks) {
                worst = std::max(worst, std::abs(shownBpm(follower) - bpm));
            }
        }
        EXPECT_LT(worst, 0.1);
    }
}

TEST(MidiClockFollower, ANewTempoIsFollowedWithinTwoBeats)
{
    MidiClockFollower follower;
    JitteryClock clock(1.0);
    for (int tick = 0; tick < 16 * kTicks; ++tick) {
        follower.tick(clock.next(120.0));
    }
    EXPECT_NEAR(shownBpm(follower), 120.0, 0.1);
    for (int tick = 0; tick < 2 * kTicks; ++tick) {
        follower.tick(clock.next(140.0));
    }
    EXPECT_NEAR(shownBpm(follower), 140.0, 0.5) << "taken within two beats";
    for (int tick = 0; tick < 6 * kTicks; ++tick) {
        follower.tick(clock.next(140.0));
    }
    EXPECT_NEAR(shownBpm(follower), 140.0, 0.1) << "and steady once the window is full again";
}

TEST(MidiClockFollower, StartStopContinueAndGaps)
{
    MidiClockFollower follower;
    EXPECT_EQ(follower.tempoThousandths(), 0) << "no tempo before half a beat";
    follower.start();
    EXPECT_TRUE(follower.takeRestart());
    EXPECT_FALSE(follower.takeRestart()) << "once per start";
    double time = 0.0;
    for (int tick = 0; tick < 4 * kTicks; ++tick) {
        follower.tick(time += 60000.0 / (100.0 * kTicks));
    }
    EXPECT_EQ(follower.tempoThousandths(), 100000);
    follower.stop();
    for (int tick = 0; tick < 4 * kTicks; ++tick) {
        follower.tick(time += 60000.0 / (150.0 * kTicks));
    }
    EXPECT_EQ(follower.tempoThousandths(), 100000) << "stopped: ticks are ignored";
    follower.resume();
    time += 5000.0; // a long pause: the old ticks say nothing of the new tempo
    for (int tick = 0; tick < kTicks; ++tick) {
        follower.tick(time += 60000.0 / (150.0 * kTicks));
    }
    EXPECT_EQ(follower.tempoThousandths(), 150000);
}

} // namespace
} // namespace oskel
