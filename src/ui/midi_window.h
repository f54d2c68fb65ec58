#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/midi_form.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace oskel {

// The MIDI configuration window " MIDI": the input and output devices, the base channel, the
// MIDI options, the controller of each of the 41 parameters with its learn button, the
// pitch-wheel assignment and the monitor. A top-level window of its own, created once and
// shown and hidden. Only the widgets and what they show; what they do is bound by the owner.
class MidiWindow : public QWidget {
public:
    MidiWindow();
    ~MidiWindow() override;

    // One parameter: its learn button, the edit box with the controller number and the
    // up-down (1..128) beside it, and whether its controller is inverted.
    struct ParameterRow {
        QPushButton* learn = nullptr;
        QLineEdit* edit = nullptr;
        QSpinBox* upDown = nullptr;
        QLabel* inverted = nullptr;
    };

    QComboBox* inputDevices;
    QComboBox* outputDevices;
    // The control surface's "Enable" box: applied when the window closes.
    QCheckBox* surfaceEnable;
    QSpinBox* channel;
    std::array<QCheckBox*, midi_form::kOptionBoxes.size()> optionBoxes {};
    std::array<ParameterRow, kMidiParameterCount> parameters {};
    QComboBox* pitchWheel;
    QPushButton* monitorSwitch;
    QLabel* monitorState;
    QListWidget* monitorLines;

    // The options dialog "MIDI Controller Options" of one parameter.
    QDialog* optionsDialog;
    QLabel* optionsLabel;
    QCheckBox* invert;
    int optionsParameter() const { return m_optionsParameter; }
    void showOptionsFor(int parameter, bool inverted);

    // A learn button released, with the mouse button that was released.
    std::function<void(int parameter, midi_form::MouseButton button)> learnReleased;
    // The window was shown (true) or hidden.
    std::function<void(bool visible)> visibilityChanged;

    // Puts the settings into the controls without their change handlers running, so that what
    // is shown is never fed back. Only what differs from what was last put there is written:
    // a number the performer is typing stays as typed.
    void showContents(
        const midi_form::Contents& contents, const std::array<bool, kMidiParameterCount>& inverts);
    // The performer typed into a parameter's edit box and the number it assigned is `upDown`:
    // the up-down follows without writing the edit box back.
    void showTyped(int parameter, int upDown);
    // Everything is written at the next showContents (when the window is shown).
    void forgetShown() { m_shown.reset(); }

    void showDevices(const std::vector<std::string>& inputs, const std::string& currentInput,
        const std::vector<std::string>& outputs, const std::string& currentOutput);
    void showMonitorState(std::string_view text);
    void addMonitorLine(const midi_form::MonitorLine& line);

    // At most this many lines stay in the monitor.
    static constexpr int kMonitorLines = 200;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildDevices();
    QWidget* buildOptions();
    QWidget* buildControllers();
    QWidget* buildMonitor();
    void buildOptionsDialog();

    std::optional<midi_form::Contents> m_shown;
    std::array<bool, kMidiParameterCount> m_shownInverts {};
    int m_optionsParameter = 0;
};

} // namespace oskel
