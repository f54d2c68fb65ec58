#include "ui/instrument_windows.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>
#include <cstdlib>

#include "control/clip_explorer.h"
#include "core/window_position.h"
#include "persistence/presets_file.h"
#include "platform/millisecond_clock.h"
#include "playback/slot_previews.h"
#include "sources/live_source_name.h"
#include "ui/clip_inspector_widget.h"
#include "ui/compression_window.h"
#include "ui/dialogs.h"
#include "ui/help_window.h"
#include "ui/key_forwarder.h"
#include "ui/main_window.h"
#include "ui/master_controls.h"
#include "ui/menu_windows.h"
#include "ui/midi_window.h"
#include "ui/output_window.h"
#include "ui/performance_window.h"
#include "ui/preferences_window.h"
#include "ui/qt_user_interface.h"
#include "ui/record_render_windows.h"
#include "ui/secondary_output_places.h"
#include "ui/tempo_controls.h"
#include "ui/tv_output_monitor.h"
#include "ui/widget_map.h"

namespace oskel {

class InstrumentWindows::CountedDialogs : public Dialogs {
public:
    CountedDialogs(Dialogs& dialogs, int& depth)
        : m_dialogs(dialogs)
        , m_depth(depth)
    {
    }

    void showMessage(std::string_view text) override
    {
        const Open open(m_depth);
        m_dialogs.showMessage(text);
    }
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override
    {
        const Open open(m_depth);
        return m_dialogs.ask(question, buttons);
    }
    std::optional<std::filesystem::path> chooseClip(const std::filesystem::path& folder) override
    {
        const Open open(m_depth);
        return m_dialogs.chooseClip(folder);
    }
    std::vector<std::filesystem::path> chooseClips(const std::filesystem::path& folder) override
    {
        const Open open(m_depth);
        return m_dialogs.chooseClips(folder);
    }
    std::optional<std::string> chooseLiveSource(const std::vector<std::string>& entries) override
    {
        const Open open(m_depth);
        return m_dialogs.chooseLiveSource(entries);
    }
    std::optional<std::filesystem::path> choosePatchToOpen(
        const std::filesystem::path& start) override
    {
        const Open open(m_depth);
        return m_dialogs.choosePatchToOpen(start);
    }
    std::optional<std::filesystem::path> choosePatchToSave(
        const std::filesystem::path& start) override
    {
        const Open open(m_depth);
        return m_dialogs.choosePatchToSave(start);
    }
    std::optional<std::filesystem::path> locateLostFile(std::string_view message,
        const std::filesystem::path& folder, std::string_view name) override
    {
        const Open open(m_depth);
        return m_dialogs.locateLostFile(message, folder, name);
    }
    std::optional<std::string> askValue(
        std::string_view caption, std::string_view prompt, std::string_view text) override
    {
        const Open open(m_depth);
        return m_dialogs.askValue(caption, prompt, text);
    }
    std::optional<std::filesystem::path> chooseStencil(const std::filesystem::path& start) override
    {
        const Open open(m_depth);
        return m_dialogs.chooseStencil(start);
    }

    std::optional<std::string> askText(std::string_view caption, std::string_view prompt) override
    {
        const Open open(m_depth);
        return m_dialogs.askText(caption, prompt);
    }
    // A modal window of the windows' own, counted as the boxes are.
    void modal(const std::function<void()>& run)
    {
        const Open open(m_depth);
        run();
    }

private:
    class Open {
    public:
        explicit Open(int& depth)
            : m_depth(depth)
        {
            ++m_depth;
        }
        ~Open() { --m_depth; }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;

    private:
        int& m_depth;
    };

