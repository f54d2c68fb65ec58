#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace oskel {

// The "Patches" tab of the main window: the patch loaded, the patch folder and its list, auto
// patch loading and console mode. Only the widgets; what they do is bound by their owner.
class PatchExplorerView : public QWidget {
public:
    explicit PatchExplorerView(QWidget* parent = nullptr);

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
};

} // namespace oskel
