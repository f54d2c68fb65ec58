#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/midi_form.h"
#include "control/midi_learn.h"
#include "support/performance_with_controls.h"

namespace oskel {
namespace {

using Events = std::vector<TSlotEvent>;

class MidiFormTest : public ::testing::Test, public test::PerformanceWithControls {
protected:
    MidiOptions& midi() { return performance.options().midi; }

    MidiLearn learn { events, performance };
};

TEST_F(MidiFormTest, DefaultsFillOnlyTheUnassignedParameters)
{
    midi().controllers.at(midi_parameter::kOpacity) = 3;
    learn.AssignDefaultControllers();
    EXPECT_EQ(midi().controllers.at(midi_parameter::kOpacity), 3);
    EXPECT_EQ(midi().controllers.at(midi_parameter::kClassicPitch), 70);
    EXPECT_EQ(midi().controllers.at(midi_parameter::kFirstEffectParameter + 7), 105);
    EXPECT_EQ(midi().controllers.at(midi_parameter::kGlobalSync), 69);
}

TEST_F(MidiFormTest, EditBoxTextsAssignNumbersDefaultsOrNothing)
{
    struct Case {
        const char* text;
        int expected;
    };
    const std::vector<Case> cases = {
        { "45", 45 },
        { "0", 0 },
        { "127", 127 },
        { " 9", 9 },
        { "+12", 12 },
        { "128", 5 }, // out of range: unchanged
        { "-1", 5 },
        { "abc", 67 }, // not a number: the default
        { "", 67 },
        { "12x", 67 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        midi().controllers.at(midi_parameter::kOpacity) = 5;
        learn.AssignParam(midi_parameter::kOpacity, c.text);
        EXPECT_EQ(midi().controllers.at(midi_parameter::kOpacity), c.expected);
    }
}

TEST_F(MidiFormTest, TheLeftButtonLearnsAndTheRightOneOpensTheOptions)
{
    using midi_form::MouseButton;
    EXPECT_FALSE(midi_form::learnButtonReleased(learn, 9, MouseButton::Middle));
    EXPECT_TRUE(midi_form::learnButtonReleased(learn, 9, MouseButton::Right));
    EXPECT_FALSE(learn.learning());
    EXPECT_FALSE(midi_form::learnButtonReleased(learn, 9, MouseButton::Left));
    EXPECT_TRUE(learn.learning());
    EXPECT_EQ(learn.learnIndex(), 9);
}

TEST_F(MidiFormTest, TheRefreshShowsOptionsUpDownsAndTheWheel)
{
    learn.AssignDefaultControllers();
    midi().controllers.at(midi_parameter::kSize) = 0;
    midi().channel = 7;
    midi().KaossPad = true;
    midi().pitchWheelParameter = 23;
    const midi_form::Contents shown = midi_form::contents(performance);
    EXPECT_EQ(shown.channel, 7);
    EXPECT_EQ(shown.upDowns.at(midi_parameter::kSize), 1); // the up-down cannot show 0
    EXPECT_EQ(shown.upDowns.at(midi_parameter::kOpacity), 67);
    EXPECT_EQ(shown.pitchWheelItem, 23);
    for (std::size_t box = 0; box < midi_form::kOptionBoxes.size(); ++box) {
        const std::string_view caption = midi_form::kOptionBoxes.at(box).caption;
        const bool expected = caption == "Kaoss Pad Clip Positioning"
            || caption == "Enable Oskel MIDI Input Buffer"
            || caption == "Current Clip Follow MIDI triggers";
        EXPECT_EQ(shown.optionBoxes.at(box), expected) << caption;
    }
}

TEST_F(MidiFormTest, EveryOptionBoxSetsItsOwnOptionThroughTheEventProcessor)
{
    const auto release = [this](std::size_t box, bool checked) {
        midi_form::optionBoxReleased(events, performance, box, checked);
        // The options with an event code of their own (16 channels, pitch notes) come out
        // as that event.
        for (const TSlotEvent& event : events.take()) {
            controls.ProcessEvent(event);
        }
    };
    for (std::size_t box = 0; box < midi_form::kOptionBoxes.size(); ++box) {
        SCOPED_TRACE(midi_form::kOptionBoxes.at(box).caption);
        const auto before = midi_form::contents(performance).optionBoxes;
        auto expected = before;
        expected.at(box) = !before.at(box);
        release(box, !before.at(box));
        EXPECT_EQ(midi_form::contents(performance).optionBoxes, expected);
        release(box, before.at(box));
        EXPECT_EQ(midi_form::contents(performance).optionBoxes, before);
    }
}

TEST_F(MidiFormTest, ThePitchWheelListAndItsChoice)
{
    const auto items = midi_form::pitchWheelItems();
    EXPECT_EQ(items.at(0), "Classic Pitch");
    EXPECT_EQ(items.at(12), "OpacityLevel");
    EXPECT_EQ(items.at(23), "Scratching");
    EXPECT_EQ(items.at(25), "FreeFrame 2");
    EXPECT_EQ(items.at(26), "FreeFrame 3 ");
    EXPECT_EQ(items.at(28), "FreeFrame 5 ");
    EXPECT_EQ(items.at(31), "FreeFrame 8");
    midi_form::pitchWheelChosen(events, performance, 12);
    midi_form::pitchWheelChosen(events, performance, 32);
    EXPECT_EQ(events.take(), (Events { { event_code::kPitchWheelAssignment, 12, 0, 0 } }));
}

TEST_F(MidiFormTest, TheChannelBoxSkipsTheFormsOwnChange)
{
    midi().channel = 1;
    midi_form::ChannelBox box;
    box.changed(events, performance, "5"); // the settings file's channel being shown
    EXPECT_EQ(midi().channel, 1);
    box.changed(events, performance, "5");
    EXPECT_EQ(midi().channel, 5);
    box.arm(); // the form is shown again
    box.changed(events, performance, "9");
    box.changed(events, performance, "x");
    EXPECT_EQ(midi().channel, 1);
    box.changed(events, performance, "16");
    EXPECT_EQ(midi().channel, 16);
}

TEST(MidiFormTexts, TheOptionsDialogAndTheMonitor)
{
    EXPECT_EQ(midi_form::controllerOptionsLabel(12), "Settings for Oskel Parameter: 12");
    const midi_form::MonitorLine line = midi_form::monitorLine(0x9C, 0x3C, 0x7F);
    EXPECT_EQ(line.message, "9C");
    EXPECT_EQ(line.data1, "3C");
    EXPECT_EQ(line.data2, "7F");
    EXPECT_EQ(line.data1Decimal, "60");
    EXPECT_EQ(line.data2Decimal, "127");
    EXPECT_EQ(line.channel, "13");
    EXPECT_EQ(midi_form::monitorLine(0xF0, 0, 5).data1, "00");

    midi_form::MonitorSwitch monitor;
    EXPECT_TRUE(monitor.on());
    EXPECT_EQ(monitor.text(), "on");
    monitor.toggle();
    EXPECT_FALSE(monitor.on());
    EXPECT_EQ(monitor.text(), "Off");
    monitor.toggle();
    EXPECT_EQ(monitor.text(), "On");
}

} // namespace
} // namespace oskel
