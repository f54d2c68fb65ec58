#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/clip_argument.h"
#include "app/instrument_midi.h"
#include "app/instrument_osc.h"
#include "app/instrument_patches.h"
#include "app/lifecycle.h"
#include "control/controllers.h"
#include "control/patch_loader.h"
#include "control/patch_saver.h"
#include "core/audio_mailbox.h"
#include "core/event_processor.h"
#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "effects/effect_host.h"
#include "persistence/settings_file.h"
#include "platform/locations.h"
#include "platform/shared_library.h"
#include "platform/sound_device.h"
#include "playback/audio_engine.h"
#include "playback/clip_loader.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"
#include "playback/playback.h"
#include "playback/tempo.h"
#include "playback/tick_figures.h"
#include "playback/transport.h"
#include "recording/action_player.h"
#include "recording/camera_switch.h"
#include "recording/performance_recorder.h"
#include "recording/performance_script.h"
#include "recording/stream_switch.h"
#include "sources/source_interface.h"

namespace oskel {

// Where the playback engine reports: the beat counter now; the windows' figures later.
class InstrumentMonitor : public SilentPlaybackMonitor {
public:
    explicit InstrumentMonitor(Tempo& tempo)
        : m_tempo(tempo)
    {
    }
    void refreshGridAndBeatCounter() override { m_tempo.showBeatCounter(); }
    void newClipsReady() override
    {
        if (m_clipsReady) {
            m_clipsReady();
        }
    }
    void setClipsReadyHandler(std::function<void()> handler) { m_clipsReady = std::move(handler); }
    void tickDrawn(int decodeMs, int processingMs, int uploadMs) override
    {
        m_figures.add(decodeMs, processingMs, uploadMs);
    }
    TickFigureCounter& figures() { return m_figures; }

private:
    Tempo& m_tempo;
    TickFigureCounter m_figures;
    std::function<void()> m_clipsReady;
};

// What draws the output: the renderer the frame clock hands the frames to, and what the slot
// operations tell it directly (null when it takes nothing).
struct RendererChoice {
    std::unique_ptr<FrameRenderer> renderer;
    RendererPort* port = nullptr;
};
// Called once, while the instrument is made, with the performance state the renderer reads.
using RendererMaker = std::function<RendererChoice(Performance&, MainThreadDispatcher&)>;

// What the caller chooses: where the sound goes, what draws, and which clock the timing
// rules read.
struct InstrumentParts {
    std::unique_ptr<SoundDevice> sound;
    // None: nothing is drawn.
    RendererMaker makeRenderer;
    // Milliseconds, wrapping; the wall clock unless a replay brings its own.
    Transport::Clock clock;
    // The frame clock runs no thread of its own: its owner steps it (an offline render).
    bool frameClockStepped = false;
    // The MIDI devices; none: only the loopback cable, which nothing outside reaches.
    std::unique_ptr<MidiDevices> midi;
    // Where OSC arrives; none: UDP, as the OSC options say.
    std::unique_ptr<OscPort> osc;
    // An offline render plays its file alone: nothing from the network takes part.
    bool offline = false;
    // Folders of frei0r filters for the plug-in list; none: our own plug-ins only.
    std::vector<std::filesystem::path> frei0rFolders;
    // Whether shut-down writes the settings file; a render beside the live instrument only
    // reads it.
    bool writesSettings = true;
    // The pixel size of the screen the output is shown on, for "HD composition"; none: the
    // output is composed at 384 x 288 unless setCompositionSize says otherwise.
    std::function<CompositionSize()> outputSize = {};
};

// The whole instrument, put together: the performance state and every subsystem, wired to
// one another. Main thread.
class Instrument {
public:
    Instrument(MainThreadDispatcher& mainThread, UserInterfacePort& ui, InstrumentParts parts,
        const Locations& locations);
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // Start-up and the first activation, which starts playback.
    void start();
    // The same in two steps, for windows that must be shown before playback starts: the
    // settings read and the slots made ready; then the first activation.
    void prepare();
    void activate();
    // Shut-down: slots unloaded, playback ended, settings written.
    void shutDown();
    // Before start, or before the output is set up again: the pixel size the output is composed
    // at, and so how large the clips loaded from then on deliver their frames. Without it, the
    // settings choose at start: the output's own size with "HD composition", else 384 x 288.
    void setCompositionSize(CompositionSize size);

    Performance& performance() { return m_performance; }
    EventProcessor& events() { return m_events; }
    ClipLoader& loader() { return m_loader; }
    AudioMailbox& mailbox() { return m_mailbox; }
    Playback& playback() { return m_playback; }
    FrameClock& frameClock() { return m_frameClock; }
    FrameRenderer& renderer() { return *m_renderer.renderer; }
    PerformanceRecorder& recorder() { return m_recorder; }
    Tempo& tempo() { return m_tempo; }
    SettingsFile& settings() { return m_settings; }
    AudioEngine& audio() { return m_audio; }
    TickFigureCounter& tickFigures() { return m_monitor.figures(); }

