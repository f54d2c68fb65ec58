// The windows' side of the layer stack: the widget follows the layer stack and the slots'
// luma keys and opacities, shows their pictures, and hands a press, a reorder and a dropped
// clip to the logic.
#include "control/layer_stack_layout.h"
#include "control/slot_grid_layout.h"
#include "core/control_table.h"
#include "ui/instrument_windows.h"
#include "ui/layer_stack_widget.h"
#include "ui/main_window.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"

namespace oskel {

namespace {

constexpr std::size_t kLayerPosition = controlIndex(ControlScope::Slot, "LayerPosition");

} // namespace

void InstrumentWindows::bindLayers()
{
    VideoLayers& layers = m_main->layers();
    QObject::connect(&layers, &VideoLayers::selectAvi, &layers, [this](int slot) {
        guarded([this, slot] { m_links->controls.inspector().showAVIinfo(slot); });
    });
    QObject::connect(&layers, &VideoLayers::layerDropped, &layers, [this](int dragged, int target) {
        Performance& performance = m_links->performance;
        if (performance.globals().loadingBusy) {
            return;
        }
        guarded([&] {
            setControl(m_links->events, performance, slotControl(kLayerPosition, dragged),
                performance.layerStack().positionOf(target));
        });
        m_main->layers().SetLayerOrder(performance.layerStack().order());
    });
    // A clip dropped on a layer loads into its slot as a drop on the grid does.
    QObject::connect(
        &layers, &VideoLayers::fileDropped, &layers, [this](int slot, const QString& file) {
            guarded([&] { grid().dropFileListSelection(slot, file.toStdString()); });
        });
    setLayerCaptionStyle(slot_grid::captionMode(m_links->performance.options()));
    refreshLayers();
}

void InstrumentWindows::setLayerCaptionStyle(slot_grid::CaptionMode mode)
{
    const KeyboardLayout layout = m_links->performance.globals().keyLetters.layout();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const std::string_view caption = slot_grid::slotCaption(mode, layout, slot);
        m_main->layers().setCaption(
            slot, QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
}

// The order the frame thread draws in, and each slot's bars: empty for an empty slot.
void InstrumentWindows::refreshLayers()
{
    VideoLayers& layers = m_main->layers();
    const Performance& performance = m_links->performance;
    layers.SetLayerOrder(performance.layerStack().order());
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = performance.slots()[slot];
        const bool loaded = record.Loaded;
        layers.SetLumaBar(slot, loaded ? record.LumaKeyLevel : layer_stack_layout::kLumaBarMax);
        layers.SetOpacityBar(slot, loaded ? record.AlphaLevel : layer_stack_layout::kOpacityBarMax);
        if (!record.Playing) {
            layers.showPicture(slot, m_main->grid().panel(slot).still());
        }
    }
}

} // namespace oskel
