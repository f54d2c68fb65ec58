#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace oskel {

// The tempo: the tempo field, "Tap", "Sync", the "BPM" label that retunes the following
// slots, "Auto BPM", and the beat counter and tempo figures of the inspected slot (its own
// tempo, video frames per beat, the length of its selection in seconds). Only the widgets.
class TempoControls : public QGroupBox {
public:
    explicit TempoControls(QWidget* parent = nullptr);

    QLineEdit* tempoField;
    QPushButton* tap;
    QPushButton* sync;
    QPushButton* bpmLabel;
    QPushButton* autoBpm;
    QLabel* beatCounter;
    QLabel* calculatedBpm;
    QLabel* framesPerBeat;
    QLabel* selectionDuration;
};

} // namespace oskel
