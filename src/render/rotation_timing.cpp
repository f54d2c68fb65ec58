#include "render/rotation_timing.h"

namespace oskel {

namespace {

constexpr std::int64_t kRotationStepMs = 40; // rotation speeds are degrees per 40 ms

} // namespace

void RotationTiming::step()
{
    if (m_lastStep == 0) {
        m_lastStep = m_tickTime - kRotationStepMs;
    }
    const std::int64_t difference = m_tickTime - m_lastStep;
    m_stepFactor = static_cast<double>(difference) / static_cast<double>(kRotationStepMs);
    if (m_stepFactor >= 1.0) {
        m_lastStep = m_tickTime;
    }
}

} // namespace oskel
