#include "app/instrument.h"

#include <chrono>
#include <ostream>
#include <system_error>

#include "app/effect_folders.h"
#include "control/control_followers.h"
#include "platform/loopback_midi.h"
#include "platform/memory_status.h"
#include "platform/millisecond_clock.h"
#include "sources/reader_factory.h"

namespace oskel {

namespace {

Transport::Clock clockOrWallClock(Transport::Clock clock)
{
    return clock ? std::move(clock) : Transport::Clock(millisecondTick);
}

std::unique_ptr<MidiDevices> midiOrLoopback(std::unique_ptr<MidiDevices> devices)
{
    if (devices) {
        return devices;
    }
    std::vector<std::unique_ptr<MidiBackend>> loopback;
    loopback.push_back(std::make_unique<LoopbackMidi>());
    return std::make_unique<MidiDevices>(std::move(loopback));
}

// The live instrument's pictures may be streamed: its renderer hands them to the stream.
RendererChoice chooseRenderer(const RendererMaker& make, Performance& performance,
    MainThreadDispatcher& mainThread, bool offline)
{
    RendererChoice choice;
    if (make) {
        choice = make(performance, mainThread);
    }
    if (!choice.renderer) {
        choice.renderer = std::make_unique<NullFrameRenderer>();
    }
    if (!offline) {
        choice.renderer = std::make_unique<StreamingRenderer>(std::move(choice.renderer));
    }
    return choice;
}

} // namespace

Instrument::Instrument(MainThreadDispatcher& mainThread, UserInterfacePort& ui,
    InstrumentParts parts, const Locations& locations)
    : m_performance(ui, mainThread)
    , m_effectHost(m_performance, m_libraryLoader,
          effectFolders(locations, programFolder(), parts.frei0rFolders))
    , m_sound(std::move(parts.sound))
    , m_playback(m_performance, m_mailbox)
    , m_events(m_performance, m_mailbox, m_playback)
    // The engine's own events are not the performer's: a replay brings them about again.
    , m_tempo(m_performance, m_events.engineEvents())
    , m_audio(*m_sound, ui, availableMemoryBytes)
    , m_sources(makeMediaReader)
    , m_loader(m_performance, m_sources, m_audio, m_playback)
    , m_transport(
          m_performance, m_events.engineEvents(),
          [this](bool hide) { m_events.RestartSyncSlots(hide); }, clockOrWallClock(parts.clock),
          clockOrWallClock(parts.clock)())
    , m_renderer(chooseRenderer(parts.makeRenderer, m_performance, mainThread, parts.offline))
    , m_frameClock(m_performance, m_sources, *m_renderer.renderer, m_transport, m_monitor)
    , m_settings(locations.configFolder)
    , m_lifecycle(m_performance, m_settings, { locations.clipFolder, locations.tempFolder },
          availableMemoryBytes)
    , m_recorder(clockOrWallClock(parts.clock))
    , m_controllers(Controllers::Links { m_performance, m_events, m_tempo, m_loader, m_playback,
          [this](bool hide) { m_events.RestartSyncSlots(hide); }, clockOrWallClock(parts.clock),
          [this] { return m_audio.referenceRate(); } })
    , m_patchLoader(PatchLoader::Links { m_performance, m_events.engineEvents(), m_loader, m_tempo,
          m_playback, locations.clipFolder, [this](bool hide) { m_events.RestartSyncSlots(hide); },
          [this] { mixer().refreshSides(); } })
    , m_patchSaver(m_performance, m_events.engineEvents(), m_loader)
    , m_patches(InstrumentPatches::Links { m_performance, m_events,
          [this](const std::filesystem::path& file, bool throughMidi) {
              loadPatch(file, throughMidi);
          },
          [this](int slot, const std::filesystem::path& file) { return loadClip(slot, file); },
          [this] { m_midi.input().setInputEnabled(false); } })
    , m_locations(locations)
    , m_midi(InstrumentMidi::Links { m_performance, m_events, m_tempo, m_patches,
                 m_controllers.inspector(), mainThread, clockOrWallClock(parts.clock),
                 [this] { return m_audio.referenceRate(); },
                 [this](int slot) {
                     const EffectShown shown = m_effectHost.shown(slot);
                     return std::vector<std::string>(shown.names.begin(),
                         shown.names.begin() + std::clamp(shown.parameterCount, 0, 8));
                 } },
          midiOrLoopback(std::move(parts.midi)))
    , m_actions(
          m_events, m_performance,
          [this](int slot, const std::filesystem::path& clip) { loadClip(slot, clip); },
          [this](const KeyAction& key) { pressKey(key); }, ui)
    , m_offline(parts.offline)
    , m_outputSize(std::move(parts.outputSize))
    , m_osc(InstrumentOsc::Links { m_performance, mainThread,
                [this](const ScriptCommand& command) { m_actions.carryOut(command); } },
          std::move(parts.osc))
{
    m_actions.setMidiHandler([this](const MidiAction& action) {
        m_midi.deliver(action.status, action.data1, action.data2);
    });
    m_actions.setPatchHandler([this, &ui](const PatchAction& action) {
        if (!action.save) {
            loadPatch(action.file);
        } else if (const auto problem = savePatch(action.file)) {
            ui.showMessage(*problem);
        }
    });
    if (auto* streaming = dynamic_cast<StreamingRenderer*>(m_renderer.renderer.get())) {
        m_stream = std::make_unique<StreamSwitch>(
            m_performance, *streaming, mainThread, ui, m_sound.get());
        m_camera = std::make_unique<CameraSwitch>(m_performance, *streaming, mainThread, ui);
    }
    m_events.setSoundDevice(m_sound.get());
    m_events.setRenderer(m_renderer.port);
    m_performance.setRenderer(m_renderer.port);
    m_performance.setEffects(&m_effectHost);
    m_frameClock.setEffects(&m_effectHost);
    m_events.setOutsideEventObserver([this](const TSlotEvent& event) {
        m_recorder.eventSent(event);
        // Resetting every slot also ends a MIDI learn under way.
        if (event.Code == event_code::kStopAll) {
            m_midi.learn().cancelLearn();
            if (m_stopAll) {
                m_stopAll();
            }
        }
    });
    m_events.setSelectionChangedHandler([this](int slot) {
        m_tempo.selectionChanged(slot);
        m_midi.surface().showSlot(slot);
    });
    m_tempo.setPerformerEvents(m_events);
    m_events.setControlChangedHandler([this](const ControlEntry& entry, int slot) {
        followControlChange(m_performance, m_tempo, entry, slot);
        m_midi.optionsChanged();
        // The grid's MIDI letters name the notes of the map in use.
        if (entry.item == "GuitarMode") {
            grid().showCaptions();
        }
    });
    m_loader.setTempoHandler([this](int slot) { m_tempo.clipLoaded(slot); });
    m_loader.setLoadedHandler([this](int) { mixer().refreshSides(); });
    m_loader.setSyncRestarter([this](bool hide) { m_events.RestartSyncSlots(hide); });
    m_loader.setMonitor(&m_monitor);
    m_monitor.setClipsReadyHandler([this] {
        m_patchLoader.clipsReady();
        m_midi.surface().patchLoaded();
    });
    m_patchLoader.setFinishedHandler([this](bool loaded) {
        m_midi.input().setInputEnabled(true);
        if (loaded) {
            m_midi.surface().patchLoaded();
        }
        if (m_patches.console().on()) {
            m_patches.console().patchLoadFinished(loaded);
        }
    });
    if (!parts.frameClockStepped) {
        m_playback.setCompanion(&m_frameClock);
    }
    m_performance.setPlaybackThreads(&m_playback);
    m_performance.setEventSink(&m_events);
    m_lifecycle.setEngine(&m_events.engineEvents(), &m_playback);
    m_lifecycle.setWritesSettings(parts.writesSettings);
}

void Instrument::pressKey(const KeyAction& key)
{
    if (key.down) {
        keyboard().FormKeyDown(key.key, key.modifiers);
    } else {
        keyboard().FormKeyUp(key.key, key.modifiers);
    }
}

Instrument::~Instrument()
{
    shutDown();
}

void Instrument::setCompositionSize(CompositionSize size)
{
    m_compositionChosen = true;
    applyCompositionSize(size);
}

void Instrument::applyCompositionSize(CompositionSize size)
{
    m_renderer.renderer->setCompositionSize(size);
    m_sources.setFrameLimits(frameLimitsFor(size));
}

// Once the settings are read: "HD composition" composes at the output's own size where it is
// larger than 384 x 288.
void Instrument::chooseCompositionSize()
{
    if (m_compositionChosen) {
        return;
    }
    const CompositionSize output = m_outputSize ? m_outputSize() : kStandardComposition;
    const bool larger = output.width > kAreaWidth || output.height > kAreaHeight;
    const bool hd = m_performance.options().display.hdComposition && larger;
    applyCompositionSize(hd ? output : kStandardComposition);
}

void Instrument::start()
{
    prepare();
    activate();
}

void Instrument::prepare()
{
    // The plug-in list is there before the program says it is ready.
    m_effectHost.RunUpFreeFrame();
    m_effectHost.ScanPlugins();
    m_lifecycle.programEntry();
    m_lifecycle.InitStuff();
    chooseCompositionSize();
    // The folder clips and patches go to by default, there from the first start on.
    std::error_code ignored;
    std::filesystem::create_directories(m_locations.clipFolder, ignored);
    m_patches.init(PatchFolderSources {
        m_performance.globals().currentPatchPath, m_locations.clipFolder, m_locations.dataFolder });
}

void Instrument::activate()
{
    m_lifecycle.FormActivate();
    m_midi.optionsChanged();
    m_midi.start();
    if (!m_offline) {
        m_osc.optionsChanged();
    }
}

void Instrument::mainLoopTurn(std::chrono::steady_clock::time_point now)
{
    m_patches.advanceTimers();
    m_midi.mainLoopTurn(now);
    m_osc.mainLoopTurn();
    if (m_stream) {
        m_stream->mainLoopTurn();
        m_camera->mainLoopTurn();
    }
}

std::string Instrument::networkCountsText() const
{
    std::string text = m_osc.countsText();
    for (const std::string& counts : { m_stream ? m_stream->countsText() : std::string(),
             m_camera ? m_camera->countsText() : std::string() }) {
        if (!counts.empty()) {
            text += (text.empty() ? "" : "; ") + counts;
        }
    }
    return text;
}

bool Instrument::loadClip(int slot, const std::filesystem::path& file)
{
    m_recorder.clipLoaded(slot, file);
    const bool loaded
        = m_loader.LoadClipIntoSlot(slot, file, m_performance.globals().LoadClipsInSyncMode, false);
    m_midi.input().setInputEnabled(true);
    return loaded;
}

PatchLoader::Outcome Instrument::loadPatch(const std::filesystem::path& file, bool throughMidi)
{
    if (m_performance.globals().loadingBusy) {
        return PatchLoader::Outcome::Busy;
    }
    m_recorder.patchUsed(file, false);
    if (m_patches.console().on() && !throughMidi) {
        m_patches.console().showLoading();
    }
    return m_patchLoader.LoadPatch(file, throughMidi);
}

std::optional<std::string> Instrument::savePatch(const std::filesystem::path& file)
{
    m_recorder.patchUsed(file, true);
    auto problem = m_patchSaver.SavePatch(file);
    if (!problem) {
        m_patches.explorer().refresh();
    }
    return problem;
}

PatchLoader::Outcome Instrument::loadStartPatch(
    const std::filesystem::path& file, MainThreadDispatcher& mainThread)
{
    const PatchLoader::Outcome outcome = loadPatch(file);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_patchLoader.loading() && std::chrono::steady_clock::now() < deadline) {
        mainThread.serveFor(std::chrono::milliseconds(10));
    }
    return outcome;
}

