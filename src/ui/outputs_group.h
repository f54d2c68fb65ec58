#pragma once

#include <QGroupBox>

#include "recording/output_options_form.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace oskel {

// The preferences' "Stream and virtual camera" group: the stream's switch and address, the
// virtual camera's switch and device. The switches report at once; the address and the device
// are read when the window is closed.
class OutputsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit OutputsGroup(QWidget* parent);

    void showContents(const output_options_form::Contents& contents);
    output_options_form::Entered entered() const;

    QCheckBox* streamOutput = nullptr;
    QLineEdit* streamUrl = nullptr;
    QCheckBox* cameraOutput = nullptr;
    QComboBox* cameraDevice = nullptr;

Q_SIGNALS:
    void streamClicked(bool on);
    void cameraClicked(bool on);
};

} // namespace oskel
