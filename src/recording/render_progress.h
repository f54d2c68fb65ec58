#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace oskel {

// "Rendering Frame 12/250": the status line during a render.
std::string renderProgressText(std::int64_t frame, std::int64_t frames);

// Keeps one progress line up to date on a terminal: the status text, then the speed in frames
// per second next to real time. Redrawn at most every quarter second, and at the end.
class RenderProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    RenderProgressLine(std::ostream& out, int framesPerSecond);

    void update(std::int64_t framesDone, std::int64_t frames);
    // Frames rendered per second of wall-clock time so far.
    double framesPerSecond() const;

private:
    std::ostream& m_out;
    int m_realTime;
    Clock::time_point m_started = Clock::now();
    Clock::time_point m_shown {};
    std::int64_t m_done = 0;
};

} // namespace oskel
