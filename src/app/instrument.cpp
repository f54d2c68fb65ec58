#include "app/instrument.h"

#include <chrono>

#include "platform/memory_status.h"
#include "platform/millisecond_clock.h"
#include "sources/reader_factory.h"

namespace oskel {

Instrument::Instrument(MainThreadDispatcher& mainThread, UserInterfacePort& ui,
                       std::unique_ptr<SoundDevice> sound, const Locations& locations)
    : m_performance(ui, mainThread)
    , m_sound(std::move(sound))
    , m_playback(m_performance, m_mailbox)
    , m_events(m_performance, m_mailbox, m_playback)
    , m_tempo(m_performance, m_events)
    , m_audio(*m_sound, ui, availableMemoryBytes)
    , m_sources(makeMediaReader)
    , m_loader(m_performance, m_sources, m_audio, m_playback)
    , m_transport(m_performance, m_events,
                  [this](bool hide) { m_events.RestartSyncSlots(hide); }, millisecondTick,
                  millisecondTick())
    , m_frameClock(m_performance, m_sources, m_renderer, m_transport, m_monitor)
    , m_settings(locations.configFolder)
    , m_lifecycle(m_performance, m_settings, { locations.clipFolder, locations.tempFolder },
                  availableMemoryBytes)
{
    m_events.setSoundDevice(m_sound.get());
    m_events.setSelectionChangedHandler([this](int slot) { m_tempo.selectionChanged(slot); });
    m_loader.setTempoHandler([this](int slot) { m_tempo.clipLoaded(slot); });
    m_loader.setSyncRestarter([this](bool hide) { m_events.RestartSyncSlots(hide); });
    m_loader.setMonitor(&m_monitor);
    m_playback.setCompanion(&m_frameClock);
    m_performance.setPlaybackThreads(&m_playback);
    m_performance.setEventSink(&m_events);
    m_lifecycle.setEngine(&m_events, &m_playback);
}

Instrument::~Instrument()
{
    shutDown();
}

void Instrument::start()
{
    m_lifecycle.programEntry();
    m_lifecycle.InitStuff();
    m_lifecycle.FormActivate();
}

void Instrument::shutDown()
{
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_lifecycle.FormCloseQuery();
    // Whatever way the close went, no playback thread outlives the objects it uses.
    m_playback.stopAudioThread();
}

} // namespace oskel
