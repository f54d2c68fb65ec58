#include "effects/effect_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/performance.h"
#include "effects/frei0r_filter.h"
#include "effects/pixel_widths.h"
#include "platform/shared_library.h"

namespace oskel {

namespace {

constexpr std::size_t kDebugLinesKept = 500;
constexpr const char* kUnknownType = "<Unknown Type>";
constexpr const char* kProblemLoadingPlugin = "problem loading plugin";
constexpr const char* kProblemLoadingMixer = "problem loading TarnMixer.so for the Wet/Dry Mix";

std::string yesNo(const char* what, bool yes)
{
    return std::string(what) + (yes ? ": yes" : ": no");
}

std::string fixed5(float value)
{
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), "%.5f", static_cast<double>(value));
    return text.data();
}

// A parameter value read from a plug-in: within 0..1, whatever came back.
float sane(float value)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

std::string deInitialiseText(std::uint32_t code, const std::string& name)
{
    switch (code) {
    case FF_FAIL:
        return "Unspecified DeInit Error Reported by Plugin  " + name;
    case FF_SUCCESS:
        return "Status: normal";
    case PluginCalls::kDeInitialiseThrew:
        return "DeInit Exception thrown by Plugin  " + name;
    default:
        return "Unknown DeInit Response from Plugin " + name + " : " + std::to_string(code);
    }
}

} // namespace

// A loaded plug-in library, shared by every slot that uses the same list entry.
struct EffectHost::Library {
    std::unique_ptr<SharedLibrary> library;
    PluginCalls calls;
    std::string name; // from getInfo
};

struct EffectHost::Slot {
    int listIndex = 0;
    std::shared_ptr<Library> library;
    FFInstanceID instance = 0;
    bool active = false;
    int parameterCount = 0;
    int pixelMode = 1;
    int width = 0;
    int height = 0;
    VideoInfoStruct video {};
    // The frame the effect works on, handed to the renderer; it is retired, not freed, while
    // the frame thread may still draw from it.
    std::shared_ptr<std::vector<std::uint8_t>> frame;
    std::vector<std::uint8_t> wide; // pixel mode 2: the frame at 32 bits
    float wetDry = 0.0f;
    FFInstanceID mixerInstance = 0;
    bool mixerActive = false;
    VideoInfoStruct mixerVideo {};
    std::vector<std::uint8_t> wet; // where the effect works when the mixer mixes; the dry
                                   // input is the decoded frame itself
};

EffectHost::EffectHost(Performance& performance, SharedLibraryLoader& loader, EffectFolders folders)
    : m_performance(performance)
    , m_loader(loader)
    , m_folders(std::move(folders))
{
    for (auto& slot : m_slots) {
        slot = std::make_unique<Slot>();
    }
}

EffectHost::~EffectHost()
{
    RunDownFreeFrame();
}

void EffectHost::setListener(EffectHostListener* listener)
{
    m_listener = listener != nullptr ? listener : &m_silent;
}

bool EffectHost::insideSlotRange(int slot) const
{
    return slot >= 1 && slot <= kSlotCount;
}

EffectHost::Slot& EffectHost::slotState(int slot)
{
    return *m_slots.at(static_cast<std::size_t>(slot));
}

const EffectHost::Slot& EffectHost::slotState(int slot) const
{
    return *m_slots.at(static_cast<std::size_t>(slot));
}

EffectHost::Lock EffectHost::lockSlot(int slot) const
{
    return Lock(m_locks.at(static_cast<std::size_t>(slot)));
}

void EffectHost::debug(std::string line)
{
    {
        const std::lock_guard guard(m_debugLock);
        if (m_debugLines.size() >= kDebugLinesKept) {
            m_debugLines.erase(m_debugLines.begin());
        }
        m_debugLines.push_back(line);
    }
    m_listener->debugLine(line);
}

void EffectHost::setDebugStatus(std::string text)
{
    {
        const std::lock_guard guard(m_debugLock);
        m_debugStatus = text;
    }
    m_listener->debugStatus(text);
}

