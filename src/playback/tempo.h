#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/control_table.h"
#include "core/performance.h"
#include "core/slot_event.h"
#include "playback/tap_tempo.h"

namespace oskel {

enum class NudgeDirection { Down, Up };

// The global tempo (GlobalState::BPM) and the slots that follow it. A slot's own tempo
// (ClipBPM) comes from the beats in its in..out selection; a slot with FollowBPM on is played
// at the frequency that makes its tempo equal the global one, through event 3.
// The tempo is set by typing, tapping, nudging and from a MIDI controller.
// Main thread only. The caller passes the time, so no clock is read here.
class Tempo {
public:
    Tempo(Performance& performance, EventSink& events);
    Tempo(const Tempo&) = delete;
    Tempo& operator=(const Tempo&) = delete;

    // Computes ClipBPM, ClipDuration and SelectionDuration of the slot from its selection and
    // NumberOfBeats, and shows them when the slot is the inspected one. False, changing
    // nothing, when the slot has no beats (1..100000), no selection or no audio rate.
    bool ComputeClipTempo(int slot);
    // Retunes one loaded following slot, unless the frequency would reach 1,000,000 Hz.
    void ApplyFollowTempo(int slot);
    // Retunes every loaded following slot whose ClipBPM is at least 1, with no upper bound.
    void ApplyFollowTempoAll();

    // A tap of the "Tap" button at the millisecond tick nowMs; eight taps set the tempo.
    void Tap(std::uint32_t nowMs);
    // Key down and key up of the tempo jog keys: the tempo moves by JogAmount while the key is
    // held. Auto-repeated presses and releases are ignored, and so is a second key while one
    // is held.
    void NudgeTempo(NudgeDirection direction, bool autoRepeat = false);
    void ReleaseNudge(bool autoRepeat = false);

    // Shows BPM in the tempo field and retunes the following slots. A tempo that is negative,
    // not a number or infinite becomes 0 first.
    void ShowTempo();
    // Sets the tempo through the event processor ([Master] Tempo); the tempo field follows,
    // and so do the slots that follow the tempo, once the change is told to tempoChanged.
    void setBpm(double tempo);
    // Where the performer's tempo changes go (taps, nudges, the tempo field, controllers):
    // the event processor's outside door, so that they are recorded. Until set, the sink
    // the tempo was made with.
    void setPerformerEvents(EventSink& events) { m_performerEvents = &events; }
    // After an entry of the control table was set: the tempo field and the following slots
    // follow the tempo, a slot's figures its beats, and a slot that starts following is
    // retuned at once.
    void controlChanged(const ControlEntry& entry, int slot);

    // The tempo field: every change of its text, and Enter or its up/down arrows. Text with
    // anything but digits and "." is replaced by the tempo; entered text that is not a tempo
    // is too, and then the tempo stays. Returns whether the entered text was taken.
    void tempoTextChanged(std::string_view text);
    bool tempoTextEntered(std::string_view text);

    // A MIDI controller value 0..127 sets the tempo to twice the value.
    void setTempoFromController(int value);

    // Shows the beat counter of the inspected slot; the frame clock calls it after every tick.
    void showBeatCounter();

    // After a new clip is placed in the slot.
    void clipLoaded(int slot);
    // After the slot's in or out point moved.
    void selectionChanged(int slot);

private:
    void showClipFigures(const TPlayAvistruct& record);
    void sendFrequency(int slot, double hertz);
    double& bpm() { return m_performance.globals().BPM; }

    Performance& m_performance;
    EventSink& m_events;
    EventSink* m_performerEvents = &m_events;
    TapTempo m_taps;
    bool m_nudgeHeld = false;
    bool m_typingTempo = false; // the tempo field is setting the tempo
    double m_savedBpm = 0.0;
};

// The beat of the selection that the slot's play cursor is in, 1..NumberOfBeats; nothing
// when the selection is empty. The raw cursor is used, so in backward play the count runs
// from the mirrored side.
std::optional<std::int64_t> beatCount(const TPlayAvistruct& slot);

// Video frames per beat at the slot's own tempo; nothing when ClipBPM is not above 0.
std::optional<double> framesPerBeat(const TPlayAvistruct& slot);

} // namespace oskel
