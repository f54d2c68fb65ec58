// The windows' side of the preferences window, the help window and the performance monitor: opened
// from the keys and the menu, bound to their logic; and "Auto Standby", which follows the
// application's focus.
#include <QAction>
#include <QGuiApplication>
#include <QTimer>
#include <memory>

#include "control/auto_standby.h"
#include "control/preferences_form.h"
#include "core/control_table.h"
#include "platform/loopback_camera.h"
#include "recording/output_options_form.h"
#include "ui/dialogs.h"
#include "ui/help_window.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/outputs_group.h"
#include "ui/performance_window.h"
#include "ui/preferences_window.h"

namespace oskel {

void InstrumentWindows::bindSmallWindows()
{
    QObject::connect(
        m_main->preferences, &QAction::triggered, m_main.get(), [this] { showPreferences(); });
    QObject::connect(m_main->help, &QAction::triggered, m_main.get(), [this] { showHelp(); });
    m_performance->setSources(m_links->tickFigures, [this] {
        int playing = 0;
        for (const TPlayAvistruct& record : m_links->performance.slots()) {
            playing += record.Playing ? 1 : 0;
        }
        return playing;
    });
    m_performance->setOutputCounts(m_links->outputCounts);
    QObject::connect(m_main->performanceMonitor, &QAction::triggered, m_main.get(), [this] {
        m_performance->show();
        m_performance->raise();
    });
    PreferencesWindow& window = *m_preferences;
    QObject::connect(&window, &PreferencesWindow::toggleClicked, &window,
        [this](preferences_form::Toggle toggle, bool on) {
            guarded([&] {
                preferences_form::toggleClicked(m_links->events, m_links->performance, toggle, on);
            });
            m_preferences->showContents(preferences_form::contents(m_links->performance));
        });
    QObject::connect(&window, &PreferencesWindow::keyMapChosen, &window,
        [this](preferences_form::KeyMap keyMap) {
            preferences_form::keyMapChosen(m_links->performance, keyMap);
            guarded([this] { m_links->controls.grid().showCaptions(); });
        });
    QObject::connect(&window, &PreferencesWindow::done, &window, [this] { preferencesDone(); });
    QObject::connect(window.outputs, &OutputsGroup::streamClicked, &window, [this](bool on) {
        guarded(
            [&] { output_options_form::streamClicked(m_links->events, m_links->performance, on); });
    });
    QObject::connect(window.outputs, &OutputsGroup::cameraClicked, &window, [this](bool on) {
        guarded(
            [&] { output_options_form::cameraClicked(m_links->events, m_links->performance, on); });
    });
    // "Auto Standby": the application's focus going and coming back.
    auto autoStandby = std::make_shared<AutoStandby>(m_links->events, m_links->performance);
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, m_main.get(),
        [this, autoStandby](Qt::ApplicationState state) {
            if (!m_closed) {
                guarded(
                    [&] { autoStandby->applicationActiveChanged(state == Qt::ApplicationActive); });
            }
        });
}

void InstrumentWindows::showPreferences()
{
    // The performer's choices here stop the show: every slot stops first.
    guarded([this] {
        setControl(m_links->events, m_links->performance, masterControl("StopEverySlot"), 0);
    });
    m_preferences->showContents(preferences_form::contents(m_links->performance));
    std::vector<std::string> cameras;
    for (const VideoDeviceName& device : listVideoDevices()) {
        cameras.push_back(device.name);
    }
    m_preferences->outputs->showContents(
        output_options_form::contents(m_links->performance, cameras));
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
}

void InstrumentWindows::preferencesDone()
{
    m_preferences->hide();
    Performance& performance = m_links->performance;
    const preferences_form::Entered entered = m_preferences->entered();
    const bool displayChanged = preferences_form::done(performance, entered);
    if (const auto problem
        = output_options_form::done(performance, m_preferences->outputs->entered())) {
        afterHandler([this, message = *problem] { dialogs().showMessage(message); });
    }
    if (preferences_form::oscDone(performance, entered.osc) && m_links->oscOptionsChanged) {
        guarded([this] { m_links->oscOptionsChanged(); });
    }
    if (m_links->updateSettings) {
        const DisplayOptions display = performance.options().display;
        if (const auto problem = m_links->updateSettings(
                [display](IniProfile& ini) { preferences_form::writeDisplayKeys(ini, display); })) {
            reportFailure(*problem);
        }
    }
    if (displayChanged) {
        afterHandler([this] { dialogs().showMessage(preferences_form::kRestartMessage); });
    }
}

void InstrumentWindows::showHelp()
{
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace oskel
