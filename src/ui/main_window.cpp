#include "ui/main_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "control/slot_grid_layout.h"
#include "core/control_names.h"
#include "core/control_value.h"
#include "ui/clip_explorer_page.h"
#include "ui/clip_inspector_widget.h"
#include "ui/crossfade_controls.h"
#include "ui/layer_stack_widget.h"
#include "ui/master_controls.h"
#include "ui/output_view.h"
#include "ui/patches_tab.h"
#include "ui/picture_view.h"
#include "ui/record_render_controls.h"
#include "ui/slot_grid_widget.h"
#include "ui/tempo_controls.h"

namespace oskel {

MainWindow::MainWindow()
    : m_display(new OutputView)
    , m_master(new MasterControls)
    , m_tempo(new TempoControls)
    , m_crossfade(new CrossfadeControls)
    , m_grid(new SlotGridWidget)
    , m_inspector(new ClipInspectorWidget)
    , m_layers(new VideoLayers)
    , m_patches(std::make_unique<PatchesTab>())
    , m_recordRender(new RecordRenderControls)
    , m_clipExplorer(new ClipExplorerPage)
    , m_status(new QPushButton)
{
    setObjectName("fmOskel3main");
    setWindowTitle("Oskel 3");
    m_display->setObjectName("pnDisplay");
    m_display->setFixedSize(384, 288);
    m_status->setObjectName("lStatus");
    m_status->setFlat(true);
    m_status->setFocusPolicy(Qt::NoFocus);
    m_status->setStyleSheet("text-align: left;");

    auto* client = new QWidget;
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(buildTopRow());
    left->addWidget(m_inspector, 1);
    left->addWidget(m_grid, 0, Qt::AlignLeft | Qt::AlignBottom);
    body->addLayout(left, 1);
    body->addWidget(m_layers);
    column->addLayout(body, 1);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(buildMenu());
    // The caption answers a click as the status line does.
    auto* statusCaption = new QPushButton("Status", client);
    statusCaption->setObjectName("lStatusCaption");
    statusCaption->setFlat(true);
    statusCaption->setFocusPolicy(Qt::NoFocus);
    connect(statusCaption, &QPushButton::clicked, m_status, &QPushButton::click);
    statusRow->addWidget(statusCaption);
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_recordRender);
    column->addLayout(statusRow);
    setCentralWidget(client);
    registerControls();
}

MainWindow::~MainWindow() = default;

// The menu sits in a button on the status row, so that it costs the window no height.
QWidget* MainWindow::buildMenu()
{
    auto* button = new QToolButton;
    button->setObjectName("MainMenu");
    button->setText("Menu");
    button->setFocusPolicy(Qt::NoFocus);
    button->setPopupMode(QToolButton::InstantPopup);
    auto* file = new QMenu(button);
    button->setMenu(file);
    openMedia = file->addAction("Open Media");
    openLiveSource = file->addAction("Open Live Source");
    loadMultipleClips = file->addAction("Load Multiple Clips F7");
    openPatch = file->addAction("Open Patch F2");
    savePatch = file->addAction("Save Patch F3");
    file->addSeparator();
    preferences = file->addAction("Preferences F4");
    midiConfiguration = file->addAction("MIDI Configuration");
    videoCompression = file->addAction("Video Compression Settings");
    performanceMonitor = file->addAction("Performance Monitor");
    pluginMonitor = file->addAction("FreeFrame Plugin Monitor");
    help = file->addAction("Oskel3 Help");
    about = file->addAction("About");
    file->addSeparator();
    QAction* exit = file->addAction("Exit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    return button;
}

QWidget* MainWindow::buildTopRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_display, 0, Qt::AlignTop);
    // The master controls with the tempo, trails with the crossfader, and the patch explorer
    // share one set of pages, which is no higher than the display panel; the layer stack
    // takes the window's right-hand column.
    auto* controls = new QTabWidget(row);
    controls->setObjectName("MasterControlsTransTabManager");
    controls->setFocusPolicy(Qt::NoFocus);
    auto* masterPage = new QWidget(controls);
    auto* masterColumn = new QVBoxLayout(masterPage);
    masterColumn->setContentsMargins(2, 2, 2, 2);
    masterColumn->setSpacing(2);
    masterColumn->addWidget(m_master);
    masterColumn->addWidget(m_tempo);
    masterColumn->addStretch();
    controls->addTab(masterPage, "Master");
    controls->addTab(m_crossfade, "Trails / Crossfade");
    controls->addTab(m_clipExplorer, "Clips");
    controls->addTab(m_patches->listPage, "Patches");
    controls->addTab(m_patches->timingPage, "Auto / Console");
    highlightTabs(*controls);
    m_patches->setBringToFront(
        [controls, this] { controls->setCurrentWidget(m_patches->listPage); });
    layout->addWidget(controls, 1, Qt::AlignTop);
    return row;
}

