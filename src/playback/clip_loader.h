#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/engine_ports.h"
#include "core/performance.h"
#include "playback/audio_engine.h"
#include "sources/source_interface.h"

namespace oskel {

// Puts clip files into slots: chooses the media system, opens the file, takes over its
// picture size, frame rate and length, builds the slot's two sound buffers (or silent ones),
// makes the thumbnail and hands the slot to the frame clock. Main thread.
class ClipLoader {
public:
    static constexpr std::int64_t kLongClipSoundBytes = 3000000;
    static constexpr int kMaxClipsAtOnce = kSlotCount;

    ClipLoader(Performance& performance, SourceInterface& sources, AudioEngine& audio,
        PlaybackControl& playback);

    // Called once a slot's selection or tempo settings changed, for the tempo figures.
    void setTempoHandler(std::function<void(int slot)> handler) { m_tempo = std::move(handler); }
    // Called once a clip has loaded into a slot: the crossfader's sides are applied again.
    void setLoadedHandler(std::function<void(int slot)> handler) { m_loaded = std::move(handler); }
    // Restarts the sync-mode slots after a multiple load (the event processor's).
    void setSyncRestarter(std::function<void(bool hide)> restart)
    {
        m_restartSync = std::move(restart);
    }

    // Told the native frame rate of every clip loaded.
    void setMonitor(PlaybackMonitor* monitor) { m_monitor = monitor; }

    bool LoadClipIntoSlot(
        int slot, const std::filesystem::path& file, bool syncMode, bool keepSettings);

    // Loads clips into slots 1, 2, ... after clearing every loaded slot; at most sixteen.
    struct Entry {
        std::filesystem::path file;
        bool syncMode = false;
    };
    void loadMultipleClips(const std::vector<Entry>& entries);

    // Opens the clip named by the slot's FileName (FoundNearPatch set as found) for a patch:
    // settings not kept, the streaming source when asked or when the file source fails
    // (`fellBack` then says so), the thumbnail made. The caller holds the loading-busy flag
    // and applies the settings; the frame thread is asked for the slot's textures.
    bool openPatchClip(int slot, bool streaming, bool& fellBack);
    // Where a new clip goes on the display, as a clip loaded on its own is placed.
    void placeNewClip(TPlayAvistruct& record, bool syncMode);
    // A loaded slot becomes the selected one, playback runs and standby ends.
    void clipReady(int slot);
    // The length in bytes of the sound stream of the slot's clip file; 0 when it has none.
    std::int64_t soundStreamBytes(int slot) const;

    // The open dialog's logic: where it starts, and what its answer does. The dialog itself
    // belongs to the windows; `chosen` is empty when it was cancelled.
    std::filesystem::path dialogStartFolder() const;
    static constexpr const char* kDialogFilter = "All Files|*.*|AVI files|*.avi";
    bool LoadClipDialog(int slot, const std::optional<std::filesystem::path>& chosen);

    // Why the last clip that did not open failed, in the performer's words (the media
    // system's own where it gave them); empty when no reason is known.
    const std::string& lastProblem() const { return m_lastProblem; }

    // The thumbnail of a loaded slot from its clip's beginning or middle.
    bool MakeThumbnail(int slot);

    // Adds the folder of a loaded clip to the clip folder history.
    void rememberFolder(const std::filesystem::path& file);

private:
    bool OpenClip(int slot, bool keepSettings);
    bool openSound(int slot);
    void failClip(int slot, std::uint8_t result);
    static void keepSelection(TPlayAvistruct& record, std::int32_t inPoint, std::int64_t outPoint);
    std::filesystem::path fileToOpen(const TPlayAvistruct& record) const;
    void finishLoading();
    // Adds what is wrong with the slot's newly opened clip file, if anything, to the notice
    // the status line gives after the load.
    void noteDamage(int slot);

    Performance& m_performance;
    SourceInterface& m_sources;
    AudioEngine& m_audio;
    PlaybackControl& m_playback;
    std::function<void(int)> m_tempo;
    std::function<void(bool)> m_restartSync;
    std::function<void(int)> m_loaded;
    PlaybackMonitor* m_monitor = nullptr;
    std::string m_lastProblem;
};

} // namespace oskel
