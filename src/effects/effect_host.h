#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/effect_port.h"
#include "core/slot_number.h"
#include "effects/freeframe.h"
#include "effects/plugin_calls.h"
#include "effects/plugin_list.h"

namespace oskel {

class Performance;
class SharedLibrary;
class SharedLibraryLoader;
struct TPlayAvistruct;

inline constexpr int kEffectParameters = 8;

// Where the host reports: its debug window, and the clip inspector's parameter labels.
// Main thread.
class EffectHostListener {
public:
    virtual ~EffectHostListener() = default;
    // A line for the debug window (what the last plug-in reported).
    virtual void debugLine(std::string_view /*line*/) { }
    // The debug window's status line.
    virtual void debugStatus(std::string_view /*text*/) { }
    // The plug-in list was made afresh.
    virtual void pluginsChanged() { }
    // The slot's plug-in, parameters, enable or mix changed: windows showing it read it again
    // (EffectHost::shown) and move their controls quietly.
    virtual void slotChanged(int /*slot*/) { }
    // A parameter was set: its display text ("<Unknown Type>" already made empty) and its
    // value as the plug-in reads it back, fixed-point with 5 decimals.
    virtual void parameterText(
        int /*slot*/, int /*index*/, std::string_view /*display*/, std::string_view /*value*/)
    {
    }
};

// What the windows show of a slot's effect.
struct EffectShown {
    bool active = false; // the slot has a plug-in instance
    bool enabled = false; // FFenable
    int listIndex = 0;
    int parameterCount = 0; // at most 8
    std::array<std::string, kEffectParameters> names; // "1 - Amount"
    std::array<std::string, kEffectParameters> displays;
    std::array<float, kEffectParameters> values {};
    bool hasMixer = false; // the wet/dry mix is available
    float wetDry = 0.0f; // the dry amount
};

// Where the host finds its plug-ins and the wet/dry mixer.
struct EffectFolders {
    // Searched in this order: the program's own plug-ins, then the performer's.
    std::vector<std::filesystem::path> plugins;
    // Where the mixer "TarnMixer.so" may be, in this order.
    std::vector<std::filesystem::path> mixerFiles;
    // Folders of frei0r filters, listed after our plug-ins.
    std::vector<std::filesystem::path> frei0r;
};

// The effect plug-in host: the plug-in list, one plug-in per slot with its instance sized to
// the slot's clip, the parameters, the wet/dry mixer, and the step that runs the effect on
// each decoded frame of a slot on that slot's worker thread.
//
// Each slot has a lock that every operation on the slot holds, so a plug-in is never
// replaced or freed while it processes a frame, and different slots process at once.
// Everything but processFrame runs on the main thread.
class EffectHost : public EffectControlPort {
public:
    static constexpr const char* kMixerFileName = "TarnMixer.so";

    EffectHost(Performance& performance, SharedLibraryLoader& loader, EffectFolders folders);
    ~EffectHost() override;
    EffectHost(const EffectHost&) = delete;
    EffectHost& operator=(const EffectHost&) = delete;

    void setListener(EffectHostListener* listener);

    // Start-up: every slot without a plug-in.
    void RunUpFreeFrame();
    // The plug-in list afresh. Holds every slot's lock.
    void ScanPlugins();
    const PluginList& plugins() const { return m_list; }
    bool mixerAvailable() const { return m_mixerAvailable; }

    // Chooses entry `index` (named `name`) of the list for the slot; 0 runs the slot down.
    void LoadNewPlugin(const std::string& name, int index, int slot);
    void RunDownPluginSlot(int slot);
    bool SetEffectEnabled(int slot, bool on);
    void ChangeParameter(int slot, int index, float value);
    // The patch saver's and loader's calls: -2 without an instance, -1 for a parameter the
    // plug-in does not have (or a value outside 0..1), else the value / the plug-in's result.
    float OKPgetParam(int slot, int index);
    std::int64_t OKPsetParam(int slot, int index, float value);
    void ChangeWetDryMix(int slot, float dry);
    // Patch loading: the plug-ins named by the slots' FFfilename, for every slot whose entry
    // in `excluded` (indexed by slot number) is false. Holds every slot's lock.
    void OKPLoadPlugins(const std::array<bool, kSlotCount + 1>& excluded);
    // Puts a slot's effect set-up (plug-in, enable, parameters, mix) onto `slot`.
    void LoadClipSetupPlug(const TPlayAvistruct& setup, int index, int slot);
    void CopyFFsetup(int sourceSlot, int targetSlot);
    // Shut-down: every effect off and every slot run down.
    void RunDownFreeFrame();

    EffectShown shown(int slot);
    // The debug window's lines, oldest first, and its status line.
    std::vector<std::string> debugLines() const;
    std::string debugStatus() const;

    // The slot's worker thread, for each decoded frame while the slot's effect is on:
    // `pixels` is the frame (width x height, 24 bits, rows bottom-up, packed), which is
    // left alone. Returns the processed picture, valid while `keep` holds it; the same
    // `pixels` when the slot has nothing to do or the frame is not the size of its instance.
    // Allocation-free.
    const std::uint8_t* processFrame(int slot, const std::uint8_t* pixels, int width, int height,
        int bitsPerPixel, std::shared_ptr<const void>& keep);

    // EffectControlPort: what the control table's effect entries call.
    int pluginIndexOf(std::string_view fileName) const override;
    int pluginIndex(int slot) const override;
    bool choosePlugin(int slot, int index) override;
    bool setEffectEnabled(int slot, bool on) override;
    bool setParameter(int slot, int index, float value) override;
    bool setWetDry(int slot, float dry) override;

private:
    struct Library;
    struct Slot;
    using Lock = std::unique_lock<std::recursive_mutex>;

    Slot& slotState(int slot);
    const Slot& slotState(int slot) const;
    Lock lockSlot(int slot) const;
    std::shared_ptr<Library> libraryOfOtherSlot(int index, int slot) const;
    bool otherSlotUses(int index, int slot) const;
    std::shared_ptr<Library> openLibrary(const PluginFile& file) const;
    std::shared_ptr<Library> openLibrary(const std::filesystem::path& path) const;
    bool ReadPluginInfo(Library& library);
    bool MakeInstance(int slot);
    void SetUpMixer(int slot);
    void ReleaseMixer(int slot);
    void ShowSlotPlugin(int slot);
    void showParameter(int slot, int index);
    void debug(std::string line);
    void setDebugStatus(std::string text);
    void changed(int slot);
    bool insideSlotRange(int slot) const;

    Performance& m_performance;
    SharedLibraryLoader& m_loader;
    EffectFolders m_folders;
    EffectHostListener m_silent;
    EffectHostListener* m_listener = &m_silent;
    PluginList m_list;

    std::array<std::unique_ptr<Slot>, kSlotCount + 1> m_slots;
    mutable std::array<std::recursive_mutex, kSlotCount + 1> m_locks;

    std::shared_ptr<Library> m_mixer;
    bool m_mixerAvailable = true;

    mutable std::mutex m_debugLock;
    std::vector<std::string> m_debugLines;
    std::string m_debugStatus;
    std::string m_lastPluginName;
};

} // namespace oskel
