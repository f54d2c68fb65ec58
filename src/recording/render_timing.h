#pragma once

#include <cstdint>

namespace oskel {

// The clock of an offline render: frame n is the output after the tick at n x 1000 / fps
// milliseconds, and every time is also a position in the sound, in sample frames. All in
// whole numbers, so that two renders of the same performance agree to the sample.
struct RenderTiming {
    std::int64_t framesPerSecond = 25;
    std::int64_t soundRate = 44100;

    // An action at `ms` is carried out before the tick of frame n.
    constexpr bool dueBy(std::int64_t ms, std::int64_t frame) const
    {
        return ms * framesPerSecond <= frame * 1000;
    }
    // The tick time of frame n, in whole milliseconds (rounded down).
    constexpr std::int64_t frameMs(std::int64_t frame) const
    {
        return frame * 1000 / framesPerSecond;
    }
    // Where the sound stands at frame n's tick (rounded down).
    constexpr std::int64_t soundAtFrame(std::int64_t frame) const
    {
        return frame * soundRate / framesPerSecond;
    }
    constexpr std::int64_t soundAtMs(std::int64_t ms) const { return ms * soundRate / 1000; }
};

} // namespace oskel
