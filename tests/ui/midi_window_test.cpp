#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "control/midi_form.h"
#include "control/midi_parameters.h"
#include "ui/midi_window.h"
#include "windows_fixture.h"

namespace oskel {
namespace {

constexpr std::uint16_t kNoteOn = 0x90;
constexpr std::uint16_t kController = 0xB0;
constexpr int kOpacity = midi_parameter::kOpacity;
constexpr int kPitchNotesEvent = 22;

// The MIDI window opened from the main window's menu, the assignments at their defaults.
class MidiWindowTest : public test::WindowsTest {
protected:
    void startInstrument() override { instrument.learn.AssignDefaultControllers(); }

    MidiWindow& open()
    {
        windows.mainWindow().midiConfiguration->trigger();
        settle();
        return windows.midiWindow();
    }
    template <class Widget> Widget& control(const QString& objectName)
    {
        return find<Widget>(objectName, &windows.midiWindow());
    }
    // Lets the windows' refresh run at least once.
    void refreshed() { settle(3 * InstrumentWindows::kRefreshMs); }
    MidiOptions& midi() { return performance.options().midi; }
    // A click on a check box's box, not on the free space a layout gives it.
    static void tick(QCheckBox& check)
    {
        QTest::mouseClick(&check, Qt::LeftButton, {}, QPoint(8, check.height() / 2));
    }
    void message(std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
    {
        instrument.midiInput.MidiInput1MidiInput(status, data1, data2);
    }
};

TEST_F(MidiWindowTest, TheMenuOpensItAsAWindowOfItsOwnShowingTheSettings)
{
    const QSize mainSize = windows.mainWindow().size();
    MidiWindow& window = open();

    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowTitle(), " MIDI");
    EXPECT_EQ(windows.mainWindow().size(), mainSize);
    EXPECT_EQ(control<QLineEdit>("ebOpacity").text(), "67");
    EXPECT_EQ(control<QLineEdit>("ebFFWetDry").text(), "110");
    EXPECT_EQ(control<QPushButton>("bLearnOpacity").text(), "Opacity");
    EXPECT_EQ(window.pitchWheel->count(), kPitchWheelParameterCount);
    ASSERT_EQ(window.inputDevices->count(), 2);
    EXPECT_EQ(window.inputDevices->itemText(1), "Pads");
    EXPECT_EQ(window.outputDevices->itemText(0), "Synth");
    EXPECT_TRUE(events.sent.empty());
}

TEST_F(MidiWindowTest, OptionBoxesSetTheirOptionsThroughTheEvents)
{
    open();
    for (const midi_form::OptionBox& box : midi_form::kOptionBoxes) {
        SCOPED_TRACE(std::string(box.caption));
        auto& check = control<QCheckBox>("cb" + QString(box.control.entry().item.data()));
        const bool before = readControl(performance, box.control) == 1;
        ASSERT_EQ(check.isChecked(), before);
        events.sent.clear();
        tick(check);
        EXPECT_EQ(readControl(performance, box.control) == 1, !before);
        EXPECT_FALSE(events.sent.empty());
        EXPECT_EQ(check.isChecked(), !before);
    }
    events.sent.clear();
    tick(control<QCheckBox>("cbPitchNotes"));
    EXPECT_EQ(events.codes(), std::vector<int> { kPitchNotesEvent });
}

TEST_F(MidiWindowTest, WhatTheLogicChangesShowsWithoutBeingSentBack)
{
    MidiWindow& window = open();
    midi().KaossPad = true;
    midi().channel = 5;
    midi().pitchWheelParameter = 3;
    instrument.learn.AssignParam(kOpacity, "20");
    instrument.learn.setInvert(kOpacity, true);
    events.sent.clear();
    refreshed();

    EXPECT_TRUE(control<QCheckBox>("cbKaossPad").isChecked());
    EXPECT_EQ(window.channel->value(), 5);
    EXPECT_EQ(window.pitchWheel->currentIndex(), 3);
    EXPECT_EQ(control<QLineEdit>("ebOpacity").text(), "20");
    EXPECT_FALSE(control<QLabel>("lInvertOpacity").isHidden());
    EXPECT_TRUE(events.sent.empty());
    EXPECT_EQ(midi().controllers.at(kOpacity), 20);
    EXPECT_EQ(midi().channel, 5);
}

TEST_F(MidiWindowTest, TheFirstChannelTypedAfterShowingIsSkipped)
{
    MidiWindow& window = open();
    window.channel->setValue(7);
    EXPECT_NE(midi().channel, 7);
    window.channel->setValue(9);
    EXPECT_EQ(midi().channel, 9);
}

TEST_F(MidiWindowTest, ATypedControllerNumberAssigns)
{
    open();
    auto& edit = control<QLineEdit>("ebOpacity");
    auto& upDown = control<QSpinBox>("udOpacity");
    struct Case {
        const char* typed;
        int assigned;
        int upDown;
    };
    // Every key typed is a change: text that is no number assigns the default; a number off
    // 0..127 (the "128" after "12") changes nothing; the up-down cannot show 0.
    for (const Case& typed : { Case { "20", 20, 20 }, Case { "x", 67, 67 }, Case { "128", 12, 12 },
             Case { "0", 0, 1 } }) {
        SCOPED_TRACE(typed.typed);
        edit.selectAll();
        QTest::keyClicks(&edit, typed.typed);
        EXPECT_EQ(midi().controllers.at(kOpacity), typed.assigned);
        refreshed();
        EXPECT_EQ(edit.text(), typed.typed); // what is typed stays as typed
        EXPECT_EQ(upDown.value(), typed.upDown);
    }
    upDown.setValue(30); // the up-down writes the edit box, which assigns
    EXPECT_EQ(edit.text(), "30");
    EXPECT_EQ(midi().controllers.at(kOpacity), 30);
}

TEST_F(MidiWindowTest, ALearnClickThenAControllerMessageAssignsIt)
{
    open();
    QTest::mouseClick(&control<QPushButton>("bLearnOpacity"), Qt::LeftButton);
    message(kNoteOn, 33, 100); // not a controller: still learning
    EXPECT_EQ(midi().controllers.at(kOpacity), 67);
    message(kController | 5, 33, 127);

    EXPECT_EQ(midi().controllers.at(kOpacity), 33);
    EXPECT_EQ(control<QLineEdit>("ebOpacity").text(), "33");
    EXPECT_FALSE(instrument.learn.learning());
}

TEST_F(MidiWindowTest, ARightClickOpensTheOptionsWhereTheControllerIsInverted)
{
    MidiWindow& window = open();
    QTest::mouseClick(&control<QPushButton>("bLearnOpacity"), Qt::RightButton);

    EXPECT_FALSE(instrument.learn.learning());
    ASSERT_TRUE(window.optionsDialog->isVisible());
    EXPECT_EQ(window.optionsDialog->windowTitle(), "MIDI Controller Options");
    EXPECT_EQ(window.optionsLabel->text(), "Settings for Oskel Parameter: 12");
    tick(*window.invert);
    EXPECT_TRUE(instrument.learn.inverted(kOpacity));
    EXPECT_FALSE(control<QLabel>("lInvertOpacity").isHidden());
}

TEST_F(MidiWindowTest, TheMonitorShowsEachMessageWhileOnAndVisible)
{
    MidiWindow& window = open();
    message(kController | 2, 7, 127);
    ASSERT_EQ(window.monitorLines->count(), 1);
    const QString line = window.monitorLines->item(0)->text();
    for (const char* part : { "B2", "07 (7)", "7F (127)", "Channel 3" }) {
        EXPECT_TRUE(line.contains(part)) << line.toStdString() << " lacks " << part;
    }

    QTest::mouseClick(window.monitorSwitch, Qt::LeftButton);
    EXPECT_EQ(window.monitorState->text(), "Off");
    message(kController, 7, 0);
    EXPECT_EQ(window.monitorLines->count(), 1);

    QTest::mouseClick(window.monitorSwitch, Qt::LeftButton);
    EXPECT_EQ(window.monitorState->text(), "On");
    window.hide();
    message(kController, 7, 0);
    EXPECT_EQ(window.monitorLines->count(), 1);
}

TEST_F(MidiWindowTest, ChoosingAnInputDeviceHandsItsNameOn)
{
    MidiWindow& window = open();
    window.inputDevices->setFocus();
    QTest::keyClick(window.inputDevices, Qt::Key_Down);
    EXPECT_EQ(instrument.chosenInputs, std::vector<std::string> { "Keys" });
}

} // namespace
} // namespace oskel
