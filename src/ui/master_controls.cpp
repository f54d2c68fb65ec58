#include "ui/master_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace oskel {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, bool checkable)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setCheckable(checkable);
    // The performance keys must reach the keyboard control, not move between buttons.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

MasterControls::MasterControls(QWidget* parent)
    : QGroupBox("Master Controls", parent)
    , triggerToFront(makeButton(this, "cbTriggerToFront", "Trigger to Front", true))
    , loop(makeButton(this, "cbLoop", "Loop", true))
    , monophonic(makeButton(this, "cbMonophonic", "Monophonic", true))
    , pcNoteOff(makeButton(this, "cbPCNoteOff", "PC Note Off", true))
    , standby(makeButton(this, "cbStandby", "Standby", true))
    , stopAll(makeButton(this, "bStop", "Stop", false))
    , clearScreen(makeButton(this, "bClearScreen", "Clear Screen", false))
    , maximize(makeButton(this, "bMaximize", "Maximize", false))
    , syncMode(makeButton(this, "cbSyncMode", "Sync Mode", true))
    , fullScreen(makeButton(this, "cbFullScreen", "Full Screen", true))
    , keepSettings(makeButton(this, "cbKeepSettings", "Keep Settings", true))
    , autoAdvance(makeButton(this, "cbAuto", "Auto", true))
    , randomAdvance(makeButton(this, "cbRandom", "Random", true))
    , clipOnly(makeButton(this, "rbClipOnly", "Clip Only", true))
    , clipWithSettings(makeButton(this, "rbClipWithSettings", "Clip with Settings", true))
    , settingsOnly(makeButton(this, "rbSettingsOnly", "Settings Only", true))
    , masterVolume(new QSlider(Qt::Horizontal, this))
    , masterMute(makeButton(this, "cbMasterMute", "Mute", true))
{
    setObjectName("MasterControls");
    m_copyChoices.addButton(clipOnly, static_cast<int>(CopyMode::ClipOnly));
    m_copyChoices.addButton(clipWithSettings, static_cast<int>(CopyMode::ClipWithSettings));
    m_copyChoices.addButton(settingsOnly, static_cast<int>(CopyMode::SettingsOnly));
    m_copyChoices.setExclusive(true);
    clipWithSettings->setChecked(true);

    masterVolume->setObjectName("tbMasterVolume");
    masterVolume->setRange(0, 255);
    masterVolume->setValue(255);
    masterVolume->setFocusPolicy(Qt::NoFocus);

    auto* grid = new QGridLayout(this);
    grid->setSpacing(3);
    QWidget* const rows[][4] = {
        { triggerToFront, loop, monophonic, pcNoteOff },
        { standby, stopAll, clearScreen, maximize },
        { syncMode, fullScreen, keepSettings, nullptr },
        { autoAdvance, randomAdvance, nullptr, nullptr },
        { clipOnly, clipWithSettings, settingsOnly, nullptr },
    };
    int row = 0;
    for (const auto& widgets : rows) {
        for (int column = 0; column < 4; ++column) {
            if (widgets[column] != nullptr) {
                grid->addWidget(widgets[column], row, column);
            }
        }
        ++row;
    }
    grid->addWidget(new QLabel("Master Volume", this), row, 0);
    grid->addWidget(masterVolume, row, 1, 1, 2);
    grid->addWidget(masterMute, row, 3);
}

CopyMode MasterControls::copyMode() const
{
    return static_cast<CopyMode>(std::max(0, m_copyChoices.checkedId()));
}

} // namespace oskel
