#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "control/midi_form.h"
#include "control/midi_input.h"
#include "control/midi_learn.h"
#include "core/midi_assignment_items.h"
#include "support/performance_with_controls.h"
#include "support/pretend_clip.h"

namespace oskel {
namespace {

using Events = std::vector<TSlotEvent>;

constexpr std::uint16_t kNoteOn = 0x90;
constexpr std::uint16_t kController = 0xB0;
constexpr std::uint16_t kWheel = 0xE0;

std::uint32_t packed(std::uint32_t status, std::uint32_t data1, std::uint32_t data2)
{
    return status | (data1 << 8) | (data2 << 16);
}

// The interpreter with its assignments at their defaults, learning and the input path, on a
// performance with slot 1 loaded and current.
class MidiInputTest : public ::testing::Test, public test::PerformanceWithControls {
protected:
    void SetUp() override
    {
        midi().channel = 1;
        learn.AssignDefaultControllers();
        test::pretendLoaded(performance.slot(1), 1270000);
        performance.globals().selectedSlot = 1;
    }

    MidiOptions& midi() { return performance.options().midi; }

    SelectionOnlyInspector inspector { performance };
    MidiInputPorts ports;
    EffectHostPort effects;
    ControlSurfacePort surface;
    MidiInterpreter interpreter { { performance, events, inspector, ports, effects, surface,
        [] { return 44100; } } };
    MidiLearn learn { events, performance };
    int refreshes = 0;
    std::atomic<int> wakes = 0;
    MidiInput input { { interpreter, learn, [this] { ++refreshes; }, [this] { ++wakes; } } };
};

TEST_F(MidiInputTest, ALearnedAndInvertedControllerDrivesItsParameter)
{
    learn.StartLearn(midi_parameter::kOpacity);
    input.MidiInput1MidiInput(kNoteOn, 33, 100); // notes and the wheel are not learned
    input.MidiInput1MidiInput(kWheel, 33, 100);
    EXPECT_TRUE(learn.learning());
    input.MidiInput1MidiInput(kController | 6, 33, 127); // any channel is learned
    EXPECT_FALSE(learn.learning());
    EXPECT_EQ(midi().controllers.at(midi_parameter::kOpacity), 33);
    EXPECT_EQ(refreshes, 1);

    events.take();
    input.MidiInput1MidiInput(kController, 33, 127);
    learn.setInvert(midi_parameter::kOpacity, true);
    input.MidiInput1MidiInput(kController, 33, 127);
    EXPECT_EQ(events.take(), (Events { { 34, 0, 0, 1 }, { 34, 256, 0, 1 } }));
    EXPECT_TRUE(learn.inverted(midi_parameter::kOpacity));
}

TEST_F(MidiInputTest, LearningOneControllerForTwoParametersKeepsBoth)
{
    learn.StartLearn(midi_parameter::kSize);
    input.MidiInput1MidiInput(kController, 40, 5);
    learn.StartLearn(midi_parameter::kAspectRatio);
    input.MidiInput1MidiInput(kController, 40, 5);
    events.take();
    input.MidiInput1MidiInput(kController, 40, 9);
    EXPECT_EQ(events.take(), (Events { { 17, 9, 0, 1 }, { 19, 9, 0, 1 } }));
}

TEST_F(MidiInputTest, ACancelledLearnAssignsNothing)
{
    learn.StartLearn(midi_parameter::kSize);
    learn.cancelLearn();
    input.MidiInput1MidiInput(kController, 40, 5);
    learn.StartLearn(kMidiParameterCount); // no such parameter
    input.MidiInput1MidiInput(kController, 41, 5);
    for (int parameter = 0; parameter < kMidiParameterCount; ++parameter) {
        EXPECT_EQ(midi().controllers.at(std::size_t(parameter)),
            kMidiAssignmentItems.at(std::size_t(parameter)).defaultController)
            << parameter;
    }
    EXPECT_EQ(refreshes, 0);
}

TEST_F(MidiInputTest, DisabledInputStillReachesLearningAndTheMonitor)
{
    std::vector<std::string> shown;
    input.setMonitorDisplay(
        [&](const midi_form::MonitorLine& line) { shown.push_back(line.message + line.data1); });
    input.setInputEnabled(false);
    learn.StartLearn(midi_parameter::kSize);
    input.MidiInput1MidiInput(kController, 12, 5);
    EXPECT_EQ(events.take(), Events {});
    EXPECT_EQ(midi().controllers.at(midi_parameter::kSize), 12);
    input.monitor().toggle(); // off
    input.MidiInput1MidiInput(kController, 13, 5);
    EXPECT_EQ(shown, std::vector<std::string> { "B00C" });
}

TEST_F(MidiInputTest, DirectMessagesWakeTheMainThreadOnceForARun)
{
    input.receiveDirect(packed(kController, 60, 1));
    input.receiveDirect(0xFE); // active sensing
    input.receiveDirect(0xF8); // timing clock
    input.receiveDirect(packed(kController, 60, 2));
    EXPECT_EQ(wakes, 1);
    EXPECT_EQ(events.take(), Events {}); // nothing on the driver's thread
    input.serveDirect();
    EXPECT_EQ(events.take(), (Events { { 17, 1, 0, 1 }, { 17, 2, 0, 1 } }));

    input.receiveDirect(packed(kController, 60, 3));
    EXPECT_EQ(wakes, 2);
    input.setInputEnabled(false);
    input.receiveDirect(packed(kController, 60, 4));
    input.serveDirect();
    EXPECT_EQ(events.take(), Events {}); // disabled by the time it was served
}

TEST_F(MidiInputTest, AFailingMessageLeavesTheRestForTheNextServe)
{
    // A trigger whose sound engine refuses it.
    class Refusing : public EventSink {
    public:
        void ProcessEvent(const TSlotEvent& event) override
        {
            if (event.Code == event_code::kTrigger) {
                throw std::runtime_error("Could not set volume");
            }
        }
    };
    Refusing refusing;
    MidiInterpreter failing { { performance, refusing, inspector, ports, effects, surface,
        [] { return 44100; } } };
    int wokenAgain = 0;
    MidiInput direct { { failing, learn, nullptr, [&] { ++wokenAgain; } } };
    direct.receiveDirect(packed(kNoteOn, 48, 100));
    direct.receiveDirect(packed(kController, 60, 7));
    EXPECT_THROW(direct.serveDirect(), std::runtime_error);
    EXPECT_EQ(wokenAgain, 2);
    // The controller is still there.
    learn.StartLearn(midi_parameter::kSize);
    direct.serveDirect();
    EXPECT_FALSE(learn.learning());
}

// The driver's thread hands messages over at random pace while the main thread serves its
// dispatcher: every message is interpreted, in order, without a wake-up going missing.
TEST_F(MidiInputTest, DirectHandOffUnderRealThreads)
{
    MidiInput direct { { interpreter, learn, nullptr,
        [this, &direct] { mainThread.post([&direct] { direct.serveDirect(); }); } } };
    constexpr int kMessages = 20000;
    std::thread driver([&direct] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> pause(0, 63);
        for (int index = 0; index < kMessages; ++index) {
            direct.receiveDirect(packed(kController, 78, std::uint32_t(index % 128)));
            if (pause(random) == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
            }
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (events.events.size() + direct.droppedDirect() < std::size_t(kMessages)
        && std::chrono::steady_clock::now() < deadline) {
        mainThread.serveFor(std::chrono::milliseconds(1));
    }
    driver.join();
    mainThread.processPending();
    const Events received = events.take();
    EXPECT_EQ(received.size() + direct.droppedDirect(), std::size_t(kMessages));
    // In order: each value is the next one sent after the previous, gaps being dropped ones.
    int sent = -1;
    for (const TSlotEvent& event : received) {
        ASSERT_EQ(event.Code, event_code::kScratch);
        do {
            ++sent;
        } while (sent < kMessages && sent % 128 != event.Value);
        ASSERT_LT(sent, kMessages);
    }
}

TEST(MidiHandOff, OneProducerAndOneConsumerKeepEveryMessageInOrder)
{
    MidiHandOff handOff;
    constexpr std::uint32_t kCount = 200000;
    std::thread producer([&] {
        for (std::uint32_t value = 1; value <= kCount;) {
            if (handOff.push(value)) {
                ++value;
            } else {
                std::this_thread::yield();
            }
        }
    });
    std::uint32_t expected = 1;
    std::uint32_t value = 0;
    while (expected <= kCount) {
        if (handOff.pop(value)) {
            ASSERT_EQ(value, expected);
            ++expected;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_FALSE(handOff.pop(value));
}

TEST(MidiHandOff, AFullRingDropsAndCounts)
{
    MidiHandOff handOff;
    for (std::size_t index = 0; index < MidiHandOff::kCapacity; ++index) {
        ASSERT_TRUE(handOff.push(std::uint32_t(index)));
    }
    EXPECT_FALSE(handOff.push(1));
    EXPECT_EQ(handOff.dropped(), 1u);
    std::uint32_t value = 99;
    ASSERT_TRUE(handOff.pop(value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(handOff.push(5));
}

} // namespace
} // namespace oskel