std::vector<std::string> EffectHost::debugLines() const
{
    const std::lock_guard guard(m_debugLock);
    return m_debugLines;
}

std::string EffectHost::debugStatus() const
{
    const std::lock_guard guard(m_debugLock);
    return m_debugStatus;
}

void EffectHost::changed(int slot)
{
    m_listener->slotChanged(slot);
}

void EffectHost::RunUpFreeFrame()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const Lock lock = lockSlot(slot);
        Slot& state = slotState(slot);
        if (!state.active) {
            state = Slot {};
        }
    }
    m_mixerAvailable = true;
}

void EffectHost::ScanPlugins()
{
    std::vector<Lock> locks;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        locks.push_back(lockSlot(slot));
    }
    m_mixerAvailable = true;
    // The wet/dry mixer may sit among the plug-ins; it is no effect of its own.
    m_list
        = PluginList::scan(m_folders.plugins, m_loader, m_folders.frei0r).without(kMixerFileName);
    debug("Plugins found: " + std::to_string(m_list.size() - 1));
    m_listener->pluginsChanged();
}

int EffectHost::pluginIndexOf(std::string_view fileName) const
{
    return m_list.indexOf(std::string(fileName));
}

std::shared_ptr<EffectHost::Library> EffectHost::libraryOfOtherSlot(int index, int slot) const
{
    for (int other = 1; other <= kSlotCount; ++other) {
        const Slot& state = slotState(other);
        if (other != slot && index > 0 && state.listIndex == index && state.library) {
            return state.library;
        }
    }
    return nullptr;
}

bool EffectHost::otherSlotUses(int index, int slot) const
{
    return libraryOfOtherSlot(index, slot) != nullptr;
}

std::shared_ptr<EffectHost::Library> EffectHost::openLibrary(const PluginFile& file) const
{
    if (!file.frei0r) {
        return openLibrary(file.path);
    }
    std::string error;
    auto filter = Frei0rFilter::open(m_loader.open(file.path, error));
    if (!filter) {
        return nullptr;
    }
    auto loaded = std::make_shared<Library>();
    loaded->calls = PluginCalls(std::move(filter));
    return loaded;
}

std::shared_ptr<EffectHost::Library> EffectHost::openLibrary(
    const std::filesystem::path& path) const
{
    std::string error;
    auto library = m_loader.open(path, error);
    if (!library) {
        return nullptr;
    }
    auto* entry = reinterpret_cast<FF_Main_FuncPtr>(library->symbol("plugMain"));
    if (entry == nullptr) {
        return nullptr; // the library goes with its handle
    }
    auto loaded = std::make_shared<Library>();
    loaded->library = std::move(library);
    loaded->calls = PluginCalls(entry);
    return loaded;
}

bool EffectHost::ReadPluginInfo(Library& library)
{
    const PluginCalls& calls = library.calls;
    if (const auto info = calls.info()) {
        library.name = info->name;
        m_lastPluginName = info->name;
        debug("Get Info Response: ok");
        debug("FreeFrame version: " + std::to_string(info->apiMajor) + "."
            + std::to_string(info->apiMinor));
        debug("Unique ID: " + info->uniqueId);
        debug("Name: " + info->name);
        debug(info->type == FF_SOURCE ? "Type: source" : "Type: effect");
    } else {
        debug("Get Info Response: none");
    }
    debug(yesNo("16bit", calls.supports(FF_CAP_16BITVIDEO)));
    debug(yesNo("24bit", calls.supports(FF_CAP_24BITVIDEO)));
    debug(yesNo("32bit", calls.supports(FF_CAP_32BITVIDEO)));
    debug("Upside Down");
    if (const auto version = calls.extendedInfo()) {
        debug("Plugin version: " + std::to_string(version->major) + "."
            + std::to_string(version->minor));
    }
    const std::uint32_t init = calls.initialise();
    debug("Init Plugin Response: " + std::to_string(static_cast<std::int32_t>(init)));
    return init != FF_FAIL;
}

