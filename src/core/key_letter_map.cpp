#include "core/key_letter_map.h"

#include <cctype>

#include "core/slot_number.h"

namespace oskel {

KeyLetterMap::KeyLetterMap(KeyboardLayout layout)
    : m_layout(layout)
    , m_letters(layout == KeyboardLayout::Azerty ? kAzertyLetters : kQwertyLetters)
{
}

char KeyLetterMap::letter(int slot) const
{
    return isValidSlot(slot) ? m_letters[static_cast<std::size_t>(slot - 1)] : '\0';
}

char KeyLetterMap::upperLetter(int slot) const
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter(slot))));
}

int KeyLetterMap::slotOf(char letter) const
{
    const auto lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const auto position = m_letters.find(lower);
    return position == std::string_view::npos || lower == '\0' ? -1
                                                               : static_cast<int>(position) + 1;
}

} // namespace oskel
