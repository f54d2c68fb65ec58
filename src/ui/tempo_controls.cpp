#include "ui/tempo_controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/performance_controls.h"

namespace oskel {

TempoControls::TempoControls(QWidget* parent)
    : QGroupBox("Tempo", parent)
    , tempoField(new QLineEdit(this))
    , tap(makeButton(this, "bTap", "Tap", false))
    , sync(makeButton(this, "bSync", "Sync", false))
    , bpmLabel(makeButton(this, "lBPM", "BPM", false))
    , autoBpm(makeButton(this, "cbAutoBPM", "Auto BPM", true))
    , beatCounter(new QLabel(this))
    , calculatedBpm(new QLabel(this))
    , framesPerBeat(new QLabel(this))
    , selectionDuration(new QLabel(this))
{
    setObjectName("TempoControls");
    tempoField->setObjectName("ebBPM");
    tempoField->setMaximumWidth(80);
    // The field keeps the focus only when clicked, so the performance keys reach the
    // keyboard control otherwise.
    tempoField->setFocusPolicy(Qt::ClickFocus);
    bpmLabel->setFlat(true);
    beatCounter->setObjectName("lBeatCounter");
    beatCounter->setMinimumWidth(24);
    calculatedBpm->setObjectName("lCalculatedBPM");
    framesPerBeat->setObjectName("lFramesPerBeat");
    selectionDuration->setObjectName("lSelectionDuration");

    auto* rows = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(tempoField);
    row->addWidget(bpmLabel);
    row->addWidget(tap);
    row->addWidget(sync);
    row->addWidget(autoBpm);
    row->addWidget(new QLabel("Beat", this));
    row->addWidget(beatCounter);
    row->addStretch();
    rows->addLayout(row);
    auto* figures = new QHBoxLayout;
    for (auto [caption, label] : { std::pair { "Calculated BPM", calculatedBpm },
             std::pair { "Frames Per Beat", framesPerBeat },
             std::pair { "Selection (s)", selectionDuration } }) {
        label->setMinimumWidth(48);
        figures->addWidget(new QLabel(caption, this));
        figures->addWidget(label);
    }
    figures->addStretch();
    rows->addLayout(figures);
}

} // namespace oskel
