// The windows' side of patches: the open and save dialogs (F2, F3, the menu, the explorer's
// buttons) and the loader's questions for lost files.
#include <QAction>
#include <QPushButton>

#include "core/status_text.h"
#include "platform/memory_status.h"
#include "ui/dialogs.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/patch_explorer_view.h"

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
