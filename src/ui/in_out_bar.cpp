#include "ui/in_out_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

#include "control/clip_inspector_contents.h"

namespace oskel {

namespace {

constexpr int kGrabDistance = 6; // pixels either side of a marker

} // namespace

InOutBar::InOutBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("InOutBar");
    setMinimumHeight(14);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::SizeHorCursor);
}

void InOutBar::showPoints(
    std::int64_t length, std::int64_t in, std::int64_t out, std::int64_t position)
{
    if (length == m_length && in == m_in && out == m_out && position == m_position) {
        return;
    }
    m_length = length;
    m_in = in;
    m_out = out;
    m_position = position;
    update();
}

int InOutBar::pixelOf(std::int64_t frames) const
{
    return clip_inspector::barPixel(frames, m_length, width());
}

void InOutBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(40, 40, 40));
    if (m_length <= 0) {
        return;
    }
    const int in = pixelOf(m_in);
    const int out = pixelOf(m_out);
    painter.fillRect(QRect(in, 3, std::max(1, out - in), height() - 6), QColor(90, 90, 140));
    painter.fillRect(QRect(in - 1, 0, 3, height()), QColor(0, 200, 0));
    painter.fillRect(QRect(out - 1, 0, 3, height()), QColor(220, 0, 0));
    if (m_position >= 0) {
        painter.fillRect(QRect(pixelOf(m_position), 0, 1, height()), Qt::white);
    }
}

void InOutBar::mousePressEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    const int toIn = std::abs(x - pixelOf(m_in));
    const int toOut = std::abs(x - pixelOf(m_out));
    if (m_length <= 0 || std::min(toIn, toOut) > kGrabDistance) {
        return;
    }
    m_dragging = true;
    m_dragged = toIn <= toOut ? Marker::In : Marker::Out;
}

void InOutBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        return;
    }
    const int x = event->position().toPoint().x();
    Q_EMIT markerMoved(m_dragged, clip_inspector::barFrames(x, m_length, width()));
}

void InOutBar::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}

} // namespace oskel
