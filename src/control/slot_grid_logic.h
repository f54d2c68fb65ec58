#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "control/clip_inspector_port.h"
#include "control/crossfade_mixer.h"
#include "control/slot_grid_layout.h"
#include "core/performance.h"
#include "core/slot_event.h"
#include "playback/clip_loader.h"
#include "playback/tempo.h"

namespace oskel {

// How dragging one slot onto another copies it (the main window's three copy buttons).
enum class CopyMode { ClipOnly, ClipWithSettings, SettingsOnly };

// What the clip slot grid does to windows and subsystems outside the performance state.
// Every action does nothing by default. Main thread only.
class SlotGridTargets {
public:
    virtual ~SlotGridTargets() = default;
    // The clip-load dialog for the slot.
    virtual void openClipDialog(int /*slot*/) { }
    // MIDI input paused while a copied clip loads.
    virtual void pauseMidiInput() { }
    virtual void resumeMidiInput() { }
    // The slot's effect on or off (the "FF" button).
    virtual void toggleEffect(int /*slot*/) { }
    // A copied slot takes the effect set-up of its source.
    virtual void copyEffectSetup(int /*fromSlot*/, int /*toSlot*/) { }
    // After files were dropped from the desktop.
    virtual void bringApplicationToFront() { }
    // The layer stack widget labels its layers in the grid's caption style.
    virtual void setLayerCaptionStyle(slot_grid::CaptionMode /*mode*/) { }
};

// The clip slot grid's behaviour: clicks and buttons on the sixteen panels, loading files
// dropped on them, copying one slot onto another, and what the panels show. The panels'
// controls are shown through UserInterfacePort::showControlValue under their clone names
// (slot_grid::cloneName): "lbKeycloneN" takes the caption text, "imgProgresscloneN" the red
// width of the progress bar, "bBPMcloneN", "bFFcloneN", "bSYNCcloneN" and "b3DcloneN" their
// on or off state. Main thread only.
class SlotGrid {
public:
    struct Links {
        Performance& performance;
        EventSink& events;
        ClipLoader& loader;
        Tempo& tempo;
        CrossfadeMixer& mixer;
        ClipInspectorPort& inspector;
        SlotGridTargets& targets;
        // Restarts the sync-mode slots (the event processor's RestartSyncSlots).
        std::function<void(bool hide)> restartSyncSlots;
    };

    explicit SlotGrid(Links links);
    SlotGrid(const SlotGrid&) = delete;
    SlotGrid& operator=(const SlotGrid&) = delete;

    // Every caption, after the key layout or the MIDI caption options changed; the layer
    // stack widget, the inspector and the crossfade sides follow.
    void showCaptions();
    // The progress bar of every playing slot; after every tick.
    void RefreshProgress();
    // The status buttons of every slot; after loading.
    void RefreshStatusButtons();

    // A click on a panel: a loaded slot is shown in the inspector, an empty one asks for a
    // clip.
    void panelClick(int slot);
    // The right button on the thumbnail or the progress bar: asks for a clip.
    void thumbnailRightButtonDown(int slot);
    void thumbnailDoubleClick(int slot) { playClick(slot); }
    // The transport buttons.
    void playClick(int slot);
    void pauseClick(int slot);
    void stopClick(int slot);
    void statusButtonClick(int slot, slot_grid::StatusButton button);

    // Drags start from a panel (tag 1..16) or from the main window's file list.
    static bool canStartDrag(int sourceTag);
    // A panel dropped on another panel.
    void dropSlot(int fromSlot, int toSlot, CopyMode mode);
    // The file list's selected file dropped on a panel.
    void dropFileListSelection(int slot, const std::filesystem::path& file);
    // Files dropped from the desktop at a point of the thumbnail area: each is loaded into
    // the slot whose panel is under the point, the later ones replacing the earlier.
    void dropFiles(const std::vector<std::filesystem::path>& files, int x, int y);

    // Where the grid's window actions go from now on: the windows' own targets while they are
    // open, targets that do nothing otherwise. They must outlive their use here.
    void setTargets(SlotGridTargets& targets) { m_targets = &targets; }

private:
    bool loadDroppedFile(int slot, const std::filesystem::path& file);
    bool loadCopiedClip(int fromSlot, int toSlot);
    void copySettings(int fromSlot, int toSlot);
    void setSyncMode(int slot, bool on);
    void showInspectorButton(int slot, slot_grid::StatusButton button);
    void stopIfPlaying(int slot);

    Performance& m_performance;
    EventSink& m_events;
    ClipLoader& m_loader;
    Tempo& m_tempo;
    CrossfadeMixer& m_mixer;
    ClipInspectorPort& m_inspector;
    SlotGridTargets* m_targets;
    std::function<void(bool)> m_restartSyncSlots;
};

} // namespace oskel
