#include "ui/clip_inspector_widget.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/clip_preview.h"
#include "ui/in_out_bar.h"
#include "ui/performance_controls.h"

namespace oskel {

namespace {

using namespace clip_inspector;

QLabel* caption(QWidget* parent, const char* text)
{
    return new QLabel(text, parent);
}

QWidget* page(QWidget* parent, QGridLayout*& grid)
{
    auto* widget = new QWidget(parent);
    grid = new QGridLayout(widget);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    return widget;
}

// Buttons as wide as their captions: the inspector's rows hold many.
QAbstractButton* button(QWidget* parent, const char* name, const char* text, bool checkable)
{
    auto* made = new QToolButton(parent);
    made->setObjectName(name);
    made->setText(text);
    made->setCheckable(checkable);
    made->setFocusPolicy(Qt::NoFocus);
    made->setToolButtonStyle(Qt::ToolButtonTextOnly);
    made->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return made;
}

// Room beyond what the rows need goes evenly between them, so a page fills its place on a
// large screen rather than leaving it empty below.
void spreadRows(QGridLayout& grid, int rows)
{
    // A row of fixed-height controls cannot grow by its stretch alone: a spacer that can, in a
    // column of its own, lets it.
    const int spacerColumn = grid.columnCount();
    for (int row = 0; row < rows; ++row) {
        grid.addItem(
            new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), row, spacerColumn);
        grid.setRowStretch(row, 1);
    }
}

void setText(QLineEdit& box, const QString& text)
{
    const QSignalBlocker blocker(box);
    box.setText(text);
}

} // namespace

ClipInspectorWidget::ClipInspectorWidget(QWidget* parent)
    : QWidget(parent)
    , heading(new QLabel("Clip Inspector", this))
    , tabs(new QTabWidget(this))
{
    setObjectName("ClipInspector");
    heading->setObjectName("lClipInspector");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    tabs->setObjectName("ClipInspectorTabManager");
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->addTab(buildMainPage(), "Main");
    tabs->addTab(build2DPage(), "2D");
    tabs->addTab(build3DPage(), "3D");
    // The effect's controls (plug-in list, "Enable Effect", the parameter faders and
    // "Wet / Dry") are a widget of their own, which the windows place on this page.
    effectPage = new QWidget(tabs);
    effectPage->setObjectName("EffectPlace");
    new QVBoxLayout(effectPage);
    tabs->addTab(effectPage, "FreeFrame");

    // The heading and "Done" sit beside the page tabs, so they cost no height.
    auto* corner = new QWidget(tabs);
    auto* top = new QHBoxLayout(corner);
    top->setContentsMargins(8, 0, 0, 0);
    top->addWidget(heading);
    top->addWidget(actionButton(Action::Done, "Done", "bDone"));
    tabs->setCornerWidget(corner, Qt::TopRightCorner);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(tabs, 1);
}

QSlider* ClipInspectorWidget::fader(Fader which, const char* name, int minimum, int maximum)
{
    QSlider* made = makeFader(this, name, maximum);
    made->setMinimum(minimum);
    made->setMinimumWidth(60);
    faders[which] = made;
    return made;
}

QLineEdit* ClipInspectorWidget::box(Box which, const char* name)
{
    auto* made = new QLineEdit(this);
    made->setObjectName(name);
    made->setReadOnly(true);
    made->setFocusPolicy(Qt::NoFocus);
    made->setMaximumWidth(72);
    made->installEventFilter(this);
    boxes[which] = made;
    return made;
}

QAbstractButton* ClipInspectorWidget::switchButton(Switch which, const char* text, const char* name)
{
    QAbstractButton* made = button(this, name, text, true);
    switches[which] = made;
    return made;
}

QAbstractButton* ClipInspectorWidget::actionButton(Action which, const char* text, const char* name)
{
    QAbstractButton* made = button(this, name, text, false);
    actions[which] = made;
    return made;
}

