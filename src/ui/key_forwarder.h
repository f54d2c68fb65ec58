#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWindow;

namespace oskel {

class KeyboardControl;

// Hands every key pressed or released in the instrument's windows to the keyboard control,
// by the key's place on the keyboard (its native scan code), before the focused widget sees
// it. Key repeats go too: the keyboard control decides what a held key does. Keys typed into
// other windows, such as the file dialog, are left alone.
class KeyForwarder : public QObject {
public:
    // `ownsWindow` tells whether a top-level window is one of the instrument's; `beforeKey`
    // runs before each key is handed on; `failed` gets what the keyboard control raised.
    KeyForwarder(KeyboardControl& keyboard, std::function<bool(const QWindow&)> ownsWindow,
        std::function<void()> beforeKey, std::function<void(const std::exception&)> failed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forward(const QKeyEvent& key);

    KeyboardControl& m_keyboard;
    std::function<bool(const QWindow&)> m_ownsWindow;
    std::function<void()> m_beforeKey;
    std::function<void(const std::exception&)> m_failed;
};

} // namespace oskel
