// The windows' side of patches: the open and save dialogs (F2, F3, the menu, the explorer's
// buttons) and the loader's questions for lost files.
#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "core/status_text.h"
#include "platform/memory_status.h"
#include "ui/dialogs.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/patches_tab.h"

namespace oskel {

namespace {

// Where a patch dialog starts: the current patch when it exists, else its folder.
std::filesystem::path patchDialogStart(const std::string& currentPatch)
{
    std::error_code error;
    const std::filesystem::path current(currentPatch);
    if (std::filesystem::is_regular_file(current, error)) {
        return current;
    }
    return std::filesystem::is_directory(current, error) ? current : current.parent_path();
}

} // namespace

void InstrumentWindows::bindPatches()
{
    PatchActions& patches = m_links->patches;
    if (patches.setLostFileDialog) {
        patches.setLostFileDialog(
            [this](std::string_view message, const std::filesystem::path& folder,
                std::string_view name) { return dialogs().locateLostFile(message, folder, name); });
    }
    const auto loadClicked = [this] { loadPatch(); };
    const auto saveClicked = [this] { savePatch(); };
    QObject::connect(m_main->openPatch, &QAction::triggered, m_main.get(), loadClicked);
    QObject::connect(m_main->savePatch, &QAction::triggered, m_main.get(), saveClicked);
    QObject::connect(m_main->patches().load, &QPushButton::clicked, m_main.get(), loadClicked);
    QObject::connect(m_main->patches().save, &QPushButton::clicked, m_main.get(), saveClicked);
    if (patches.logic != nullptr) {
        bindPatchExplorer(*patches.logic);
    }
    if (patches.attachView) {
        patches.attachView(&m_main->patches());
    }
}

void InstrumentWindows::bindPatchExplorer(PatchLoaderLogic& logic)
{
    PatchesTab& tab = m_main->patches();
    QWidget* context = m_main.get();
    QObject::connect(tab.patches, &QListWidget::itemDoubleClicked, context,
        [this, &logic, &tab](QListWidgetItem* item) {
            const auto row = static_cast<std::size_t>(tab.patches->row(item));
            guarded([&] { logic.explorer().openEntry(row); });
        });
    QObject::connect(tab.chooseFolder, &QPushButton::clicked, context, [this, &logic] {
        afterHandler([this, &logic] {
            const QString chosen = QFileDialog::getExistingDirectory(m_main.get(), "Patch Folder",
                QString::fromStdString(logic.explorer().folder().string()));
            if (!chosen.isEmpty() && !m_closed) {
                guarded([&] { logic.explorer().changeFolder(chosen.toStdString()); });
            }
        });
    });
    QObject::connect(tab.autoStart, &QPushButton::clicked, context,
        [this, &logic] { guarded([&] { logic.autoLoader().start(); }); });
    QObject::connect(tab.autoStop, &QPushButton::clicked, context,
        [this, &logic] { guarded([&] { logic.autoLoader().stop(); }); });
    QObject::connect(tab.autoInterval, &QSpinBox::valueChanged, context,
        [&logic](int minutes) { logic.autoLoader().changeIntervalText(std::to_string(minutes)); });
    QObject::connect(tab.consoleStart, &QPushButton::clicked, context,
        [this, &logic] { guarded([&] { logic.console().start(); }); });
    QObject::connect(tab.consoleStop, &QPushButton::clicked, context,
        [this, &logic] { guarded([&] { logic.console().stop(); }); });
    tab.consoleAtStartup->setChecked(m_links->performance.options().console.Startup);
    QObject::connect(tab.consoleAtStartup, &QCheckBox::toggled, context,
        [&logic](bool on) { logic.console().setStartInConsoleMode(on); });
}

void InstrumentWindows::loadPatch()
{
    afterHandler([this] {
        const auto chosen = dialogs().choosePatchToOpen(
            patchDialogStart(m_links->performance.globals().currentPatchPath));
        if (m_closed) {
            return;
        }
        if (!chosen || !m_links->patches.load) {
            ui().setStatusText(readyStatusText(availableMemoryBytes()));
            return;
        }
        guarded([&] { m_links->patches.load(*chosen); });
    });
}

void InstrumentWindows::savePatch()
{
    afterHandler([this] {
        const auto chosen = dialogs().choosePatchToSave(
            patchDialogStart(m_links->performance.globals().currentPatchPath));
        if (m_closed || !chosen || !m_links->patches.save) {
            return;
        }
        guarded([&] {
            if (const auto problem = m_links->patches.save(*chosen)) {
                ui().showMessage(*problem);
            }
        });
    });
}

} // namespace oskel
