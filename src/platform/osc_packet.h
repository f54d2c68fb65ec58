#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/osc_message.h"

namespace oskel {

// The largest packet taken: a message of a tablet layout is a few dozen bytes; anything near
// this size is not meant for us.
inline constexpr std::size_t kMaxOscPacket = 8192;

// What a packet from the network holds: its messages, in order (a bundle's elements one by
// one, at once: time tags are not waited for, so a bundle dated far ahead cannot pile up),
// and what was wrong with the parts that were refused.
struct OscPacket {
    std::vector<OscMessage> messages;
    std::vector<std::string> problems;
};

// Takes a packet apart. Never throws for any bytes; a malformed part is a problem, the rest is
// kept. At most 64 messages and four levels of nested bundles are taken from one packet.
OscPacket decodeOscPacket(std::span<const std::uint8_t> bytes);

// The message as it goes on the wire; empty when it cannot be put into OSC.
std::vector<std::uint8_t> encodeOscMessage(const OscMessage& message);

} // namespace oskel
