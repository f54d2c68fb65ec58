#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <thread>

#include "playback/tick_figures.h"

namespace oskel {

// "--monitor": once a second, a line with the performance monitor's figures (ticks per
// second; mean decode, processing and upload-and-draw times) on a thread of its own, so the
// frame thread never waits for the terminal.
class MonitorPrinter {
public:
    MonitorPrinter(TickFigureCounter& figures, std::ostream& out);
    ~MonitorPrinter();
    MonitorPrinter(const MonitorPrinter&) = delete;
    MonitorPrinter& operator=(const MonitorPrinter&) = delete;

private:
    void run();

    TickFigureCounter& m_figures;
    std::ostream& m_out;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace oskel
