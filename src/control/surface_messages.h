#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace oskel::surface {

// The surface's system-exclusive messages: a fixed ten-byte header, then the message.
inline constexpr std::uint8_t kHeader[]
    = { 0xF0, 0x00, 0x20, 0x29, 0x03, 0x03, 0x11, 0x04, 0x01, 0x00 };

std::vector<std::uint8_t> goOnLine();
std::vector<std::uint8_t> goOffLine();
// half 0: the left display, 1: the right one.
std::vector<std::uint8_t> clearDisplay(int half);
// Text at a column (0..71) of a line (1..4): line 1 and 3 are the left display's name and value
// lines, 2 and 4 the right one's. Bytes that are not printable ASCII are sent as blanks.
std::vector<std::uint8_t> text(int column, int line, std::string_view characters);

} // namespace oskel::surface
