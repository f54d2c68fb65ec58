#pragma once

#include "control/clip_inspector_port.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

// The pointer on the output: dragging a playing clip about the composition area, opening the
// inspector on it with the right button, and triggering a slot whose grid thumbnail is
// dropped on the output. Reads the snapshot records, sends events; no drawing.
// Main thread only.
class OutputMouse {
public:
    enum class Surface {
        MainDisplay, // the main window's display panel
        SecondaryOutput,
    };
    enum class Button { Left, Right, Middle };

    OutputMouse(Performance& performance, EventSink& events, ClipInspectorPort& inspector);

    // Positions are pixels from the top left of the drawing area, whose size is given.
    void DisplayMouseDown(Surface surface, Button button, int x, int y, int width, int height);
    void DisplayMouseMove(int x, int y);
    void DisplayMouseUp(int x, int y);
    bool dragging() const { return m_dragging; }
    int draggedSlot() const { return m_draggedSlot; }

    // A drag source whose tag is the number of a loaded slot may be dropped on the output.
    bool DisplayDragOver(int sourceTag) const;
    void DisplayDragDrop(int sourceTag);

    // The topmost drawn slot under the pointer, hit-testing the layer stack from the top;
    // 0 when none.
    int slotAt(int x, int y) const;

private:
    void sendPosition(int x, int y);

    Performance& m_performance;
    EventSink& m_events;
    ClipInspectorPort& m_inspector;
    bool m_dragging = false;
    double m_xScale = 0.0; // composition units per pixel
    double m_yScale = 0.0;
    int m_startX = 0;
    int m_startY = 0;
    std::int32_t m_startLeft = 0;
    std::int32_t m_startTop = 0;
    int m_draggedSlot = 0;
};

} // namespace oskel
