#pragma once

#include <filesystem>
#include <functional>

#include "core/performance.h"
#include "core/slot_event.h"
#include "core/user_interface_port.h"
#include "recording/performance_script.h"

namespace oskel {

// Carries out the actions of a performance file on the instrument, each the way the
// performer's own action would arrive. Main thread.
class ActionPlayer {
public:
    using ClipLoad = std::function<void(int slot, const std::filesystem::path& file)>;
    using KeyPress = std::function<void(const KeyAction& key)>;
    using PatchFile = std::function<void(const PatchAction& action)>;
    using MidiMessageIn = std::function<void(const MidiAction& action)>;

    ActionPlayer(EventSink& events, const Performance& performance, ClipLoad loadClip,
        KeyPress pressKey, UserInterfacePort& ui);

    // Loads and saves patches; without it, patch lines do nothing.
    void setPatchHandler(PatchFile handler) { m_patchFile = std::move(handler); }
    // Takes MIDI lines as the input device's messages; without it, they do nothing.
    void setMidiHandler(MidiMessageIn handler) { m_midi = std::move(handler); }

    // A failure of the sound or media interfaces ends that action only; its message is shown,
    // as the main thread shows it during a live performance.
    void carryOut(const ScriptCommand& command);

private:
    void perform(const EventAction& action);
    void perform(const LoadAction& action);
    void perform(const SetAction& action);
    void perform(const KeyAction& action);
    void perform(const PatchAction& action);
    void perform(const MidiAction& action);

    EventSink& m_events;
    const Performance& m_performance;
    ClipLoad m_loadClip;
    KeyPress m_pressKey;
    PatchFile m_patchFile;
    MidiMessageIn m_midi;
    UserInterfacePort& m_ui;
};

} // namespace oskel
