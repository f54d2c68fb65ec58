#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPoint>
#include <array>

#include "control/slot_grid_layout.h"

class QLabel;
class QMimeData;
class QToolButton;

namespace oskel {

class PictureView;
class ProgressStrip;

// One clip slot's panel on the grid: thumbnail (live while the slot plays), progress bar,
// key label, play/pause/stop and the four status buttons, each where the grid's layout puts
// it. It shows what it is told and reports what the performer does; dropping onto it is the
// grid's business.
class SlotPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr char kSlotMimeType[] = "application/x-oskel-slot";
    // Behind the key letter of a slot that is not selected.
    static inline const QColor kKeyBackground { 140, 140, 140 };

    SlotPanel(int slot, QWidget* parent = nullptr);

    int slot() const { return m_slot; }

    void setCaption(const QString& caption);
    void setKeyColour(const QColor& colour);
    void setKeyBackground(const QColor& colour);
    // The still thumbnail of a loaded clip, with its hint.
    void showThumbnail(const QImage& picture, const QString& hint);
    // A live picture over the still one, while the slot plays.
    void showLivePicture(const QImage& picture);
    // Back to the still thumbnail.
    void showStill();
    void blank();
    void setProgress(int redWidth);
    void setStatusButton(slot_grid::StatusButton button, bool on);
    // The panel of the slot in the clip inspector is framed, the others not.
    void setFramed(bool framed);
    bool framed() const { return m_framed; }

    const QImage& still() const { return m_still; }
    const PictureView& thumbnail() const { return *m_thumbnail; }
    const QLabel& keyLabel() const { return *m_key; }
    int progress() const;
    bool statusButton(slot_grid::StatusButton button) const;

Q_SIGNALS:
    void playClicked(int slot);
    void pauseClicked(int slot);
    void stopClicked(int slot);
    void statusClicked(int slot, slot_grid::StatusButton button);
    // A left click on the thumbnail that did not become a drag.
    void clicked(int slot);
    // The right button went down on the thumbnail or the progress bar.
    void rightPressed(int slot);
    void doubleClicked(int slot);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QToolButton* addButton(std::string_view child, const QRect& place);
    void addTransport(const QRect& place);
    void addStatusButton(const slot_grid::StatusButtonInfo& info, const QRect& place);
    void startDrag();

    const int m_slot;
    PictureView* m_thumbnail = nullptr;
    ProgressStrip* m_progress = nullptr;
    QLabel* m_key = nullptr;
    std::array<QToolButton*, slot_grid::kStatusButtons.size()> m_status {};
    QImage m_still;
    bool m_leftPressed = false;
    bool m_framed = false;
    QPoint m_pressPoint;
};

// The slot a drag of a slot panel carries, or 0 when the drag holds none.
int draggedSlot(const QMimeData& data);

} // namespace oskel
