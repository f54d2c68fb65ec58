#pragma once

#include "control/clip_inspector_port.h"
#include "core/control_table.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

// The A/B crossfader: two slots on sides A and B, one position between them that fades the
// opacity and the volume of A down while B comes up, momentary transform buttons that bring
// one side to full strength while held, and scratch faders that set the play position of a
// side's clip. It acts only through events; the event processor does the fading (event 37).
// The main window's crossfade controls call the handlers below; what the mixer shows goes
// through UserInterfacePort::showControlValue with the crossfade control names of
// control_names.h. Main thread only.
class CrossfadeMixer {
public:
    static constexpr int kSideA = 0;
    static constexpr int kSideB = 1;
    static constexpr int kMaxPosition = 255;
    static constexpr int kMaxScratch = 127;

    CrossfadeMixer(Performance& performance, EventSink& events, ClipInspectorPort& inspector);
    CrossfadeMixer(const CrossfadeMixer&) = delete;
    CrossfadeMixer& operator=(const CrossfadeMixer&) = delete;

    // The crossfader's state is the performance's ([Master] Crossfade... in the control
    // table); the mixer sets it through the event processor.
    int slotA() const { return m_performance.globals().crossfadeSlotA; }
    int slotB() const { return m_performance.globals().crossfadeSlotB; }
    int position() const { return m_performance.globals().crossfadePosition; }
    bool enabled() const { return m_performance.globals().crossfadeEnabled; }

    // Assigns a slot to a side, shows its key letter and thumbnail, and sends the crossfade.
    // Numbers outside 1..16 are ignored.
    void setCrossFadeA(int slot);
    void setCrossFadeB(int slot);
    // Shows both sides again and sends the crossfade: after loading, and when the grid's
    // captions change.
    void refreshSides();

    // The slider, 0..255 (values beyond are taken as the nearest end).
    void sbCrossFadeChange(int position);
    // The "Enable" button, clicked by the performer.
    void cbCrossFadeEnableClick(bool on);
    // The "Enable" button switched by a key or a controller: the button follows.
    void toggleEnable();
    // The "Video" and "Audio" buttons: what the crossfade acts on.
    void cbCFVideoClick(bool on);
    void cbCFAudioClick(bool on);

    // Side 0 is A, 1 is B; other numbers are ignored.
    void TransformDown(int side);
    void TransformRelease(int side);
    // Both sides to full volume and opaque.
    void bResetClipsClick();
    // The scratch faders, 0..127: the play position within the side's in..out selection.
    void tbCFscratchAChange(int position);
    void tbCFscratchBChange(int position);

    // The previews: a slot thumbnail (its tag is the slot number) dropped on one assigns it.
    static bool pnCFpreviewDragOver(int sourceTag) { return sourceTag > 0; }
    void pnCFpreviewADragDrop(int sourceTag) { setCrossFadeA(sourceTag); }
    void pnCFpreviewBDragDrop(int sourceTag) { setCrossFadeB(sourceTag); }
    // A click shows the side's slot in the inspector; a double click triggers it.
    void CFpreviewClick(int side);
    void CFpreviewDblClick(int side);

private:
    int slotOfSide(int side) const;
    void assign(int side, int slot);
    void showSide(int side);
    void sendCrossfade();
    void set(const ControlAddress& control, std::int32_t value);

    static constexpr ControlAddress kSideAControl = masterControl("CrossfadeA");
    static constexpr ControlAddress kSideBControl = masterControl("CrossfadeB");
    static constexpr ControlAddress kPositionControl = masterControl("CrossfadePosition");
    static constexpr ControlAddress kEnableControl = masterControl("CrossfadeEnable");
    void send(std::uint8_t code, std::int32_t value, std::int32_t slot);
    void scratch(int slot, int position);

    Performance& m_performance;
    EventSink& m_events;
    ClipInspectorPort& m_inspector;
};

} // namespace oskel
