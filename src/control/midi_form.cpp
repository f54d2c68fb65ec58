#include "control/midi_form.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "control/midi_learn.h"

namespace oskel::midi_form {

namespace {

constexpr int kLowestUpDown = 1;
constexpr int kHighestUpDown = 128;

std::string hexByte(std::uint16_t value)
{
    std::array<char, 8> text {};
    std::snprintf(text.data(), text.size(), "%02X", value & 0xFFu);
    return text.data();
}

} // namespace

std::optional<int> editBoxNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc {} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

void optionBoxReleased(
    EventSink& events, const Performance& performance, std::size_t box, bool checked)
{
    if (box < kOptionBoxes.size()) {
        setControl(events, performance, kOptionBoxes.at(box).control, checked ? 1 : 0);
    }
}

Contents contents(const Performance& performance)
{
    const MidiOptions& midi = performance.options().midi;
    Contents shown;
    shown.channel = midi.channel;
    for (std::size_t box = 0; box < kOptionBoxes.size(); ++box) {
        shown.optionBoxes.at(box) = readControl(performance, kOptionBoxes.at(box).control) == 1;
    }
    for (std::size_t parameter = 0; parameter < shown.upDowns.size(); ++parameter) {
        shown.upDowns.at(parameter)
            = std::clamp(midi.controllers.at(parameter), kLowestUpDown, kHighestUpDown);
    }
    shown.pitchWheelItem = midi.pitchWheelParameter;
    return shown;
}

std::array<std::string_view, kPitchWheelParameterCount> pitchWheelItems()
{
    std::array<std::string_view, kPitchWheelParameterCount> items {};
    for (std::size_t item = 0; item < items.size(); ++item) {
        items.at(item) = kMidiParameters.at(item).pitchWheelItem;
    }
    return items;
}

void pitchWheelChosen(EventSink& events, const Performance& performance, int item)
{
    if (item >= 0 && item < kPitchWheelParameterCount) {
        setControl(events, performance, masterControl("PitchWheel"), item);
    }
}

bool learnButtonReleased(MidiLearn& learn, int parameter, MouseButton button)
{
    if (button == MouseButton::Left) {
        learn.StartLearn(parameter);
    }
    return button == MouseButton::Right;
}

std::string controllerOptionsLabel(int parameter)
{
    return "Settings for Oskel Parameter: " + std::to_string(parameter);
}

void ChannelBox::changed(EventSink& events, const Performance& performance, std::string_view text)
{
    if (m_skipNext) {
        m_skipNext = false;
        return;
    }
    setControl(events, performance, masterControl("MidiChannel"), editBoxNumber(text).value_or(1));
}

MonitorLine monitorLine(std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
{
    return { hexByte(status), hexByte(data1), hexByte(data2), std::to_string(data1),
        std::to_string(data2), std::to_string((status & 15) + 1) };
}

} // namespace oskel::midi_form
