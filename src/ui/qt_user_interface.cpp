#include "ui/qt_user_interface.h"

#include <QCoreApplication>
#include <QThread>
#include <string>

#include "core/slot_number.h"
#include "ui/dialogs.h"
#include "ui/layer_stack_widget.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"

namespace oskel {

namespace {

QColor colourOf(SlotColour colour)
{
    switch (colour) {
    case SlotColour::Black:
        return Qt::black;
    case SlotColour::Green:
        return QColor(0, 128, 0);
    case SlotColour::Red:
        return QColor(255, 0, 0);
    case SlotColour::White:
        return Qt::white;
    case SlotColour::Lime:
        return QColor(0, 255, 0);
    case SlotColour::Blue:
        return QColor(0, 0, 255);
    }
    return Qt::black;
}

// Behind the key letters a black background would hide the black letter of a stopped slot:
// the letters of unselected slots stand on grey instead.
QColor letterBackgroundOf(SlotColour colour)
{
    return colour == SlotColour::Black ? SlotPanel::kKeyBackground : colourOf(colour);
}

bool onOwnThread(const QObject& object)
{
    return QThread::currentThread() == object.thread();
}

} // namespace

QtUserInterface::QtUserInterface(MainWindow& window, Dialogs& dialogs)
    : m_window(window)
    , m_dialogs(dialogs)
{
}

template <class Action> void QtUserInterface::onWindowsThread(Action&& action)
{
    if (onOwnThread(m_window)) {
        action();
    } else {
        QMetaObject::invokeMethod(&m_window, std::forward<Action>(action), Qt::QueuedConnection);
    }
}

void QtUserInterface::setStatusText(std::string_view text)
{
    onWindowsThread(
        [this, shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))] {
            m_window.setStatusText(shown);
        });
}

void QtUserInterface::showMessage(std::string_view text)
{
    onWindowsThread([this, message = std::string(text)] { m_dialogs.showMessage(message); });
}

DialogAnswer QtUserInterface::ask(std::string_view question, DialogButtons buttons)
{
    if (!onOwnThread(m_window)) {
        return SilentUserInterface().ask(question, buttons);
    }
    return m_dialogs.ask(question, buttons);
}

void QtUserInterface::setSlotStatusColour(int slot, SlotColour colour)
{
    if (!isValidSlot(slot)) {
        return;
    }
    onWindowsThread(
        [this, slot, colour] { m_window.grid().panel(slot).setKeyColour(colourOf(colour)); });
}

void QtUserInterface::setSlotLetterBackground(int slot, SlotColour colour)
{
    if (!isValidSlot(slot)) {
        return;
    }
    onWindowsThread([this, slot, colour] {
        m_window.grid().panel(slot).setKeyBackground(letterBackgroundOf(colour));
    });
}

void QtUserInterface::blankThumbnail(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    onWindowsThread([this, slot] { m_window.grid().panel(slot).blank(); });
}

void QtUserInterface::showThumbnail(
    int slot, const ThumbnailPicture& picture, std::string_view hint)
{
    if (!isValidSlot(slot)) {
        return;
    }
    onWindowsThread(
        [this, slot, image = toImage(picture),
            shownHint = QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()))] {
            m_window.grid().panel(slot).showThumbnail(image, shownHint);
        });
}

void QtUserInterface::showControlValue(std::string_view control, const ControlValue& value)
{
    onWindowsThread(
        [this, name = std::string(control), value] { m_window.controls().show(name, value); });
}

void QtUserInterface::setOpacityBar(int slot, int level)
{
    onWindowsThread([this, slot, level] { m_window.layers().SetOpacityBar(slot, level); });
}

void QtUserInterface::setLumaBar(int slot, int level)
{
    onWindowsThread([this, slot, level] { m_window.layers().SetLumaBar(slot, level); });
}

} // namespace oskel
