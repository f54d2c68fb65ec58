#include "playback/tap_tempo.h"

namespace oskel {

std::optional<double> TapTempo::tap(std::uint32_t nowMs)
{
    if (m_count > 0 && nowMs - m_times[m_count - 1] > kPauseMs) {
        m_count = 0;
    }
    m_times[m_count] = nowMs;
    ++m_count;
    if (m_count < kTaps) {
        return std::nullopt;
    }
    m_count = 0;
    return tempoOfTaps();
}

// The mean of the seven tempos implied by the first k intervals, k = 1..7.
std::optional<double> TapTempo::tempoOfTaps() const
{
    double sum = 0.0;
    for (int k = 1; k < kTaps; ++k) {
        const std::uint32_t span = m_times[k] - m_times[0];
        if (span == 0) {
            return std::nullopt;
        }
        sum += k * 60000.0 / span;
    }
    const double tempo = sum / (kTaps - 1);
    if (tempo >= 0.0 && tempo < 10000.0) {
        return tempo;
    }
    return std::nullopt;
}

} // namespace oskel
