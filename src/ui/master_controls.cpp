#include "ui/master_controls.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/performance_controls.h"

namespace oskel {

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
    , masterVolume(makeFader(this, "tbMasterVolume", 255))
    , masterMute(makeButton(this, "cbMasterMute", "Mute", true))
{
    setObjectName("MasterControls");
    m_copyChoices.addButton(clipOnly, static_cast<int>(CopyMode::ClipOnly));
    m_copyChoices.addButton(clipWithSettings, static_cast<int>(CopyMode::ClipWithSettings));
    m_copyChoices.addButton(settingsOnly, static_cast<int>(CopyMode::SettingsOnly));
    m_copyChoices.setExclusive(true);
    clipWithSettings->setChecked(true);

    masterVolume->setValue(255);

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

void MasterControls::showCopyMode(int mode)
{
    if (QAbstractButton* button = m_copyChoices.button(mode)) {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
}

} // namespace oskel
