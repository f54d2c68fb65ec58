#include "ui/midi_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace oskel {

namespace {

// The names of the parameters' edit boxes, "eb" followed by these, in parameter order.
// clang-format off
constexpr std::array<const char*, kMidiParameterCount> kEditBoxNames {
    "ClassicPitch", "FinePitch", "InPoint", "Direction", "Width", "Height", "Size",
    "AspectRatio", "Xmov", "Ymov", "LumaLevel", "LumaBlend", "Opacity", "TrailsDieBack",
    "CrossFade", "ClipVolume", "3DSize", "3DXRotate", "3DYRotate", "3DZrotate", "3DhorzArray",
    "3DvertArray", "3Dspacing", "Scratching", "FF1", "FF2", "FF3", "FF4", "FF5", "FF6", "FF7",
    "FF8", "FFWetDry", "FFenable", "GlobalBPM", "GlobalVolume", "FrameScratch", "OutPoint",
    "Pan", "BMPTap", "GlobalSync",
};
// clang-format on

constexpr int kRowsPerColumn = 14;
constexpr int kLowestUpDown = 1;
constexpr int kHighestUpDown = 128;
constexpr int kHighestChannel = 16;

QString text(std::string_view from)
{
    return QString::fromUtf8(from.data(), static_cast<qsizetype>(from.size()));
}

QString name(const char* prefix, std::size_t parameter)
{
    return QString(prefix) + kEditBoxNames.at(parameter);
}

// A learn button tells which mouse button was released over it, the right one included.
class LearnButton : public QPushButton {
public:
    LearnButton(const QString& caption, std::function<void(midi_form::MouseButton)> released)
        : QPushButton(caption)
        , m_released(std::move(released))
    {
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    // The button takes the right and middle buttons too, so that their release comes here.
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            event->accept();
            return;
        }
        QPushButton::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QPushButton::mouseReleaseEvent(event);
        if (!rect().contains(event->position().toPoint())) {
            return;
        }
        switch (event->button()) {
        case Qt::LeftButton:
            m_released(midi_form::MouseButton::Left);
            break;
        case Qt::RightButton:
            m_released(midi_form::MouseButton::Right);
            break;
        case Qt::MiddleButton:
            m_released(midi_form::MouseButton::Middle);
            break;
        default:
            break;
        }
    }

private:
    std::function<void(midi_form::MouseButton)> m_released;
};

// Keeps a combo box's items as given, the one named current, without its handlers running.
void showList(QComboBox& box, const std::vector<std::string>& items, const std::string& current)
{
    const QSignalBlocker quiet(&box);
    box.clear();
    for (const std::string& item : items) {
        box.addItem(QString::fromStdString(item));
    }
    box.setCurrentIndex(box.findText(QString::fromStdString(current)));
}

} // namespace

MidiWindow::MidiWindow()
{
    setObjectName("TfmMidi");
    setWindowTitle(text(midi_form::kCaption));
    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(buildDevices());
    top->addWidget(buildOptions(), 1);
    top->addWidget(buildMonitor(), 1);
    column->addLayout(top);
    column->addWidget(buildControllers(), 1);
    buildOptionsDialog();
}

MidiWindow::~MidiWindow() = default;

QWidget* MidiWindow::buildDevices()
{
    auto* box = new QGroupBox(" MIDI In ");
    auto* layout = new QVBoxLayout(box);
    inputDevices = new QComboBox;
    inputDevices->setObjectName("cbMIDIin");
    outputDevices = new QComboBox;
    outputDevices->setObjectName("cbMidiOut");
    channel = new QSpinBox;
    channel->setObjectName("ebMidiChannel");
    channel->setRange(1, kHighestChannel);
    layout->addWidget(new QLabel("MIDI In"));
    layout->addWidget(inputDevices);
    layout->addWidget(new QLabel("MIDI Out"));
    layout->addWidget(outputDevices);
    surfaceEnable = new QCheckBox("Enable");
    surfaceEnable->setObjectName("cbAutoMap");
    surfaceEnable->setToolTip("The Novation Automap control surface on the MIDI Out device; "
                              "started or stopped when this window closes");
    layout->addWidget(surfaceEnable);
    layout->addWidget(new QLabel("MIDI Channel"));
    layout->addWidget(channel);
    pitchWheel = new QComboBox;
    pitchWheel->setObjectName("cbPitchWheel");
    for (const std::string_view item : midi_form::pitchWheelItems()) {
        pitchWheel->addItem(text(item));
    }
    layout->addWidget(new QLabel(text(midi_form::kPitchWheelLabel)));
    layout->addWidget(pitchWheel);
    layout->addStretch();
    return box;
}

QWidget* MidiWindow::buildOptions()
{
    auto* box = new QGroupBox(" MIDI Options ");
    auto* layout = new QVBoxLayout(box);
    for (std::size_t index = 0; index < optionBoxes.size(); ++index) {
        const midi_form::OptionBox& option = midi_form::kOptionBoxes.at(index);
        auto* check = new QCheckBox(text(option.caption));
        check->setObjectName("cb" + text(option.control.entry().item));
        layout->addWidget(check);
        optionBoxes.at(index) = check;
    }
    layout->addStretch();
    return box;
}

QWidget* MidiWindow::buildMonitor()
{
    auto* box = new QGroupBox(" MIDI Monitor ");
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    monitorSwitch = new QPushButton("On/Off");
    monitorSwitch->setObjectName("bMonitor");
    monitorState = new QLabel;
    monitorState->setObjectName("lMonitor");
    row->addWidget(monitorSwitch);
    row->addWidget(monitorState, 1);
    layout->addLayout(row);
    monitorLines = new QListWidget;
    monitorLines->setObjectName("lbMonitor");
    layout->addWidget(monitorLines, 1);
    return box;
}

