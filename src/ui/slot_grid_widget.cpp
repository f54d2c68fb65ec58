#include "ui/slot_grid_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace oskel {

namespace {

bool holdsLocalFiles(const QMimeData& data)
{
    if (!data.hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

bool acceptable(const QMimeData* data)
{
    return data != nullptr && (draggedSlot(*data) != 0 || holdsLocalFiles(*data));
}

} // namespace

SlotGridWidget::SlotGridWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("vtpThumbnails");
    setAcceptDrops(true);
    QRect area;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        auto* panel = new SlotPanel(slot, this);
        const slot_grid::Rect place = slot_grid::panelRect(slot);
        panel->move(place.left, place.top);
        area |= panel->geometry();
        m_panels.at(static_cast<std::size_t>(slot - 1)) = panel;
    }
    setFixedSize(area.size());
}

void SlotGridWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptable(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void SlotGridWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptable(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void SlotGridWidget::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!acceptable(mime)) {
        return;
    }
    const QPoint point = event->position().toPoint();
    event->acceptProposedAction();
    if (const int from = draggedSlot(*mime); from != 0) {
        if (const std::optional<int> slot = slot_grid::slotAtPoint(point.x(), point.y())) {
            Q_EMIT slotDropped(from, *slot);
        }
        return;
    }
    QStringList files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            files.push_back(url.toLocalFile());
        }
    }
    Q_EMIT filesDropped(point, files);
}

} // namespace oskel
