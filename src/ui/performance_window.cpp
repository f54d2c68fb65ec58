#include "ui/performance_window.h"

#include <QFormLayout>
#include <QLabel>

#include "playback/tick_figures.h"

namespace oskel {

namespace {

constexpr int kRefreshMs = 1000;

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

PerformanceWindow::PerformanceWindow()
{
    setObjectName("fmPerformance");
    setWindowTitle("Performance Monitor");
    auto* form = new QFormLayout(this);
    const char* captions[]
        = { "Output frames per second", "Decode (ms per frame)", "Processing (ms per frame)",
              "Upload and draw (ms per frame)", "Slots playing", "Network and camera" };
    for (std::size_t row = 0; row < m_values.size(); ++row) {
        m_values.at(row) = new QLabel("-", this);
        m_values.at(row)->setObjectName(QString("lFigure%1").arg(row));
        form->addRow(captions[row], m_values.at(row));
    }
    connect(&m_timer, &QTimer::timeout, this, &PerformanceWindow::refresh);
}

void PerformanceWindow::setSources(TickFigureCounter* figures, std::function<int()> slotsPlaying)
{
    m_figures = figures;
    m_slotsPlaying = std::move(slotsPlaying);
}

void PerformanceWindow::setOutputCounts(std::function<std::string()> counts)
{
    m_outputCounts = std::move(counts);
}

void PerformanceWindow::refresh()
{
    if (m_outputCounts) {
        const std::string counts = m_outputCounts();
        m_values.at(5)->setText(counts.empty() ? "-" : QString::fromStdString(counts));
    }
    if (m_slotsPlaying) {
        m_values.at(4)->setText(QString::number(m_slotsPlaying()));
    }
    if (m_figures == nullptr) {
        return;
    }
    const TickFigures figures = m_figures->take();
    const double seconds = std::max(1, static_cast<int>(m_since.restart())) / 1000.0;
    m_values.at(0)->setText(oneDecimal(static_cast<double>(figures.ticks) / seconds));
    m_values.at(1)->setText(oneDecimal(figures.decodeMs));
    m_values.at(2)->setText(oneDecimal(figures.processingMs));
    m_values.at(3)->setText(oneDecimal(figures.uploadMs));
}

// The figures count from when the window shows.
void PerformanceWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_figures != nullptr) {
        m_figures->take();
    }
    m_since.start();
    m_timer.start(kRefreshMs);
}

void PerformanceWindow::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

} // namespace oskel
