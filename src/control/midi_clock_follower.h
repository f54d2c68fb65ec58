#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace oskel {

// Follows a MIDI clock, 24 ticks a beat: the tempo is the slope of a straight line fitted by
// least squares to the times of the last eight beats' ticks, so that ticks that jitter by a
// millisecond move it by hundredths of a beat per minute. When the last beat's ticks leave
// that line by more than 2 %, the source has changed its tempo: the ticks so far are dropped
// and the tempo is taken afresh from the next half beat, so a new tempo is followed within
// two beats. Start (0xFA) begins afresh and asks for the
// beat to restart; stop (0xFC) holds the tempo; continue (0xFB) goes on. A pause in the ticks
// longer than a tick at 20 BPM also begins afresh.
//
// Threads: tick, start, stop and resume on the MIDI driver's thread, without allocating or
// waiting; tempoThousandths and takeRestart from any thread (the main thread's loop).
class MidiClockFollower {
public:
    static constexpr int kTicksPerBeat = 24;
    static constexpr std::size_t kWindow = 8 * kTicksPerBeat;
    // The last ticks, compared with the whole window.
    static constexpr std::size_t kRecent = kTicksPerBeat;
    // Ticks needed before a tempo is given: half a beat.
    static constexpr std::size_t kFirstEstimate = kTicksPerBeat / 2;

    void tick(double milliseconds) noexcept;
    void start() noexcept;
    void stop() noexcept;
    void resume() noexcept;

    // The tempo in thousandths of a beat per minute, rounded to hundredths; 0 before enough
    // ticks have come.
    std::int32_t tempoThousandths() const noexcept { return m_tempo.load(); }
    // True once after each start.
    bool takeRestart() noexcept { return m_restart.exchange(false); }

private:
    void forget() noexcept;
    // Milliseconds per tick over the newest `count` ticks.
    double slope(std::size_t count) const noexcept;

    std::array<double, kWindow> m_times {};
    std::size_t m_count = 0;
    std::size_t m_next = 0;
    bool m_running = true;
    std::atomic<std::int32_t> m_tempo { 0 };
    std::atomic<bool> m_restart { false };
};

} // namespace oskel
