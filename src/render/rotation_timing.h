#pragma once

#include <cstdint>

namespace oskel {

// The clock of the 3D rotations: speeds are degrees per 40 ms, and a tile layer turns by
// speed x stepFactor when the factor is at least 1.
class RotationTiming {
public:
    void setTickTime(std::int64_t milliseconds) { m_tickTime = milliseconds; }
    double stepFactor() const { return m_stepFactor; }
    // At the end of a tick: the factor for the next tick's drawing.
    void step();

private:
    std::int64_t m_tickTime = 0;
    std::int64_t m_lastStep = 0;
    double m_stepFactor = 0.0;
};

} // namespace oskel
