#include "control/midi_clock_follower.h"

#include <cmath>

namespace oskel {

namespace {

// The longest gap between two ticks of a running clock: one tick at 20 BPM.
constexpr double kLongestTickMs = 60000.0 / (20.0 * MidiClockFollower::kTicksPerBeat);

} // namespace

void MidiClockFollower::forget() noexcept
{
    m_count = 0;
    m_next = 0;
}

void MidiClockFollower::start() noexcept
{
    forget();
    m_running = true;
    m_restart.store(true);
}

void MidiClockFollower::stop() noexcept
{
    m_running = false;
}

void MidiClockFollower::resume() noexcept
{
    forget();
    m_running = true;
}

void MidiClockFollower::tick(double milliseconds) noexcept
{
    if (!m_running || !std::isfinite(milliseconds)) {
        return;
    }
    if (m_count > 0) {
        const double last = m_times[(m_next + kWindow - 1) % kWindow];
        if (milliseconds <= last || milliseconds - last > kLongestTickMs) {
            forget();
        }
    }
    m_times[m_next] = milliseconds;
    m_next = (m_next + 1) % kWindow;
    if (m_count < kWindow) {
        ++m_count;
    }
    if (m_count < kFirstEstimate) {
        return;
    }
    double msPerTick = slope(m_count);
    if (m_count >= 2 * kRecent) {
        const double recent = slope(kRecent);
        if (std::abs(recent - msPerTick) > 0.02 * msPerTick) {
            // Begins again with the next tick: the last ones may still straddle the change.
            forget();
            return;
        }
    }
    if (msPerTick <= 0.0) {
        return;
    }
    const double bpm = 60000.0 / (msPerTick * kTicksPerBeat);
    m_tempo.store(static_cast<std::int32_t>(std::lround(bpm * 100.0) * 10));
}

// The least-squares slope of the times over their tick numbers.
double MidiClockFollower::slope(std::size_t count) const noexcept
{
    const std::size_t first = (m_next + kWindow - count) % kWindow;
    const double n = static_cast<double>(count);
    const double meanIndex = (n - 1.0) / 2.0;
    double meanTime = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        meanTime += m_times[(first + k) % kWindow];
    }
    meanTime /= n;
    double covariance = 0.0;
    double variance = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const double index = static_cast<double>(k) - meanIndex;
        covariance += index * (m_times[(first + k) % kWindow] - meanTime);
        variance += index * index;
    }
    return covariance / variance;
}

} // namespace oskel
