#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace oskel {

// The main window's "Record" and "Render" buttons, with "Render File..." for a performance
// file chosen from the disk and "Record Sound Input" for the sound card's input. They only
// send; their owner binds them.
class RecordRenderControls : public QWidget {
    Q_OBJECT
public:
    explicit RecordRenderControls(QWidget* parent = nullptr);

    QPushButton* record;
    QPushButton* render;
    QPushButton* renderFile;
    QCheckBox* soundInput;
};

} // namespace oskel
