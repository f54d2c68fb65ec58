#pragma once

#include <QWidget>
#include <cstdint>

namespace oskel {

// The in/out bar: the whole clip from left to right, the selection between the in marker
// (green) and the out marker (red), and the play position (white). Dragging a marker reports
// its new place; the bar shows only what it is told.
class InOutBar : public QWidget {
    Q_OBJECT
public:
    enum class Marker { In, Out };

    explicit InOutBar(QWidget* parent = nullptr);

    // Places in sample frames; a position below 0 is not shown.
    void showPoints(std::int64_t length, std::int64_t in, std::int64_t out, std::int64_t position);
    std::int64_t in() const { return m_in; }
    std::int64_t out() const { return m_out; }

    QSize sizeHint() const override { return { 200, 16 }; }

Q_SIGNALS:
    void markerMoved(InOutBar::Marker marker, std::int64_t frames);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int pixelOf(std::int64_t frames) const;

    std::int64_t m_length = 0;
    std::int64_t m_in = 0;
    std::int64_t m_out = 0;
    std::int64_t m_position = -1;
    bool m_dragging = false;
    Marker m_dragged = Marker::In;
};

} // namespace oskel
