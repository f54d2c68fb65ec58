#pragma once

#include <filesystem>
#include <memory>

#include "core/audio_mailbox.h"
#include "core/event_processor.h"
#include "core/lifecycle.h"
#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "persistence/settings_file.h"
#include "platform/locations.h"
#include "platform/sound_device.h"
#include "playback/audio_engine.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"
#include "playback/playback.h"
#include "playback/tempo.h"
#include "playback/transport.h"
#include "sources/clip_loader.h"
#include "sources/source_interface.h"

namespace oskel {

// Where the playback engine reports: the beat counter now; the windows' figures later.
class InstrumentMonitor : public SilentPlaybackMonitor {
public:
    explicit InstrumentMonitor(Tempo& tempo) : m_tempo(tempo) {}
    void refreshGridAndBeatCounter() override { m_tempo.showBeatCounter(); }

private:
    Tempo& m_tempo;
};

// The whole instrument, put together: the performance state and every subsystem, wired to
// one another. Main thread.
class Instrument {
public:
    Instrument(MainThreadDispatcher& mainThread, UserInterfacePort& ui,
               std::unique_ptr<SoundDevice> sound, const Locations& locations);
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // Start-up up to the first activation, which starts playback.
    void start();
    // Shut-down: slots unloaded, playback ended, settings written.
    void shutDown();

    Performance& performance() { return m_performance; }
    EventProcessor& events() { return m_events; }
    ClipLoader& loader() { return m_loader; }

private:
    Performance m_performance;
    std::unique_ptr<SoundDevice> m_sound;
    AudioMailbox m_mailbox;
    Playback m_playback;
    EventProcessor m_events;
    Tempo m_tempo;
    AudioEngine m_audio;
    SourceInterface m_sources;
    ClipLoader m_loader;
    Transport m_transport;
    NullFrameRenderer m_renderer;
    InstrumentMonitor m_monitor { m_tempo };
    FrameClock m_frameClock;
    SettingsFile m_settings;
    Lifecycle m_lifecycle;
    bool m_shutDown = false;
};

} // namespace oskel
