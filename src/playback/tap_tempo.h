#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace oskel {

// Tap tempo over eight taps. The times are the millisecond tick counter, which may wrap
// around: differences are taken modulo 2^32, so a clock that jumps backwards reads as a long
// pause and restarts the count.
class TapTempo {
public:
    static constexpr int kTaps = 8;
    static constexpr std::uint32_t kPauseMs = 1200;

    // Records a tap. Returns the tempo in beats per minute when the tap completes eight and
    // their tempo lies in 0..10000 (exclusive at the top); the count then starts again.
    std::optional<double> tap(std::uint32_t nowMs);
    // Taps recorded towards the next eight: 0..7.
    int count() const { return m_count; }

private:
    std::optional<double> tempoOfTaps() const;

    std::array<std::uint32_t, kTaps> m_times {};
    int m_count = 0;
};

} // namespace oskel