void EffectHost::LoadNewPlugin(const std::string& name, int index, int slot)
{
    if (!insideSlotRange(slot)) {
        return;
    }
    const Lock lock = lockSlot(slot);
    RunDownPluginSlot(slot);
    TPlayAvistruct& record = m_performance.slot(slot);
    if (index == 0) {
        record.FFenable = false;
        changed(slot);
        return;
    }
    const PluginFile* file = m_list.file(index);
    if (!record.Loaded || file == nullptr || record.ClipWidth <= 0 || record.ClipHeight <= 0) {
        return;
    }
    Slot& state = slotState(slot);
    state.width = record.ClipWidth;
    state.height = record.ClipHeight;
    state.video = { static_cast<std::uint32_t>(state.width),
        static_cast<std::uint32_t>(state.height), FF_DEPTH_24, FF_ORIENTATION_BL };
    std::shared_ptr<Library> library = libraryOfOtherSlot(index, slot);
    if (!library) {
        library = openLibrary(*file);
        if (!library) {
            debug(kProblemLoadingPlugin + std::string(": ") + file->name);
            m_performance.ui().showMessage(kProblemLoadingPlugin);
            return;
        }
        if (!ReadPluginInfo(*library)) {
            debug("Init failed: " + file->name);
            m_performance.ui().showMessage(kProblemLoadingPlugin);
            return;
        }
    }
    state.library = library;
    state.listIndex = index;
    if (!MakeInstance(slot)) {
        debug("Instantiate failed: " + file->name);
        if (!otherSlotUses(index, slot)) {
            setDebugStatus(deInitialiseText(library->calls.deInitialise(), library->name));
        }
        const float wetDry = state.wetDry;
        state = Slot {};
        state.wetDry = wetDry;
        m_performance.ui().showMessage(kProblemLoadingPlugin);
        changed(slot);
        return;
    }
    record.FFfilename = name.empty() ? file->name : name;
    changed(slot);
}

bool EffectHost::MakeInstance(int slot)
{
    Slot& state = slotState(slot);
    TPlayAvistruct& record = m_performance.slot(slot);
    const PluginCalls& calls = state.library->calls;
    const bool bits24 = calls.supports(FF_CAP_24BITVIDEO);
    const bool bits32 = calls.supports(FF_CAP_32BITVIDEO);
    state.pixelMode = 1;
    if (!bits24 && bits32) {
        state.video.bitDepth = FF_DEPTH_32;
        debug("32 bit");
        state.pixelMode = 2;
        state.wide.assign(pixelCount(state.width, state.height) * 4, 0);
    }
    record.FFpixelMode = state.pixelMode;
    const auto instance = calls.instantiate(state.video);
    if (!instance) {
        state.wide = {};
        return false;
    }
    state.instance = *instance;
    std::uint32_t count = calls.parameterCount();
    if (count == FF_FAIL) {
        count = 0;
    }
    debug("Num Params: " + std::to_string(count));
    state.parameterCount = static_cast<int>(std::min<std::uint32_t>(count, kEffectParameters));
    const std::size_t frameBytes = pixelCount(state.width, state.height) * 3;
    state.frame = std::make_shared<std::vector<std::uint8_t>>(frameBytes, 0);
    state.active = true;
    if (m_mixerAvailable) {
        SetUpMixer(slot);
    }
    ShowSlotPlugin(slot);
    return true;
}

void EffectHost::ShowSlotPlugin(int slot)
{
    Slot& state = slotState(slot);
    TPlayAvistruct& record = m_performance.slot(slot);
    for (int i = 0; i < kEffectParameters; ++i) {
        record.FFparams.at(static_cast<std::size_t>(i)) = i < state.parameterCount
            ? sane(state.library->calls.parameter(static_cast<std::uint32_t>(i), state.instance))
            : -1.0f;
    }
}

