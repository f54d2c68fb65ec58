#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_table.h"
#include "core/performance.h"
#include "persistence/lost_files.h"
#include "persistence/patch_file.h"
#include "playback/clip_loader.h"
#include "playback/tempo.h"

namespace oskel {

// Asks the performer where a file is that the patch names and the search did not find:
// `message` ("Please locate lost clip"), the folder to start in and the stored name. Nothing
// when cancelled.
using LostFileDialog = std::function<std::optional<std::filesystem::path>(
    std::string_view message, const std::filesystem::path& startFolder, std::string_view name)>;

// Loads a patch file into the instrument: the global options, the layer order and every
// slot's clip with its settings. Every value the performer could set goes through the control
// table, as one of the engine's events: a performance file replays the patch load itself,
// which brings them about again. Main thread.
class PatchLoader {
public:
    struct Links {
        Performance& performance;
        EventSink& events;
        ClipLoader& loader;
        Tempo& tempo;
        PlaybackControl& playback;
        std::filesystem::path clipFolder; // the "video clips" folder, searched for lost files
        std::function<void(bool hide)> restartSyncSlots;
        std::function<void()> clipsChanged; // the crossfader's sides are applied again
    };

    explicit PatchLoader(Links links);

    void setLostFileDialog(LostFileDialog dialog) { m_dialog = std::move(dialog); }
    // Told when a load has ended: true once the new clips are ready to draw, false when the
    // patch loaded no clip.
    void setFinishedHandler(std::function<void(bool loaded)> handler)
    {
        m_finished = std::move(handler);
    }

    enum class Outcome { Busy, Unreadable, NoClip, Loaded };
    // `throughMidi`: chosen by a MIDI program change or note.
    Outcome LoadPatch(const std::filesystem::path& file, bool throughMidi);

    // The frame thread has made the textures of the clips loaded: the load is over.
    void clipsReady();
    // A patch load is under way (the patch-loaded marker).
    bool loading() const { return m_loading; }

private:
    Outcome load(const std::filesystem::path& file, bool throughMidi);
    bool readFile(const std::filesystem::path& file, IniProfile& profile);
    void stopEverything();
    void applyGlobals(const PatchContents& patch, bool throughMidi);
    void applyMidiSetUp(const PatchContents& patch, bool throughMidi);
    void applyLayerStack(const PatchContents& patch);
    bool skipsPlayingSlot(int slot) const;
    void clearSlot(int slot);
    std::optional<FoundClip> locateClip(const std::string& stored);
    bool openClip(int slot, const PatchSlot& stored);
    void applySlot(int slot, const PatchContents& patch);
    void applyPoints(int slot, const PatchSlot& stored);
    void applyLook(int slot, const PatchSlot& stored);
    void applyRectangle(int slot, const PatchContents& patch);
    void applyStencil(int slot, const PatchSlot& stored);
    void applyThreeD(int slot, const PatchSlot& stored);
    void applyTempoAndEffect(int slot, const PatchSlot& stored);
    void applyEffect(int slot, const PatchSlot& stored);
    void placeAsOldPatch(int slot);
    void readyLoadedSlots(const std::vector<int>& loaded, const std::filesystem::path& file);
    void finish(bool anyLoaded);
    void set(std::size_t entry, int slot, std::int64_t value);
    // A master entry, its name checked when the program is built.
    void set(const ControlAddress& address, std::int64_t value);
    void warn(std::string_view text);
    void skipped(std::string text);
    LostFileSearch searchContext() const;

    Links m_links;
    LostFileDialog m_dialog;
    std::function<void(bool)> m_finished;
    bool m_loading = false;
    bool m_fallbackWarned = false;
    bool m_searchCancelled = false;
    std::vector<std::string> m_skipped;
};

} // namespace oskel