    // A key of a performance file, carried out by the instrument's own keyboard control as
    // a key press would be (the windows' dialogs and windows aside).
    void pressKey(const KeyAction& key);
    // The controllers, with or without windows; the windows attach their side when they open.
    Controllers& controllers() { return m_controllers; }
    KeyboardControl& keyboard() { return m_controllers.keyboard(); }
    SlotGrid& grid() { return m_controllers.grid(); }
    CrossfadeMixer& mixer() { return m_controllers.mixer(); }
    OutputMouse& outputMouse() { return m_controllers.outputMouse(); }
    FullScreenDisplay& fullScreen() { return m_controllers.fullScreen(); }

    // Loads a clip as the performer does (the loader's sync-mode option, new settings), and
    // records the load while recording is on.
    bool loadClip(int slot, const std::filesystem::path& file);
    // Loads a patch as the performer does (`throughMidi`: a MIDI note or program change chose
    // it), and records the load while recording is on.
    PatchLoader::Outcome loadPatch(const std::filesystem::path& file, bool throughMidi = false);
    // Saves the whole set-up as a patch, recorded likewise; the problem, or nothing.
    std::optional<std::string> savePatch(const std::filesystem::path& file);
    PatchLoader& patchLoader() { return m_patchLoader; }
    // The patch explorer, auto patch loading and console mode.
    InstrumentPatches& patches() { return m_patches; }
    // The MIDI input: its device, the interpreter, learning and the monitor.
    InstrumentMidi& midi() { return m_midi; }
    // OSC control over the network.
    InstrumentOsc& osc() { return m_osc; }
    // The live output streamed to other machines; null offline.
    const StreamSwitch* stream() const { return m_stream.get(); }
    // For the performance monitor: the OSC counts, the stream's and the virtual camera's,
    // those that are on ("OSC: 12 taken, 0 refused, 0 dropped; Stream: 1200 sent, 3 dropped;
    // Camera: 1200 written, 0 dropped").
    std::string networkCountsText() const;
    // Carries out the actions of performance files and OSC, each as the performer's own.
    ActionPlayer& actions() { return m_actions; }
    // Each turn of the main thread's loop: the patch timers, the MIDI clock and device, the
    // OSC subscribers, the stream following its control.
    void mainLoopTurn(std::chrono::steady_clock::time_point now);
    // Loads a patch, then serves the main thread's queue until its clips are ready to draw
    // (at most a few seconds), as the program does with a patch named at start.
    PatchLoader::Outcome loadStartPatch(
        const std::filesystem::path& file, MainThreadDispatcher& mainThread);

    // Loads the clips named at start one after another, each once the frame thread has
    // freed the loader from the last, serving the main thread's queue meanwhile; returns once
    // it has freed the loader from the last one too, with the number of clips loaded.
    int loadStartClips(const std::vector<ClipToLoad>& clips, MainThreadDispatcher& mainThread);
    // The same, then, when clips were named, a line on `out` that they are done with
    // ("Start clips loaded: 2 of 2"), for whoever waits to play them.
    void loadStartClips(
        const std::vector<ClipToLoad>& clips, MainThreadDispatcher& mainThread, std::ostream& out);

    // The effect plug-in host: the plug-in list and the slots' plug-ins.
    EffectHost& effects() { return m_effectHost; }

    // Called after the performer reset every slot ("Stop"), once the reset is recorded.
    void setStopAllHandler(std::function<void()> handler) { m_stopAll = std::move(handler); }

private:
    void applyCompositionSize(CompositionSize size);
    void chooseCompositionSize();

    Performance m_performance;
    SystemLibraryLoader m_libraryLoader;
    EffectHost m_effectHost;
    std::unique_ptr<SoundDevice> m_sound;
    AudioMailbox m_mailbox;
    Playback m_playback;
    EventProcessor m_events;
    Tempo m_tempo;
    AudioEngine m_audio;
    SourceInterface m_sources;
    ClipLoader m_loader;
    Transport m_transport;
    RendererChoice m_renderer;
    InstrumentMonitor m_monitor { m_tempo };
    FrameClock m_frameClock;
    SettingsFile m_settings;
    Lifecycle m_lifecycle;
    PerformanceRecorder m_recorder;
    Controllers m_controllers;
    PatchLoader m_patchLoader;
    PatchSaver m_patchSaver;
    InstrumentPatches m_patches;
    Locations m_locations;
    InstrumentMidi m_midi;
    ActionPlayer m_actions;
    bool m_offline = false;
    std::function<CompositionSize()> m_outputSize;
    bool m_compositionChosen = false;
    InstrumentOsc m_osc;
    bool m_shutDown = false;
    std::function<void()> m_stopAll;
    // The live output streamed while its control is on; none offline. Made after the
    // renderer it feeds, so it is gone before it.
    std::unique_ptr<StreamSwitch> m_stream;
    // The live output shown as a camera while its control is on; none offline.
    std::unique_ptr<CameraSwitch> m_camera;
};

} // namespace oskel
