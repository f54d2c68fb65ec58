#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace oskel {

// One argument of an OSC message, whatever its wire type: whole numbers (i, h, c), numbers
// with a fraction (f, d), texts (s, S) and truth values (T, F).
using OscArgument = std::variant<std::int64_t, double, std::string, bool>;

struct OscMessage {
    std::string address; // "/oskel/slot/3/lumakeylevel"
    std::vector<OscArgument> arguments;
};

// Who sent a message, and where its answers go: an IPv4 address and a UDP port, both in host
// order.
struct OscClient {
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    bool operator==(const OscClient&) const = default;
    std::string text() const; // "127.0.0.1:9001"
};

} // namespace oskel
