#pragma once

#include <QWidget>
#include <functional>

#include "persistence/patch_explorer_view.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace oskel {

// The main window's two patch pages: "Patches" (the patch loaded, the patch folder and its
// list) and "Auto / Console" (auto patch loading and console mode). They show what the
// explorer's logic tells them; what their controls do is bound by their owner. The pages
// belong to the tab widget they are added to.
class PatchesTab : public PatchExplorerView {
public:
    PatchesTab();

    QWidget* listPage;
    QWidget* timingPage;

    // Called to bring the tab to the front.
    void setBringToFront(std::function<void()> bring) { m_bringToFront = std::move(bring); }

    void showPatchList(const PatchFolderList& list) override;
    void selectPatchEntry(std::size_t index) override;
    void showAutoPatchInterval(int minutes) override;
    void showAutoPatchStatus(std::string_view text) override;
    void showConsoleActive(std::string_view text, SlotColour colour) override;
    void showConsoleState(std::string_view text) override;
    void showPatchExplorerTabs() override;

    QLabel* patchLabel; // "Patch - <file>" or "No Patch Loaded"
    QLabel* folder; // the patch folder
    QPushButton* chooseFolder;
    QListWidget* patches; // " Up one level", the sub-folders, the patch files
    QPushButton* load;
    QPushButton* save;
    QSpinBox* autoInterval; // minutes
    QPushButton* autoStart;
    QPushButton* autoStop;
    QLabel* autoStatus; // "Auto Patch Loading is ON" / "... OFF"
    QPushButton* consoleStart;
    QPushButton* consoleStop;
    QCheckBox* consoleAtStartup; // "Startup in Console Mode"
    QLabel* consoleActive; // "ON" in red, "OFF" in black
    QLabel* consoleState; // "Post Jam", "Selection", "Jam", "Loading ..."

private:
    std::function<void()> m_bringToFront;
};

} // namespace oskel