// Each page keeps to four or five rows, so that the inspector fits between the display and
// the grid at the main window's working size.
QWidget* ClipInspectorWidget::buildMainPage()
{
    // The controls' rows on the left, the main clip preview taking the room on the right.
    QGridLayout* grid = nullptr;
    QWidget* widget = page(this, grid);
    auto* controls = new QGridLayout;
    controls->setHorizontalSpacing(grid->horizontalSpacing());
    controls->setVerticalSpacing(grid->verticalSpacing());
    grid->addLayout(controls, 0, 0);
    preview = new ClipPreview(widget);
    inOutBar = &preview->bar();
    grid->addWidget(preview, 0, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid = controls;
    grid->addWidget(caption(widget, "Volume"), 0, 0);
    grid->addWidget(fader(Fader::Volume, "tbVolume", 0, kVolumeFaderMax), 0, 1);
    grid->addWidget(box(Box::Volume, "ebVolume"), 0, 2);
    grid->addWidget(switchButton(Switch::Mute, "Mute", "cbMute"), 0, 3);
    grid->addWidget(caption(widget, "Speed"), 0, 4);
    grid->addWidget(fader(Fader::Speed, "tbSpeed", 0, kSpeedFaderMax), 0, 5);
    grid->addWidget(box(Box::Frequency, "ebFrequency"), 0, 6);
    grid->addWidget(caption(widget, "Pan"), 1, 0);
    grid->addWidget(fader(Fader::Pan, "OskelTransTrackbar1", 0, kPanFaderMax), 1, 1);
    grid->addWidget(switchButton(Switch::DisableMidi, "Disable MIDI", "cbDisableMIDI"), 1, 2, 1, 2);
    grid->addWidget(caption(widget, "In / Out"), 1, 4);
    auto* points = new QHBoxLayout;
    points->addWidget(box(Box::InPoint, "ebInPoint"));
    points->addWidget(box(Box::OutPoint, "ebOutPoint"));
    points->addStretch();
    grid->addLayout(points, 1, 5);
    grid->addWidget(switchButton(Switch::Chop, "Chop", "cbChop"), 1, 6);

    auto* tempo = new QHBoxLayout;
    tempo->addWidget(switchButton(Switch::SyncMode, "Sync Mode", "cbSlotSyncMode"));
    tempo->addWidget(switchButton(Switch::ReSync, "ReSync", "cbReSync"));
    tempo->addWidget(switchButton(Switch::FollowBpm, "Follow BPM", "cbFollowBPM"));
    tempo->addWidget(caption(widget, "Beats"));
    beats = new QSpinBox(widget);
    beats->setObjectName("udBeats");
    beats->setRange(0, kBeatsMax);
    beats->setFocusPolicy(Qt::NoFocus);
    beats->setKeyboardTracking(false);
    m_beatsText = beats->findChild<QLineEdit*>();
    m_beatsText->setReadOnly(true);
    m_beatsText->installEventFilter(this);
    tempo->addWidget(beats);
    tempo->addStretch();
    tempo->addWidget(actionButton(Action::ClearClipslot, "Clear Clipslot", "bClearClipslot"));
    grid->addLayout(tempo, 2, 0, 1, 7);

    auto* figures = new QHBoxLayout;
    sampleRate = new QLabel(widget);
    sampleRate->setObjectName("lSampleRate");
    frameCount = new QLabel(widget);
    frameCount->setObjectName("lNumFrames");
    frameRate = new QLabel(widget);
    frameRate->setObjectName("lFPS");
    audioDuration = new QLabel(widget);
    audioDuration->setObjectName("lAudioDuration");
    for (auto [text, label] :
        { std::pair { "sample rate", sampleRate }, std::pair { "Num Frames", frameCount },
            std::pair { "FPS", frameRate }, std::pair { "audio duration", audioDuration } }) {
        figures->addWidget(caption(widget, text));
        figures->addSpacing(4);
        figures->addWidget(label);
        figures->addSpacing(12);
    }
    figures->addStretch();
    grid->addLayout(figures, 3, 0, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    spreadRows(*grid, 4);
    return widget;
}

QWidget* ClipInspectorWidget::build2DPage()
{
    QGridLayout* grid = nullptr;
    QWidget* widget = page(this, grid);
    auto* edges = new QHBoxLayout;
    for (auto [which, text, name] : { std::tuple { Box::Left, "left", "ebLeft" },
             std::tuple { Box::Top, "top", "ebTop" }, std::tuple { Box::Right, "right", "ebRight" },
             std::tuple { Box::Bottom, "bottom", "ebBottom" } }) {
        edges->addWidget(caption(widget, text));
        edges->addWidget(box(which, name));
    }
    edges->addStretch();
    grid->addLayout(edges, 0, 0, 1, 3);
    grid->addWidget(caption(widget, "Width"), 1, 0);
    grid->addWidget(fader(Fader::Width, "tbWidth", 0, kWidthFaderMax), 1, 1);
    grid->addWidget(box(Box::Width, "ebWidth"), 1, 2);
    grid->addWidget(caption(widget, "Height"), 2, 0);
    grid->addWidget(fader(Fader::Height, "tbHeight", 0, kHeightFaderMax), 2, 1);
    grid->addWidget(box(Box::Height, "ebHeight"), 2, 2);
    grid->addWidget(caption(widget, "Size"), 3, 0);
    grid->addWidget(fader(Fader::Size, "tbSize", 0, kSizeFaderMax), 3, 1);
    actualSize = new QLabel(widget);
    actualSize->setObjectName("lClipActualSize");
    grid->addWidget(actualSize, 3, 2);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(actionButton(Action::ActualSize, "Actual Size", "bActualSize"));
    for (auto [which, text, name] : { std::tuple { Action::Quarter1, "1", "bQuarter1" },
             std::tuple { Action::Quarter2, "2", "bQuarter2" },
             std::tuple { Action::Quarter3, "3", "bQuarter3" },
             std::tuple { Action::Quarter4, "4", "bQuarter4" } }) {
        sizes->addWidget(actionButton(which, text, name));
    }
    presets = new QComboBox(widget);
    presets->setObjectName("cbClipSizePresets");
    presets->setFocusPolicy(Qt::NoFocus);
    for (const std::string_view item : ClipInspector::presetCaptions()) {
        presets->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    sizes->addWidget(presets);
    sizes->addStretch();
    grid->addLayout(sizes, 4, 0, 1, 3);

    auto* stencil = new QHBoxLayout;
    stencil->addWidget(caption(widget, "Stencil"));
    stencil->addWidget(switchButton(Switch::Stencil, "Enable", "cbStencilEnable"));
    browse = button(widget, "bStencilBrowse", "Browse", false);
    stencil->addWidget(browse);
    stencilName = new QLineEdit(widget);
    stencilName->setObjectName("ebStencilName");
    stencilName->setReadOnly(true);
    stencilName->setFocusPolicy(Qt::NoFocus);
    stencil->addWidget(stencilName, 1);
    grid->addLayout(stencil, 0, 3, 1, 4);
    grid->addWidget(caption(widget, "Luma Key"), 1, 3);
    grid->addWidget(fader(Fader::LumaKey, "tbLuma", 0, kLumaFaderMax), 1, 4);
    grid->addWidget(box(Box::Luma, "ebLuma"), 1, 5);
    grid->addWidget(switchButton(Switch::InverseLuma, "Inverse Luma", "cbInverseLuma"), 1, 6);
    grid->addWidget(caption(widget, "Luma Blend"), 2, 3);
    grid->addWidget(fader(Fader::LumaBlend, "tbLumaBlend", 0, kLumaFaderMax), 2, 4);
    grid->addWidget(caption(widget, "Opacity"), 3, 3);
    grid->addWidget(fader(Fader::Opacity, "tbOpacity", 0, kOpacityFaderMax), 3, 4);
    auto* looks = new QHBoxLayout;
    for (auto [which, text, name] : { std::tuple { Action::Normal, "Normal", "bNormal" },
             std::tuple { Action::AdditiveOn, "Additive", "bAdditive" },
             std::tuple { Action::SwapOff, "Off", "bSwapOff" },
             std::tuple { Action::SwapRedGreen, "R/G", "bSwapRG" },
             std::tuple { Action::SwapRedBlue, "R/B", "bSwapRB" },
             std::tuple { Action::SwapBlueGreen, "B/G", "bSwapBG" } }) {
        actionButton(which, text, name)->setCheckable(true);
        looks->addWidget(actions[which]);
        if (which == Action::AdditiveOn) {
            looks->addSpacing(8);
        }
    }
    looks->addStretch();
    grid->addLayout(looks, 4, 3, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    spreadRows(*grid, 5);
    return widget;
}

QWidget* ClipInspectorWidget::build3DPage()
{
    QGridLayout* grid = nullptr;
    QWidget* widget = page(this, grid);
    grid->addWidget(switchButton(Switch::ThreeD, "Enable 3D", "cbEnable3D"), 0, 0);
    grid->addWidget(caption(widget, "3D Size"), 0, 1);
    grid->addWidget(fader(Fader::Size3D, "tb3DSize", -kSize3DFaderLimit, kSize3DFaderLimit), 0, 2);
    int row = 1;
    for (auto [which, reset, text, name, resetName] :
        { std::tuple { Fader::XRotation, Action::ResetX, "X Rotation", "tbXRot", "bResetX" },
            std::tuple { Fader::YRotation, Action::ResetY, "Y Rotation", "tbYRot", "bResetY" },
            std::tuple { Fader::ZRotation, Action::ResetZ, "Z Rotation", "tbZRot", "bResetZ" } }) {
        grid->addWidget(caption(widget, text), row, 1);
        grid->addWidget(fader(which, name, -kRotationFaderLimit, kRotationFaderLimit), row, 2);
        grid->addWidget(actionButton(reset, "Reset", resetName), row, 3);
        ++row;
    }
    grid->addWidget(caption(widget, "Tiles across"), 0, 4);
    grid->addWidget(fader(Fader::HorizontalTiles, "tbHorzTiles", kTilesMin, kTilesMax), 0, 5);
    grid->addWidget(caption(widget, "Tiles down"), 1, 4);
    grid->addWidget(fader(Fader::VerticalTiles, "tbVertTiles", kTilesMin, kTilesMax), 1, 5);
    grid->addWidget(caption(widget, "Spacing"), 2, 4);
    grid->addWidget(fader(Fader::Spacing, "tbSpacing", 0, kSpacingFaderMax), 2, 5);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    spreadRows(*grid, 4);
    return widget;
}

void ClipInspectorWidget::showContents(const Contents& contents, bool)
{
    m_shown = contents;
    heading->setText(QString::fromStdString(contents.heading));
    showFaders(contents);
    showBoxes(contents);
    showButtons(contents);
}

void ClipInspectorWidget::showFaders(const Contents& contents)
{
    const std::pair<Fader, int> positions[] = {
        { Fader::Width, contents.width },
        { Fader::Height, contents.height },
        { Fader::Size, contents.size },
        { Fader::LumaKey, contents.lumaKeyLevel },
        { Fader::LumaBlend, contents.lumaBlendLevel },
        { Fader::Opacity, contents.opacity },
        { Fader::Size3D, contents.size3D },
        { Fader::XRotation, contents.xRotation },
        { Fader::YRotation, contents.yRotation },
        { Fader::ZRotation, contents.zRotation },
        { Fader::HorizontalTiles, contents.horizontalTiles },
        { Fader::VerticalTiles, contents.verticalTiles },
        { Fader::Spacing, contents.spacing },
        { Fader::Volume, contents.volumeFader },
        { Fader::Pan, contents.pan },
        { Fader::Speed, contents.frequency },
    };
    for (const auto& [which, position] : positions) {
        QSlider& shown = *faders.at(which);
        if (!shown.isSliderDown()) {
            const QSignalBlocker blocker(shown);
            shown.setValue(position);
        }
    }
}

void ClipInspectorWidget::showBoxes(const Contents& contents)
{
    const std::pair<Box, QString> texts[] = {
        { Box::Left, QString::number(contents.left) },
        { Box::Top, QString::number(contents.top) },
        { Box::Right, QString::number(contents.right) },
        { Box::Bottom, QString::number(contents.bottom) },
        { Box::Width, QString::number(contents.width) },
        { Box::Height, QString::number(contents.height) },
        { Box::Luma, QString::number(contents.lumaKeyLevel) },
        { Box::Volume, QString::number(contents.attenuation) },
        { Box::Frequency, QString::number(contents.frequency) },
        { Box::InPoint, QString::number(contents.inPoint) },
        { Box::OutPoint, QString::number(contents.outPoint) },
    };
    for (const auto& [which, text] : texts) {
        setText(*boxes.at(which), text);
    }
    {
        const QSignalBlocker blocker(beats);
        beats->setValue(contents.beats);
    }
    inOutBar->showPoints(
        contents.lengthFrames, contents.inPoint, contents.outPoint, contents.position);
    setText(*stencilName, QString::fromStdString(contents.stencilFileName));
    actualSize->setText(QString::fromStdString(contents.actualSize));
    sampleRate->setText(QString::fromStdString(contents.sampleRate));
    frameCount->setText(QString::fromStdString(contents.frameCount));
    frameRate->setText(QString::fromStdString(contents.frameRate));
    audioDuration->setText(QString::fromStdString(contents.audioDuration));
}

void ClipInspectorWidget::showButtons(const Contents& contents)
{
    const std::pair<Switch, bool> states[] = {
        { Switch::InverseLuma, contents.inverseLuma },
        { Switch::Additive, contents.additive },
        { Switch::Stencil, contents.stencilEnabled },
        { Switch::ThreeD, contents.threeD },
        { Switch::Mute, contents.mute },
        { Switch::DisableMidi, contents.disableMidi },
        { Switch::Chop, contents.chop },
        { Switch::SyncMode, contents.syncMode },
        { Switch::ReSync, contents.reSync },
        { Switch::FollowBpm, contents.followBpm },
    };
    for (const auto& [which, on] : states) {
        if (const auto found = switches.find(which); found != switches.end()) {
            const QSignalBlocker blocker(found->second);
            found->second->setChecked(on);
        }
    }
    switches.at(Switch::ThreeD)->setEnabled(contents.threeDAllowed || contents.threeD);
    const std::pair<Action, bool> lit[] = {
        { Action::Normal, !contents.additive },
        { Action::AdditiveOn, contents.additive },
        { Action::SwapOff, contents.colourSwap == 0 },
        { Action::SwapRedGreen, contents.colourSwap == 1 },
        { Action::SwapRedBlue, contents.colourSwap == 2 },
        { Action::SwapBlueGreen, contents.colourSwap == 3 },
    };
    for (const auto& [which, on] : lit) {
        const QSignalBlocker blocker(actions.at(which));
        actions.at(which)->setChecked(on);
    }
    const QSignalBlocker blocker(presets);
    presets->setCurrentIndex(0);
}

bool ClipInspectorWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == window() && isVisible()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT enterPressed();
            return false;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_beatsText) {
        Q_EMIT boxPressed(Box::Beats);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (const auto& [which, shown] : boxes) {
            if (shown == watched) {
                Q_EMIT boxPressed(which);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ClipInspectorWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT enterPressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace oskel
