#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "playback/tick_figures.h"

namespace oskel {

// "--monitor": once a second, a line with the performance monitor's figures (ticks per
// second; mean decode, processing and upload-and-draw times; OSC's counts while it is on) on
// a thread of its own, so the frame thread never waits for the terminal.
class MonitorPrinter {
public:
    // `more`, when given, adds its text to each line (from the monitor's thread).
    MonitorPrinter(
        TickFigureCounter& figures, std::ostream& out, std::function<std::string()> more = {});
    ~MonitorPrinter();
    MonitorPrinter(const MonitorPrinter&) = delete;
    MonitorPrinter& operator=(const MonitorPrinter&) = delete;

private:
    void run();

    TickFigureCounter& m_figures;
    std::ostream& m_out;
    std::function<std::string()> m_more;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace oskel
