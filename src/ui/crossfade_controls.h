#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class QSlider;

namespace oskel {

class PictureView;

// Trails and the A/B crossfader: the trails "Enable" and strength, the crossfade slider with
// "Enable", "Video" and "Audio", "Reset Clips", the two "Transform" buttons, the scratch
// sliders and the A and B previews with their key letters. Only the widgets.
class CrossfadeControls : public QGroupBox {
public:
    explicit CrossfadeControls(QWidget* parent = nullptr);

    QPushButton* trailsEnable;
    QSlider* trailsStrength;
    QSlider* crossfade;
    QPushButton* crossfadeEnable;
    QPushButton* video;
    QPushButton* audio;
    QPushButton* resetClips;
    QPushButton* transformA;
    QPushButton* transformB;
    QSlider* scratchA;
    QSlider* scratchB;
    PictureView* previewA;
    PictureView* previewB;
    QLabel* letterA;
    QLabel* letterB;
};

} // namespace oskel