    Dialogs& m_dialogs;
    int& m_depth;
};

InstrumentWindows::InstrumentWindows(Dialogs& dialogs)
    : m_dialogs(std::make_unique<CountedDialogs>(dialogs, m_dialogDepth))
    , m_main(std::make_unique<MainWindow>())
    , m_output(std::make_unique<OutputWindow>())
    , m_secondary(std::make_unique<SecondaryOutputWindow>())
    , m_tvOut(std::make_unique<TvOutputMonitor>())
    , m_midi(std::make_unique<MidiWindow>())
    , m_preferences(std::make_unique<PreferencesWindow>())
    , m_help(std::make_unique<HelpWindow>())
    , m_performance(std::make_unique<PerformanceWindow>())
    , m_ui(std::make_unique<QtUserInterface>(*m_main, *m_dialogs))
{
    // Closing the output window hides it (Shift+F12 brings it back); only the main window
    // ends the program.
    m_output->setAttribute(Qt::WA_QuitOnClose, false);
    m_secondary->setAttribute(Qt::WA_QuitOnClose, false);
    m_tvOut->setAttribute(Qt::WA_QuitOnClose, false);
    m_midi->setAttribute(Qt::WA_QuitOnClose, false);
    m_preferences->setAttribute(Qt::WA_QuitOnClose, false);
    m_help->setAttribute(Qt::WA_QuitOnClose, false);
    m_performance->setAttribute(Qt::WA_QuitOnClose, false);
    m_main->setCloseQuery([this] { return closeQuery(); });
    QObject::connect(
        m_main.get(), &MainWindow::firstActivation, m_main.get(), [this] { firstActivation(); });
    QObject::connect(&m_refresh, &QTimer::timeout, m_main.get(), [this] { refresh(); });
}

InstrumentWindows::~InstrumentWindows()
{
    m_refresh.stop();
    detachMidi();
    detachInspector();
    if (m_keys != nullptr) {
        qApp->removeEventFilter(m_keys.get());
    }
    if (m_links != nullptr && !m_closed) {
        unbindEffects();
        if (m_links->patches.attachView) {
            m_links->patches.attachView(nullptr);
        }
        m_links->controls.detachWindows();
    }
}

UserInterfacePort& InstrumentWindows::ui()
{
    return *m_ui;
}

Dialogs& InstrumentWindows::dialogs()
{
    return *m_dialogs;
}

void InstrumentWindows::runModal(const std::function<void()>& run)
{
    m_dialogs->modal(run);
}

KeyboardControl& InstrumentWindows::keyboard()
{
    return m_links->controls.keyboard();
}

SlotGrid& InstrumentWindows::grid()
{
    return m_links->controls.grid();
}

CrossfadeMixer& InstrumentWindows::mixer()
{
    return m_links->controls.mixer();
}

void InstrumentWindows::showCompressionSettings()
{
    afterHandler([this] {
        m_dialogs->modal([this] {
            CompressionWindow window(dialogs(), m_links->configFolder / kPresetsFileName,
                m_links->performance.options().render.RenderOutput, m_main.get());
            window.exec();
        });
    });
}

FullScreenDisplay& InstrumentWindows::fullScreen()
{
    return m_links->controls.fullScreen();
}

void InstrumentWindows::bind(WindowLinks links)
{
    if (!links.clock) {
        links.clock = millisecondTick;
    }
    if (!links.restartSyncSlots) {
        links.restartSyncSlots = [](bool) {};
    }
    m_links = std::make_unique<WindowLinks>(std::move(links));
    m_links->controls.attachWindows(static_cast<KeyboardTargets&>(*this),
        static_cast<SlotGridTargets&>(*this), static_cast<FullScreenDisplay::Output&>(*this));

    bindMasterControls();
    bindTempoControls();
    QObject::connect(m_main->videoCompression, &QAction::triggered, m_main.get(),
        [this] { showCompressionSettings(); });
    bindCrossfadeControls();
    bindGrid();
    bindOutput(m_main->display());
    bindOutput(m_output->view());
    bindSecondaryOutput();
    bindPatches();
    bindMidi();
    bindEffects();
    bindInspector();
    bindLayers();
    bindSmallWindows();
    bindRecordAndRender();
    bindMenu();
    bindClipExplorer();

    m_keys = std::make_unique<KeyForwarder>(
        m_links->controls.keyboard(),
        [this](const QWindow& window) {
            return &window == m_main->windowHandle() || &window == m_output->windowHandle()
                || &window == m_help->windowHandle() || &window == m_secondary->windowHandle()
                || &window == m_tvOut->windowHandle();
        },
        [this] {
            m_links->controls.keyboard().setTempoBoxFocused(m_main->tempo().tempoField->hasFocus());
        },
        [this](const std::exception& failure) { reportFailure(failure.what()); });
    qApp->installEventFilter(m_keys.get());

    showState();
    m_refresh.start(kRefreshMs);
}

void InstrumentWindows::show(std::function<void()> activated)
{
    m_activated = std::move(activated);
    m_output->show();
    if (m_links != nullptr) {
        showSecondaryOutput();
    }
    m_main->show();
    m_main->raise();
    m_main->activateWindow();
}

void InstrumentWindows::firstActivation()
{
    if (m_links == nullptr) {
        return;
    }
    const QScreen* screen = m_main->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const ScreenPoint place = mainWindowPosition(m_links->performance.options().windows.main,
        { area.left(), area.top(), area.width(), area.height() }, m_main->frameGeometry().width(),
        m_main->frameGeometry().height());
    m_main->move(place.x, place.y);
    if (m_links->performance.options().ui.startFullscreen) {
        guarded([this] { m_links->controls.fullScreen().enter(); });
        bringApplicationToFront();
    }
    if (m_activated) {
        guarded(m_activated);
    }
    // Where the controls are, for a test that drives the program on a virtual screen.
    // A page of the inspector is laid out when it is shown: the map follows.
    if (const char* map = std::getenv("OSKEL_WIDGET_MAP"); map != nullptr && *map != '\0') {
        const auto write = [this, file = std::string(map)] {
            QTimer::singleShot(300, m_main.get(), [this, file] { writeWidgetMap(*m_main, file); });
        };
        write();
        QObject::connect(m_main->inspector().tabs, &QTabWidget::currentChanged, m_main.get(),
            [write](int) { write(); });
    }
}

bool InstrumentWindows::closeQuery()
{
    if (m_links != nullptr && !m_closed && m_dialogDepth > 0) {
        // A box of ours is open below this close: close once it has returned.
        QTimer::singleShot(200, m_main.get(), [this] { m_main->close(); });
        return false;
    }
    shutDown();
    m_output->close();
    m_secondary->allowClose();
    m_secondary->close();
    m_tvOut->close();
    return true;
}

void InstrumentWindows::shutDown()
{
    if (m_closed) {
        return;
    }
    m_closed = true;
    m_refresh.stop();
    m_midi->hide();
    m_preferences->hide();
    m_help->hide();
    m_performance->hide();
    m_performance->setSources(nullptr, {});
    m_recordRender.reset();
    if (m_menuWindows != nullptr) {
        m_menuWindows->multipleClipsWindow.hide();
        m_menuWindows->pluginMonitor.hide();
        m_menuWindows->pluginMonitor.setSource({});
    }
    detachMidi();
    detachInspector();
    if (m_keys != nullptr) {
        qApp->removeEventFilter(m_keys.get());
    }
    if (m_links != nullptr) {
        m_links->performance.options().windows.main
            = WindowPlacement { m_main->x(), m_main->y(), true };
        if (m_links->patches.attachView) {
            m_links->patches.attachView(nullptr);
        }
        guarded([this] { m_links->shutDown(); });
        unbindEffects();
        m_links->controls.detachWindows();
    }
}

void InstrumentWindows::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& failure) {
        reportFailure(failure.what());
    }
}

