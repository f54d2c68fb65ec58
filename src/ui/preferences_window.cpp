#include "ui/preferences_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/outputs_group.h"

namespace oskel {

namespace {

using namespace preferences_form;

const char* const kNoOverlayTip
    = "There is no video overlay on Linux: the TV-out preview shows the output picture in the "
      "\"TV Output Monitor\" window instead.";

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void setChecked(QAbstractButton& button, bool on)
{
    const QSignalBlocker blocker(button);
    button.setChecked(on);
}

QLineEdit* numberBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaximumWidth(60);
    return box;
}

// Radio buttons that exclude each other within their own group only.
template <std::size_t N>
std::array<QAbstractButton*, N> radios(QWidget* parent, const std::array<const char*, N>& captions)
{
    std::array<QAbstractButton*, N> made {};
    auto* group = new QButtonGroup(parent);
    for (std::size_t index = 0; index < N; ++index) {
        made.at(index) = new QRadioButton(captions.at(index), parent);
        group->addButton(made.at(index), static_cast<int>(index));
    }
    return made;
}

} // namespace

PreferencesWindow::PreferencesWindow()
{
    setObjectName("fmPreferences");
    setWindowTitle("Preferences");
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildToggles());
    columns->addWidget(buildChoices());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    auto* done = new QPushButton("Done", this);
    done->setObjectName("bDone");
    doneButton = done;
    layout->addWidget(done, 0, Qt::AlignRight);
    connect(done, &QPushButton::clicked, this, &PreferencesWindow::done);
}

QWidget* PreferencesWindow::buildToggles()
{
    auto* box = new QGroupBox("Options", this);
    auto* column = new QVBoxLayout(box);
    for (std::size_t index = 0; index < kToggleCount; ++index) {
        const auto toggle = static_cast<Toggle>(index);
        auto* check = new QCheckBox(qText(toggleInfo(toggle).caption), box);
        check->setObjectName(QString("cb%1").arg(qText(toggleInfo(toggle).item)));
        toggles.at(index) = check;
        column->addWidget(check);
        if (toggle == Toggle::TvOutOverlay) {
            check->setEnabled(false);
            check->setToolTip(kNoOverlayTip);
        }
        connect(check, &QCheckBox::clicked, this,
            [this, toggle](bool on) { Q_EMIT toggleClicked(toggle, on); });
    }
    column->addStretch();
    return box;
}

QWidget* PreferencesWindow::buildChoices()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* keys = new QGroupBox("Keys", column);
    auto* keyColumn = new QVBoxLayout(keys);
    keyMaps = radios<3>(
        keys, { kKeyMapCaptions[0].data(), kKeyMapCaptions[1].data(), kKeyMapCaptions[2].data() });
    for (std::size_t index = 0; index < keyMaps.size(); ++index) {
        keyColumn->addWidget(keyMaps.at(index));
        connect(keyMaps.at(index), &QAbstractButton::clicked, this,
            [this, index] { Q_EMIT keyMapChosen(static_cast<KeyMap>(index)); });
    }
    layout->addWidget(keys);

    auto* numbers = new QGroupBox("Clips and tempo", column);
    auto* form = new QFormLayout(numbers);
    beatsPerClip = numberBox(numbers, "ebDefaultBeats");
    jogAmount = numberBox(numbers, "ebJogAmount");
    form->addRow("Default beats per clip", beatsPerClip);
    form->addRow("Tempo jog amount", jogAmount);
    const auto thumbnails = radios<2>(numbers, { "Beginning", "Middle" });
    thumbnailsFromBeginning = thumbnails[0];
    thumbnailsFromMiddle = thumbnails[1];
    auto* thumbnailRow = new QHBoxLayout;
    thumbnailRow->addWidget(thumbnailsFromBeginning);
    thumbnailRow->addWidget(thumbnailsFromMiddle);
    form->addRow("Thumbnails from the", thumbnailRow);
    layout->addWidget(numbers);

    auto* display = new QGroupBox("Display (from the next start)", column);
    auto* displayColumn = new QVBoxLayout(display);
    displayOptions = radios<3>(
        display, { "Output window only", "Output window and secondary output", "TV out preview" });
    for (QAbstractButton* option : displayOptions) {
        displayColumn->addWidget(option);
    }
    const auto aspect = radios<2>(display, { "Same as Composition", "Custom" });
    sameAsComposition = aspect[0];
    customPreview = aspect[1];
    aspectX = numberBox(display, "ebPreviewAspectX");
    aspectY = numberBox(display, "ebPreviewAspectY");
    auto* aspectRow = new QHBoxLayout;
    aspectRow->addWidget(sameAsComposition);
    aspectRow->addWidget(customPreview);
    aspectRow->addWidget(aspectX);
    aspectRow->addWidget(new QLabel(":", display));
    aspectRow->addWidget(aspectY);
    displayColumn->addLayout(aspectRow);
    layout->addWidget(display);
    layout->addWidget(buildOsc(column));
    outputs = new OutputsGroup(column);
    layout->addWidget(outputs);
    layout->addStretch();
    return column;
}

