#include "ui/patches_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "persistence/patch_folder_list.h"

namespace oskel {

namespace {

QPushButton* button(const char* caption, const char* name, QWidget* parent)
{
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(name);
    made->setFocusPolicy(Qt::NoFocus);
    return made;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* label(const char* text, const char* name, QWidget* parent)
{
    auto* made = new QLabel(text, parent);
    made->setObjectName(name);
    return made;
}

} // namespace

PatchesTab::PatchesTab(QWidget* parent)
    : QWidget(parent)
    , patchLabel(label("No Patch Loaded", "lPatch", this))
    , folder(label("", "dtcPatches", this))
    , chooseFolder(button("Folder ...", "bPatchFolder", this))
    , patches(new QListWidget(this))
    , load(button("Load", "bLoadPatch", this))
    , save(button("Save", "bSavePatch", this))
    , autoInterval(new QSpinBox(this))
    , autoStart(button("Start", "bStartAutoPatch", this))
    , autoStop(button("Stop", "bStopAutoPatch", this))
    , autoStatus(label("Auto Patch Loading is OFF", "lAutoPatchStatus", this))
    , consoleStart(button("Start", "bConsoleStart", this))
    , consoleStop(button("Stop", "bConsoleStop", this))
    , consoleAtStartup(new QCheckBox("Startup in Console Mode", this))
    , consoleActive(label("OFF", "lConsoleActive", this))
    , consoleState(label("", "lConsoleState", this))
{
    setObjectName("PatchExplorer");
    patches->setObjectName("lvPatches");
    // The performance keys stay with the keyboard control.
    patches->setFocusPolicy(Qt::NoFocus);
    autoInterval->setObjectName("ebAutoPatch");
    autoInterval->setRange(1, 30000);
    autoInterval->setValue(10);
    autoInterval->setSuffix(" min");
    consoleAtStartup->setObjectName("cbConsoleStartup");
    consoleAtStartup->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout;
    top->addWidget(patchLabel, 1);
    top->addWidget(load);
    top->addWidget(save);
    layout->addLayout(top);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder, 1);
    folderRow->addWidget(chooseFolder);
    layout->addLayout(folderRow);
    layout->addWidget(patches, 1);

    auto* automatic = new QGroupBox("Auto Patch Loading", this);
    auto* autoRow = new QHBoxLayout(automatic);
    autoRow->addWidget(autoInterval);
    autoRow->addWidget(autoStart);
    autoRow->addWidget(autoStop);
    autoRow->addWidget(autoStatus, 1);
    layout->addWidget(automatic);

    auto* console = new QGroupBox("Console Mode", this);
    auto* consoleGrid = new QGridLayout(console);
    consoleGrid->addWidget(consoleStart, 0, 0);
    consoleGrid->addWidget(consoleStop, 0, 1);
    consoleGrid->addWidget(consoleActive, 0, 2);
    consoleGrid->addWidget(consoleState, 0, 3);
    consoleGrid->addWidget(consoleAtStartup, 1, 0, 1, 4);
    layout->addWidget(console);
}

} // namespace oskel

namespace oskel {

void PatchesTab::showPatchList(const PatchFolderList& list)
{
    const QSignalBlocker quiet(patches);
    folder->setText(QString::fromStdString(list.folder().string()));
    patches->clear();
    for (const PatchListEntry& entry : list.entries()) {
        const bool isFolder = entry.kind != PatchEntryKind::Patch;
        patches->addItem(fromUtf8(entry.caption) + (isFolder ? "/" : ""));
    }
}

void PatchesTab::selectPatchEntry(std::size_t index)
{
    const QSignalBlocker quiet(patches);
    patches->setCurrentRow(static_cast<int>(index));
}

void PatchesTab::showAutoPatchInterval(int minutes)
{
    const QSignalBlocker quiet(autoInterval);
    autoInterval->setValue(minutes);
}

void PatchesTab::showAutoPatchStatus(std::string_view text)
{
    autoStatus->setText(fromUtf8(text));
}

void PatchesTab::showConsoleActive(std::string_view text, SlotColour colour)
{
    consoleActive->setText(fromUtf8(text));
    consoleActive->setStyleSheet(colour == SlotColour::Red ? "color: red;" : "color: black;");
}

void PatchesTab::showConsoleState(std::string_view text)
{
    consoleState->setText(fromUtf8(text));
}

void PatchesTab::showPatchExplorerTabs()
{
    if (m_bringToFront) {
        m_bringToFront();
    }
}

} // namespace oskel
