// The windows' side of MIDI: the MIDI window bound to the form's logic, learning, the monitor
// and the input devices.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "control/midi_input.h"
#include "control/midi_learn.h"
#include "core/control_table.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/midi_window.h"

namespace oskel {

void InstrumentWindows::bindMidi()
{
    MidiWindow& window = *m_midi;
    QObject::connect(
        m_main->midiConfiguration, &QAction::triggered, m_main.get(), [this] { showMidiWindow(); });

    QObject::connect(window.channel, &QSpinBox::textChanged, &window, [this](const QString& text) {
        guarded([this, &text] {
            m_channelBox.changed(m_links->events, m_links->performance, text.toStdString());
        });
    });
    for (std::size_t box = 0; box < window.optionBoxes.size(); ++box) {
        QObject::connect(
            window.optionBoxes.at(box), &QCheckBox::clicked, &window, [this, box](bool checked) {
                guarded([this, box, checked] {
                    midi_form::optionBoxReleased(
                        m_links->events, m_links->performance, box, checked);
                });
                showMidiSettings();
            });
    }
    QObject::connect(window.pitchWheel, &QComboBox::activated, &window, [this](int item) {
        guarded([this, item] {
            midi_form::pitchWheelChosen(m_links->events, m_links->performance, item);
        });
    });

    MidiLinks& midi = m_links->midi;
    if (midi.learn != nullptr) {
        MidiLearn& learn = *midi.learn;
        for (std::size_t parameter = 0; parameter < window.parameters.size(); ++parameter) {
            const MidiWindow::ParameterRow& row = window.parameters.at(parameter);
            const int index = static_cast<int>(parameter);
            QObject::connect(row.edit, &QLineEdit::textChanged, &window,
                [this, &learn, index, parameter](const QString& text) {
                    learn.AssignParam(index, text.toStdString());
                    m_midi->showTyped(
                        index, midi_form::contents(m_links->performance).upDowns.at(parameter));
                });
            QObject::connect(row.upDown, &QSpinBox::valueChanged, &window,
                [edit = row.edit](int value) { edit->setText(QString::number(value)); });
        }
        window.learnReleased = [this, &learn](int parameter, midi_form::MouseButton button) {
            if (midi_form::learnButtonReleased(learn, parameter, button)) {
                m_midi->showOptionsFor(parameter, learn.inverted(parameter));
            }
        };
        QObject::connect(window.invert, &QCheckBox::clicked, &window, [this, &learn](bool on) {
            learn.setInvert(m_midi->optionsParameter(), on);
            showMidiSettings();
        });
    } else {
        for (const MidiWindow::ParameterRow& row : window.parameters) {
            row.learn->setEnabled(false);
            row.edit->setEnabled(false);
            row.upDown->setEnabled(false);
        }
    }

    if (midi.input != nullptr) {
        MidiInput& input = *midi.input;
        input.setLearned([this] { showMidiSettings(); });
        window.showMonitorState(input.monitor().text());
        QObject::connect(window.monitorSwitch, &QPushButton::clicked, &window, [this, &input] {
            input.monitor().toggle();
            m_midi->showMonitorState(input.monitor().text());
        });
    } else {
        window.monitorSwitch->setEnabled(false);
    }
    if (midi.chooseInput) {
        QObject::connect(window.inputDevices, &QComboBox::activated, &window, [this](int item) {
            const std::string name = m_midi->inputDevices->itemText(item).toStdString();
            guarded([this, &name] { m_links->midi.chooseInput(name); });
        });
    }

    if (midi.chooseOutput) {
        QObject::connect(window.outputDevices, &QComboBox::activated, &window, [this](int item) {
            const std::string name = m_midi->outputDevices->itemText(item).toStdString();
            guarded([this, &name] { m_links->midi.chooseOutput(name); });
            m_midi->surfaceEnable->setChecked(m_links->performance.options().midi.AutoMapActive);
        });
    }
    // Switching the surface on also leaves the black notes to it.
    QObject::connect(window.surfaceEnable, &QCheckBox::clicked, &window, [this](bool checked) {
        if (checked) {
            guarded([this] {
                setControl(
                    m_links->events, m_links->performance, masterControl("DisableBlackNotes"), 1);
            });
            showMidiSettings();
        }
    });
    window.surfaceEnable->setEnabled(static_cast<bool>(midi.applySurface));

    window.visibilityChanged = [this](bool visible) {
        MidiInput* input = m_links->midi.input;
        if (!visible) {
            if (input != nullptr) {
                input->setMonitorDisplay({});
            }
            if (m_links->midi.applySurface && !m_closed) {
                const bool wanted = m_midi->surfaceEnable->isChecked();
                guarded([this, wanted] { m_links->midi.applySurface(wanted); });
                m_midi->surfaceEnable->setChecked(
                    m_links->performance.options().midi.AutoMapActive);
            }
            return;
        }
        m_midi->surfaceEnable->setChecked(m_links->performance.options().midi.AutoMapActive);
        m_channelBox.arm();
        const MidiLinks& links = m_links->midi;
        const MidiOptions& options = m_links->performance.options().midi;
        m_midi->showDevices(links.inputNames ? links.inputNames() : std::vector<std::string> {},
            links.inputName ? links.inputName() : options.InputDeviceName,
            links.outputNames ? links.outputNames() : std::vector<std::string> {},
            options.OutputDeviceName);
        m_midi->forgetShown();
        showMidiSettings();
        if (input != nullptr) {
            input->setMonitorDisplay(
                [this](const midi_form::MonitorLine& line) { m_midi->addMonitorLine(line); });
        }
    };
}

void InstrumentWindows::showMidiWindow()
{
    m_midi->show();
    m_midi->raise();
    m_midi->activateWindow();
}

void InstrumentWindows::showMidiSettings()
{
    std::array<bool, kMidiParameterCount> inverts {};
    if (m_links->midi.learn != nullptr) {
        for (int parameter = 0; parameter < kMidiParameterCount; ++parameter) {
            inverts.at(static_cast<std::size_t>(parameter))
                = m_links->midi.learn->inverted(parameter);
        }
    }
    m_midi->showContents(midi_form::contents(m_links->performance), inverts);
}

// The MIDI input outlives the windows: nothing of theirs stays behind in it.
void InstrumentWindows::detachMidi()
{
    m_midi->visibilityChanged = nullptr;
    m_midi->learnReleased = nullptr;
    if (m_links == nullptr || m_links->midi.input == nullptr) {
        return;
    }
    m_links->midi.input->setMonitorDisplay({});
    m_links->midi.input->setLearned({});
    // Once detached, never reached again: the instrument may be gone by the windows' end.
    m_links->midi.input = nullptr;
}

} // namespace oskel
