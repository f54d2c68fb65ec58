#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control/midi_parameters.h"
#include "core/control_table.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

class MidiLearn;

// What the MIDI form shows and what its controls do, without the widgets: the window binds
// its controls to this. Main thread.
namespace midi_form {

inline constexpr std::string_view kCaption = " MIDI";
inline constexpr std::string_view kPitchWheelLabel = "Pitch Wheel Assignment:";
inline constexpr std::string_view kControllerBoxCaption
    = " MIDI Controllers - Press Buttons for MIDI Learn ";
inline constexpr std::string_view kOptionsDialogCaption = "MIDI Controller Options";
inline constexpr std::string_view kInvertCaption = "Invert Controller ";

// The number typed into an edit box: blanks before it, a sign, digits and nothing after;
// nothing for any other text.
std::optional<int> editBoxNumber(std::string_view text);

// The option check boxes: their captions and the control each one sets when it is released
// by mouse or key.
struct OptionBox {
    std::string_view caption;
    ControlAddress control;
};
// clang-format off
inline constexpr std::array kOptionBoxes {
    OptionBox { "Use Note Off", masterControl("MidiNoteOff") },
    OptionBox { "Velocity -> Volume", masterControl("VelocityVolume") },
    OptionBox { "Velocity -> Opacity", masterControl("VelocityOpacity") },
    OptionBox { "Pitch Notes", masterControl("PitchNotes") },
    OptionBox { "Disable Black Notes", masterControl("DisableBlackNotes") },
    OptionBox { "Disable Pitch and Mod Wheels", masterControl("DisablePitchAndMod") },
    OptionBox { "Kaoss Pad Clip Positioning", masterControl("KaossPad") },
    OptionBox { "Enable Oskel MIDI Input Buffer", masterControl("MidiInputBuffer") },
    OptionBox { "Load MIDI config from Patches", masterControl("LoadMidiConfigFromPatches") },
    OptionBox { "MIDI Guitair Mode", masterControl("GuitarMode") },
    OptionBox { "Current Clip Follow MIDI triggers", masterControl("CurrentClipFollowsMidi") },
    OptionBox { "16 MIDI channels", masterControl("SixteenMidiChannels") },
    OptionBox { "Disable MIDI Patch Loading", masterControl("DisableMidiPatchLoading") },
};
// clang-format on

// A check box released: its option follows its state.
void optionBoxReleased(
    EventSink& events, const Performance& performance, std::size_t box, bool checked);

// Everything the form's refresh (ShowMIDISettings) puts into its controls.
struct Contents {
    int channel = 1;
    std::array<bool, kOptionBoxes.size()> optionBoxes {};
    // The up-downs of the 41 parameters, which also write their edit boxes: 1..128, so a
    // parameter on controller 0 shows 1 while its assignment stays 0.
    std::array<int, kMidiParameterCount> upDowns {};
    int pitchWheelItem = 0;
};
Contents contents(const Performance& performance);

// The pitch-wheel list, parameters 0..31 in order; choosing an item assigns the wheel.
std::array<std::string_view, kPitchWheelParameterCount> pitchWheelItems();
void pitchWheelChosen(EventSink& events, const Performance& performance, int item);

// A parameter's learn button released: the left mouse button starts learning the parameter;
// true when the right one asks for the parameter's options dialog. Other buttons do nothing.
enum class MouseButton { Left, Right, Middle };
bool learnButtonReleased(MidiLearn& learn, int parameter, MouseButton button);

// The options dialog's label for a parameter: its number, not its name.
std::string controllerOptionsLabel(int parameter);

// The channel edit box. Its first change after the form was shown, and the first after
// start-up set the channel from the settings file, is the form's own and is skipped; a later
// one sets the base channel to the box's number, or 1 when the text is not a number.
class ChannelBox {
public:
    void arm() { m_skipNext = true; }
    void changed(EventSink& events, const Performance& performance, std::string_view text);

private:
    bool m_skipNext = true;
};

// One message in the MIDI monitor.
struct MonitorLine {
    std::string message; // the status, two hexadecimal digits
    std::string data1; // two hexadecimal digits
    std::string data2;
    std::string data1Decimal;
    std::string data2Decimal;
    std::string channel; // (status & 15) + 1
};
MonitorLine monitorLine(std::uint16_t status, std::uint16_t data1, std::uint16_t data2);

// The monitor's on/off button: on from the end of start-up, with the text "on" beside it.
class MonitorSwitch {
public:
    bool on() const { return m_on; }
    std::string_view text() const { return m_text; }
    // The "On/Off" button clicked.
    void toggle()
    {
        m_on = !m_on;
        m_text = m_on ? "On" : "Off";
    }

private:
    bool m_on = true;
    std::string_view m_text = "on";
};

} // namespace midi_form
} // namespace oskel
