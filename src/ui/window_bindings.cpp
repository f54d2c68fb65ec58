// What each control of the windows hands to the logic, and which controls show what the
// logic tells them.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "control/crossfade_mixer.h"
#include "control/keyboard_control.h"
#include "control/output_mouse.h"
#include "core/control_names.h"
#include "core/control_table.h"
#include "core/status_text.h"
#include "platform/memory_status.h"
#include "playback/slot_previews.h"
#include "ui/crossfade_controls.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/master_controls.h"
#include "ui/output_view.h"
#include "ui/output_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"
#include "ui/tempo_controls.h"

namespace oskel {

namespace {

using namespace event_code;

TSlotEvent event(std::uint8_t code, std::int32_t value = 0, std::int32_t slot = 0)
{
    return TSlotEvent { code, value, 0, slot };
}

// A checkable button that sets a toggle of the control table.
void bindToggle(QPushButton& button,
    const std::function<void(const ControlAddress&, std::int32_t)>& set, ControlAddress control)
{
    QObject::connect(&button, &QPushButton::toggled, &button,
        [set, control](bool on) { set(control, on ? 1 : 0); });
}

} // namespace

void InstrumentWindows::bindMasterControls()
{
    MasterControls& master = m_main->master();
    EventSink& events = m_links->events;
    const auto send
        = [this, &events](TSlotEvent sent) { guarded([&] { events.ProcessEvent(sent); }); };
    const auto set = setter();
    bindToggle(*master.triggerToFront, set, masterControl("Layering"));
    bindToggle(*master.loop, set, masterControl("Loop"));
    bindToggle(*master.monophonic, set, masterControl("Monophonic"));
    bindToggle(*master.pcNoteOff, set, masterControl("PcNoteOff"));
    QObject::connect(master.standby, &QPushButton::clicked, master.standby, [this, set] {
        set(masterControl("Standby"), m_links->performance.globals().standby ? 0 : 1);
        const QSignalBlocker blocker(m_main->master().standby);
        m_main->master().standby->setChecked(m_links->performance.globals().standby);
    });
    QObject::connect(
        master.stopAll, &QPushButton::clicked, master.stopAll, [send] { send(event(25)); });
    QObject::connect(
        master.clearScreen, &QPushButton::clicked, master.clearScreen, [send] { send(event(11)); });
    QObject::connect(master.maximize, &QPushButton::clicked, master.maximize,
        [this] { guarded([this] { m_links->controls.fullScreen().toggle(); }); });
    bindToggle(*master.syncMode, set, masterControl("LoadSyncMode"));
    bindToggle(*master.fullScreen, set, masterControl("LoadFullScreen"));
    bindToggle(*master.keepSettings, set, masterControl("LoadKeepSettings"));
    bindToggle(*master.autoAdvance, set, masterControl("AutoAdvance"));
    bindToggle(*master.randomAdvance, set, masterControl("RandomAdvance"));
    QObject::connect(&master.copyChoices(), &QButtonGroup::idClicked, &master.copyChoices(),
        [set](int mode) { set(masterControl("CopyMode"), mode); });
    QObject::connect(master.masterVolume, &QSlider::valueChanged, master.masterVolume,
        [set](int level) { set(masterControl("MasterVolume"), level); });
    bindToggle(*master.masterMute, set, masterControl("MasterMute"));
    QObject::connect(&m_main->statusLine(), &QPushButton::clicked, m_main.get(), [this] {
        m_main->setStatusText(QString::fromStdString(freeMemoryText(availableMemoryBytes())));
    });
}

std::function<void(const ControlAddress&, std::int32_t)> InstrumentWindows::setter()
{
    return [this](const ControlAddress& control, std::int32_t value) {
        guarded([&] { setControl(m_links->events, m_links->performance, control, value); });
    };
}

void InstrumentWindows::bindTempoControls()
{
    TempoControls& tempo = m_main->tempo();
    Tempo& logic = m_links->tempo;
    QObject::connect(tempo.tempoField, &QLineEdit::textEdited, tempo.tempoField,
        [this, &logic](
            const QString& text) { guarded([&] { logic.tempoTextChanged(text.toStdString()); }); });
    QObject::connect(tempo.tempoField, &QLineEdit::returnPressed, tempo.tempoField,
        [this, &logic, field = tempo.tempoField] {
            guarded([&] { logic.tempoTextEntered(field->text().toStdString()); });
        });
    QObject::connect(tempo.tap, &QPushButton::clicked, tempo.tap,
        [this, &logic] { guarded([&] { logic.Tap(m_links->clock()); }); });
    QObject::connect(tempo.sync, &QPushButton::clicked, tempo.sync,
        [this] { guarded([this] { m_links->restartSyncSlots(false); }); });
    QObject::connect(tempo.bpmLabel, &QPushButton::clicked, tempo.bpmLabel,
        [this, &logic] { guarded([&] { logic.ApplyFollowTempoAll(); }); });
    bindToggle(*tempo.autoBpm, setter(), masterControl("AutoBpm"));
}

void InstrumentWindows::bindCrossfadeControls()
{
    CrossfadeControls& controls = m_main->crossfade();
    CrossfadeMixer& mixer = m_links->controls.mixer();
    const auto act = [this](const std::function<void()>& action) { guarded(action); };
    bindToggle(*controls.trailsEnable, setter(), masterControl("Trails"));
    QObject::connect(controls.trailsStrength, &QSlider::valueChanged, controls.trailsStrength,
        [this, set = setter()](int strength) {
            if (isValidSlot(m_links->performance.globals().selectedSlot)) {
                set(masterControl("TrailsStrength"), strength);
            }
        });
    QObject::connect(controls.crossfade, &QSlider::valueChanged, controls.crossfade,
        [act, &mixer](int position) { act([&] { mixer.sbCrossFadeChange(position); }); });
    QObject::connect(controls.crossfadeEnable, &QPushButton::clicked, controls.crossfadeEnable,
        [act, &mixer](bool on) { act([&] { mixer.cbCrossFadeEnableClick(on); }); });
    QObject::connect(controls.video, &QPushButton::clicked, controls.video,
        [act, &mixer](bool on) { act([&] { mixer.cbCFVideoClick(on); }); });
    QObject::connect(controls.audio, &QPushButton::clicked, controls.audio,
        [act, &mixer](bool on) { act([&] { mixer.cbCFAudioClick(on); }); });
    QObject::connect(controls.resetClips, &QPushButton::clicked, controls.resetClips,
        [act, &mixer] { act([&] { mixer.bResetClipsClick(); }); });
    const struct {
        int side;
        QPushButton* transform;
        QSlider* scratch;
        PictureView* preview;
    } sides[] = {
        { CrossfadeMixer::kSideA, controls.transformA, controls.scratchA, controls.previewA },
        { CrossfadeMixer::kSideB, controls.transformB, controls.scratchB, controls.previewB },
    };
    for (const auto& side : sides) {
        const int which = side.side;
        QObject::connect(side.transform, &QPushButton::pressed, side.transform,
            [act, &mixer, which] { act([&] { mixer.TransformDown(which); }); });
        QObject::connect(side.transform, &QPushButton::released, side.transform,
            [act, &mixer, which] { act([&] { mixer.TransformRelease(which); }); });
        QObject::connect(
            side.scratch, &QSlider::valueChanged, side.scratch, [act, &mixer, which](int position) {
                act([&] {
                    if (which == CrossfadeMixer::kSideA) {
                        mixer.tbCFscratchAChange(position);
                    } else {
                        mixer.tbCFscratchBChange(position);
                    }
                });
            });
        QObject::connect(side.preview, &PictureView::pressed, side.preview,
            [act, &mixer, which](Qt::MouseButton button) {
                if (button == Qt::LeftButton) {
                    act([&] { mixer.CFpreviewClick(which); });
                }
            });
        QObject::connect(side.preview, &PictureView::doubleClicked, side.preview,
            [act, &mixer, which] { act([&] { mixer.CFpreviewDblClick(which); }); });
        QObject::connect(
            side.preview, &PictureView::slotDropped, side.preview, [act, &mixer, which](int slot) {
                act([&] {
                    if (which == CrossfadeMixer::kSideA) {
                        mixer.pnCFpreviewADragDrop(slot);
                    } else {
                        mixer.pnCFpreviewBDragDrop(slot);
                    }
                });
            });
    }
}

void InstrumentWindows::bindGrid()
{
    SlotGridWidget& widget = m_main->grid();
    SlotGrid& grid = m_links->controls.grid();
    const auto act = [this](const std::function<void()>& action) { guarded(action); };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SlotPanel* panel = &widget.panel(slot);
        QObject::connect(panel, &SlotPanel::clicked, panel,
            [act, &grid](int s) { act([&] { grid.panelClick(s); }); });
        QObject::connect(panel, &SlotPanel::rightPressed, panel,
            [act, &grid](int s) { act([&] { grid.thumbnailRightButtonDown(s); }); });
        QObject::connect(panel, &SlotPanel::doubleClicked, panel,
            [act, &grid](int s) { act([&] { grid.thumbnailDoubleClick(s); }); });
        QObject::connect(panel, &SlotPanel::playClicked, panel,
            [act, &grid](int s) { act([&] { grid.playClick(s); }); });
        QObject::connect(panel, &SlotPanel::pauseClicked, panel,
            [act, &grid](int s) { act([&] { grid.pauseClick(s); }); });
        QObject::connect(panel, &SlotPanel::stopClicked, panel,
            [act, &grid](int s) { act([&] { grid.stopClick(s); }); });
        QObject::connect(panel, &SlotPanel::statusClicked, panel,
            [act, &grid](int s, slot_grid::StatusButton button) {
                act([&] { grid.statusButtonClick(s, button); });
            });
    }
    QObject::connect(
        &widget, &SlotGridWidget::slotDropped, &widget, [this, act, &grid](int from, int to) {
            const auto mode = static_cast<CopyMode>(m_links->performance.globals().copyMode);
            act([&] { grid.dropSlot(from, to, mode); });
        });
    QObject::connect(&widget, &SlotGridWidget::filesDropped, &widget,
        [act, &grid](const QPoint& point, const QStringList& files) {
            std::vector<std::filesystem::path> paths;
            for (const QString& file : files) {
                paths.emplace_back(file.toStdString());
            }
            act([&] { grid.dropFiles(paths, point.x(), point.y()); });
        });
}

