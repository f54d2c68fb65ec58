#include "playback/clip_loader.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "core/control_names.h"
#include "core/frame_size.h"
#include "core/pan_law.h"
#include "core/rounding.h"
#include "core/shown_text.h"
#include "core/slot_reset.h"
#include "core/slot_rules.h"
#include "core/slot_sound.h"
#include "core/slot_status.h"
#include "core/status_text.h"
#include "platform/memory_status.h"
#include "playback/clip_length.h"
#include "playback/live_slot.h"
#include "sources/live_source_name.h"
#include "sources/thumbnail.h"

namespace oskel {

namespace {

constexpr std::uint8_t kNoPicture = 235;
constexpr std::uint8_t kLoadException = 245;
constexpr std::uint8_t kSoundUnreadable = 246;
constexpr std::uint8_t kMemoryRefused = 252;

bool hasAviExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".avi";
}

SourceSystemKind systemFor(const std::filesystem::path& file)
{
    if (isLiveSourceName(file.native())) {
        return SourceSystemKind::ssLive;
    }
    return hasAviExtension(file) ? SourceSystemKind::ssVFW : SourceSystemKind::ssDS;
}

WaveFormat waveFormatOf(const TSourceInfo& info)
{
    return WaveFormat { info.waveFormat.channels, info.waveFormat.samplesPerSec,
        info.waveFormat.bitsPerSample };
}

std::int32_t nearest(double value)
{
    return static_cast<std::int32_t>(roundHalfEven(value));
}

} // namespace

ClipLoader::ClipLoader(Performance& performance, SourceInterface& sources, AudioEngine& audio,
    PlaybackControl& playback)
    : m_performance(performance)
    , m_sources(sources)
    , m_audio(audio)
    , m_playback(playback)
{
}

void ClipLoader::finishLoading()
{
    // The frame thread clears the flag once it has made the new textures; without one
    // running, nothing else would.
    if (!m_playback.frameThreadRunning()) {
        m_performance.globals().loadingBusy = false;
    }
}

bool ClipLoader::LoadClipIntoSlot(
    int slot, const std::filesystem::path& file, bool syncMode, bool keepSettings)
{
    GlobalState& globals = m_performance.globals();
    if (!isValidSlot(slot) || globals.loadingBusy) {
        return false;
    }
    globals.loadingBusy = true;
    globals.clipNotice.clear();
    UserInterfacePort& ui = m_performance.ui();
    ui.setStatusText("Loading Clip ...");

    TPlayAvistruct& record = m_performance.slot(slot);
    const std::int32_t keptInPoint = record.InPoint;
    const std::int64_t keptOutPoint = record.OutPoint;
    int keptFrequency = 0;
    if (record.Loaded) {
        if (record.Playing) {
            StopSlotSound(record);
        }
        if (keepSettings && record.ForwardBuffer) {
            keptFrequency = record.ForwardBuffer->frequency();
        }
        m_performance.UnloadSlot(slot, globals.LoadClipsKeepSettings);
    }
    record.FileName = file.string();
    record.SourceSystem = static_cast<std::uint8_t>(systemFor(file));
    record.FoundNearPatch = false;

    bool opened = OpenClip(slot, keepSettings);
    if (!opened && record.LoadResult == kMemoryRefused) {
        globals.loadingBusy = false;
        return false;
    }
    if (!opened && record.SourceSystem == static_cast<std::uint8_t>(SourceSystemKind::ssVFW)) {
        record.SourceSystem = static_cast<std::uint8_t>(SourceSystemKind::ssDS);
        opened = OpenClip(slot, keepSettings);
    }
    if (!opened) {
        const std::uint8_t result = record.LoadResult;
        m_performance.UnloadSlot(slot, globals.LoadClipsKeepSettings);
        record.LoadResult = result;
        m_performance.SlotStatusColour(slot, SlotState::Stopped);
        std::string message = "Sorry Oskel was unable to load clip: ";
        message += shownClipName(file.native());
        if (!m_lastProblem.empty()) {
            message += '\n';
            message += shownText(m_lastProblem);
        }
        ui.showMessage(message);
        globals.loadingBusy = false;
        return false;
    }
    if (!MakeThumbnail(slot)) {
        ui.showMessage("Sorry ... Oskel was not able to load this clip.");
        globals.loadingBusy = false;
        return false;
    }
    if (!record.Loaded) {
        globals.loadingBusy = false;
        return false;
    }
    if (!keepSettings) {
        placeNewClip(record, syncMode);
    } else {
        keepSelection(record, keptInPoint, keptOutPoint);
        if (keptFrequency > 0 && record.ForwardBuffer) {
            record.ForwardBuffer->setFrequency(keptFrequency);
        }
    }
    if (m_tempo) {
        m_tempo(slot); // the clip's tempo, and following the global one with "Auto BPM"
    }
    noteDamage(slot);
    clipReady(slot);
    globals.slotTexturePending.at(static_cast<std::size_t>(slot)) = true;
    globals.texturesPending = true;
    if (!keepSettings) {
        record.FFenable = false;
        record.FFfilename.clear();
    }
    slot_grid::showStatusButtons(ui, slot, record);
    ui.showControlValue(control::kInspectorRefresh, true);
    if (!isLiveSourceName(file.native())) {
        globals.lastClipPath = file.string();
    }
    finishLoading();
    if (m_loaded) {
        m_loaded(slot);
    }
    return true;
}

