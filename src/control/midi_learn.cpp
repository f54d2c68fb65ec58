#include "control/midi_learn.h"

#include "control/midi_form.h"
#include "control/midi_parameters.h"

namespace oskel {

namespace {

constexpr std::uint16_t kControlChange = 0xB0;

} // namespace

void MidiLearn::StartLearn(int index)
{
    if (!isMidiParameter(index)) {
        return;
    }
    m_index = index;
    m_learning = true;
}

bool MidiLearn::LearnController(std::uint16_t status, std::uint16_t data1)
{
    if (!m_learning || (status & 0xF0) != kControlChange) {
        return false;
    }
    m_learning = false;
    setControl(m_events, m_performance, midiControllerControl(m_index), data1);
    return true;
}

void MidiLearn::setInvert(int index, bool inverted)
{
    if (isMidiParameter(index)) {
        setControl(m_events, m_performance, midiInvertControl(index), inverted ? 1 : 0);
    }
}

bool MidiLearn::inverted(int index) const
{
    return isMidiParameter(index)
        && options().controllerInverts.at(static_cast<std::size_t>(index));
}

void MidiLearn::AssignDefaultControllers()
{
    for (int index = 0; index < kMidiParameterCount; ++index) {
        const auto at = static_cast<std::size_t>(index);
        if (options().controllers.at(at) < 0) {
            setControl(m_events, m_performance, midiControllerControl(index),
                kMidiAssignmentItems.at(at).defaultController);
        }
    }
}

void MidiLearn::AssignParam(int index, std::string_view text)
{
    if (!isMidiParameter(index)) {
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    const int controller
        = midi_form::editBoxNumber(text).value_or(kMidiAssignmentItems.at(at).defaultController);
    if (controller >= 0 && controller <= kHighestController) {
        setControl(m_events, m_performance, midiControllerControl(index), controller);
    }
}

} // namespace oskel
