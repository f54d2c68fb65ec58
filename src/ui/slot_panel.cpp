#include "ui/slot_panel.h"

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "core/slot_number.h"
#include "ui/picture_view.h"

namespace oskel {

namespace {

// The status buttons: drawn flat when off, raised with a red outline when on.
constexpr char kStatusStyle[] = "QToolButton { border: none; font-size: 9px; }"
                                "QToolButton:checked { border: 1px solid red; background: #ddd; }";

QRect toQRect(const slot_grid::Rect& rect)
{
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

// A child's place; one the layout leaves to the control's own size gets `size`.
QRect placeOf(const slot_grid::PanelChild& child, const QSize& size)
{
    QRect place = toQRect(child.place);
    if (place.isEmpty()) {
        place.setSize(size);
    }
    return place;
}

QString qName(std::string_view child, int slot)
{
    return QString::fromStdString(slot_grid::cloneName(child, slot));
}

} // namespace

int draggedSlot(const QMimeData& data)
{
    bool isNumber = false;
    const int slot = data.data(SlotPanel::kSlotMimeType).toInt(&isNumber);
    return isNumber && isValidSlot(slot) ? slot : 0;
}

// The played share of the clip: red from the left, white after it.
class ProgressStrip : public QWidget {
public:
    explicit ProgressStrip(QWidget* parent)
        : QWidget(parent)
    {
    }

    void setRedWidth(int width)
    {
        if (width != m_redWidth) {
            m_redWidth = width;
            update();
        }
    }
    int redWidth() const { return m_redWidth; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.fillRect(QRect(0, 0, m_redWidth, height()), Qt::red);
    }

private:
    int m_redWidth = 0;
};

SlotPanel::SlotPanel(int slot, QWidget* parent)
    : QFrame(parent)
    , m_slot(slot)
{
    setObjectName(qName("controlpanel", slot));
    setFixedSize(slot_grid::kPanelWidth, slot_grid::kPanelHeight);
    setFrameShape(QFrame::Panel);

    for (const slot_grid::PanelChild& child : slot_grid::kPanelChildren) {
        if (child.name == "thumbnail") {
            m_thumbnail = new PictureView(this);
            m_thumbnail->setObjectName(qName(child.name, slot));
            m_thumbnail->setGeometry(toQRect(child.place));
            // The panel handles the pointer on it: clicks, the right button and drags.
            m_thumbnail->setAttribute(Qt::WA_TransparentForMouseEvents);
        } else if (child.name == "imgProgress") {
            m_progress = new ProgressStrip(this);
            m_progress->setObjectName(qName(child.name, slot));
            m_progress->setGeometry(toQRect(child.place));
            m_progress->setAttribute(Qt::WA_TransparentForMouseEvents);
        } else if (child.name == "lbKey") {
            m_key = new QLabel(this);
            m_key->setObjectName(qName(child.name, slot));
            m_key->setGeometry(placeOf(child, QSize(20, 16)));
            m_key->setAutoFillBackground(true);
            m_key->setAlignment(Qt::AlignCenter);
            QFont bold = m_key->font();
            bold.setBold(true);
            m_key->setFont(bold);
        } else if (child.name == "transport") {
            addTransport(toQRect(child.place));
        }
    }
    for (const slot_grid::StatusButtonInfo& info : slot_grid::kStatusButtons) {
        for (const slot_grid::PanelChild& child : slot_grid::kPanelChildren) {
            if (child.name == info.child) {
                addStatusButton(
                    info, placeOf(child, QSize(static_cast<int>(info.caption.size()) * 6 + 6, 16)));
            }
        }
    }
    setKeyColour(Qt::black);
    setKeyBackground(kKeyBackground);
    blank();
}

QToolButton* SlotPanel::addButton(std::string_view child, const QRect& place)
{
    auto* button = new QToolButton(this);
    button->setObjectName(qName(child, m_slot));
    button->setGeometry(place);
    // The performance keys must reach the keyboard control, never a panel's button.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    return button;
}

void SlotPanel::addTransport(const QRect& place)
{
    const int width = place.width() / 3;
    QToolButton* play = addButton("play", QRect(place.topLeft(), QSize(width, place.height())));
    QToolButton* pause = addButton(
        "pause", QRect(place.topLeft() + QPoint(width, 0), QSize(width, place.height())));
    QToolButton* stop = addButton(
        "stop", QRect(place.topLeft() + QPoint(2 * width, 0), QSize(width, place.height())));
    play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    pause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    connect(play, &QToolButton::clicked, this, [this] { Q_EMIT playClicked(m_slot); });
    connect(pause, &QToolButton::clicked, this, [this] { Q_EMIT pauseClicked(m_slot); });
    connect(stop, &QToolButton::clicked, this, [this] { Q_EMIT stopClicked(m_slot); });
}

void SlotPanel::addStatusButton(const slot_grid::StatusButtonInfo& info, const QRect& place)
{
    QToolButton* button = addButton(info.child, place);
    button->setText(
        QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())));
    button->setCheckable(true);
    button->setStyleSheet(kStatusStyle);
    const slot_grid::StatusButton which = info.button;
    connect(button, &QToolButton::clicked, this, [this, button, which] {
        // The button shows the slot's state, which the logic decides and shows back.
        setStatusButton(which, !button->isChecked());
        Q_EMIT statusClicked(m_slot, which);
    });
    m_status.at(static_cast<std::size_t>(which)) = button;
}

