#include "ui/output_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/slot_panel.h"

namespace oskel {

OutputView::OutputView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    setMinimumSize(32, 24);
}

QWindow& OutputView::surfaceWindow()
{
    if (m_surface != nullptr) {
        return *m_surface;
    }
    auto* surface = new QWindow;
    surface->setSurfaceType(QSurface::OpenGLSurface);
    m_surface = surface;
    QWidget* container = QWidget::createWindowContainer(surface, this);
    container->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container);
    surface->installEventFilter(this);
    return *surface;
}

void OutputView::showPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void OutputView::setPointerShape(Qt::CursorShape shape)
{
    setCursor(shape);
    if (m_surface != nullptr) {
        m_surface->setCursor(shape);
    }
}

void OutputView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(rect(), Qt::black);
    } else {
        painter.drawImage(rect(), m_picture);
    }
}

bool OutputView::handlePointer(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint point = mouse->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Q_EMIT pressed(mouse->button(), point, size());
        return true;
    case QEvent::MouseMove:
        Q_EMIT moved(point);
        return true;
    case QEvent::MouseButtonRelease:
        Q_EMIT released(point);
        return true;
    default:
        return false;
    }
}

void OutputView::mousePressEvent(QMouseEvent* event)
{
    handlePointer(event);
}

void OutputView::mouseMoveEvent(QMouseEvent* event)
{
    handlePointer(event);
}

void OutputView::mouseReleaseEvent(QMouseEvent* event)
{
    handlePointer(event);
}

bool OutputView::takesDrop(const QDropEvent& event) const
{
    const QMimeData* mime = event.mimeData();
    const int slot = mime != nullptr ? draggedSlot(*mime) : 0;
    return slot != 0 && m_accepts && m_accepts(slot);
}

void OutputView::dragEnterEvent(QDragEnterEvent* event)
{
    if (takesDrop(*event)) {
        event->acceptProposedAction();
    }
}

void OutputView::dragMoveEvent(QDragMoveEvent* event)
{
    if (takesDrop(*event)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void OutputView::dropEvent(QDropEvent* event)
{
    if (takesDrop(*event)) {
        event->acceptProposedAction();
        Q_EMIT slotDropped(draggedSlot(*event->mimeData()));
    }
}

bool OutputView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_surface) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return handlePointer(event);
    case QEvent::DragEnter:
        dragEnterEvent(static_cast<QDragEnterEvent*>(event));
        return true;
    case QEvent::DragMove:
        dragMoveEvent(static_cast<QDragMoveEvent*>(event));
        return true;
    case QEvent::Drop:
        dropEvent(static_cast<QDropEvent*>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace oskel
