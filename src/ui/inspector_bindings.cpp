// The windows' side of the clip inspector: its controls bound to the inspector's logic, the
// numeric input box of its boxes, the main clip preview, and the inspected slot framed on the
// grid.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include "control/midi_ports.h"
#include "ui/clip_inspector_widget.h"
#include "ui/clip_preview.h"
#include "ui/dialogs.h"
#include "ui/in_out_bar.h"
#include "ui/instrument_windows.h"
#include "ui/layer_stack_widget.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"

namespace oskel {

namespace {

constexpr char kNumericInputCaption[] = "Numeric Input";
constexpr char kNumericInputPrompt[] = "Enter a new value";
constexpr char kInvalidValue[] = "Sorry, invalid value";

// The edges of the rectangle may lie left of or above the composition area.
bool takesNegative(ClipInspector::Box box)
{
    using Box = ClipInspector::Box;
    return box == Box::Left || box == Box::Top || box == Box::Right || box == Box::Bottom;
}

} // namespace

void InstrumentWindows::bindInspector()
{
    ClipInspectorWidget& widget = m_main->inspector();
    m_inspector = std::make_unique<ClipInspector>(ClipInspector::Links { m_links->performance,
        m_links->events, m_links->tempo, static_cast<ClipInspectorView&>(*this) });
    ClipInspector& logic = *m_inspector;
    m_links->controls.attachInspector(&logic);

    for (const auto& [which, fader] : widget.faders) {
        QObject::connect(fader, &QSlider::valueChanged, fader, [this, &logic, which](int position) {
            guarded([&] { logic.faderMoved(which, position); });
        });
    }
    for (const auto& [which, button] : widget.switches) {
        QObject::connect(button, &QAbstractButton::clicked, button,
            [this, &logic, which](bool lit) { guarded([&] { logic.switchClicked(which, lit); }); });
    }
    for (const auto& [which, button] : widget.actions) {
        QObject::connect(button, &QAbstractButton::clicked, button,
            [this, &logic, which] { guarded([&] { logic.actionClicked(which); }); });
    }
    QObject::connect(widget.presets, &QComboBox::activated, widget.presets,
        [this, &logic](int item) { guarded([&] { logic.presetChosen(item); }); });
    QObject::connect(
        widget.beats, &QSpinBox::valueChanged, widget.beats, [this, &logic](int beats) {
            guarded([&] { logic.boxEntered(ClipInspector::Box::Beats, std::to_string(beats)); });
        });
    QObject::connect(widget.inOutBar, &InOutBar::markerMoved, widget.inOutBar,
        [this, &logic](InOutBar::Marker marker, std::int64_t frames) {
            const auto box = marker == InOutBar::Marker::In ? ClipInspector::Box::InPoint
                                                            : ClipInspector::Box::OutPoint;
            guarded([&] { logic.markerMoved(box, frames); });
        });
    QObject::connect(&widget.preview->picture(), &PictureView::doubleClicked, &widget, [this] {
        if (m_inspector != nullptr) {
            guarded([this] { grid().thumbnailDoubleClick(m_inspector->inspectedSlot()); });
        }
    });
    QObject::connect(&widget, &ClipInspectorWidget::boxPressed, &widget,
        [this](ClipInspector::Box box) { askInspectorBox(box); });
    QObject::connect(
        widget.browse, &QAbstractButton::clicked, widget.browse, [this] { chooseStencil(); });
    QObject::connect(&widget, &ClipInspectorWidget::enterPressed, &widget,
        [this, &logic] { guarded([&] { logic.actionClicked(ClipInspector::Action::Done); }); });
    // The control surface follows the page in front, for the current clip.
    QObject::connect(widget.tabs, &QTabWidget::currentChanged, &widget, [this, &widget](int tab) {
        if (ControlSurfacePort* surface = m_links->midi.surface) {
            const std::string page = widget.tabs->tabText(tab).toStdString();
            guarded([&] {
                surface->inspectorPageChosen(page, m_links->performance.globals().selectedSlot);
            });
        }
    });
    QObject::connect(&widget, &ClipInspectorWidget::refreshWanted, &widget,
        [this, &logic] { guarded([&] { logic.UpdateValues("Shown"); }); });
    m_main->installEventFilter(&widget);
}

void InstrumentWindows::detachInspector()
{
    if (m_inspector == nullptr) {
        return;
    }
    m_main->removeEventFilter(&m_main->inspector());
    if (m_links != nullptr) {
        m_links->controls.attachInspector(nullptr);
    }
    m_inspector.reset();
}

void InstrumentWindows::showContents(const clip_inspector::Contents& contents, bool withEffect)
{
    m_main->inspector().showContents(contents, withEffect);
}

void InstrumentWindows::showInspectedSlot(int slot)
{
    ClipInspectorWidget& widget = m_main->inspector();
    widget.show();
    m_main->layers().SelectLayer(slot);
    for (int panel = 1; panel <= kSlotCount; ++panel) {
        m_main->grid().panel(panel).setFramed(panel == slot);
    }
}

void InstrumentWindows::hideInspector()
{
    m_main->inspector().hide();
}

void InstrumentWindows::askInspectorBox(ClipInspector::Box box)
{
    afterHandler([this, box] {
        if (m_inspector == nullptr || !isValidSlot(m_inspector->inspectedSlot())) {
            return;
        }
        const QLineEdit* shown
            = box == ClipInspector::Box::Beats ? nullptr : m_main->inspector().boxes.at(box);
        const std::string start = shown != nullptr
            ? shown->text().toStdString()
            : std::to_string(m_main->inspector().beats->value());
        const std::optional<std::string> answer
            = dialogs().askValue(kNumericInputCaption, kNumericInputPrompt, start);
        if (!answer || m_closed || m_inspector == nullptr) {
            return;
        }
        if (!clip_inspector::acceptedNumericInput(*answer, takesNegative(box))) {
            dialogs().showMessage(kInvalidValue);
            return;
        }
        guarded([&] { m_inspector->boxEntered(box, *answer); });
    });
}

void InstrumentWindows::showClipPreview(const QImage& picture)
{
    PictureView& preview = m_main->inspector().preview->picture();
    if (picture.isNull()) {
        if (!preview.picture().isNull()) {
            preview.fill(Qt::black);
        }
    } else if (picture.cacheKey() != preview.picture().cacheKey()) {
        preview.setPicture(picture);
    }
}

bool InstrumentWindows::isInspected(int slot) const
{
    return m_inspector != nullptr && m_inspector->inspectedSlot() == slot;
}

void InstrumentWindows::chooseStencil()
{
    afterHandler([this] {
        if (m_inspector == nullptr || !isValidSlot(m_inspector->inspectedSlot())) {
            return;
        }
        const int slot = m_inspector->inspectedSlot();
        const std::optional<std::filesystem::path> chosen
            = dialogs().chooseStencil(m_links->performance.slots()[slot].StencilFileName.str());
        if (chosen && !m_closed && m_inspector != nullptr) {
            guarded([&] { m_inspector->stencilChosen(*chosen); });
        }
    });
}

// A value set elsewhere (MIDI, a patch, a recorded performance) shows within a refresh; the
// main clip preview shows the slot's still while it is not playing (its live picture comes
// with the other live pictures).
void InstrumentWindows::refreshInspector()
{
    if (m_inspector == nullptr || !isValidSlot(m_inspector->inspectedSlot())) {
        return;
    }
    const int slot = m_inspector->inspectedSlot();
    if (!m_links->performance.slots()[slot].Playing) {
        showClipPreview(m_main->grid().panel(slot).still());
    }
    const clip_inspector::Contents now
        = clip_inspector::contents(m_links->performance, m_inspector->inspectedSlot());
    if (!(now == m_main->inspector().shown())) {
        m_main->inspector().showContents(now, true);
    }
}

} // namespace oskel