void EffectHost::RunDownPluginSlot(int slot)
{
    if (!insideSlotRange(slot)) {
        return;
    }
    const Lock lock = lockSlot(slot);
    Slot& state = slotState(slot);
    if (!state.active) {
        return;
    }
    const PluginCalls& calls = state.library->calls;
    if (calls.deInstantiate(state.instance) == FF_FAIL) {
        debug("DeInstantiate failed: " + state.library->name);
    }
    state.instance = 0;
    if (!otherSlotUses(state.listIndex, slot)) {
        setDebugStatus(deInitialiseText(calls.deInitialise(), state.library->name));
    }
    state.wide = {};
    if (m_mixerAvailable || state.mixerActive) {
        ReleaseMixer(slot);
    }
    state.library.reset();
    state.active = false;
    state.listIndex = 0;
    state.parameterCount = 0;
    // The frame thread may still draw the last processed frame: the buffer goes with the
    // frame thread's hold on it.
    state.frame.reset();
    TPlayAvistruct& record = m_performance.slot(slot);
    record.FFfilename.clear();
    record.FFparams.fill(-1.0f);
    changed(slot);
}

void EffectHost::SetUpMixer(int slot)
{
    Slot& state = slotState(slot);
    const std::size_t frameBytes = pixelCount(state.width, state.height) * 3;
    state.wet.assign(frameBytes, 0);
    if (!m_mixer) {
        const auto file = std::find_if(
            m_folders.mixerFiles.begin(), m_folders.mixerFiles.end(), [](const auto& path) {
                std::error_code error;
                return std::filesystem::exists(path, error);
            });
        if (file == m_folders.mixerFiles.end()) {
            m_mixerAvailable = false;
            state.wet = {};
            return;
        }
        auto mixer = openLibrary(*file);
        if (!mixer || mixer->calls.initialise() == FF_FAIL) {
            m_performance.ui().showMessage(kProblemLoadingMixer);
            state.wet = {};
            return;
        }
        mixer->name = kMixerFileName;
        m_mixer = std::move(mixer);
    }
    state.mixerVideo = { static_cast<std::uint32_t>(state.width),
        static_cast<std::uint32_t>(state.height), FF_DEPTH_24, FF_ORIENTATION_BL };
    const auto instance = m_mixer->calls.instantiate(state.mixerVideo);
    if (!instance) {
        return;
    }
    state.mixerInstance = *instance;
    state.mixerActive = true;
    m_mixer->calls.setParameter(0, state.wetDry, state.mixerInstance);
}

void EffectHost::ReleaseMixer(int slot)
{
    Slot& state = slotState(slot);
    if (state.mixerActive && m_mixer) {
        m_mixer->calls.deInstantiate(state.mixerInstance);
    }
    state.mixerActive = false;
    state.mixerInstance = 0;
    const bool anyLeft = std::any_of(
        m_slots.begin() + 1, m_slots.end(), [](const auto& other) { return other->mixerActive; });
    if (!anyLeft && m_mixer) {
        m_mixer->calls.deInitialise();
        m_mixer.reset();
    }
    state.wet = {};
}

bool EffectHost::SetEffectEnabled(int slot, bool on)
{
    if (!insideSlotRange(slot)) {
        return false;
    }
    const Lock lock = lockSlot(slot);
    if (!slotState(slot).active) {
        return false;
    }
    m_performance.slot(slot).FFenable = on;
    changed(slot);
    return true;
}

void EffectHost::ChangeParameter(int slot, int index, float value)
{
    setParameter(slot, index, value);
}

