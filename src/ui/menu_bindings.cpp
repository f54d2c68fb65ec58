// The windows' side of the menu entries that open clips and small windows: "Open Media",
// "Load Multiple Clips F7" (also the key F7), "FreeFrame Plugin Monitor" and "About".
#include <QAction>
#include <utility>

#include "control/midi_input.h"
#include "ui/dialogs.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/menu_windows.h"

namespace oskel {

namespace {

std::vector<std::pair<QString, bool>> shownEntries(const std::vector<ClipLoader::Entry>& entries)
{
    std::vector<std::pair<QString, bool>> shown;
    for (const ClipLoader::Entry& entry : entries) {
        shown.emplace_back(QString::fromStdString(entry.file.string()), entry.syncMode);
    }
    return shown;
}

std::string aboutText()
{
    return std::string("Oskel 3\nVersion ") + OSKEL_VERSION
        + "\n\nA live video-mixing instrument: sixteen clips played from the keyboard, MIDI or "
          "the screen, mixed in layers into one picture.";
}

} // namespace

void InstrumentWindows::bindMenu()
{
    m_menuWindows = std::make_unique<MenuWindows>();
    MenuWindows& windows = *m_menuWindows;
    windows.multipleClipsWindow.setAttribute(Qt::WA_QuitOnClose, false);
    windows.pluginMonitor.setAttribute(Qt::WA_QuitOnClose, false);
    windows.multipleClips = std::make_unique<MultipleClips>(
        m_links->performance, m_links->loader, m_links->restartSyncSlots);
    bindMultipleClips(windows);
    if (m_links->effects != nullptr) {
        EffectHost& host = *m_links->effects;
        windows.pluginMonitor.setSource([&host] { return pluginMonitorRows(host); });
    }

    QObject::connect(m_main->openMedia, &QAction::triggered, m_main.get(),
        [this] { openClipDialog(slotForNewClip(m_links->performance)); });
    QObject::connect(m_main->openLiveSource, &QAction::triggered, m_main.get(),
        [this] { openLiveSourceDialog(slotForNewClip(m_links->performance)); });
    QObject::connect(m_main->loadMultipleClips, &QAction::triggered, m_main.get(),
        [this] { showLoadMultipleClips(); });
    QObject::connect(m_main->pluginMonitor, &QAction::triggered, m_main.get(), [this] {
        m_menuWindows->pluginMonitor.show();
        m_menuWindows->pluginMonitor.raise();
    });
    QObject::connect(m_main->about, &QAction::triggered, m_main.get(),
        [this] { afterHandler([this] { dialogs().showMessage(aboutText()); }); });
}

void InstrumentWindows::bindMultipleClips(MenuWindows& windows)
{
    LoadMultipleClipsWindow& window = windows.multipleClipsWindow;
    MultipleClips& logic = *windows.multipleClips;
    QObject::connect(&window, &LoadMultipleClipsWindow::chooseClicked, &window,
        [this, &window, &logic](bool replace) {
            logic.choosing();
            afterHandler([this, &window, &logic, replace] {
                logic.chosen(dialogs().chooseClips(m_links->loader.dialogStartFolder()), replace);
                window.showEntries(shownEntries(logic.entries()));
            });
        });
    QObject::connect(&window, &LoadMultipleClipsWindow::tickChanged, &window,
        [&logic](std::size_t entry, bool ticked) { logic.setTicked(entry, ticked); });
    QObject::connect(
        &window, &LoadMultipleClipsWindow::doneClicked, &window, [this, &window, &logic] {
            guarded([&logic] { logic.done(); });
            window.showEntries({});
            resumeMidiAfterMultipleClips();
        });
    QObject::connect(
        &window, &LoadMultipleClipsWindow::cancelled, &window, [this, &window, &logic] {
            guarded([&logic] { logic.cancel(); });
            window.showEntries({});
            resumeMidiAfterMultipleClips();
        });
}

void InstrumentWindows::showLoadMultipleClips()
{
    if (m_menuWindows == nullptr || m_closed) {
        return;
    }
    LoadMultipleClipsWindow& window = m_menuWindows->multipleClipsWindow;
    MidiInput* midi = m_links->midi.input;
    if (midi != nullptr && !window.isVisible() && midi->inputEnabled()) {
        midi->setInputEnabled(false);
        m_menuWindows->midiPaused = true;
    }
    window.show();
    window.raise();
    window.activateWindow();
}

void InstrumentWindows::resumeMidiAfterMultipleClips()
{
    if (std::exchange(m_menuWindows->midiPaused, false) && m_links->midi.input != nullptr) {
        m_links->midi.input->setInputEnabled(true);
    }
}

} // namespace oskel
