#pragma once

#include "core/performance.h"

namespace oskel {

// The clip inspector as the performer's controls reach it: showing a slot in it, and which
// slot it shows. Main thread only.
class ClipInspectorPort {
public:
    virtual ~ClipInspectorPort() = default;
    // Makes `slot` the inspected slot and selects it; nothing for a number outside 1..16 or
    // an empty slot.
    virtual void showAVIinfo(int slot) = 0;
    // The inspected slot, 0 before any slot was shown.
    virtual int inspectedSlot() const = 0;
};

// The part of the inspector that needs no window: the inspected slot and the selection that
// follows it. Stands in where no inspector window exists.
class SelectionOnlyInspector : public ClipInspectorPort {
public:
    explicit SelectionOnlyInspector(Performance& performance)
        : m_performance(performance)
    {
    }

    void showAVIinfo(int slot) override
    {
        if (!isValidSlot(slot) || !m_performance.slot(slot).Loaded) {
            return;
        }
        m_inspected = slot;
        m_performance.selectSlot(slot);
    }
    int inspectedSlot() const override { return m_inspected; }

private:
    Performance& m_performance;
    int m_inspected = 0;
};

} // namespace oskel
