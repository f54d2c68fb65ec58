#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace oskel {

// "Rendering Frame 12/250": the status line during a render.
std::string renderProgressText(std::int64_t frame, std::int64_t frames);

// Keeps one progress line up to date on a terminal: the status text, then the speed in frames
// per second next to real time. Redrawn in place ("\r") at most every quarter second, and at
// the end. Whatever else is printed on the same terminal goes between breakLine() and
// redraw(), so that it never shares the line.
class RenderProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    RenderProgressLine(std::ostream& out, int framesPerSecond);
    // Ends the line if it is still being redrawn: a render that stops leaves it whole.
    ~RenderProgressLine();
    RenderProgressLine(const RenderProgressLine&) = delete;
    RenderProgressLine& operator=(const RenderProgressLine&) = delete;

    void update(std::int64_t framesDone, std::int64_t frames);
    // Frames rendered per second of wall-clock time so far.
    double framesPerSecond() const;

    // Ends the line being redrawn, if there is one, so that the next text starts a line.
    void breakLine();
    // Draws the line again after breakLine(), as it last was.
    void redraw();

private:
    void draw(const std::string& text, bool last);

    std::ostream& m_out;
    int m_realTime;
    Clock::time_point m_started = Clock::now();
    Clock::time_point m_shown {};
    std::int64_t m_done = 0;
    std::string m_text; // the line as last drawn
    bool m_open = false; // drawn and not yet ended
    bool m_broken = false; // ended by breakLine(), to be drawn again
};

} // namespace oskel
