#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "platform/midi_message.h"

namespace oskel::test {

// A message as the tests compare it: "90 3C 64" for a short message (all three bytes), "sysex
// F0 01 F7" for system-exclusive data, with " truncated" when bytes were lost.
inline std::string describe(const MidiMessage& message)
{
    char byte[4];
    std::string text;
    const auto append = [&](std::uint8_t value) {
        std::snprintf(byte, sizeof byte, "%02X", value);
        text += text.empty() || text.back() == ' ' ? "" : " ";
        text += byte;
    };
    if (message.isSysex()) {
        text = "sysex ";
        for (const std::uint8_t value : message.sysex) {
            append(value);
        }
        if (message.sysexTruncated) {
            text += " truncated";
        }
        return text;
    }
    append(message.status);
    append(message.data1);
    append(message.data2);
    return text;
}

} // namespace oskel::test
