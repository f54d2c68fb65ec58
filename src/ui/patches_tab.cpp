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
#include "ui/folder_list_view.h"

namespace oskel {

namespace {

QPushButton* button(const char* caption, const char* name, QWidget* parent)
{
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(name);
    made->setFocusPolicy(Qt::NoFocus);
    made->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    made->setMinimumWidth(44);
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

PatchesTab::PatchesTab()
    : listPage(new QWidget)
    , timingPage(new QWidget)
    , patchLabel(label("No Patch Loaded", "lPatch", listPage))
    , folder(label("", "dtcPatches", listPage))
    , chooseFolder(button("Folder ...", "bPatchFolder", listPage))
    , patches(new QListWidget(listPage))
    , load(button("Load", "bLoadPatch", listPage))
    , save(button("Save", "bSavePatch", listPage))
    , autoInterval(new QSpinBox(timingPage))
    , autoStart(button("Start", "bStartAutoPatch", timingPage))
    , autoStop(button("Stop", "bStopAutoPatch", timingPage))
    , autoStatus(label("Auto Patch Loading is OFF", "lAutoPatchStatus", timingPage))
    , consoleStart(button("Start", "bConsoleStart", timingPage))
    , consoleStop(button("Stop", "bConsoleStop", timingPage))
    , consoleAtStartup(new QCheckBox("Startup in Console Mode", timingPage))
    , consoleActive(label("OFF", "lConsoleActive", timingPage))
    , consoleState(label("", "lConsoleState", timingPage))
{
    listPage->setObjectName("PatchExplorer");
    timingPage->setObjectName("PatchTiming");
    patches->setObjectName("lvPatches");
    // The performance keys stay with the keyboard control.
    patches->setFocusPolicy(Qt::NoFocus);
    autoInterval->setObjectName("ebAutoPatch");
    autoInterval->setRange(1, 30000);
    autoInterval->setValue(10);
    autoInterval->setSuffix(" min");
    autoInterval->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    consoleAtStartup->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    consoleAtStartup->setObjectName("cbConsoleStartup");
    consoleAtStartup->setFocusPolicy(Qt::NoFocus);

    patches->setMinimumHeight(40);
    // A long folder or patch name must not widen the window.
    for (QLabel* text : { patchLabel, folder, autoStatus, consoleState }) {
        text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        text->setMinimumWidth(40);
    }
    // One control a row: the tab is narrow beside the display and the master controls.
    auto* layout = new QVBoxLayout(listPage);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(patchLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(save);
    layout->addLayout(buttons);
    layout->addWidget(folder);
    layout->addWidget(chooseFolder);
    layout->addWidget(patches, 1);

    auto* timing = new QVBoxLayout(timingPage);
    timing->setContentsMargins(2, 2, 2, 2);
    auto* automatic = new QGroupBox("Auto Patch Loading", timingPage);
    auto* autoGrid = new QGridLayout(automatic);
    autoGrid->addWidget(autoInterval, 0, 0, 1, 2);
    autoGrid->addWidget(autoStart, 1, 0);
    autoGrid->addWidget(autoStop, 1, 1);
    autoGrid->addWidget(autoStatus, 2, 0, 1, 2);
    timing->addWidget(automatic);

    auto* console = new QGroupBox("Console Mode", timingPage);
    auto* consoleGrid = new QGridLayout(console);
    consoleGrid->addWidget(consoleStart, 0, 0);
    consoleGrid->addWidget(consoleStop, 0, 1);
    consoleGrid->addWidget(consoleActive, 1, 0);
    consoleGrid->addWidget(consoleState, 1, 1);
    consoleGrid->addWidget(consoleAtStartup, 2, 0, 1, 2);
    timing->addWidget(console);
    timing->addStretch();
}

} // namespace oskel

namespace oskel {

void PatchesTab::showPatchList(const PatchFolderList& list)
{
    showFolderList(list, *folder, *patches);
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