void InstrumentWindows::bindOutput(OutputView& view, OutputMouse::Surface surface)
{
    OutputMouse& mouse = m_links->controls.outputMouse();
    // The secondary output takes the pointer only while playback is not standing by.
    const auto act = [this, surface](const std::function<void()>& action) {
        if (surface == OutputMouse::Surface::SecondaryOutput
            && m_links->performance.globals().standby) {
            return;
        }
        guarded(action);
    };
    QObject::connect(&view, &OutputView::pressed, &view,
        [act, &mouse, surface](Qt::MouseButton button, const QPoint& point, const QSize& size) {
            const OutputMouse::Button pressed = button == Qt::RightButton
                ? OutputMouse::Button::Right
                : button == Qt::LeftButton ? OutputMouse::Button::Left
                                           : OutputMouse::Button::Middle;
            act([&] {
                mouse.DisplayMouseDown(
                    surface, pressed, point.x(), point.y(), size.width(), size.height());
            });
        });
    QObject::connect(&view, &OutputView::moved, &view, [act, &mouse](const QPoint& point) {
        if (mouse.dragging()) {
            act([&] { mouse.DisplayMouseMove(point.x(), point.y()); });
        }
    });
    // A release always ends a drag, standby or not.
    QObject::connect(&view, &OutputView::released, &view, [this, &mouse](const QPoint& point) {
        guarded([&] { mouse.DisplayMouseUp(point.x(), point.y()); });
    });
    view.setDropFilter([&mouse](int slot) { return mouse.DisplayDragOver(slot); });
    QObject::connect(&view, &OutputView::slotDropped, &view,
        [act, &mouse](int slot) { act([&] { mouse.DisplayDragDrop(slot); }); });
}

} // namespace oskel
