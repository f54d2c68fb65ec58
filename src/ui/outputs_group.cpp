#include "ui/outputs_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>

namespace oskel {

OutputsGroup::OutputsGroup(QWidget* parent)
    : QGroupBox("Stream and virtual camera", parent)
{
    auto* form = new QFormLayout(this);
    streamOutput = new QCheckBox("Stream output", this);
    streamOutput->setObjectName("cbStreamOutput");
    streamUrl = new QLineEdit(this);
    streamUrl->setObjectName("ebStreamUrl");
    streamUrl->setPlaceholderText("udp://HOST:PORT, srt://HOST:PORT or rtmp://SERVER/APP/KEY");
    cameraOutput = new QCheckBox("Output to virtual camera", this);
    cameraOutput->setObjectName("cbVirtualCameraOutput");
    cameraDevice = new QComboBox(this);
    cameraDevice->setObjectName("cbCameraDevice");
    cameraDevice->setEditable(true);
    form->addRow(streamOutput);
    form->addRow("Address", streamUrl);
    form->addRow(cameraOutput);
    form->addRow("Device", cameraDevice);
    connect(streamOutput, &QCheckBox::clicked, this, &OutputsGroup::streamClicked);
    connect(cameraOutput, &QCheckBox::clicked, this, &OutputsGroup::cameraClicked);
}

void OutputsGroup::showContents(const output_options_form::Contents& contents)
{
    const QSignalBlocker streamBlocker(streamOutput);
    const QSignalBlocker cameraBlocker(cameraOutput);
    streamOutput->setChecked(contents.streaming);
    streamUrl->setText(QString::fromStdString(contents.streamUrl));
    cameraOutput->setChecked(contents.camera);
    cameraDevice->clear();
    for (const std::string& name : contents.cameraDevices) {
        cameraDevice->addItem(QString::fromStdString(name));
    }
    cameraDevice->setCurrentText(QString::fromStdString(contents.cameraDevice));
}

output_options_form::Entered OutputsGroup::entered() const
{
    return { streamUrl->text().toStdString(), cameraDevice->currentText().toStdString() };
}

} // namespace oskel
