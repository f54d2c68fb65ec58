#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "midi_test_text.h"
#include "platform/midi_byte_parser.h"

namespace oskel {
namespace {

using test::describe;

std::vector<std::string> parse(MidiByteParser& parser, const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> messages;
    for (const std::uint8_t byte : bytes) {
        for (const MidiMessage& message : parser.push(byte, 0)) {
            messages.push_back(describe(message));
        }
    }
    return messages;
}

TEST(MidiByteParser, TurnsHostileBytesIntoWellFormedMessages)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases {
        { "a note", { 0x90, 0x3C, 0x64 }, { "90 3C 64" } },
        { "running status", { 0x90, 0x3C, 0x64, 0x3E, 0x00, 0x40 }, { "90 3C 64", "90 3E 00" } },
        { "running status of one-byte messages", { 0xC5, 0x07, 0x08, 0xD0, 0x11 },
            { "C5 07 00", "C5 08 00", "D0 11 00" } },
        { "real time between the bytes of a message", { 0x90, 0xF8, 0x3C, 0xFE, 0x64 },
            { "F8 00 00", "FE 00 00", "90 3C 64" } },
        { "real time keeps the running status", { 0xB0, 0x07, 0x10, 0xFA, 0x07, 0x11 },
            { "B0 07 10", "FA 00 00", "B0 07 11" } },
        { "undefined real-time bytes stand alone too", { 0xE0, 0xF9, 0x00, 0xFD, 0x40 },
            { "F9 00 00", "FD 00 00", "E0 00 40" } },
        { "a message cut short by another is dropped", { 0x90, 0x3C, 0xB0, 0x07, 0x7F },
            { "B0 07 7F" } },
        { "data bytes with no status are dropped", { 0x3C, 0x64, 0x90, 0x3C, 0x64 },
            { "90 3C 64" } },
        { "a system message ends the running status", { 0x90, 0x3C, 0x64, 0xF6, 0x3C, 0x64 },
            { "90 3C 64", "F6 00 00" } },
        { "system common messages take their own data, without running status",
            { 0xF2, 0x10, 0x20, 0x30, 0xF1, 0x05, 0xF3, 0x02, 0x03 },
            { "F2 10 20", "F1 05 00", "F3 02 00" } },
        { "status bytes that carry nothing",
            { 0x90, 0x3C, 0x64, 0xF4, 0x3C, 0xF5, 0xF7, 0x80, 0x3C, 0x00 },
            { "90 3C 64", "80 3C 00" } },
        { "system exclusive", { 0xF0, 0x7E, 0x01, 0xF7 }, { "sysex F0 7E 01 F7" } },
        { "real time inside system exclusive", { 0xF0, 0x01, 0xF8, 0x02, 0xF7 },
            { "F8 00 00", "sysex F0 01 02 F7" } },
        { "system exclusive without its end, ended by the next status",
            { 0xF0, 0x01, 0x02, 0x90, 0x3C, 0x64 }, { "sysex F0 01 02", "90 3C 64" } },
        { "a status that ends system exclusive and is a message itself", { 0xF0, 0x01, 0xF6 },
            { "sysex F0 01", "F6 00 00" } },
        { "system exclusive ended by another", { 0xF0, 0x01, 0xF0, 0x02, 0xF7 },
            { "sysex F0 01", "sysex F0 02 F7" } },
        { "empty system exclusive, and no running status after it", { 0xF0, 0xF7, 0x3C, 0x64 },
            { "sysex F0 F7" } },
        { "an incomplete message at the end waits", { 0x90, 0x3C }, {} },
    };
    for (const Case& each : cases) {
        MidiByteParser parser;
        EXPECT_EQ(parse(parser, each.bytes), each.messages) << each.what;
    }
}

TEST(MidiByteParser, MessagesSplitAcrossDeliveriesAreJoined)
{
    MidiByteParser parser;
    EXPECT_TRUE(parse(parser, { 0xF0, 0x01 }).empty());
    EXPECT_TRUE(parse(parser, { 0x02 }).empty());
    EXPECT_EQ(
        parse(parser, { 0xF7, 0x90, 0x3C }), std::vector<std::string> { "sysex F0 01 02 F7" });
    EXPECT_EQ(parse(parser, { 0x64 }), std::vector<std::string> { "90 3C 64" });
    parser.reset();
    EXPECT_TRUE(parse(parser, { 0x3C, 0x64 }).empty()) << "reset forgets the running status";
}

TEST(MidiByteParser, AMessageCarriesTheTimeOfTheByteThatCompletesIt)
{
    MidiByteParser parser;
    EXPECT_TRUE(parser.push(0x90, 5).empty());
    EXPECT_TRUE(parser.push(0x3C, 6).empty());
    const auto done = parser.push(0x64, 7);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].timeStamp, 7u);
}

// The block keeps its first kMaxSysexBytes bytes; when more came it is flagged and its end is
// lost, and the bytes after it parse as before.
TEST(MidiByteParser, LongSystemExclusiveIsTruncatedAndFlagged)
{
    struct Case {
        std::size_t dataBytes;
        bool truncated;
    };
    for (const Case each : { Case { kMaxSysexBytes - 2, false }, Case { kMaxSysexBytes - 1, true },
             Case { 3 * kMaxSysexBytes, true } }) {
        std::vector<std::uint8_t> bytes { 0xF0 };
        for (std::size_t index = 0; index < each.dataBytes; ++index) {
            bytes.push_back(static_cast<std::uint8_t>(index % 0x80));
        }
        bytes.insert(bytes.end(), { 0xF7, 0x90, 0x3C, 0x64 });

        MidiByteParser parser;
        std::vector<MidiMessage> messages;
        std::vector<std::uint8_t> sysex;
        for (const std::uint8_t byte : bytes) {
            for (const MidiMessage& message : parser.push(byte, 0)) {
                messages.push_back(message);
                if (message.isSysex()) {
                    sysex.assign(message.sysex.begin(), message.sysex.end());
                }
            }
        }
        ASSERT_EQ(messages.size(), 2u) << each.dataBytes;
        EXPECT_EQ(messages[0].sysexTruncated, each.truncated) << each.dataBytes;
        EXPECT_EQ(messages[0].sysexComplete(), !each.truncated) << each.dataBytes;
        const std::size_t kept = std::min(bytes.size() - 3, kMaxSysexBytes);
        EXPECT_EQ(sysex, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + kept))
            << each.dataBytes;
        EXPECT_EQ(describe(messages[1]), "90 3C 64");
    }
}

} // namespace
} // namespace oskel
