#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/key_letter_map.h"

namespace oskel {

// A key of the computer keyboard by where it sits, not by what its cap says: the keyboard
// actions belong to places on the keyboard, whatever the layout prints on them. Letter and
// punctuation keys are named after what a UK QWERTY keyboard prints there; two keys need
// more words:
//   Backslash: the key between the left Shift and Z on ISO keyboards ("\" on UK ones).
//   Oem8: the key right of the apostrophe on ISO keyboards ("#" on UK ones), which ANSI
//         keyboards have above Enter and print "\" on.
// The keypad digits are keys of their own.
// clang-format off
enum class Key : std::uint8_t {
    None,
    A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    Keypad0, Keypad1, Keypad2, Keypad3, Keypad4, Keypad5, Keypad6, Keypad7, Keypad8, Keypad9,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    Left, Right, Up, Down, PageUp, PageDown,
    Escape, Backspace, Tab,
    Slash, Backslash, Oem8, Equals, Minus, Apostrophe, Semicolon, Grave, Comma, Period,
    BracketLeft, BracketRight,
};
// clang-format on

struct KeyModifiers {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;

    bool any() const { return shift || alt || ctrl; }
};

// The key at a Linux input-event (evdev) key code; Key::None for keys the actions do not use
// and for codes out of range.
Key keyFromEvdevCode(int code);
// The same for an X keyboard (XKB) key code, which is the evdev code plus 8: what Qt reports
// as the native scan code under X11 and Wayland.
Key keyFromXkbKeycode(int keycode);

// The key as the actions see it in the performer's layout. Letters follow the caps of the
// layout, so that the performer presses the letter that the actions and the slot captions
// name. On AZERTY keyboards A and Q trade places, so do Z and W, M sits where QWERTY
// keyboards have ";", and the key at M's QWERTY place (printed ",") carries no letter and
// acts as nothing. The slot keys stay where they are in either layout, since the AZERTY
// key-letter map names the same keys by their AZERTY caps. Every other key acts by its
// place.
Key keyInLayout(Key place, KeyboardLayout layout);

// The key's name in performance files: "q", "5", "kp5", "f8", "left", "pageup", "escape",
// "slash", "bracketleft"...; keyNamed reads it back, without regard to case (Key::None for
// a name that is no key).
std::string_view keyName(Key key);
Key keyNamed(std::string_view name);
// Every name, separated by blanks.
std::string keyNameList();

// 'a'..'z' for a letter key, else '\0'.
char letterOf(Key key);
// 0..9 for a digit of the top row or of the keypad, else -1.
int digitOf(Key key);
bool isKeypadDigit(Key key);

} // namespace oskel
