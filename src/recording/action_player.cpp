#include "recording/action_player.h"

#include <exception>

namespace oskel {

ActionPlayer::ActionPlayer(EventSink& events, ClipLoad loadClip, UserInterfacePort& ui)
    : m_events(events)
    , m_loadClip(std::move(loadClip))
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

} // namespace oskel
