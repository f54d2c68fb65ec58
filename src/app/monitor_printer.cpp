#include "app/monitor_printer.h"

#include <chrono>
#include <cstdio>

namespace oskel {

MonitorPrinter::MonitorPrinter(
    TickFigureCounter& figures, std::ostream& out, std::function<std::string()> more)
    : m_figures(figures)
    , m_out(out)
    , m_more(std::move(more))
    , m_thread([this] { run(); })
{
}

MonitorPrinter::~MonitorPrinter()
{
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void MonitorPrinter::run()
{
    using Clock = std::chrono::steady_clock;
    m_figures.take(); // start from now
    auto since = Clock::now();
    std::unique_lock guard(m_lock);
    while (!m_wake.wait_for(guard, std::chrono::seconds(1), [this] { return m_stop; })) {
        const TickFigures figures = m_figures.take();
        const auto now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - since).count();
        since = now;
        char line[160];
        std::snprintf(line, sizeof line,
            "Monitor: %.1f ticks/s, decode %.1f ms, processing %.1f ms, upload %.1f ms",
            static_cast<double>(figures.ticks) / seconds, figures.decodeMs, figures.processingMs,
            figures.uploadMs);
        const std::string more = m_more ? m_more() : std::string();
        m_out << line << (more.empty() ? "" : ", ") << more << '\n' << std::flush;
    }
}

} // namespace oskel