bool EffectHost::setParameter(int slot, int index, float value)
{
    if (!insideSlotRange(slot) || index < 0 || std::isnan(value)) {
        return false;
    }
    const Lock lock = lockSlot(slot);
    Slot& state = slotState(slot);
    if (!state.active || index >= state.parameterCount) {
        return false;
    }
    const PluginCalls& calls = state.library->calls;
    const auto number = static_cast<std::uint32_t>(index);
    if (calls.setParameter(number, value, state.instance) == FF_FAIL) {
        return false;
    }
    m_performance.slot(slot).FFparams.at(static_cast<std::size_t>(index)) = value;
    std::string display = calls.parameterDisplay(number, state.instance);
    if (display == kUnknownType) {
        display.clear();
    }
    m_listener->parameterText(
        slot, index, display, fixed5(calls.parameter(number, state.instance)));
    changed(slot);
    return true;
}

float EffectHost::OKPgetParam(int slot, int index)
{
    if (!insideSlotRange(slot)) {
        return -2.0f;
    }
    const Lock lock = lockSlot(slot);
    const Slot& state = slotState(slot);
    if (!state.active) {
        return -2.0f;
    }
    if (index < 0 || index >= state.parameterCount) {
        return -1.0f;
    }
    return sane(state.library->calls.parameter(static_cast<std::uint32_t>(index), state.instance));
}

std::int64_t EffectHost::OKPsetParam(int slot, int index, float value)
{
    if (!insideSlotRange(slot)) {
        return -2;
    }
    const Lock lock = lockSlot(slot);
    const Slot& state = slotState(slot);
    if (!state.active) {
        return -2;
    }
    if (index < 0 || index >= state.parameterCount || !(value >= 0.0f && value <= 1.0f)) {
        return -1;
    }
    const std::uint32_t result = state.library->calls.setParameter(
        static_cast<std::uint32_t>(index), value, state.instance);
    m_performance.slot(slot).FFparams.at(static_cast<std::size_t>(index)) = value;
    return result;
}

void EffectHost::ChangeWetDryMix(int slot, float dry)
{
    setWetDry(slot, dry);
}

bool EffectHost::setWetDry(int slot, float dry)
{
    if (!insideSlotRange(slot) || std::isnan(dry)) {
        return false;
    }
    dry = std::clamp(dry, 0.0f, 1.0f);
    const Lock lock = lockSlot(slot);
    Slot& state = slotState(slot);
    m_performance.slot(slot).FFwetDry = dry;
    state.wetDry = dry;
    if (state.active && m_mixer && state.mixerActive) {
        m_mixer->calls.setParameter(0, dry, state.mixerInstance);
    }
    changed(slot);
    return true;
}

void EffectHost::OKPLoadPlugins(const std::array<bool, kSlotCount + 1>& excluded)
{
    std::vector<Lock> locks;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        locks.push_back(lockSlot(slot));
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (excluded.at(static_cast<std::size_t>(slot))) {
            continue;
        }
        TPlayAvistruct& record = m_performance.slot(slot);
        const std::string name = record.FFfilename.str();
        const int index = name.empty() ? 0 : m_list.indexOf(name);
        if (index > 0) {
            LoadNewPlugin(name, index, slot);
        } else {
            RunDownPluginSlot(slot);
            record.FFenable = false;
        }
    }
}

void EffectHost::LoadClipSetupPlug(const TPlayAvistruct& setup, int index, int slot)
{
    if (!insideSlotRange(slot)) {
        return;
    }
    const Lock lock = lockSlot(slot);
    LoadNewPlugin(setup.FFfilename.str(), index, slot);
    SetEffectEnabled(slot, setup.FFenable);
    const int count = slotState(slot).parameterCount;
    for (int i = 0; i < count; ++i) {
        const float value = setup.FFparams.at(static_cast<std::size_t>(i));
        if (value >= 0.0f && value <= 1.0f) {
            ChangeParameter(slot, i, value);
        }
    }
    ChangeWetDryMix(slot, setup.FFwetDry);
}

void EffectHost::CopyFFsetup(int sourceSlot, int targetSlot)
{
    if (!insideSlotRange(sourceSlot) || !insideSlotRange(targetSlot)) {
        return;
    }
    const TPlayAvistruct setup = m_performance.slot(sourceSlot);
    const int index = pluginIndex(sourceSlot);
    LoadClipSetupPlug(setup, index, targetSlot);
}