QWidget* PreferencesWindow::buildOsc(QWidget* column)
{
    auto* box = new QGroupBox("OSC control", column);
    auto* form = new QFormLayout(box);
    oscEnabled = new QCheckBox("Listen for OSC messages", box);
    oscEnabled->setObjectName("cbOscEnabled");
    oscPort = new QSpinBox(box);
    oscPort->setObjectName("ebOscPort");
    oscPort->setRange(1, 65535);
    oscAllInterfaces = new QCheckBox("On every network interface", box);
    oscAllInterfaces->setObjectName("cbOscAllInterfaces");
    auto* warning = new QLabel(qText(kOscAllInterfacesWarning), box);
    warning->setWordWrap(true);
    form->addRow(oscEnabled);
    form->addRow("UDP port", oscPort);
    form->addRow(oscAllInterfaces);
    form->addRow(warning);
    return box;
}

void PreferencesWindow::showContents(const Contents& contents)
{
    for (std::size_t index = 0; index < kToggleCount; ++index) {
        setChecked(*toggles.at(index), contents.toggles.at(index));
    }
    setChecked(*keyMaps.at(static_cast<std::size_t>(contents.keyMap)), true);
    beatsPerClip->setText(QString::fromStdString(contents.beatsPerClip));
    jogAmount->setText(QString::fromStdString(contents.jogAmount));
    setChecked(
        contents.thumbnailsFromMiddle ? *thumbnailsFromMiddle : *thumbnailsFromBeginning, true);
    const auto option = static_cast<std::size_t>(std::clamp(contents.display.displayOption, 0, 2));
    setChecked(*displayOptions.at(option), true);
    setChecked(contents.display.customPreview ? *customPreview : *sameAsComposition, true);
    aspectX->setText(QString::number(contents.display.aspectX));
    aspectY->setText(QString::number(contents.display.aspectY));
    setChecked(*oscEnabled, contents.osc.enabled);
    oscPort->setValue(contents.osc.port);
    setChecked(*oscAllInterfaces, contents.osc.allInterfaces);
}

Entered PreferencesWindow::entered() const
{
    Entered entered;
    entered.beatsPerClip = beatsPerClip->text().toStdString();
    entered.jogAmount = jogAmount->text().toStdString();
    entered.thumbnailsFromMiddle = thumbnailsFromMiddle->isChecked();
    for (std::size_t index = 0; index < displayOptions.size(); ++index) {
        if (displayOptions.at(index)->isChecked()) {
            entered.display.displayOption = static_cast<int>(index);
        }
    }
    entered.display.customPreview = customPreview->isChecked();
    entered.display.aspectX = aspectX->text().toInt();
    entered.display.aspectY = aspectY->text().toInt();
    entered.osc
        = OscOptions { oscEnabled->isChecked(), oscPort->value(), oscAllInterfaces->isChecked() };
    return entered;
}

void PreferencesWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT done();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace oskel
