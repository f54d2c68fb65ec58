#include "ui/key_forwarder.h"

#include <QKeyEvent>
#include <QWindow>
#include <exception>

#include "control/key_position.h"
#include "control/keyboard_control.h"

namespace oskel {

namespace {

const QWindow& topLevelOf(const QWindow& window)
{
    const QWindow* top = &window;
    while (top->parent() != nullptr) {
        top = top->parent();
    }
    return *top;
}

KeyModifiers modifiersOf(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers held = key.modifiers();
    return KeyModifiers { held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::AltModifier),
        held.testFlag(Qt::ControlModifier) };
}

} // namespace

KeyForwarder::KeyForwarder(KeyboardControl& keyboard,
    std::function<bool(const QWindow&)> ownsWindow, std::function<void()> beforeKey,
    std::function<void(const std::exception&)> failed)
    : m_keyboard(keyboard)
    , m_ownsWindow(std::move(ownsWindow))
    , m_beforeKey(std::move(beforeKey))
    , m_failed(std::move(failed))
{
}

bool KeyForwarder::eventFilter(QObject* watched, QEvent* event)
{
    // A key reaches the window first and is then handed to its focused widget: taking it at
    // the window sees each key once, whichever widget has the focus.
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (isKey && watched->isWindowType()
        && m_ownsWindow(topLevelOf(*static_cast<QWindow*>(watched)))) {
        forward(*static_cast<QKeyEvent*>(event));
    }
    return false;
}

void KeyForwarder::forward(const QKeyEvent& key)
{
    const Key place = keyFromXkbKeycode(static_cast<int>(key.nativeScanCode()));
    if (place == Key::None) {
        return;
    }
    try {
        m_beforeKey();
        if (key.type() == QEvent::KeyPress) {
            m_keyboard.FormKeyDown(place, modifiersOf(key), key.isAutoRepeat());
        } else {
            m_keyboard.FormKeyUp(place, modifiersOf(key), key.isAutoRepeat());
        }
    } catch (const std::exception& failure) {
        m_failed(failure);
    }
}

} // namespace oskel
