#include "ui/record_render_controls.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace oskel {

namespace {

template <class Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(name);
    control->setFocusPolicy(Qt::NoFocus);
    return control;
}

} // namespace

RecordRenderControls::RecordRenderControls(QWidget* parent)
    : QWidget(parent)
    , record(named(new QPushButton("Record", this), "btnRecord"))
    , render(named(new QPushButton("Render", this), "btnRender"))
    , renderFile(named(new QPushButton("Render File...", this), "btnRenderFile"))
    , soundInput(named(new QCheckBox("Record Sound Input", this), "cbRecordSoundInput"))
{
    setObjectName("RecordRenderControls");
    record->setCheckable(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(record);
    row->addWidget(render);
    row->addWidget(renderFile);
    row->addWidget(soundInput);
    row->addStretch();
}

} // namespace oskel
