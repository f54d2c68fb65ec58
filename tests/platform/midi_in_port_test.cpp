#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "midi_direct_backend.h"
#include "midi_test_text.h"
#include "platform/midi_in_port.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using test::describe;
using test::DirectMidiBackend;

class RecordingHandler final : public MidiInputHandler {
public:
    Action onMidiInput(const MidiMessage& message) override
    {
        seen.push_back(describe(message));
        if (message.status == throwOn) {
            throw std::runtime_error("the interpreter failed");
        }
        return (message.status & 0xF0) == doneWith ? Action::Done : Action::Queue;
    }

    std::vector<std::string> seen;
    std::uint8_t doneWith = 0; // a kind of message (0x90: notes) the handler keeps for itself
    std::uint8_t throwOn = 0;
};

class RecordingClock final : public MidiClockHandler {
public:
    void onMidiClock(const MidiMessage& message) noexcept override
    {
        statuses.push_back(message.status);
    }

    std::vector<int> statuses;
};

// The port fed directly on the test's thread, as a driver would feed it.
class MidiInPortTest : public ::testing::Test {
protected:
    MidiInPortTest()
    {
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::make_unique<DirectMidiBackend>());
        driver = static_cast<DirectMidiBackend*>(backends.back().get());
        devices = std::make_unique<MidiDevices>(std::move(backends));
        port = std::make_unique<MidiInPort>(*devices, 8, 2);
    }

    void openAndStart()
    {
        ASSERT_TRUE(port->open(DirectMidiBackend::kName).ok());
        port->start();
    }

    std::vector<std::string> queued()
    {
        std::vector<std::string> messages;
        while (const auto message = port->read()) {
            messages.push_back(describe(*message));
        }
        return messages;
    }

    DirectMidiBackend* driver = nullptr;
    std::unique_ptr<MidiDevices> devices;
    std::unique_ptr<MidiInPort> port;
};

using Texts = std::vector<std::string>;

TEST_F(MidiInPortTest, ClockGoesOnlyToTheClockHookAndActiveSensingNowhere)
{
    RecordingHandler handler;
    RecordingClock clock;
    port->setHandler(&handler);
    port->setClockHandler(&clock);
    openAndStart();
    driver->deliver({ 0xF8, 0xFE, 0xFA, 0x90, 0x3C, 0xF8, 0x64, 0xFC });
    EXPECT_EQ(clock.statuses, (std::vector<int> { 0xF8, 0xFA, 0xF8, 0xFC }));
    EXPECT_EQ(handler.seen, (Texts { "FA 00 00", "90 3C 64", "FC 00 00" }));
    EXPECT_EQ(queued(), handler.seen);
}

TEST_F(MidiInPortTest, TheHandlerSeesEverythingAndChoosesWhatIsQueued)
{
    RecordingHandler handler;
    handler.doneWith = 0x90;
    handler.throwOn = 0xE0;
    port->setHandler(&handler);
    openAndStart();
    driver->deliver({ 0x90, 0x3C, 0x64, 0xB0, 0x07, 0x10, 0xE0, 0x00, 0x40, 0x91, 0x3E, 0x00, 0xF0,
        0x01, 0xF7, 0xB0, 0x07, 0x11 });
    EXPECT_EQ(handler.seen,
        (Texts { "90 3C 64", "B0 07 10", "E0 00 40", "91 3E 00", "sysex F0 01 F7", "B0 07 11" }));
    EXPECT_EQ(queued(), (Texts { "B0 07 10", "sysex F0 01 F7", "B0 07 11" }))
        << "what the handler dealt with, or failed on, is not queued";
    EXPECT_EQ(port->handlerFailures(), 1u);
}

TEST_F(MidiInPortTest, SysexOnlyModeQueuesOnlySystemExclusive)
{
    RecordingHandler handler;
    port->setHandler(&handler);
    port->setSysexOnly(true);
    openAndStart();
    driver->deliver({ 0x90, 0x3C, 0x64, 0xF0, 0x7E, 0xF7, 0xFA });
    EXPECT_EQ(handler.seen.size(), 3u) << "the handler still sees short messages";
    EXPECT_EQ(queued(), (Texts { "sysex F0 7E F7" }));
    port->setSysexOnly(false);
    driver->deliver({ 0x90, 0x3E, 0x00 });
    EXPECT_EQ(queued(), (Texts { "90 3E 00" }));
}

TEST_F(MidiInPortTest, MessagesArriveOnlyBetweenStartAndStop)
{
    ASSERT_TRUE(port->open(DirectMidiBackend::kName).ok());
    driver->deliver({ 0x90, 0x3C, 0x64 });
    EXPECT_TRUE(queued().empty()) << "opened, not started";
    port->start();
    driver->deliver({ 0x90, 0x3D, 0x64 });
    port->stop();
    driver->deliver({ 0x90, 0x3E, 0x64 });
    port->start();
    driver->deliver({ 0x90, 0x3F, 0x64 });
    EXPECT_EQ(port->messageCount(), 2u);
    EXPECT_EQ(queued(), (Texts { "90 3D 64", "90 3F 64" }));

    driver->deliver({ 0x90, 0x40, 0x64 });
    port->close();
    EXPECT_FALSE(driver->inputOpen());
    EXPECT_FALSE(port->isRunning());
    EXPECT_EQ(port->messageCount(), 0u);
    EXPECT_FALSE(port->read()) << "a closed port has nothing to read";
}

TEST_F(MidiInPortTest, TimeStampsCountMillisecondsFromStart)
{
    openAndStart();
    std::this_thread::sleep_for(30ms);
    driver->deliver({ 0xC0, 0x01 });
    const auto message = port->read();
    ASSERT_TRUE(message);
    EXPECT_GE(message->timeStamp, 30u);
    EXPECT_LT(message->timeStamp, 30000u);
}

TEST_F(MidiInPortTest, ALostMessageIsCountedAndTheWakeUpComesOncePerRound)
{
    int wakes = 0;
    port->setWake([&] { ++wakes; });
    openAndStart();
    for (std::uint8_t key = 0; key < 10; ++key) {
        driver->deliver({ 0x90, key, 0x40 });
    }
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(queued().size(), 8u);
    EXPECT_EQ(port->takeLost(), 2u);
    driver->deliver({ 0x90, 0x01, 0x40 });
    EXPECT_EQ(wakes, 2);
}

// What runs on the driver's thread for each delivery: parsing, the filters, the handlers and
// the queue, including a full queue and system-exclusive data.
TEST_F(MidiInPortTest, TheDriverThreadPathAllocatesNothing)
{
    if (!test::ThreadAllocationCounter::kAvailable) {
        GTEST_SKIP() << "allocations are counted only in sanitizer builds";
    }
    RecordingClock clock;
    clock.statuses.reserve(1000);
    port->setClockHandler(&clock);
    openAndStart();
    std::vector<std::uint8_t> bytes(600, 0x11);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    const std::vector<std::uint8_t> shortOnes { 0x90, 0x3C, 0x64, 0x3D, 0x64, 0xF8, 0xFE, 0xB0,
        0x07, 0x7F };
    test::ThreadAllocationCounter allocations;
    for (int round = 0; round < 20; ++round) {
        driver->deliver(shortOnes);
        driver->deliver(bytes);
        if (round % 3 == 0) {
            while (port->read()) { }
        }
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_TRUE(allocations.works()) << "the count can be trusted";
    EXPECT_GT(port->takeLost(), 0u) << "the queue ran full on the way";
}

} // namespace
} // namespace oskel
