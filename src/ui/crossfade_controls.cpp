#include "ui/crossfade_controls.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/performance_controls.h"
#include "ui/picture_view.h"

namespace oskel {

namespace {

PictureView* makePreview(QWidget* parent, const char* name)
{
    auto* preview = new PictureView(parent);
    preview->setObjectName(name);
    preview->setFixedSize(96, 72);
    preview->acceptSlotDrops();
    return preview;
}

QLabel* makeLetter(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

CrossfadeControls::CrossfadeControls(QWidget* parent)
    : QGroupBox("Trails and Crossfade", parent)
    , trailsEnable(makeButton(this, "cbTrails", "Enable", true))
    , trailsStrength(makeFader(this, "tbTrailsStrength", 64))
    , crossfade(makeFader(this, "sbCrossFade", 255))
    , crossfadeEnable(makeButton(this, "cbCrossFadeEnable", "Enable", true))
    , video(makeButton(this, "cbCFVideo", "Video", true))
    , audio(makeButton(this, "cbCFAudio", "Audio", true))
    , resetClips(makeButton(this, "bResetClips", "Reset Clips", false))
    , transformA(makeButton(this, "bTransformA", "Transform", false))
    , transformB(makeButton(this, "bTransformB", "Transform", false))
    , scratchA(makeFader(this, "tbCFscratchA", 127))
    , scratchB(makeFader(this, "tbCFscratchB", 127))
    , previewA(makePreview(this, "pnCFpreviewA"))
    , previewB(makePreview(this, "pnCFpreviewB"))
    , letterA(makeLetter(this, "lCrossfadeL"))
    , letterB(makeLetter(this, "lCrossfadeR"))
{
    setObjectName("CrossfadeControls");
    auto* grid = new QGridLayout(this);
    grid->setSpacing(3);
    grid->addWidget(new QLabel("Trails", this), 0, 0);
    grid->addWidget(trailsEnable, 0, 1);
    grid->addWidget(trailsStrength, 0, 2, 1, 2);

    grid->addWidget(previewA, 1, 0, 3, 1);
    grid->addWidget(previewB, 1, 3, 3, 1);
    grid->addWidget(crossfade, 1, 1, 1, 2);
    grid->addWidget(crossfadeEnable, 2, 1);
    grid->addWidget(resetClips, 2, 2);
    grid->addWidget(video, 3, 1);
    grid->addWidget(audio, 3, 2);

    grid->addWidget(letterA, 4, 0);
    grid->addWidget(letterB, 4, 3);
    grid->addWidget(transformA, 4, 1);
    grid->addWidget(transformB, 4, 2);
    grid->addWidget(scratchA, 5, 0, 1, 2);
    grid->addWidget(scratchB, 5, 2, 1, 2);
}

} // namespace oskel
