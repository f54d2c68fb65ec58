#include <array>
#include <chrono>
#include <semaphore>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "midi_test_text.h"
#include "platform/midi_in_port.h"
#include "platform/midi_out_port.h"
#include "platform/system_midi.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// The sequencer's name for the port of the program's own that another program sees: the
// newest when several instances run.
std::string ownPort(const Texts& names)
{
    const std::string name
        = std::string(kVirtualMidiPortName) + ":" + std::string(kVirtualMidiPortName);
    std::string found;
    for (const std::string& each : names) {
        if (each == name || each.rfind(name + " (", 0) == 0) {
            found = each;
        }
    }
    return found;
}

Texts receive(MidiInPort& in, std::counting_semaphore<>& woken, std::size_t count)
{
    Texts messages;
    while (messages.size() < count && woken.try_acquire_for(5s)) {
        while (const auto message = in.read()) {
            messages.push_back(test::describe(*message));
        }
    }
    return messages;
}

// Through the real sequencer: the program's virtual output read by a connection of its own,
// and its virtual input written through another. Needs /dev/snd/seq.
TEST(AlsaSequencer, TheVirtualPortsCarryMessagesToAndFromOtherPrograms)
{
    std::string whyNot;
    auto alsa = openAlsaSequencer(whyNot);
    if (!alsa) {
        GTEST_SKIP() << "no ALSA sequencer to test with: " << whyNot;
    }
    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(std::move(alsa));
    MidiDevices devices(std::move(backends));
    ASSERT_FALSE(devices.inputNames().empty());
    EXPECT_EQ(devices.inputNames().front(), kVirtualMidiPortName);
    EXPECT_EQ(devices.outputNames().front(), kVirtualMidiPortName);

    std::counting_semaphore<> woken(0);
    const std::array<std::uint8_t, 5> sysex { 0xF0, 0x7D, 0x01, 0x02, 0xF7 };

    // Out through the virtual output, in through a connection to it.
    MidiOutPort virtualOut(devices);
    ASSERT_TRUE(virtualOut.open(kVirtualMidiPortName).ok());
    const std::string outName = ownPort(devices.inputNames());
    ASSERT_FALSE(outName.empty()) << "the virtual output is not listed";
    MidiInPort reader(devices);
    reader.setWake([&] { woken.release(); });
    const MidiResult opened = reader.open(outName);
    ASSERT_TRUE(opened.ok()) << opened.error;
    reader.start();
    EXPECT_TRUE(virtualOut.sendShort(0x90, 0x3C, 0x64).ok());
    EXPECT_TRUE(virtualOut.sendSysex(sysex).ok());
    EXPECT_EQ(receive(reader, woken, 2), (Texts { "90 3C 64", "sysex F0 7D 01 02 F7" }));
    reader.close();

    // Into the virtual input, from a connection to it.
    MidiInPort virtualIn(devices);
    virtualIn.setWake([&] { woken.release(); });
    ASSERT_TRUE(virtualIn.open(kVirtualMidiPortName).ok());
    virtualIn.start();
    const std::string inName = ownPort(devices.outputNames());
    ASSERT_FALSE(inName.empty()) << "the virtual input is not listed";
    MidiOutPort writer(devices);
    ASSERT_TRUE(writer.open(inName).ok());
    EXPECT_TRUE(writer.sendShort(0xB2, 0x07, 0x40).ok());
    EXPECT_TRUE(writer.sendSysex(sysex).ok());
    EXPECT_EQ(receive(virtualIn, woken, 2), (Texts { "B2 07 40", "sysex F0 7D 01 02 F7" }));
}

// Whatever the machine has, the program gets a device list ending with the loopback cable,
// and is told what it could not reach.
TEST(SystemMidi, TheLoopbackIsAlwaysListedAndWhatIsMissingIsSaid)
{
    std::string problems;
    const auto devices = openSystemMidiDevices(problems);
    ASSERT_TRUE(devices);
    ASSERT_FALSE(devices->inputNames().empty());
    EXPECT_EQ(devices->inputNames().back(), "Oskel Loopback");
    EXPECT_EQ(devices->outputNames().back(), "Oskel Loopback");
    std::string whyNot;
    if (!openAlsaSequencer(whyNot)) {
        EXPECT_NE(problems.find(whyNot), std::string::npos) << problems;
    }
}

} // namespace
} // namespace oskel
