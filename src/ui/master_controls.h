#pragma once

#include <QButtonGroup>
#include <QGroupBox>

#include "control/slot_grid_logic.h"

class QPushButton;
class QSlider;

namespace oskel {

// The performance buttons of the main window: playback options, standby, stop and clear,
// the output's full-screen switch, clip loading options, auto advance, the copy choice and the
// master volume. Only the widgets; what they do is bound by their owner.
class MasterControls : public QGroupBox {
public:
    explicit MasterControls(QWidget* parent = nullptr);

    // The choice of the three copy buttons, which act as one.
    CopyMode copyMode() const;
    void showCopyMode(int mode);
    QButtonGroup& copyChoices() { return m_copyChoices; }

    QPushButton* triggerToFront;
    QPushButton* loop;
    QPushButton* monophonic;
    QPushButton* pcNoteOff;
    QPushButton* standby;
    QPushButton* stopAll;
    QPushButton* clearScreen;
    QPushButton* maximize;
    QPushButton* syncMode;
    QPushButton* fullScreen;
    QPushButton* keepSettings;
    QPushButton* autoAdvance;
    QPushButton* randomAdvance;
    QPushButton* clipOnly;
    QPushButton* clipWithSettings;
    QPushButton* settingsOnly;
    QSlider* masterVolume;
    QPushButton* masterMute;

private:
    QButtonGroup m_copyChoices;
};

} // namespace oskel
