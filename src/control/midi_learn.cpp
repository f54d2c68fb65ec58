#include "control/midi_learn.h"

#include "control/midi_form.h"
#include "control/midi_parameters.h"

namespace oskel {

namespace {

constexpr std::uint16_t kControlChange = 0xB0;
constexpr int kHighestController = 127;

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
    m_options.controllers.at(static_cast<std::size_t>(m_index)) = data1;
    m_learning = false;
    return true;
}

void MidiLearn::setInvert(int index, bool inverted)
{
    if (isMidiParameter(index)) {
        m_options.controllerInverts.at(static_cast<std::size_t>(index)) = inverted;
    }
}

bool MidiLearn::inverted(int index) const
{
    return isMidiParameter(index)
        && m_options.controllerInverts.at(static_cast<std::size_t>(index));
}

void MidiLearn::AssignDefaultControllers()
{
    for (std::size_t index = 0; index < kMidiParameters.size(); ++index) {
        if (m_options.controllers.at(index) < 0) {
            m_options.controllers.at(index) = kMidiParameters.at(index).defaultController;
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
        = midi_form::editBoxNumber(text).value_or(kMidiParameters.at(at).defaultController);
    if (controller >= 0 && controller <= kHighestController) {
        m_options.controllers.at(at) = controller;
    }
}

} // namespace oskel
