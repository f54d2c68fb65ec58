// The event processor's geometry actions: moving and sizing a slot's rectangle.
#include "core/control_names.h"
#include "core/event_processor.h"
#include "core/frame_size.h"
#include "core/slot_geometry.h"
#include "core/slot_rules.h"

namespace oskel {

namespace {

SlotRect rectOf(const TPlayAvistruct& slot)
{
    return { slot.Left, slot.Top, slot.Right, slot.Bottom };
}

} // namespace

void EventProcessor::applyRect(TPlayAvistruct& slot, const SlotRect& rect, bool recomputeSize)
{
    slot.Left = rect.left;
    slot.Top = rect.top;
    slot.Right = rect.right;
    slot.Bottom = rect.bottom;
    if (recomputeSize) {
        updateSize(slot);
    }
}

void EventProcessor::positionFromController(const TSlotEvent& event)
{
    const bool horizontal = event.Value == 1;
    if (horizontal && event.Value2 > 127) {
        return;
    }
    TPlayAvistruct& slot = record(event);
    applyRect(slot,
        oskel::positionFromController(
            rectOf(slot), horizontal, event.Value2, m_performance.globals().ConstrainMovement),
        false);
}

void EventProcessor::move(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    applyRect(slot,
        moveTo(rectOf(slot), event.Value, event.Value2, m_performance.globals().ConstrainMovement),
        true);
    if (isInspected(event.Slot)) {
        show(control::kInspectorRefresh, true);
    }
}

void EventProcessor::zoom(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    const FrameSize area = areaSizeOf(slot.ClipWidth, slot.ClipHeight);
    applyRect(slot, oskel::zoom(rectOf(slot), area.width, area.height, event.Value), true);
}

void EventProcessor::size(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    applyRect(
        slot, resize(rectOf(slot), event.Value, m_performance.globals().ConstrainMovement), false);
    slot.Size = event.Value;
}

void EventProcessor::aspect(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    applyRect(slot, oskel::aspect(rectOf(slot), event.Value, slot.Size), false);
}

void EventProcessor::width(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    applyRect(
        slot, setWidth(rectOf(slot), event.Value, m_performance.globals().ConstrainMovement), true);
}

void EventProcessor::height(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    applyRect(slot, setHeight(rectOf(slot), event.Value, m_performance.globals().ConstrainMovement),
        true);
}

} // namespace oskel
