#include "control/key_position.h"

#include <array>
#include <initializer_list>
#include <iterator>

#include "core/ascii.h"

namespace oskel {

namespace {

constexpr int kXkbOffset = 8;

using EvdevTable = std::array<Key, 112>;

// Places a run of keys whose evdev codes follow one another from `firstCode`.
constexpr void placeRun(EvdevTable& keys, int firstCode, std::initializer_list<Key> run)
{
    for (const Key key : run) {
        keys[static_cast<std::size_t>(firstCode++)] = key;
    }
}

// Key::None where the evdev code names a key the actions do not use.
constexpr EvdevTable kEvdevKeys = [] {
    EvdevTable keys {};
    keys.fill(Key::None);
    placeRun(keys, 1,
        { Key::Escape, Key::Digit1, Key::Digit2, Key::Digit3, Key::Digit4, Key::Digit5, Key::Digit6,
            Key::Digit7, Key::Digit8, Key::Digit9, Key::Digit0, Key::Minus, Key::Equals,
            Key::Backspace, Key::Tab });
    placeRun(keys, 16,
        { Key::Q, Key::W, Key::E, Key::R, Key::T, Key::Y, Key::U, Key::I, Key::O, Key::P,
            Key::BracketLeft, Key::BracketRight });
    placeRun(keys, 30,
        { Key::A, Key::S, Key::D, Key::F, Key::G, Key::H, Key::J, Key::K, Key::L, Key::Semicolon,
            Key::Apostrophe, Key::Grave });
    placeRun(keys, 43,
        { Key::Oem8, Key::Z, Key::X, Key::C, Key::V, Key::B, Key::N, Key::M, Key::Comma,
            Key::Period, Key::Slash });
    placeRun(keys, 59,
        { Key::F1, Key::F2, Key::F3, Key::F4, Key::F5, Key::F6, Key::F7, Key::F8, Key::F9,
            Key::F10 });
    placeRun(keys, 71, { Key::Keypad7, Key::Keypad8, Key::Keypad9 });
    placeRun(keys, 75, { Key::Keypad4, Key::Keypad5, Key::Keypad6 });
    placeRun(keys, 79, { Key::Keypad1, Key::Keypad2, Key::Keypad3, Key::Keypad0 });
    placeRun(keys, 86, { Key::Backslash, Key::F11, Key::F12 });
    placeRun(keys, 103, { Key::Up, Key::PageUp, Key::Left, Key::Right });
    placeRun(keys, 108, { Key::Down, Key::PageDown });
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

namespace {

// clang-format off
constexpr std::string_view kKeyNames[] = {
    "", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r",
    "s", "t", "u", "v", "w", "x", "y", "z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "kp0", "kp1", "kp2", "kp3", "kp4", "kp5", "kp6", "kp7", "kp8", "kp9",
    "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", "f11", "f12",
    "left", "right", "up", "down", "pageup", "pagedown",
    "escape", "backspace", "tab",
    "slash", "backslash", "oem8", "equals", "minus", "apostrophe", "semicolon", "grave", "comma", "period",
    "bracketleft", "bracketright",
};
// clang-format on
static_assert(std::size(kKeyNames) == static_cast<std::size_t>(Key::BracketRight) + 1,
    "a name for every key");

} // namespace

std::string_view keyName(Key key)
{
    const auto index = static_cast<std::size_t>(key);
    return index < std::size(kKeyNames) ? kKeyNames[index] : std::string_view();
}

Key keyNamed(std::string_view name)
{
    for (std::size_t index = 1; index < std::size(kKeyNames); ++index) {
        if (sameWithoutCase(kKeyNames[index], name)) {
            return static_cast<Key>(index);
        }
    }
    return Key::None;
}

std::string keyNameList()
{
    std::string list;
    for (std::size_t index = 1; index < std::size(kKeyNames); ++index) {
        if (!list.empty()) {
            list += ' ';
        }
        list += kKeyNames[index];
    }
    return list;
}

} // namespace oskel
