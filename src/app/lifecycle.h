#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/performance.h"
#include "persistence/settings_file.h"

namespace oskel {

// Brings the instrument up and takes it down in a fixed order: the settings file is read at
// start-up, the slots are reset, and at shut-down the slots are unloaded and the settings
// written back. Runs on the main thread.
class Lifecycle {
public:
    using MemoryProbe = std::function<std::optional<std::int64_t>()>;

    Lifecycle(Performance& performance, SettingsFile& settings, SettingsDefaults defaults,
        MemoryProbe freeMemory);

    // The event processor (first activation starts playback through it) and the playback
    // threads (ended at shut-down). Without them, only the settings come and go.
    void setEngine(EventSink* events, PlaybackControl* playback)
    {
        m_events = events;
        m_playback = playback;
    }

    // Whether shut-down writes the settings back (by default it does).
    void setWritesSettings(bool writes) { m_writesSettings = writes; }

    // Program entry: the key map comes from the settings file before anything else.
    void programEntry();
    // Resets every slot and reads the settings.
    void InitStuff();
    // First activation: the performance can start. Later calls do nothing.
    void FormActivate();
    // Shut-down: events are ignored from now on, the slots are unloaded and the settings
    // written. Always allows the close.
    bool FormCloseQuery();

    bool activated() const { return m_activated; }
    bool shuttingDown() const { return m_performance.globals().shuttingDown; }

private:
    void reportOnce(const std::optional<std::string>& problem);

    Performance& m_performance;
    SettingsFile& m_settings;
    SettingsDefaults m_defaults;
    MemoryProbe m_freeMemory;
    EventSink* m_events = nullptr;
    PlaybackControl* m_playback = nullptr;
    bool m_activated = false;
    bool m_settingsProblemShown = false;
    bool m_writesSettings = true;
};

} // namespace oskel
