#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "core/user_interface_port.h"

namespace oskel {

// A 24-bit blue-green-red, bottom-up thumbnail as an image the widgets can paint; black when
// its pixels do not fill its size.
QImage toImage(const ThumbnailPicture& picture);

// A picture painted to fill the widget: a slot's thumbnail, live preview or crossfade preview.
// It reports presses and double-clicks; what they mean belongs to its owner.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Slot panels dropped here are reported (the crossfade previews take them).
    void acceptSlotDrops() { setAcceptDrops(true); }

    void setPicture(const QImage& picture);
    void fill(const QColor& colour);
    const QImage& picture() const { return m_picture; }

Q_SIGNALS:
    void pressed(Qt::MouseButton button);
    void doubleClicked();
    void slotDropped(int slot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QImage m_picture;
    QColor m_fill = Qt::black;
};

} // namespace oskel