void MainWindow::registerControls()
{
    m_controls.addButton(control::kTrailsEnable, *m_crossfade->trailsEnable);
    m_controls.addSlider(control::kTrailsStrength, *m_crossfade->trailsStrength);
    m_controls.addButton(control::kTriggerToFront, *m_master->triggerToFront);
    m_controls.addButton(control::kLoop, *m_master->loop);
    m_controls.addButton(control::kStandby, *m_master->standby);
    m_controls.addSlider(control::kMasterVolume, *m_master->masterVolume);
    m_controls.addField(control::kTempo, *m_tempo->tempoField);
    m_controls.addCaption(control::kTapButton, *m_tempo->tap);
    m_controls.addLabel(control::kBeatCounter, *m_tempo->beatCounter);
    m_controls.addLabel(control::kCalculatedBpm, *m_tempo->calculatedBpm);
    m_controls.addLabel(control::kFramesPerBeat, *m_tempo->framesPerBeat);
    m_controls.addLabel(control::kSelectionDuration, *m_tempo->selectionDuration);
    m_controls.addButton(control::kPcNoteOff, *m_master->pcNoteOff);
    m_controls.addButton(control::kFullScreen, *m_master->fullScreen);
    m_controls.addButton(control::kMonophonic, *m_master->monophonic);
    m_controls.addButton(control::kLoadInSyncMode, *m_master->syncMode);
    m_controls.addButton(control::kCrossfadeEnable, *m_crossfade->crossfadeEnable);
    m_controls.addSlider(control::kCrossfadePosition, *m_crossfade->crossfade);
    m_controls.addButton(control::kCrossfadeVideo, *m_crossfade->video);
    m_controls.addButton(control::kCrossfadeAudio, *m_crossfade->audio);
    m_controls.addButton(control::kKeepSettings, *m_master->keepSettings);
    m_controls.addButton(control::kAutoAdvance, *m_master->autoAdvance);
    m_controls.addButton(control::kRandomAdvance, *m_master->randomAdvance);
    m_controls.addButton(control::kMasterMute, *m_master->masterMute);
    m_controls.addButton(control::kAutoBpm, *m_tempo->autoBpm);
    m_controls.addLabel(control::kPatchLabel, *m_patches->patchLabel);
    // The grid shares the main window: its caption is the grid's tip.
    m_controls.add(control::kGridCaption, [this](const ControlValue& value) {
        m_grid->setToolTip(QString::fromStdString(controlValueAsText(value)));
    });
    m_controls.add(control::kCopyMode, [this](const ControlValue& value) {
        m_master->showCopyMode(controlValueAsInteger(value));
    });
    m_controls.addLabel(control::kCrossfadeLetterA, *m_crossfade->letterA);
    m_controls.addLabel(control::kCrossfadeLetterB, *m_crossfade->letterB);
    m_controls.add(control::kCrossfadePreviewA, [this](const ControlValue& value) {
        showSlotStill(*m_crossfade->previewA, controlValueAsInteger(value));
    });
    m_controls.add(control::kCrossfadePreviewB, [this](const ControlValue& value) {
        showSlotStill(*m_crossfade->previewB, controlValueAsInteger(value));
    });
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        registerSlotControls(m_grid->panel(slot));
    }
    registerInspectorControls();
    highlightTabs(*m_inspector->tabs);
}

// The caption of the tab in front is red, the others black.
void MainWindow::highlightTabs(QTabWidget& tabs)
{
    tabs.tabBar()->setObjectName(tabs.objectName() + "Bar");
    const auto paint = [&tabs](int current) {
        for (int tab = 0; tab < tabs.count(); ++tab) {
            tabs.tabBar()->setTabTextColor(tab, tab == current ? Qt::red : Qt::black);
        }
    };
    paint(tabs.currentIndex());
    connect(&tabs, &QTabWidget::currentChanged, this, paint);
}

// The inspector shows every value of its slot again when any of them is shown.
void MainWindow::registerInspectorControls()
{
    for (const std::string_view name :
        { control::kInspectorRefresh, control::kInPoint, control::kOutPoint, control::kFrequency,
            control::kVolume, control::kOpacity, control::kLumaKeyLevel, control::kFollowBpm,
            control::kSlotSyncMode, control::kEnable3D, control::kStencilEnable, control::kMute,
            control::kChop, control::kReSync, control::kInverseLuma }) {
        m_controls.add(name, [this](const ControlValue&) { Q_EMIT m_inspector->refreshWanted(); });
    }
}

void MainWindow::registerSlotControls(SlotPanel& panel)
{
    const int slot = panel.slot();
    m_controls.add(slot_grid::cloneName("lbKey", slot), [&panel](const ControlValue& value) {
        panel.setCaption(QString::fromStdString(controlValueAsText(value)));
    });
    m_controls.add(slot_grid::cloneName("imgProgress", slot),
        [&panel](const ControlValue& value) { panel.setProgress(controlValueAsInteger(value)); });
    for (const slot_grid::StatusButtonInfo& info : slot_grid::kStatusButtons) {
        m_controls.add(slot_grid::cloneName(info.child, slot),
            [&panel, button = info.button](const ControlValue& value) {
                panel.setStatusButton(button, controlValueAsBool(value));
            });
    }
}

void MainWindow::showSlotStill(PictureView& preview, int slot)
{
    if (isValidSlot(slot) && !m_grid->panel(slot).still().isNull()) {
        preview.setPicture(m_grid->panel(slot).still());
    } else {
        preview.fill(Qt::black);
    }
}

void MainWindow::setStatusText(const QString& text)
{
    m_status->setText(text);
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        resize(kClientWidth, kClientHeight);
        Q_EMIT firstActivation();
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_closeQuery && !m_closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace oskel
