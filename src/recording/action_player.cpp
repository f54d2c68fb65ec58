#include "recording/action_player.h"

#include <exception>

namespace oskel {

ActionPlayer::ActionPlayer(EventSink& events, const Performance& performance, ClipLoad loadClip,
    KeyPress pressKey, UserInterfacePort& ui)
    : m_events(events)
    , m_performance(performance)
    , m_loadClip(std::move(loadClip))
    , m_pressKey(std::move(pressKey))
    , m_ui(ui)
{
}

void ActionPlayer::carryOut(const ScriptCommand& command)
{
    try {
        std::visit([this](const auto& action) { perform(action); }, command);
    } catch (const std::exception& error) {
        m_ui.showMessage(error.what());
    }
}

void ActionPlayer::perform(const EventAction& action)
{
    m_events.ProcessEvent(action.event);
}

void ActionPlayer::perform(const LoadAction& action)
{
    m_loadClip(action.slot, action.file);
}

void ActionPlayer::perform(const SetAction& action)
{
    setControl(m_events, m_performance, action.control, action.value);
}

void ActionPlayer::perform(const KeyAction& action)
{
    if (m_pressKey) {
        m_pressKey(action);
    }
}

void ActionPlayer::perform(const PatchAction& action)
{
    if (m_patchFile) {
        m_patchFile(action);
    }
}

void ActionPlayer::perform(const MidiAction& action)
{
    if (m_midi) {
        m_midi(action);
    }
}

} // namespace oskel
