#pragma once

#include <cstdint>
#include <functional>

#include "control/clip_inspector_port.h"
#include "control/crossfade_mixer.h"
#include "control/key_position.h"
#include "control/keyboard_targets.h"
#include "core/control_table.h"
#include "core/performance.h"
#include "core/slot_event.h"
#include "playback/tempo.h"

namespace oskel {

// The computer keyboard as a performance surface: the slot keys trigger and release the
// slots, and further keys set speed, direction, in and out points, the global options and
// the windows. Every window hands its key events here. Keys arrive by their place on the
// keyboard (key_position.h); letters are read in the layout of the key-letter map.
// Main thread only.
class KeyboardControl {
public:
    struct Links {
        Performance& performance;
        EventSink& events;
        Tempo& tempo;
        CrossfadeMixer& mixer;
        ClipInspectorPort& inspector;
        KeyboardTargets& targets;
        // Restarts the sync-mode slots (the event processor's RestartSyncSlots).
        std::function<void(bool hide)> restartSyncSlots;
        // Milliseconds, wrapping: the time of a tempo tap.
        std::function<std::uint32_t()> clock;
        // The sample rate of the sound format most recently set up for a clip: the normal
        // speed of the speed keys.
        std::function<int()> referenceRate;
    };

    explicit KeyboardControl(Links links);
    KeyboardControl(const KeyboardControl&) = delete;
    KeyboardControl& operator=(const KeyboardControl&) = delete;

    // A key pressed, or repeated by the keyboard while held (autoRepeat). Ignored while a
    // clip or patch load is under way. The in and out point keys throw SoundError with the
    // performer's message when the play position cannot be read; so can the events sent.
    void FormKeyDown(Key place, KeyModifiers modifiers, bool autoRepeat = false);
    // A key released. Releases the keyboard reports between repeats (autoRepeat) are
    // ignored, so that a held key stays held.
    void FormKeyUp(Key place, KeyModifiers modifiers, bool autoRepeat = false);

    // The main window's tempo box has the focus: keypad digits are left to it, and no digit
    // changes a slot's speed.
    void setTempoBoxFocused(bool focused) { m_tempoBoxFocused = focused; }

    // Where the keys that act on windows go from now on: the windows' own targets while they
    // are open, targets that do nothing otherwise. They must outlive their use here.
    void setTargets(KeyboardTargets& targets) { m_targets = &targets; }

private:
    int slotOfKey(Key key) const;
    int selectedSlot() const { return m_performance.globals().selectedSlot; }
    bool selectedSlotLoaded() const;
    bool isInspected(int slot) const { return m_inspector.inspectedSlot() == slot; }
    void send(
        std::uint8_t code, std::int32_t value = 0, std::int32_t value2 = 0, std::int32_t slot = 0);
    // Sets a toggle of the control table to the other state.
    void toggle(const ControlAddress& control);

    bool anyModifierKeys(Key key, bool autoRepeat);
    bool altKeys(Key key);
    void shiftKeys(Key key);
    void ctrlKeys(Key key);
    void plainKeys(Key key);
    bool functionKeys(Key key);
    bool triggerKey(Key key);
    bool speedKey(Key key);
    void optionKeys(Key key);
    void selectedSlotKeys(Key key, int slot);

    // Keys that act on the selected slot's record (keyboard_slot_keys.cpp).
    void setPointAtPlayPosition(bool inPoint);
    void wholeClip();
    void toggleThreeD(int slot);
    void resetRotation(int slot, bool speedsToo);
    void toggleStencil(int slot);

    Performance& m_performance;
    EventSink& m_events;
    Tempo& m_tempo;
    CrossfadeMixer& m_mixer;
    ClipInspectorPort& m_inspector;
    KeyboardTargets* m_targets;
    std::function<void(bool)> m_restartSyncSlots;
    std::function<std::uint32_t()> m_clock;
    std::function<int()> m_referenceRate;
    bool m_tempoBoxFocused = false;
};

} // namespace oskel
