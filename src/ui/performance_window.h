#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QLabel;

namespace oskel {

class TickFigureCounter;

// The performance monitor: once a second, the output's ticks per second and the mean decode,
// processing and upload-and-draw times of a tick, and how many slots play. It reads the
// figures the frame thread counts without waiting for it.
class PerformanceWindow : public QWidget {
    Q_OBJECT
public:
    PerformanceWindow();

    // Where the figures come from, and how many slots play; none: the window shows dashes.
    void setSources(TickFigureCounter* figures, std::function<int()> slotsPlaying);
    // The network's and the virtual camera's counts ("Stream: 1200 sent, 3 dropped"); none:
    // a dash.
    void setOutputCounts(std::function<std::string()> counts);
    // Takes the figures since the last time and shows them.
    void refresh();

    const QLabel& figure(int row) const { return *m_values.at(static_cast<std::size_t>(row)); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::array<QLabel*, 6> m_values {};
    TickFigureCounter* m_figures = nullptr;
    std::function<int()> m_slotsPlaying;
    std::function<std::string()> m_outputCounts;
    QTimer m_timer;
    QElapsedTimer m_since;
};

} // namespace oskel
