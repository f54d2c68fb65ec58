#pragma once

#include <concepts>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace oskel {

// Text from outside the program (a line of a file, a file name, an argument) as a message
// shows it, so that it cannot act on the terminal that prints it nor flood it.
//
// Control characters are written as escapes: \e, \n, \r, \t, \0, or \xHH; so is every byte
// that is not part of valid UTF-8. The Unicode characters that steer a terminal or turn the
// direction of the text (the C1 controls, the line and paragraph separators, the
// bidirectional embeddings, overrides and isolates) are written as \uHHHH. Everything else
// of valid UTF-8 is kept as it is, backslashes and quotes too.
//
// A text longer than `most` bytes keeps the whole characters of its first `most` bytes and
// says how long it was: "abc... (52428800 bytes)".
inline constexpr std::size_t kShownBytes = 200;

std::string shownText(std::string_view text, std::size_t most = kShownBytes);

// The same in double quotes: "abc", or "abc..." (52428800 bytes).
std::string quotedText(std::string_view text, std::size_t most = kShownBytes);

// File names, as the system spells them. (A template, so that a string is never taken for
// a path.)
template <std::same_as<std::filesystem::path> Path>
std::string shownText(const Path& path, std::size_t most = kShownBytes)
{
    return shownText(std::string_view(path.native()), most);
}

template <std::same_as<std::filesystem::path> Path>
std::string quotedText(const Path& path, std::size_t most = kShownBytes)
{
    return quotedText(std::string_view(path.native()), most);
}

// A whole message as a terminal prints it: line breaks kept, every other control character
// escaped as shownText does, nothing cut. What a message quotes is already shown; this is
// the last line of defence for what it does not.
std::string printableMessage(std::string_view text);

// A name holding a NUL byte names a shorter file to the system: it is refused, not opened.
inline bool holdsNul(std::string_view text)
{
    return text.find('\0') != std::string_view::npos;
}

template <std::same_as<std::filesystem::path> Path> bool holdsNul(const Path& path)
{
    return holdsNul(std::string_view(path.native()));
}

} // namespace oskel
