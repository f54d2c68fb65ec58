#include "core/shown_text.h"

namespace oskel {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

// The UTF-8 character at the start of a text: its code point and its length in bytes. The
// length is 0 where the bytes are not a whole character in its shortest form.
struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 0;
};

Utf8Character firstCharacter(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80) {
        return { lead, 1 };
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xe0) == 0xc0) {
        length = 2;
        code = lead & 0x1fU;
        least = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3;
        code = lead & 0x0fU;
        least = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4;
        code = lead & 0x07U;
        least = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xc0) != 0x80) {
            return {};
        }
        code = (code << 6) | (next & 0x3fU);
    }
    if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
        return {};
    }
    return { code, length };
}

// Characters beyond ASCII that a terminal acts on, or that turn the text around it.
bool steersText(char32_t code)
{
    return (code >= 0x80 && code <= 0x9f) || code == 0x2028 || code == 0x2029
        || (code >= 0x202a && code <= 0x202e) || (code >= 0x2066 && code <= 0x2069);
}

void appendByteEscape(std::string& out, unsigned char byte)
{
    switch (byte) {
    case 0x1b:
        out += "\\e";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\0':
        out += "\\0";
        return;
    default:
        out += "\\x";
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xfU];
    }
}

void appendCodeEscape(std::string& out, char32_t code)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHexDigits[(code >> shift) & 0xfU];
    }
}

// Appends the text escaped, up to the last whole character within its first `most` bytes;
// returns the number of bytes taken.
std::size_t appendShown(
    std::string& out, std::string_view text, std::size_t most, bool keepLineBreaks)
{
    std::size_t taken = 0;
    while (taken < text.size()) {
        const Utf8Character character = firstCharacter(text.substr(taken));
        const std::size_t length = character.length == 0 ? 1 : character.length;
        if (taken + length > most) {
            break;
        }
        const char32_t code = character.code;
        const bool control = code < 0x20 || code == 0x7f;
        if (character.length == 0 || (control && !(keepLineBreaks && code == '\n'))) {
            appendByteEscape(out, static_cast<unsigned char>(text[taken]));
        } else if (steersText(code)) {
            appendCodeEscape(out, code);
        } else {
            out.append(text.substr(taken, length));
        }
        taken += length;
    }
    return taken;
}

std::string lengthNote(std::string_view text)
{
    return " (" + std::to_string(text.size()) + " bytes)";
}

} // namespace

std::string shownText(std::string_view text, std::size_t most)
{
    std::string shown;
    if (appendShown(shown, text, most, false) < text.size()) {
        shown += "..." + lengthNote(text);
    }
    return shown;
}

std::string quotedText(std::string_view text, std::size_t most)
{
    std::string quoted(1, '"');
    if (appendShown(quoted, text, most, false) < text.size()) {
        quoted += "...\"" + lengthNote(text);
    } else {
        quoted += '"';
    }
    return quoted;
}

std::string printableMessage(std::string_view text)
{
    std::string printable;
    printable.reserve(text.size());
    appendShown(printable, text, text.size(), true);
    return printable;
}

} // namespace oskel