void InstrumentWindows::reportFailure(const std::string& message)
{
    // Shown once the handler that failed has returned, as the main thread's default handler
    // would, so that the message box's own event loop never runs inside it.
    QTimer::singleShot(0, m_main.get(), [this, message] { m_ui->showMessage(message); });
}

void InstrumentWindows::requestClose()
{
    QMetaObject::invokeMethod(m_main.get(), &QWidget::close, Qt::QueuedConnection);
}

void InstrumentWindows::afterHandler(std::function<void()> dialog)
{
    QTimer::singleShot(0, m_main.get(), [this, dialog = std::move(dialog)] {
        if (m_closed || m_dialogDepth > 0 || m_links->performance.globals().loadingBusy) {
            return;
        }
        dialog();
    });
}

void InstrumentWindows::openClipDialog(int slot)
{
    afterHandler([this, slot] {
        m_links->performance.ui().setStatusText("Loading Clip ...");
        const std::optional<std::filesystem::path> chosen
            = m_dialogs->chooseClip(m_links->loader.dialogStartFolder());
        if (!m_closed) {
            guarded([&] { m_links->loader.LoadClipDialog(slot, chosen); });
        }
    });
}

void InstrumentWindows::openLiveSourceDialog(int slot)
{
    afterHandler([this, slot] {
        const std::optional<std::string> chosen
            = m_dialogs->chooseLiveSource(liveSourceEntries(listCameras()));
        if (!m_closed && chosen) {
            guarded([&] { m_links->loader.LoadClipDialog(slot, std::filesystem::path(*chosen)); });
        }
    });
}

void InstrumentWindows::showMainWindow()
{
    m_main->showNormal();
    m_main->raise();
    m_main->activateWindow();
}

void InstrumentWindows::moveOutputHome()
{
    if (!m_links->controls.fullScreen().isOn()) {
        m_output->move(0, 0);
    }
    m_output->show();
    m_output->raise();
}

void InstrumentWindows::showGridAndPatchExplorer()
{
    showMainWindow();
}

void InstrumentWindows::moveWindowsHome()
{
    m_main->move(0, 0);
    moveOutputHome();
    showMainWindow();
}

void InstrumentWindows::bringApplicationToFront()
{
    m_main->raise();
    m_main->activateWindow();
}

void InstrumentWindows::showFullScreen(bool on)
{
    m_output->setFullScreen(on);
    m_main->master().maximize->setText(
        on ? FullScreenDisplay::kLeaveCaption : FullScreenDisplay::kEnterCaption);
}

} // namespace oskel
