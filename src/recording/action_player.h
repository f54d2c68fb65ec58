#pragma once

#include <filesystem>
#include <functional>

#include "core/slot_event.h"
#include "core/user_interface_port.h"
#include "recording/performance_script.h"

namespace oskel {

// Carries out the actions of a performance file on the instrument, each the way the
// performer's own action would arrive. Main thread.
class ActionPlayer {
public:
    using ClipLoad = std::function<void(int slot, const std::filesystem::path& file)>;

    ActionPlayer(EventSink& events, ClipLoad loadClip, UserInterfacePort& ui);

    // A failure of the sound or media interfaces ends that action only; its message is shown,
    // as the main thread shows it during a live performance.
    void carryOut(const ScriptCommand& command);

private:
    void perform(const EventAction& action);
    void perform(const LoadAction& action);

    EventSink& m_events;
    ClipLoad m_loadClip;
    UserInterfacePort& m_ui;
};

} // namespace oskel