QWidget* MidiWindow::buildControllers()
{
    auto* box = new QGroupBox(text(midi_form::kControllerBoxCaption));
    auto* grid = new QGridLayout(box);
    for (std::size_t parameter = 0; parameter < parameters.size(); ++parameter) {
        ParameterRow& row = parameters.at(parameter);
        const int number = static_cast<int>(parameter);
        row.learn = new LearnButton(text(kMidiParameters.at(parameter).button),
            [this, number](midi_form::MouseButton button) {
                if (learnReleased) {
                    learnReleased(number, button);
                }
            });
        row.learn->setObjectName(name("bLearn", parameter));
        row.learn->setProperty("tag", number);
        row.edit = new QLineEdit;
        row.edit->setObjectName(name("eb", parameter));
        row.edit->setFixedWidth(40);
        row.upDown = new QSpinBox;
        row.upDown->setObjectName(name("ud", parameter));
        row.upDown->setRange(kLowestUpDown, kHighestUpDown);
        row.upDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        row.upDown->setFixedWidth(20); // the arrows only: the edit box shows the number
        row.inverted = new QLabel("inv");
        row.inverted->setObjectName(name("lInvert", parameter));
        row.inverted->setVisible(false);
        const int gridRow = number % kRowsPerColumn;
        const int gridColumn = (number / kRowsPerColumn) * 4;
        grid->addWidget(row.learn, gridRow, gridColumn);
        grid->addWidget(row.edit, gridRow, gridColumn + 1);
        grid->addWidget(row.upDown, gridRow, gridColumn + 2);
        grid->addWidget(row.inverted, gridRow, gridColumn + 3);
    }
    return box;
}

void MidiWindow::buildOptionsDialog()
{
    optionsDialog = new QDialog(this);
    optionsDialog->setObjectName("TfmMIDIcontrollerOptions");
    optionsDialog->setWindowTitle(text(midi_form::kOptionsDialogCaption));
    auto* layout = new QVBoxLayout(optionsDialog);
    optionsLabel = new QLabel;
    optionsLabel->setObjectName("lParameter");
    invert = new QCheckBox(text(midi_form::kInvertCaption));
    invert->setObjectName("cbInverse");
    layout->addWidget(optionsLabel);
    layout->addWidget(invert);
}

void MidiWindow::showOptionsFor(int parameter, bool inverted)
{
    m_optionsParameter = parameter;
    optionsLabel->setText(QString::fromStdString(midi_form::controllerOptionsLabel(parameter)));
    {
        const QSignalBlocker quiet(invert);
        invert->setChecked(inverted);
    }
    optionsDialog->show();
    optionsDialog->raise();
}

void MidiWindow::showContents(
    const midi_form::Contents& contents, const std::array<bool, kMidiParameterCount>& inverts)
{
    const bool all = !m_shown.has_value();
    if (all || m_shown->channel != contents.channel) {
        const QSignalBlocker quiet(channel);
        channel->setValue(contents.channel);
    }
    for (std::size_t box = 0; box < optionBoxes.size(); ++box) {
        if (all || m_shown->optionBoxes.at(box) != contents.optionBoxes.at(box)) {
            const QSignalBlocker quiet(optionBoxes.at(box));
            optionBoxes.at(box)->setChecked(contents.optionBoxes.at(box));
        }
    }
    for (std::size_t parameter = 0; parameter < parameters.size(); ++parameter) {
        const ParameterRow& row = parameters.at(parameter);
        const int upDown = contents.upDowns.at(parameter);
        if (all || m_shown->upDowns.at(parameter) != upDown) {
            const QSignalBlocker quietUpDown(row.upDown);
            const QSignalBlocker quietEdit(row.edit);
            row.upDown->setValue(upDown);
            row.edit->setText(QString::number(upDown));
        }
        if (all || m_shownInverts.at(parameter) != inverts.at(parameter)) {
            row.inverted->setVisible(inverts.at(parameter));
        }
    }
    if (all || m_shown->pitchWheelItem != contents.pitchWheelItem) {
        const QSignalBlocker quiet(pitchWheel);
        pitchWheel->setCurrentIndex(contents.pitchWheelItem);
    }
    m_shown = contents;
    m_shownInverts = inverts;
}

void MidiWindow::showTyped(int parameter, int upDown)
{
    const ParameterRow& row = parameters.at(static_cast<std::size_t>(parameter));
    const QSignalBlocker quiet(row.upDown);
    row.upDown->setValue(upDown);
    if (m_shown) {
        m_shown->upDowns.at(static_cast<std::size_t>(parameter)) = upDown;
    }
}

void MidiWindow::showDevices(const std::vector<std::string>& inputs,
    const std::string& currentInput, const std::vector<std::string>& outputs,
    const std::string& currentOutput)
{
    showList(*inputDevices, inputs, currentInput);
    showList(*outputDevices, outputs, currentOutput);
}

void MidiWindow::showMonitorState(std::string_view state)
{
    monitorState->setText(text(state));
}

void MidiWindow::addMonitorLine(const midi_form::MonitorLine& line)
{
    const std::string shown = "Midi Message " + line.message + "  Data 1 " + line.data1 + " ("
        + line.data1Decimal + ")  Data 2 " + line.data2 + " (" + line.data2Decimal + ")  Channel "
        + line.channel;
    monitorLines->addItem(QString::fromStdString(shown));
    while (monitorLines->count() > kMonitorLines) {
        delete monitorLines->takeItem(0);
    }
    monitorLines->scrollToBottom();
}

void MidiWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (visibilityChanged) {
        visibilityChanged(true);
    }
}

void MidiWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (visibilityChanged) {
        visibilityChanged(false);
    }
}

} // namespace oskel
