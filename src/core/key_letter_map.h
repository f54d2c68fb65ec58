#pragma once

#include <string_view>

namespace oskel {

enum class KeyboardLayout { Qwerty, Azerty };

// The computer key of each slot: the two top letter rows interleaved, slot 1 on the first
// letter of the upper row, slot 2 below it, and so on. On AZERTY keyboards the first letters
// of those rows differ.
class KeyLetterMap {
public:
    static constexpr std::string_view kQwertyLetters = "qawsedrftgyhujik";
    static constexpr std::string_view kAzertyLetters = "aqzsedrftgyhujik";

    explicit KeyLetterMap(KeyboardLayout layout = KeyboardLayout::Qwerty);

    KeyboardLayout layout() const { return m_layout; }
    std::string_view letters() const { return m_letters; }
    // Lower-case letter of slot 1..16, or '\0' for another number.
    char letter(int slot) const;
    // The letter as the clip slot grid shows it.
    char upperLetter(int slot) const;
    // Slot of a letter in either case, or -1.
    int slotOf(char letter) const;

private:
    KeyboardLayout m_layout;
    std::string_view m_letters;
};

} // namespace oskel
