#include "app/lifecycle.h"

#include "core/status_text.h"

namespace oskel {

Lifecycle::Lifecycle(Performance& performance, SettingsFile& settings, SettingsDefaults defaults,
    MemoryProbe freeMemory)
    : m_performance(performance)
    , m_settings(settings)
    , m_defaults(std::move(defaults))
    , m_freeMemory(std::move(freeMemory))
{
}

void Lifecycle::reportOnce(const std::optional<std::string>& problem)
{
    if (problem && !m_settingsProblemShown) {
        m_settingsProblemShown = true;
        m_performance.ui().showMessage(*problem);
    }
}

void Lifecycle::programEntry()
{
    SettingsFile::Loaded loaded = m_settings.load();
    reportOnce(loaded.problem);
    m_performance.globals().keyLetters = KeyLetterMap(readKeyboardLayout(loaded.profile));
}

void Lifecycle::InitStuff()
{
    m_performance.resetAllSlots(false);
    SettingsFile::Loaded loaded = m_settings.load();
    reportOnce(loaded.problem);
    readSettings(loaded.profile, m_defaults, m_performance.globals(), m_performance.options());

    GlobalState& globals = m_performance.globals();
    globals.selectedSlot = 1;
    globals.shuttingDown = false;
    m_performance.ui().setStatusText(readyStatusText(m_freeMemory()));
}

void Lifecycle::FormActivate()
{
    if (m_activated) {
        return;
    }
    m_activated = true;
    m_performance.globals().selectedSlot = kNoSlot;
    if (m_events != nullptr) {
        m_events->ProcessEvent(TSlotEvent { event_code::kStandbyOff, 0, 0, 0 });
    }
}

bool Lifecycle::FormCloseQuery()
{
    GlobalState& globals = m_performance.globals();
    globals.shuttingDown = true;
    m_performance.ui().setStatusText("Shutting down ... please wait");
    if (m_activated) {
        globals.standby = true;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (m_performance.slot(slot).Loaded) {
                m_performance.UnloadSlot(slot, false);
            }
        }
        if (m_playback != nullptr) {
            m_playback->stopAudioThread();
        }
    }
    if (!m_writesSettings) {
        return true;
    }
    const std::optional<std::string> problem = m_settings.update([&](IniProfile& ini) {
        writeSettings(ini, m_performance.globals(), m_performance.options());
    });
    if (problem && !m_settingsProblemShown) {
        m_performance.ui().showMessage("The settings could not be saved: " + *problem);
    }
    return true;
}

} // namespace oskel
