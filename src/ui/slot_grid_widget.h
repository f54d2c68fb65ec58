#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

#include "core/slot_number.h"
#include "ui/slot_panel.h"

namespace oskel {

// The clip slot grid ("vtpThumbnails"): the sixteen slot panels where the grid's layout puts
// them. Files from a file manager dropped on it are reported with the point of the drop; a
// slot panel dropped on a panel with that panel's slot.
class SlotGridWidget : public QWidget {
    Q_OBJECT
public:
    explicit SlotGridWidget(QWidget* parent = nullptr);

    SlotPanel& panel(int slot) { return *m_panels.at(static_cast<std::size_t>(slot - 1)); }

Q_SIGNALS:
    // Local files dropped at a point of the grid, in the order the file manager gave them.
    void filesDropped(const QPoint& point, const QStringList& files);
    // A slot panel dropped on another slot's panel, or on its own.
    void slotDropped(int fromSlot, int toSlot);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::array<SlotPanel*, kSlotCount> m_panels {};
};

} // namespace oskel
