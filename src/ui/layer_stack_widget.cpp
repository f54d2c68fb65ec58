#include "ui/layer_stack_widget.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "control/layer_stack_layout.h"

namespace oskel {

namespace {

using namespace layer_stack_layout;

constexpr int kDragThreshold = 5;
constexpr int kPreferredThumbHeight = 36;
const Margins kMargins { 4, 10, kPreferredThumbHeight };

QRect toQRect(const Box& box)
{
    return QRect(box.left, box.top, box.width, box.height);
}

// A bar filled from its foot to the share `position` of `maximum`.
QRect filledPart(const QRect& bar, int position, int maximum)
{
    const int filled = bar.height() * std::clamp(position, 0, maximum) / maximum;
    return QRect(bar.left(), bar.bottom() + 1 - filled, bar.width(), filled);
}

} // namespace

int draggedLayer(const QMimeData& data)
{
    if (!data.hasFormat(VideoLayers::kLayerMimeType)) {
        return 0;
    }
    const int slot = data.data(VideoLayers::kLayerMimeType).toInt();
    return isValidSlot(slot) ? slot : 0;
}

QString draggedFile(const QMimeData& data)
{
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

VideoLayers::VideoLayers(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("VideoLayers1");
    setFixedWidth(80);
    setMinimumHeight(kSlotCount * 16 + 2 * kMargins.vertical);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int slot = kSlotCount; slot >= 1; --slot) {
        m_bySlot.at(static_cast<std::size_t>(slot - 1)) = new VideoLayer(slot, *this);
    }
    layOut();
}

const VideoLayer& VideoLayers::layer(int slot) const
{
    return *m_bySlot.at(static_cast<std::size_t>(slot - 1));
}

VideoLayer& VideoLayers::layer(int slot)
{
    return *m_bySlot.at(static_cast<std::size_t>(slot - 1));
}

void VideoLayers::SetLayerOrder(const LayerStack::Order& order)
{
    if (!LayerStack::isPermutation(order) || order == m_order) {
        return;
    }
    m_order = order;
    layOut();
}

void VideoLayers::SelectLayer(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    if (isValidSlot(m_selected)) {
        layer(m_selected).setFramed(false);
    }
    layer(slot).setFramed(true);
    m_selected = slot;
}

void VideoLayers::SetLumaBar(int slot, int level)
{
    if (isValidSlot(slot)) {
        layer(slot).setLumaBar(lumaBarPosition(level));
    }
}

void VideoLayers::SetOpacityBar(int slot, int level)
{
    if (isValidSlot(slot)) {
        layer(slot).setOpacityBar(opacityBarPosition(level));
    }
}

void VideoLayers::setCaption(int slot, const QString& caption)
{
    if (isValidSlot(slot)) {
        layer(slot).setCaption(caption);
    }
}

void VideoLayers::showPicture(int slot, const QImage& picture)
{
    if (isValidSlot(slot)) {
        layer(slot).setPicture(picture);
    }
}

void VideoLayers::layOut()
{
    Margins margins = kMargins;
    margins.thumbHeight = fittingThumbHeight(height(), margins.vertical, kPreferredThumbHeight);
    const auto places = entryPlaces(width(), height(), margins);
    for (std::size_t position = 0; position < m_order.size(); ++position) {
        VideoLayer& entry = layer(m_order.at(position));
        entry.setThumbHeight(margins.thumbHeight);
        entry.setGeometry(toQRect(places.at(position)));
    }
}

void VideoLayers::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void VideoLayers::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}

VideoLayer::VideoLayer(int slot, VideoLayers& owner)
    : QWidget(&owner)
    , m_slot(slot)
    , m_owner(owner)
{
    setObjectName(QString("VideoLayer%1").arg(slot));
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoLayer::setThumbHeight(int height)
{
    m_thumbHeight = height;
}

void VideoLayer::setOpacityBar(int position)
{
    if (position != m_opacity) {
        m_opacity = position;
        update();
    }
}

void VideoLayer::setLumaBar(int position)
{
    if (position != m_luma) {
        m_luma = position;
        update();
    }
}

void VideoLayer::setFramed(bool framed)
{
    m_framed = framed;
    update();
}

void VideoLayer::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void VideoLayer::setPicture(const QImage& picture)
{
    if (picture.cacheKey() == m_picture.cacheKey()) {
        return;
    }
    m_picture = picture;
    update(toQRect(entryParts(width(), height(), m_thumbHeight).thumbnail));
}

void VideoLayer::paintEvent(QPaintEvent*)
{
    const EntryParts parts = entryParts(width(), height(), m_thumbHeight);
    QPainter painter(this);
    painter.fillRect(rect(), VideoLayers::kBackground);

    const QRect caption = toQRect(parts.caption);
    painter.fillRect(caption, Qt::black);
    QFont font = painter.font();
    font.setPixelSize(captionPixelHeight(m_caption.toStdString()));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(caption, Qt::AlignCenter, m_caption);

    const QRect opacity = toQRect(parts.opacityBar);
    painter.fillRect(opacity, QColor(0, 64, 64));
    painter.fillRect(filledPart(opacity, m_opacity, kOpacityBarMax), QColor(0, 120, 215));
    const QRect luma = toQRect(parts.lumaBar);
    painter.fillRect(luma, QColor(0, 64, 64));
    QLinearGradient redToWhite(luma.bottomLeft(), luma.topLeft());
    redToWhite.setColorAt(0, Qt::red);
    redToWhite.setColorAt(1, Qt::white);
    painter.fillRect(filledPart(luma, m_luma, kLumaBarMax), redToWhite);

    const QRect thumbnail = toQRect(parts.thumbnail);
    if (m_picture.isNull()) {
        painter.fillRect(thumbnail, Qt::black);
    } else {
        painter.drawImage(thumbnail, m_picture);
    }
    if (m_framed) {
        painter.setPen(QPen(QColor(0, 255, 0), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void VideoLayer::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_pressPoint = event->position().toPoint();
    Q_EMIT m_owner.selectAvi(m_slot);
}

// A press only selects; the drag begins once the pointer has moved five pixels.
void VideoLayer::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed
        || (event->position().toPoint() - m_pressPoint).manhattanLength() < kDragThreshold) {
        return;
    }
    m_pressed = false;
    auto* drag = new QDrag(this);
    auto* carried = new QMimeData;
    carried->setData(VideoLayers::kLayerMimeType, QByteArray::number(m_slot));
    drag->setMimeData(carried);
    if (!m_picture.isNull()) {
        drag->setPixmap(QPixmap::fromImage(m_picture.scaled(48, 36)));
    }
    drag->exec(Qt::MoveAction);
}

void VideoLayer::dragEnterEvent(QDragEnterEvent* event)
{
    const int dragged = draggedLayer(*event->mimeData());
    if ((dragged != 0 && dragged != m_slot) || !draggedFile(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void VideoLayer::dropEvent(QDropEvent* event)
{
    const int dragged = draggedLayer(*event->mimeData());
    if (dragged != 0) {
        if (dragged != m_slot) {
            event->acceptProposedAction();
            Q_EMIT m_owner.layerDropped(dragged, m_slot);
        }
        return;
    }
    if (const QString file = draggedFile(*event->mimeData()); !file.isEmpty()) {
        event->acceptProposedAction();
        Q_EMIT m_owner.fileDropped(m_slot, file);
    }
}

} // namespace oskel
