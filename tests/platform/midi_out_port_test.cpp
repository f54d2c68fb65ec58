#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "midi_direct_backend.h"
#include "platform/midi_out_port.h"

namespace oskel {
namespace {

using Bytes = std::vector<std::uint8_t>;

class MidiOutPortTest : public ::testing::Test {
protected:
    MidiOutPortTest()
    {
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::make_unique<test::DirectMidiBackend>());
        device = static_cast<test::DirectMidiBackend*>(backends.back().get());
        devices = std::make_unique<MidiDevices>(std::move(backends));
        port = std::make_unique<MidiOutPort>(*devices);
        EXPECT_TRUE(port->open(test::DirectMidiBackend::kName).ok());
    }

    test::DirectMidiBackend* device = nullptr;
    std::unique_ptr<MidiDevices> devices;
    std::unique_ptr<MidiOutPort> port;
};

// Only the bytes the status takes go out, as data bytes; a status that is no short message
// sends nothing.
TEST_F(MidiOutPortTest, ShortMessagesSendTheBytesTheirStatusTakes)
{
    struct Case {
        std::uint8_t status;
        std::uint8_t data1;
        std::uint8_t data2;
        Bytes sent; // empty: refused
    };
    const std::vector<Case> cases {
        { 0x90, 0x3C, 0x64, { 0x90, 0x3C, 0x64 } },
        { 0x8F, 0xBC, 0xFF, { 0x8F, 0x3C, 0x7F } },
        { 0xC2, 0x05, 0x66, { 0xC2, 0x05 } },
        { 0xD0, 0x40, 0x00, { 0xD0, 0x40 } },
        { 0xE1, 0x00, 0x40, { 0xE1, 0x00, 0x40 } },
        { 0xF2, 0x01, 0x02, { 0xF2, 0x01, 0x02 } },
        { 0xF3, 0x01, 0x02, { 0xF3, 0x01 } },
        { 0xF6, 0x01, 0x02, { 0xF6 } },
        { 0xF8, 0x01, 0x02, { 0xF8 } },
        { 0x3C, 0x64, 0x00, {} },
        { 0xF0, 0x00, 0x00, {} },
        { 0xF7, 0x00, 0x00, {} },
        { 0xF4, 0x00, 0x00, {} },
    };
    for (const Case& each : cases) {
        const std::size_t before = device->sent().size();
        const MidiResult result = port->sendShort(each.status, each.data1, each.data2);
        if (each.sent.empty()) {
            EXPECT_EQ(result.error, "Not a short MIDI message") << int(each.status);
            EXPECT_EQ(device->sent().size(), before);
        } else {
            EXPECT_TRUE(result.ok()) << int(each.status);
            ASSERT_EQ(device->sent().size(), before + 1);
            EXPECT_EQ(device->sent().back(), each.sent) << int(each.status);
        }
    }
}

TEST_F(MidiOutPortTest, SystemExclusiveMustBeWholeToBeSent)
{
    const std::vector<Bytes> refused { {}, { 0xF0 }, { 0xF0, 0x01 }, { 0x01, 0xF7 },
        { 0xF0, 0x90, 0xF7 }, { 0xF0, 0xF8, 0xF7 } };
    for (const Bytes& bytes : refused) {
        EXPECT_EQ(port->sendSysex(bytes).error, "Not a system-exclusive message") << bytes.size();
    }
    EXPECT_TRUE(device->sent().empty());
    const Bytes whole { 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 };
    EXPECT_TRUE(port->sendSysex(whole).ok());
    MidiMessage event { 0xF0, 0, 0, 0, whole, false };
    EXPECT_TRUE(port->send(event).ok());
    event = MidiMessage { 0xB0, 0x07, 0x10, 0, {}, false };
    EXPECT_TRUE(port->send(event).ok());
    EXPECT_EQ(device->sent(), (std::vector<Bytes> { whole, whole, { 0xB0, 0x07, 0x10 } }));

    EXPECT_TRUE(port->close());
    EXPECT_EQ(port->send(event).error, "MIDI Output device not open");
}

} // namespace
} // namespace oskel