void EffectHost::RunDownFreeFrame()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        m_performance.slot(slot).FFenable = false;
        RunDownPluginSlot(slot);
    }
}

int EffectHost::pluginIndex(int slot) const
{
    if (!insideSlotRange(slot)) {
        return 0;
    }
    const Lock lock = lockSlot(slot);
    return slotState(slot).listIndex;
}

bool EffectHost::choosePlugin(int slot, int index)
{
    if (!insideSlotRange(slot) || index < 0 || index >= m_list.size()) {
        return false;
    }
    LoadNewPlugin(m_list.name(index), index, slot);
    return pluginIndex(slot) == index;
}

bool EffectHost::setEffectEnabled(int slot, bool on)
{
    return SetEffectEnabled(slot, on);
}

EffectShown EffectHost::shown(int slot)
{
    EffectShown shown;
    if (!insideSlotRange(slot)) {
        return shown;
    }
    const Lock lock = lockSlot(slot);
    const Slot& state = slotState(slot);
    const TPlayAvistruct& record = m_performance.slot(slot);
    shown.active = state.active;
    shown.enabled = record.FFenable;
    shown.listIndex = state.listIndex;
    shown.hasMixer = state.mixerActive;
    shown.wetDry = state.wetDry;
    if (!state.active) {
        return shown;
    }
    shown.parameterCount = state.parameterCount;
    const PluginCalls& calls = state.library->calls;
    for (int i = 0; i < state.parameterCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const auto number = static_cast<std::uint32_t>(i);
        shown.names.at(k) = std::to_string(i + 1) + " - " + calls.parameterName(number);
        std::string display = calls.parameterDisplay(number, state.instance);
        shown.displays.at(k) = display == kUnknownType ? std::string() : display;
        shown.values.at(k) = record.FFparams.at(k);
    }
    return shown;
}

const std::uint8_t* EffectHost::processFrame(int slot, const std::uint8_t* pixels, int width,
    int height, int bitsPerPixel, std::shared_ptr<const void>& keep)
{
    if (!insideSlotRange(slot) || pixels == nullptr || bitsPerPixel != 24) {
        return pixels;
    }
    const Lock lock = lockSlot(slot);
    Slot& state = slotState(slot);
    if (!state.active || !state.frame || width != state.width || height != state.height) {
        return pixels;
    }
    const std::size_t count = pixelCount(width, height);
    std::uint8_t* frame = state.frame->data();
    // With a mix, the effect works in the wet buffer and the mixer writes the frame from the
    // decoded picture (the dry input, unchanged during the step) and the wet one: one copy of
    // the frame, not three.
    const bool mix = state.wetDry != 0.0f && state.mixerActive && m_mixer;
    std::uint8_t* wet = mix ? state.wet.data() : frame;
    std::memcpy(wet, pixels, count * 3);
    const PluginCalls& calls = state.library->calls;
    std::uint32_t result = FF_FAIL;
    if (state.pixelMode == 2) {
        widenPixels(wet, state.wide.data(), count);
        result = calls.processFrame(state.wide.data(), state.instance);
        narrowPixels(state.wide.data(), wet, count);
    } else {
        result = calls.processFrame(wet, state.instance);
    }
    if (result == FF_FAIL) {
        return pixels; // what the plug-in left is not trusted: the frame as decoded
    }
    if (mix) {
        // The mixer only reads its inputs.
        std::array<void*, 2> inputs { const_cast<std::uint8_t*>(pixels), wet };
        ProcessFrameCopyStruct frames { 2, inputs.data(), frame };
        if (m_mixer->calls.processFrameCopy(frames, state.mixerInstance) == FF_FAIL) {
            std::memcpy(frame, wet, count * 3); // unmixed rather than a stale frame
        }
    }
    keep = state.frame;
    return frame;
}

} // namespace oskel