bool ClipLoader::openPatchClip(int slot, bool streaming, bool& fellBack)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    const bool live = isLiveSourceName(record.FileName.str());
    record.SourceSystem = static_cast<std::uint8_t>(live ? SourceSystemKind::ssLive
            : streaming                                  ? SourceSystemKind::ssDS
                                                         : SourceSystemKind::ssVFW);
    fellBack = false;
    bool opened = OpenClip(slot, false);
    if (!opened && !streaming && !live && record.LoadResult != kMemoryRefused) {
        record.SourceSystem = static_cast<std::uint8_t>(SourceSystemKind::ssDS);
        fellBack = true;
        opened = OpenClip(slot, false);
    }
    if (!opened || !MakeThumbnail(slot) || !record.Loaded) {
        const std::uint8_t result = record.LoadResult;
        m_performance.UnloadSlot(slot, false);
        record.LoadResult = result;
        m_performance.ui().blankThumbnail(slot);
        return false;
    }
    noteDamage(slot);
    m_performance.globals().slotTexturePending.at(static_cast<std::size_t>(slot)) = true;
    return true;
}

void ClipLoader::noteDamage(int slot)
{
    const std::string notice = damagedClipNotice(m_performance.slot(slot).FileName.str(),
        m_sources.info(slot), m_performance.slot(slot).FrameCount);
    std::string& notices = m_performance.globals().clipNotice;
    if (!notice.empty()) {
        notices += (notices.empty() ? "" : "; ") + notice;
    }
}

std::int64_t ClipLoader::soundStreamBytes(int slot) const
{
    const TSourceInfo& info = m_sources.info(slot);
    return info.hasAudio ? std::max<std::int64_t>(info.audioLength, 0) : 0;
}

// Building the buffers selects the whole new clip; a reload that keeps its settings keeps
// the selection it had, as far as the new clip reaches.
void ClipLoader::keepSelection(TPlayAvistruct& record, std::int32_t inPoint, std::int64_t outPoint)
{
    const std::int64_t length = record.Length;
    if (outPoint <= 0 || outPoint > length) {
        outPoint = length;
    }
    record.OutPoint = outPoint;
    record.InPoint = inPoint >= 0 && inPoint < outPoint ? inPoint : 0;
}

void ClipLoader::placeNewClip(TPlayAvistruct& record, bool syncMode)
{
    const GlobalState& globals = m_performance.globals();
    record.InstallationMode = syncMode;
    record.Mute = syncMode;
    if (globals.LoadClipsFullscreen) {
        record.Left = 0;
        record.Top = 0;
        record.Right = 384;
        record.Bottom = 288;
    } else {
        const FrameSize area = areaSizeOf(record.ClipWidth, record.ClipHeight);
        const int width = area.width;
        const int height = area.height;
        record.Left = nearest((384 - width) / 2.0);
        record.Top = nearest((288 - height) / 2.0);
        record.Right = nearest(384 / 2.0 + width / 2.0);
        record.Bottom = nearest(288 / 2.0 + height / 2.0);
        if (globals.ConstrainMovement) {
            record.Left = std::clamp(record.Left, 0, 384);
            record.Right = std::clamp(record.Right, 0, 384);
            record.Top = std::clamp(record.Top, 0, 288);
            record.Bottom = std::clamp(record.Bottom, 0, 288);
        }
    }
    if (record.ForwardBuffer) {
        record.ForwardBuffer->setVolume(kSilentVolume);
    }
    updateSize(record);
    record.InPoint = 0;
    record.OutPoint = record.Length.load();
    record.NumberOfBeats = globals.DefaultBeatsPerClip;
    record.FollowBPM = globals.BPMfollow;
}

