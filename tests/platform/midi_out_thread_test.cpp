#include <chrono>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "platform/loopback_midi.h"
#include "platform/midi_out_thread.h"
#include "support/collected_midi_bytes.h"

namespace oskel {
namespace {

class MidiOutThreadTest : public ::testing::Test {
protected:
    MidiOutThreadTest()
    {
        auto loopback = std::make_unique<LoopbackMidi>();
        cable = loopback.get();
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::move(loopback));
        devices = std::make_unique<MidiDevices>(std::move(backends));
        std::string whyNot;
        input = cable->openInput(LoopbackMidi::kDefaultCable, received, whyNot);
    }
    void waitForState(const TMidiOutThread& thread, MidiOutQueue::State state)
    {
        for (int k = 0; k < 500 && thread.state() != state; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_EQ(thread.state(), state);
    }

    LoopbackMidi* cable = nullptr;
    std::unique_ptr<MidiDevices> devices;
    test::CollectedMidiBytes received;
    std::unique_ptr<MidiInStream> input;
};

// Messages for the same cell that pile up while the device is busy give way to the newest,
// which is always sent; nothing else is lost or reordered.
TEST_F(MidiOutThreadTest, TheNewestOfACellIsSentAndTheRestInOrder)
{
    TMidiOutThread thread(*devices);
    thread.open(std::string(LoopbackMidi::kDefaultCable));
    waitForState(thread, MidiOutQueue::State::Open);
    for (std::uint8_t k = 0; k < 100; ++k) {
        thread.send({ 0xF0, 0x01, k, 0xF7 }, 109);
    }
    thread.controlChange(85, 1);
    thread.drain();
    // The cable delivers on a thread of its own: wait for the LED, the last message sent.
    const auto ledArrived = [this] {
        const std::vector<std::uint8_t> bytes = received.bytes();
        return bytes.size() >= 3 && bytes[bytes.size() - 3] == 0xB0;
    };
    for (int k = 0; k < 1000 && !ledArrived(); ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::vector<std::uint8_t> bytes = received.bytes();
    ASSERT_GE(bytes.size(), 7u);
    ASSERT_EQ(bytes.size() % 4, 3u) << "whole messages only";
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.end() - 7, bytes.end())),
        (std::vector<std::uint8_t> { 0xF0, 0x01, 99, 0xF7, 0xB0, 85, 1 }))
        << "the last text, then the LED";
    EXPECT_LE(bytes.size(), 100u * 4 + 3); // how many were superseded depends on the timing
}

// A device that cannot be opened stays failed: later requests are ignored until it is closed.
TEST_F(MidiOutThreadTest, ADeviceThatFailedStaysFailedUntilClosed)
{
    TMidiOutThread thread(*devices);
    thread.open("Not There");
    waitForState(thread, MidiOutQueue::State::Failed);
    thread.open(std::string(LoopbackMidi::kDefaultCable));
    thread.drain();
    EXPECT_EQ(thread.state(), MidiOutQueue::State::Failed);
    thread.close();
    thread.open(std::string(LoopbackMidi::kDefaultCable));
    waitForState(thread, MidiOutQueue::State::Open);
    EXPECT_EQ(thread.failure(), "");
}

} // namespace
} // namespace oskel
