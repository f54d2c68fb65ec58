#include "ui/tempo_controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace oskel {

TempoControls::TempoControls(QWidget* parent)
    : QGroupBox("Tempo", parent)
    , tempoField(new QLineEdit(this))
    , tap(new QPushButton("Tap", this))
    , sync(new QPushButton("Sync", this))
    , bpmLabel(new QPushButton("BPM", this))
    , autoBpm(new QPushButton("Auto BPM", this))
    , beatCounter(new QLabel(this))
{
    setObjectName("TempoControls");
    tempoField->setObjectName("ebBPM");
    tempoField->setMaximumWidth(80);
    // The field keeps the focus only when clicked, so the performance keys reach the
    // keyboard control otherwise.
    tempoField->setFocusPolicy(Qt::ClickFocus);
    tap->setObjectName("bTap");
    sync->setObjectName("bSync");
    bpmLabel->setObjectName("lBPM");
    bpmLabel->setFlat(true);
    autoBpm->setObjectName("cbAutoBPM");
    autoBpm->setCheckable(true);
    beatCounter->setObjectName("lBeatCounter");
    beatCounter->setMinimumWidth(24);
    for (QPushButton* button : { tap, sync, bpmLabel, autoBpm }) {
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto* row = new QHBoxLayout(this);
    row->addWidget(tempoField);
    row->addWidget(bpmLabel);
    row->addWidget(tap);
    row->addWidget(sync);
    row->addWidget(autoBpm);
    row->addWidget(new QLabel("Beat", this));
    row->addWidget(beatCounter);
    row->addStretch();
}

} // namespace oskel