void ClipLoader::clipReady(int slot)
{
    m_performance.selectSlot(slot);
    if (m_playback.audioThreadSuspended()) {
        m_playback.resumeAudioThread();
    } else if (!m_playback.audioThreadExists()) {
        m_playback.startAudioThread();
    }
    m_performance.globals().standby = false;
    m_performance.ui().showControlValue(control::kStandby, false);
    if (m_monitor != nullptr) {
        const int rate = m_performance.slot(slot).FrameRate;
        PlaybackMonitor* monitor = m_monitor;
        m_performance.mainThread().post([monitor, rate] { monitor->clipFrameRate(rate); });
    }
}

std::filesystem::path ClipLoader::fileToOpen(const TPlayAvistruct& record) const
{
    const std::filesystem::path name(record.FileName.str());
    if (!record.FoundNearPatch) {
        return name;
    }
    const std::filesystem::path patchFolder
        = std::filesystem::path(m_performance.globals().currentPatchPath).parent_path();
    std::filesystem::path found = name;
    std::error_code error;
    for (const auto& candidate : { patchFolder / name.relative_path(), patchFolder / name }) {
        if (std::filesystem::exists(candidate, error)) {
            found = candidate;
        }
    }
    return found;
}

void ClipLoader::failClip(int slot, std::uint8_t result)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    m_sources.SourceClose(slot);
    record.Source.reset();
    ResetSlot(record, m_performance.globals().LoadClipsKeepSettings,
        m_performance.globals().DefaultBeatsPerClip);
    record.LoadResult = result;
}

bool ClipLoader::OpenClip(int slot, bool keepSettings)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    record.Loaded = false;
    record.SourceMode = 1;
    const auto system = static_cast<SourceSystemKind>(record.SourceSystem);
    m_sources.SourceInit(slot, system, 24);
    const RefString fileName = record.FileName;
    ResetSlot(record, keepSettings, m_performance.globals().DefaultBeatsPerClip);
    record.FileName = fileName;
    m_lastProblem.clear();
    try {
        if (m_sources.SourceOpen(slot, fileToOpen(record)) != kSourceOk) {
            m_lastProblem = m_sources.info(slot).openProblem;
            failClip(slot, record.LoadResult);
            return false;
        }
        record.Source = m_sources.closer(slot);
        const TSourceInfo& info = m_sources.info(slot);
        if (info.kind == SourceKind::Still) {
            record.FrameRate = 1;
            record.FrameCount = 1;
        } else {
            record.FrameRate = nearest(info.frameRate);
            record.FrameCount = info.frameCount;
        }
        if (!info.hasVideo) {
            m_lastProblem = "it has no picture";
            failClip(slot, kNoPicture);
            return false;
        }
        m_sources.SourcePrepare(slot);
        record.ClipWidth = info.width;
        record.ClipHeight = info.height;
        if (!openSound(slot)) {
            return false;
        }
        if (info.system == SourceSystemKind::ssLive) {
            connectLiveSource(m_performance, m_sources, m_audio, slot);
        }
    } catch (const std::exception& error) {
        m_lastProblem = error.what();
        record.AudioData.reset();
        failClip(slot, kLoadException);
        return false;
    }
    record.Loaded = true;
    return true;
}

bool ClipLoader::openSound(int slot)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    const TSourceInfo& info = m_sources.info(slot);
    const GlobalState& globals = m_performance.globals();
    const bool silent = globals.LoadClipsSilent
        || (info.audioLength > kLongClipSoundBytes && globals.LoadLongClipsSilent);
    if (silent) {
        m_performance.ui().setStatusText("Loading Long Clip Silent .. see prefs");
    }
    record.LoadedSilent = silent || !info.hasAudio;
    if (record.LoadedSilent) {
        if (!m_audio.BuildSilentBuffers(record)) {
            failClip(slot, kMemoryRefused);
            return false;
        }
        return true;
    }
    if (!m_audio.CheckMemory(2 * info.audioLength)) {
        failClip(slot, kMemoryRefused);
        return false;
    }
    ByteBlock sound;
    std::int64_t length = 0;
    if (m_sources.SourceGetAudio(slot, sound, length) != kSourceOk || length <= 0) {
        m_lastProblem = "its sound does not decode";
        record.LoadResult = kSoundUnreadable;
        return false;
    }
    const WaveFormat format = waveFormatOf(info);
    record.AudioData = sound;
    record.Length = length;
    record.OutPoint = length;
    record.BlockAlign = format.blockAlign();
    record.BytesPerSecond = static_cast<std::int32_t>(format.bytesPerSecond());
    record.BaseFrequency = static_cast<std::int32_t>(format.samplesPerSecond);
    if (info.kind != SourceKind::Still) {
        const double rate = info.exactFrameRate > 0.0 ? info.exactFrameRate : info.frameRate;
        if (const std::int64_t frames = framesAlongSound(length, format.bytesPerSecond(), rate)) {
            record.FrameCount = frames;
        }
    }
    m_audio.BuildForwardBuffer(record, format);
    m_audio.BuildBackwardBuffer(record, format);
    return true;
}

