#include "recording/render_progress.h"

#include <cstdio>
#include <ostream>

namespace oskel {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(250);
} // namespace

std::string renderProgressText(std::int64_t frame, std::int64_t frames)
{
    return "Rendering Frame " + std::to_string(frame) + "/" + std::to_string(frames);
}

RenderProgressLine::RenderProgressLine(std::ostream& out, int framesPerSecond)
    : m_out(out)
    , m_realTime(framesPerSecond)
{
}

RenderProgressLine::~RenderProgressLine()
{
    breakLine();
}

double RenderProgressLine::framesPerSecond() const
{
    const std::chrono::duration<double> elapsed = Clock::now() - m_started;
    return elapsed.count() > 0.0 ? static_cast<double>(m_done) / elapsed.count() : 0.0;
}

void RenderProgressLine::update(std::int64_t framesDone, std::int64_t frames)
{
    m_done = framesDone;
    const Clock::time_point now = Clock::now();
    const bool last = framesDone >= frames;
    if (!last && now - m_shown < kRedrawInterval) {
        return;
    }
    m_shown = now;
    const double speed = framesPerSecond();
    char figures[96];
    std::snprintf(figures, sizeof figures, "  %.1f fps, %.2f x real time (%d fps)", speed,
        m_realTime > 0 ? speed / m_realTime : 0.0, m_realTime);
    draw(renderProgressText(framesDone, frames) + figures, last);
}

void RenderProgressLine::draw(const std::string& text, bool last)
{
    m_text = text;
    m_open = !last;
    m_broken = false;
    m_out << '\r' << text << (last ? "\n" : "") << std::flush;
}

void RenderProgressLine::breakLine()
{
    if (m_open) {
        m_out << '\n' << std::flush;
        m_open = false;
        m_broken = true;
    }
}

void RenderProgressLine::redraw()
{
    if (m_broken) {
        draw(m_text, false);
    }
}

} // namespace oskel