void SlotPanel::setCaption(const QString& caption)
{
    m_key->setText(caption);
}

void SlotPanel::setKeyColour(const QColor& colour)
{
    QPalette palette = m_key->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_key->setPalette(palette);
}

void SlotPanel::setKeyBackground(const QColor& colour)
{
    QPalette palette = m_key->palette();
    palette.setColor(QPalette::Window, colour);
    m_key->setPalette(palette);
}

void SlotPanel::showThumbnail(const QImage& picture, const QString& hint)
{
    m_still = picture;
    m_thumbnail->setPicture(picture);
    m_thumbnail->setToolTip(hint);
}

void SlotPanel::showLivePicture(const QImage& picture)
{
    m_thumbnail->setPicture(picture);
}

void SlotPanel::showStill()
{
    if (m_still.isNull()) {
        m_thumbnail->fill(palette().color(QPalette::Window));
    } else {
        m_thumbnail->setPicture(m_still);
    }
}

void SlotPanel::blank()
{
    m_still = QImage();
    m_thumbnail->fill(palette().color(QPalette::Window));
    m_thumbnail->setToolTip(QString::fromUtf8(slot_grid::kEmptySlotHint.data(),
        static_cast<qsizetype>(slot_grid::kEmptySlotHint.size())));
    m_progress->setRedWidth(0);
}

void SlotPanel::setProgress(int redWidth)
{
    m_progress->setRedWidth(redWidth);
}

int SlotPanel::progress() const
{
    return m_progress->redWidth();
}

void SlotPanel::setFramed(bool framed)
{
    m_framed = framed;
    setFrameShadow(framed ? QFrame::Plain : QFrame::Raised);
    setLineWidth(framed ? 2 : 1);
    setStyleSheet(framed ? QString("#%1 { color: lime; }").arg(objectName()) : QString());
}

void SlotPanel::setStatusButton(slot_grid::StatusButton button, bool on)
{
    QToolButton* shown = m_status.at(static_cast<std::size_t>(button));
    const QSignalBlocker blocker(shown);
    shown->setChecked(on);
}

bool SlotPanel::statusButton(slot_grid::StatusButton button) const
{
    return m_status.at(static_cast<std::size_t>(button))->isChecked();
}

void SlotPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const bool onThumbnail = m_thumbnail->geometry().contains(point);
    m_leftPressed = false;
    if (event->button() == Qt::RightButton
        && (onThumbnail || m_progress->geometry().contains(point))) {
        Q_EMIT rightPressed(m_slot);
    } else if (event->button() == Qt::LeftButton && onThumbnail) {
        m_leftPressed = true;
        m_pressPoint = point;
    }
    event->accept();
}

void SlotPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint moved = event->position().toPoint() - m_pressPoint;
    if (m_leftPressed && moved.manhattanLength() >= QApplication::startDragDistance()) {
        m_leftPressed = false;
        startDrag();
    }
}

void SlotPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_leftPressed && event->button() == Qt::LeftButton) {
        m_leftPressed = false;
        Q_EMIT clicked(m_slot);
    }
}

void SlotPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_leftPressed = false;
    if (event->button() == Qt::LeftButton
        && m_thumbnail->geometry().contains(event->position().toPoint())) {
        Q_EMIT doubleClicked(m_slot);
    }
}

void SlotPanel::startDrag()
{
    auto* mime = new QMimeData;
    mime->setData(kSlotMimeType, QByteArray::number(m_slot));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!m_still.isNull()) {
        drag->setPixmap(QPixmap::fromImage(m_still.scaled(48, 36)));
    }
    drag->exec(Qt::CopyAction);
}

} // namespace oskel