bool ClipLoader::MakeThumbnail(int slot)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    const bool fromMiddle = m_performance.options().ui.thumbnails == ThumbnailPosition::Middle;
    const std::int64_t frame
        = fromMiddle ? roundHalfEven(static_cast<double>(record.FrameCount) / 2.0) : 0;
    const std::uint8_t* pixels = nullptr;
    const int result = m_sources.SourceGetFrame(slot, frame, pixels);
    if (result >= kFirstFrameFailure || pixels == nullptr) {
        m_performance.ui().setStatusText("Couldn't Get Thumbnail Frame");
        m_performance.ui().blankThumbnail(slot);
        return true;
    }
    const TBitmapInfoHeader& header = m_sources.info(slot).frameHeader;
    if (header.bitCount != 24) {
        record.Loaded = false;
        m_performance.ui().blankThumbnail(slot);
        return true;
    }
    record.ClipWidth = header.width;
    record.ClipHeight = header.height;
    const FrameSize area = areaSizeOf(header.width, header.height);
    record.Size = nearest((area.width + area.height) / 2.0);
    const auto system = static_cast<SourceSystemKind>(record.SourceSystem);
    const char* reader = system == SourceSystemKind::ssLive ? "Live"
        : system == SourceSystemKind::ssDS                  ? "DirectShow"
                                                            : "VFW";
    m_performance.ui().showThumbnail(slot, stretchToThumbnail(pixels, header.width, header.height),
        std::string(reader) + " - " + shownClipName(record.FileName.str()));
    return true;
}

std::filesystem::path ClipLoader::dialogStartFolder() const
{
    const std::filesystem::path last(m_performance.globals().lastClipPath);
    return last.has_filename() ? last.parent_path() : last;
}

void ClipLoader::rememberFolder(const std::filesystem::path& file)
{
    std::vector<std::string>& history = m_performance.globals().clipFolderHistory;
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    if (std::find(history.begin(), history.end(), folder) != history.end()) {
        return;
    }
    history.push_back(folder);
    if (history.size() > GlobalState::kMaxClipFolderHistory) {
        history.erase(history.begin());
    }
}

bool ClipLoader::LoadClipDialog(int slot, const std::optional<std::filesystem::path>& chosen)
{
    GlobalState& globals = m_performance.globals();
    bool loaded = false;
    if (!chosen) {
        globals.loadingBusy = false;
    } else {
        const bool keep
            = isValidSlot(slot) && m_performance.slot(slot).Loaded && globals.LoadClipsKeepSettings;
        loaded = LoadClipIntoSlot(slot, *chosen, globals.LoadClipsInSyncMode, keep);
        if (loaded && !isLiveSourceName(chosen->native())) {
            rememberFolder(*chosen);
            globals.lastClipPath = chosen->string();
        }
    }
    m_performance.ui().setStatusText(readyStatusText(availableMemoryBytes(), globals.clipNotice));
    return loaded;
}

void ClipLoader::loadMultipleClips(const std::vector<Entry>& entries)
{
    GlobalState& globals = m_performance.globals();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (m_performance.slot(slot).Loaded) {
            m_performance.UnloadSlot(slot, globals.LoadClipsKeepSettings);
            m_performance.ui().blankThumbnail(slot);
        }
    }
    const std::size_t count = std::min<std::size_t>(entries.size(), kMaxClipsAtOnce);
    std::string notices; // each load starts its own
    for (std::size_t k = 0; k < count; ++k) {
        const int slot = static_cast<int>(k) + 1;
        globals.slotTexturePending.at(static_cast<std::size_t>(slot)) = false;
        globals.loadingBusy = false;
        LoadClipIntoSlot(slot, entries[k].file, entries[k].syncMode, false);
        if (!globals.clipNotice.empty()) {
            notices += (notices.empty() ? "" : "; ") + globals.clipNotice;
        }
        std::string status = "Loading Clips ... ";
        if (const auto free = availableMemoryBytes()) {
            status += std::to_string(*free / (1024 * 1024)) + " Mb RAM Free";
        }
        m_performance.ui().setStatusText(status);
    }
    globals.clipNotice = notices;
    m_performance.ui().setStatusText(readyStatusText(availableMemoryBytes(), notices));
    if (m_restartSync) {
        m_restartSync(true);
    }
}

} // namespace oskel
