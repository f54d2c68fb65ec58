#pragma once

#include <QImage>
#include <QWidget>
#include <array>

#include "core/layer_stack.h"

class QMimeData;

namespace oskel {

class VideoLayer;

// The layer stack widget: the sixteen slots as a column in drawing order, the top layer at
// the top, each with its caption, opacity bar, luma-key bar and live thumbnail. It shows the
// order it is given and reports a press (select the slot) and a layer dropped on another
// (reorder); it keeps no order of its own authority. Main thread.
class VideoLayers : public QWidget {
    Q_OBJECT
public:
    static constexpr char kLayerMimeType[] = "application/x-oskel-layer";
    static inline const QColor kBackground { 0, 128, 128 }; // teal

    explicit VideoLayers(QWidget* parent = nullptr);

    // Entry 0 is the bottom layer. An order that is not a permutation of 1..16 is ignored.
    void SetLayerOrder(const LayerStack::Order& order);
    const LayerStack::Order& order() const { return m_order; }
    void SelectLayer(int slot);
    int selected() const { return m_selected; }
    void SetLumaBar(int slot, int level);
    void SetOpacityBar(int slot, int level);
    void setCaption(int slot, const QString& caption);
    // The slot's thumbnail: its live picture while it plays, else its still one.
    void showPicture(int slot, const QImage& picture);

    // The entry of a slot, as laid out now.
    const VideoLayer& layer(int slot) const;
    VideoLayer& layer(int slot);

Q_SIGNALS:
    // The mouse went down on a slot's entry.
    void selectAvi(int slot);
    // A layer was dropped on another: the dragged slot is to take the target's place.
    void layerDropped(int draggedSlot, int targetSlot);
    // A clip file (from the file manager or the clip list) was dropped on a slot's entry.
    void fileDropped(int slot, const QString& file);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();

    std::array<VideoLayer*, kSlotCount> m_bySlot {};
    LayerStack::Order m_order = LayerStack::initialOrder();
    int m_selected = 0;
};

// One slot's entry of the layer stack widget.
class VideoLayer : public QWidget {
    Q_OBJECT
public:
    VideoLayer(int slot, VideoLayers& owner);

    int slot() const { return m_slot; }
    int opacityBar() const { return m_opacity; }
    int lumaBar() const { return m_luma; }
    bool framed() const { return m_framed; }
    const QString& caption() const { return m_caption; }

    void setThumbHeight(int height);
    void setOpacityBar(int position);
    void setLumaBar(int position);
    void setFramed(bool framed);
    void setCaption(const QString& caption);
    void setPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const int m_slot;
    VideoLayers& m_owner;
    int m_thumbHeight = 36;
    int m_opacity = 0;
    int m_luma = 0;
    bool m_framed = false;
    QString m_caption;
    QImage m_picture;
    QPoint m_pressPoint;
    bool m_pressed = false;
};

// The slot a layer drag carries, or 0 when it carries none.
int draggedLayer(const QMimeData& data);
// The first local file a drag carries, or nothing.
QString draggedFile(const QMimeData& data);

} // namespace oskel
