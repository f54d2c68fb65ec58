#include "control/output_mouse.h"

#include <algorithm>
#include <limits>

#include "core/rounding.h"
#include "core/trigger_event.h"

namespace oskel {

namespace {

constexpr double kCompositionWidth = 384.0;
constexpr double kCompositionHeight = 288.0;

bool isDrawn(const TPlayAvistruct& record)
{
    return record.Playing && (!record.InstallationMode || record.Shown);
}

std::int32_t roundedCoordinate(double value)
{
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(roundHalfEven(std::clamp(value, low, high)));
}

} // namespace

OutputMouse::OutputMouse(Performance& performance, EventSink& events, ClipInspectorPort& inspector)
    : m_performance(performance)
    , m_events(events)
    , m_inspector(inspector)
{
}

int OutputMouse::slotAt(int x, int y) const
{
    if (m_xScale == 0.0 || m_yScale == 0.0) {
        return 0;
    }
    const LayerStack::Order order = m_performance.layerStack().order();
    const TPlayAviStructArray& snapshot = m_performance.snapshot();
    for (auto layer = order.rbegin(); layer != order.rend(); ++layer) {
        const TPlayAvistruct& record = snapshot[*layer];
        if (!isDrawn(record)) {
            continue;
        }
        if (record.Left / m_xScale <= x && x <= record.Right / m_xScale
            && record.Top / m_yScale <= y && y <= record.Bottom / m_yScale) {
            return *layer;
        }
    }
    return 0;
}

void OutputMouse::DisplayMouseDown(
    Surface surface, Button button, int x, int y, int width, int height)
{
    m_xScale = width > 0 ? kCompositionWidth / width : 0.0;
    m_yScale = height > 0 ? kCompositionHeight / height : 0.0;
    m_startX = x;
    m_startY = y;
    m_draggedSlot = 0;
    m_dragging = false;

    const bool showMouse = m_performance.options().display.ShowMouseOverSecDisplay;
    if (showMouse || surface == Surface::MainDisplay) {
        const int hit = slotAt(x, y);
        if (hit != 0 && button == Button::Left) {
            m_draggedSlot = hit;
        } else if (hit != 0 && button == Button::Right) {
            m_inspector.showAVIinfo(hit);
        }
    } else {
        // The pointer is hidden over the secondary output: drag the selected slot wherever
        // the pointer is.
        const int selected = m_performance.globals().selectedSlot;
        m_draggedSlot = isValidSlot(selected) ? selected : 0;
    }
    if (m_draggedSlot == 0) {
        return;
    }
    const TPlayAvistruct& record = m_performance.snapshot()[m_draggedSlot];
    m_dragging = true;
    m_startLeft = record.Left;
    m_startTop = record.Top;
    m_inspector.showAVIinfo(m_draggedSlot);
}

void OutputMouse::sendPosition(int x, int y)
{
    const double left = (static_cast<double>(x) - m_startX) * m_xScale + m_startLeft;
    const double top = (static_cast<double>(y) - m_startY) * m_yScale + m_startTop;
    m_events.ProcessEvent(TSlotEvent {
        event_code::kMove, roundedCoordinate(left), roundedCoordinate(top), m_draggedSlot });
}

void OutputMouse::DisplayMouseMove(int x, int y)
{
    if (m_dragging && m_xScale != 0.0 && m_yScale != 0.0) {
        sendPosition(x, y);
    }
}

void OutputMouse::DisplayMouseUp(int x, int y)
{
    DisplayMouseMove(x, y);
    m_dragging = false;
}

bool OutputMouse::DisplayDragOver(int sourceTag) const
{
    return isValidSlot(sourceTag) && m_performance.slot(sourceTag).Loaded;
}

void OutputMouse::DisplayDragDrop(int sourceTag)
{
    if (DisplayDragOver(sourceTag)) {
        m_events.ProcessEvent(triggerEventFor(sourceTag, m_performance.slot(sourceTag)));
    }
}

} // namespace oskel
