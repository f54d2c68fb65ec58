#include "ui/picture_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "ui/slot_panel.h"

namespace oskel {

QImage toImage(const ThumbnailPicture& picture)
{
    const auto needed = static_cast<std::size_t>(picture.width) * picture.height * 3;
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() < needed) {
        QImage black(
            std::max(picture.width, 1), std::max(picture.height, 1), QImage::Format_RGB888);
        black.fill(Qt::black);
        return black;
    }
    const QImage rows(picture.pixels.data(), picture.width, picture.height, picture.width * 3,
        QImage::Format_BGR888);
    // The rows come bottom-up; mirroring also copies them out of the picture's storage.
    return rows.mirrored(false, true);
}

PictureView::PictureView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void PictureView::fill(const QColor& colour)
{
    m_picture = QImage();
    m_fill = colour;
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(rect(), m_fill);
    } else {
        painter.drawImage(rect(), m_picture);
    }
}

void PictureView::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT pressed(event->button());
    QWidget::mousePressEvent(event);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event)
{
    Q_EMIT doubleClicked();
    event->accept();
}

void PictureView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() != nullptr && draggedSlot(*event->mimeData()) != 0) {
        event->acceptProposedAction();
    }
}

void PictureView::dropEvent(QDropEvent* event)
{
    if (event->mimeData() == nullptr) {
        return;
    }
    if (const int slot = draggedSlot(*event->mimeData()); slot != 0) {
        event->acceptProposedAction();
        Q_EMIT slotDropped(slot);
    }
}

} // namespace oskel