int Instrument::loadStartClips(
    const std::vector<ClipToLoad>& clips, MainThreadDispatcher& mainThread)
{
    const GlobalState& globals = m_performance.globals();
    // A busy machine may take a while to make the last clip's textures; a start clip is not
    // dropped for that, but the program does not wait for ever either.
    const auto waitForLoader = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (globals.loadingBusy && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(std::chrono::milliseconds(10));
        }
    };
    int loaded = 0;
    for (const ClipToLoad& clip : clips) {
        waitForLoader();
        loaded += loadClip(clip.slot, clip.file) ? 1 : 0;
    }
    waitForLoader();
    return loaded;
}

void Instrument::loadStartClips(
    const std::vector<ClipToLoad>& clips, MainThreadDispatcher& mainThread, std::ostream& out)
{
    const int loaded = loadStartClips(clips, mainThread);
    if (!clips.empty()) {
        out << "Start clips loaded: " << loaded << " of " << clips.size() << std::endl;
    }
}

void Instrument::shutDown()
{
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    if (m_stream) {
        m_stream->stop();
        m_camera->stop();
    }
    m_osc.stop();
    m_midi.stop();
    m_lifecycle.FormCloseQuery();
    // Whatever way the close went, no playback thread outlives the objects it uses.
    m_playback.stopAudioThread();
    m_effectHost.RunDownFreeFrame();
}

} // namespace oskel
