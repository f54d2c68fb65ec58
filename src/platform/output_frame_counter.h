#pragma once

#include <cstdint>

namespace oskel {

// Turns elapsed milliseconds into whole output frames, carrying the part of a frame left over
// to the next call, so that no time is lost: 3 x 10 ms at 44100 Hz is 1323 frames, and
// 1 ms at a time at 22050 Hz gives 22 or 23 frames, 2205 in every 100 ms.
class OutputFrameCounter {
public:
    explicit OutputFrameCounter(int outputRate)
        : m_outputRate(outputRate)
    {
    }

    std::int64_t framesFor(std::int64_t milliseconds)
    {
        const std::int64_t thousandths = m_outputRate * milliseconds + m_carry;
        m_carry = thousandths % 1000;
        return thousandths / 1000;
    }

private:
    std::int64_t m_outputRate;
    std::int64_t m_carry = 0; // thousandths of a frame
};

} // namespace oskel
