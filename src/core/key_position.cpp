#include "core/key_position.h"

#include <array>

namespace oskel {

namespace {

constexpr int kXkbOffset = 8;

// Key::None where the evdev code names a key the actions do not use.
constexpr std::array<Key, 112> kEvdevKeys = [] {
    std::array<Key, 112> keys {};
    keys.fill(Key::None);
    keys[1] = Key::Escape;
    const Key digitRow[] = { Key::Digit1, Key::Digit2, Key::Digit3, Key::Digit4, Key::Digit5,
        Key::Digit6, Key::Digit7, Key::Digit8, Key::Digit9, Key::Digit0 };
    for (int k = 0; k < 10; ++k) {
        keys[2 + k] = digitRow[k];
    }
    keys[12] = Key::Minus;
    keys[13] = Key::Equals;
    keys[14] = Key::Backspace;
    keys[15] = Key::Tab;
    const Key upperRow[] = { Key::Q, Key::W, Key::E, Key::R, Key::T, Key::Y, Key::U, Key::I, Key::O,
        Key::P, Key::BracketLeft, Key::BracketRight };
    for (int k = 0; k < 12; ++k) {
        keys[16 + k] = upperRow[k];
    }
    const Key middleRow[] = { Key::A, Key::S, Key::D, Key::F, Key::G, Key::H, Key::J, Key::K,
        Key::L, Key::Semicolon, Key::Apostrophe, Key::Grave };
    for (int k = 0; k < 12; ++k) {
        keys[30 + k] = middleRow[k];
    }
    keys[43] = Key::Oem8;
    const Key lowerRow[] = { Key::Z, Key::X, Key::C, Key::V, Key::B, Key::N, Key::M, Key::Comma,
        Key::Period, Key::Slash };
    for (int k = 0; k < 10; ++k) {
        keys[44 + k] = lowerRow[k];
    }
    const Key functionKeys[] = { Key::F1, Key::F2, Key::F3, Key::F4, Key::F5, Key::F6, Key::F7,
        Key::F8, Key::F9, Key::F10 };
    for (int k = 0; k < 10; ++k) {
        keys[59 + k] = functionKeys[k];
    }
    keys[71] = Key::Keypad7;
    keys[72] = Key::Keypad8;
    keys[73] = Key::Keypad9;
    keys[75] = Key::Keypad4;
    keys[76] = Key::Keypad5;
    keys[77] = Key::Keypad6;
    keys[79] = Key::Keypad1;
    keys[80] = Key::Keypad2;
    keys[81] = Key::Keypad3;
    keys[82] = Key::Keypad0;
    keys[86] = Key::Backslash;
    keys[87] = Key::F11;
    keys[88] = Key::F12;
    keys[103] = Key::Up;
    keys[104] = Key::PageUp;
    keys[105] = Key::Left;
    keys[106] = Key::Right;
    keys[108] = Key::Down;
    keys[109] = Key::PageDown;
    return keys;
}();

} // namespace

Key keyFromEvdevCode(int code)
{
    if (code < 0 || code >= static_cast<int>(kEvdevKeys.size())) {
        return Key::None;
    }
    return kEvdevKeys[static_cast<std::size_t>(code)];
}

Key keyFromXkbKeycode(int keycode)
{
    return keycode < kXkbOffset ? Key::None : keyFromEvdevCode(keycode - kXkbOffset);
}

Key keyInLayout(Key place, KeyboardLayout layout)
{
    if (layout != KeyboardLayout::Azerty) {
        return place;
    }
    switch (place) {
    case Key::Q:
        return Key::A;
    case Key::A:
        return Key::Q;
    case Key::W:
        return Key::Z;
    case Key::Z:
        return Key::W;
    case Key::Semicolon:
        return Key::M;
    case Key::M:
        return Key::None;
    default:
        return place;
    }
}

char letterOf(Key key)
{
    if (key < Key::A || key > Key::Z) {
        return '\0';
    }
    return static_cast<char>('a' + (static_cast<int>(key) - static_cast<int>(Key::A)));
}

int digitOf(Key key)
{
    if (key >= Key::Digit0 && key <= Key::Digit9) {
        return static_cast<int>(key) - static_cast<int>(Key::Digit0);
    }
    if (isKeypadDigit(key)) {
        return static_cast<int>(key) - static_cast<int>(Key::Keypad0);
    }
    return -1;
}

bool isKeypadDigit(Key key)
{
    return key >= Key::Keypad0 && key <= Key::Keypad9;
}

} // namespace oskel
