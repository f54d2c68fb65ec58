// The windows' side of the slots' effects: the "Effect" group, the key M and the grid's "FF"
// button and copies.
#include <QLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "control/effect_setup.h"
#include "ui/effect_panel.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"

namespace oskel {

void InstrumentWindows::bindEffects()
{
    if (m_links->effects == nullptr) {
        return;
    }
    // The group sits on the clip inspector's effect page.
    auto* place = m_main->findChild<QWidget*>("EffectPlace");
    if (place == nullptr) {
        return;
    }
    Controllers& controls = m_links->controls;
    // Scrolled rather than stretching the window when the place is lower than the group.
    auto* scroll = new QScrollArea(place);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_effects = new EffectPanel(
        *m_links->effects, setter(), [&controls] { return controls.inspector().inspectedSlot(); });
    scroll->setWidget(m_effects);
    if (place->layout() == nullptr) {
        new QVBoxLayout(place);
    }
    place->layout()->setContentsMargins(0, 0, 0, 0);
    place->layout()->addWidget(scroll);
}

void InstrumentWindows::unbindEffects()
{
    delete m_effects;
    m_effects = nullptr;
}

void InstrumentWindows::toggleEffect(int slot)
{
    guarded([&] { oskel::toggleEffect(m_links->performance, m_links->events, slot); });
}

void InstrumentWindows::copyEffectSetup(int fromSlot, int toSlot)
{
    guarded(
        [&] { oskel::copyEffectSetup(m_links->performance, m_links->events, fromSlot, toSlot); });
}

} // namespace oskel
