// Parses any bytes as a MIDI device's output and checks what must hold for every stream: each
// message is well formed, every real-time byte comes out as a message of its own, and the
// messages written back as bytes parse to the same messages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/midi_byte_parser.h"

namespace {

using oskel::MidiMessage;
namespace midi = oskel::midi;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

struct Parsed {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
    std::vector<std::uint8_t> sysex;
    bool truncated;

    bool sameAs(const Parsed& other) const
    {
        return status == other.status && data1 == other.data1 && data2 == other.data2
            && sysex == other.sysex;
    }
};

void checkWellFormed(const MidiMessage& message)
{
    check(midi::isStatus(message.status));
    check(message.data1 < 0x80 && message.data2 < 0x80);
    if (message.isSysex()) {
        check(message.data1 == 0 && message.data2 == 0);
        check(!message.sysex.empty() && message.sysex.size() <= oskel::kMaxSysexBytes);
        check(message.sysex.front() == midi::kSysexStart);
        for (std::size_t index = 1; index < message.sysex.size(); ++index) {
            const bool last = index + 1 == message.sysex.size();
            check(message.sysex[index] < 0x80 || (last && message.sysex[index] == midi::kSysexEnd));
        }
        check(!message.sysexTruncated || message.sysex.size() == oskel::kMaxSysexBytes);
        return;
    }
    check(message.sysex.empty() && !message.sysexTruncated);
    const int length = oskel::midiDataLength(message.status);
    check(length >= 0);
    check(length >= 1 || message.data1 == 0);
    check(length >= 2 || message.data2 == 0);
}

std::vector<Parsed> parseAll(const std::uint8_t* data, std::size_t size, std::size_t& realTime)
{
    oskel::MidiByteParser parser;
    std::vector<Parsed> messages;
    realTime = 0;
    for (std::size_t index = 0; index < size; ++index) {
        const auto done = parser.push(data[index], static_cast<std::uint32_t>(index));
        check(done.size() <= 2);
        check(done.size() < 2 || done[0].isSysex());
        for (const MidiMessage& message : done) {
            checkWellFormed(message);
            check(message.timeStamp == index);
            realTime += midi::isRealTime(message.status) ? 1 : 0;
            messages.push_back(Parsed { message.status, message.data1, message.data2,
                std::vector<std::uint8_t>(message.sysex.begin(), message.sysex.end()),
                message.sysexTruncated });
        }
    }
    return messages;
}

// The messages as a sender would write them: each with its status, system exclusive as it
// came, a block without its end closed by a status that carries nothing (a real-time message
// after it would otherwise land inside it).
std::vector<std::uint8_t> written(const std::vector<Parsed>& messages)
{
    std::vector<std::uint8_t> bytes;
    for (const Parsed& message : messages) {
        if (message.status == midi::kSysexStart) {
            bytes.insert(bytes.end(), message.sysex.begin(), message.sysex.end());
            if (message.sysex.back() != midi::kSysexEnd) {
                bytes.push_back(0xF4);
            }
            continue;
        }
        const int length = oskel::midiDataLength(message.status);
        bytes.push_back(message.status);
        if (length >= 1) {
            bytes.push_back(message.data1);
        }
        if (length >= 2) {
            bytes.push_back(message.data2);
        }
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t realTime = 0;
    const std::vector<Parsed> messages = parseAll(data, size, realTime);
    std::size_t realTimeBytes = 0;
    for (std::size_t index = 0; index < size; ++index) {
        realTimeBytes += midi::isRealTime(data[index]) ? 1 : 0;
    }
    check(realTime == realTimeBytes);

    const std::vector<std::uint8_t> again = written(messages);
    std::size_t realTimeAgain = 0;
    const std::vector<Parsed> reparsed = parseAll(again.data(), again.size(), realTimeAgain);
    check(reparsed.size() == messages.size());
    for (std::size_t index = 0; index < messages.size(); ++index) {
        check(reparsed[index].sameAs(messages[index]));
    }
    return 0;
}
