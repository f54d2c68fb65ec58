#include "control/surface_messages.h"

#include <iterator>

namespace oskel::surface {

namespace {

std::vector<std::uint8_t> message(std::initializer_list<std::uint8_t> body)
{
    std::vector<std::uint8_t> bytes(std::begin(kHeader), std::end(kHeader));
    bytes.insert(bytes.end(), body);
    return bytes;
}

} // namespace

std::vector<std::uint8_t> goOnLine()
{
    return message({ 0x01, 0x01, 0xF7 });
}

std::vector<std::uint8_t> goOffLine()
{
    return message({ 0x01, 0x00, 0xF7 });
}

std::vector<std::uint8_t> clearDisplay(int half)
{
    return message({ 0x02, 0x02, static_cast<std::uint8_t>(half == 0 ? 0x04 : 0x05), 0xF7 });
}

std::vector<std::uint8_t> text(int column, int line, std::string_view characters)
{
    std::vector<std::uint8_t> bytes = message(
        { 0x02, 0x01, static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(line), 0x04 });
    for (const char c : characters) {
        const auto byte = static_cast<std::uint8_t>(c);
        bytes.push_back(byte >= 0x20 && byte < 0x7F ? byte : ' ');
    }
    bytes.push_back(0xF7);
    return bytes;
}

} // namespace oskel::surface
