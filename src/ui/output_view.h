#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

class QWindow;

namespace oskel {

// Where the composed output is seen: the main window's display panel and the output window.
// The frame thread draws into an embedded surface window; without one the view paints the
// picture it is given. Pointer presses, moves and releases, and slot panels dropped on it, are
// reported with positions in the view's pixels, whether they reach the view or the surface.
class OutputView : public QWidget {
    Q_OBJECT
public:
    explicit OutputView(QWidget* parent = nullptr);

    // The window the frame thread draws the output into (an OpenGL window), filling the
    // view; made on the first call. The view owns it.
    QWindow& surfaceWindow();
    void showPicture(const QImage& picture);
    // The pointer's shape over the view and its surface.
    void setPointerShape(Qt::CursorShape shape);
    // Which dropped slots are taken; none without it.
    void setDropFilter(std::function<bool(int slot)> accepts) { m_accepts = std::move(accepts); }

Q_SIGNALS:
    void pressed(Qt::MouseButton button, const QPoint& point, const QSize& size);
    void moved(const QPoint& point);
    void released(const QPoint& point);
    void slotDropped(int slot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handlePointer(QEvent* event);
    bool takesDrop(const QDropEvent& event) const;

    QImage m_picture;
    QPointer<QWindow> m_surface;
    std::function<bool(int)> m_accepts;
};

} // namespace oskel
