#include "control/controllers.h"

namespace oskel {

Controllers::Controllers(Links links)
    : m_inspector(links.performance)
    , m_mixer(links.performance, links.events, m_inspector)
    , m_outputMouse(links.performance, links.events, m_inspector)
    , m_grid(SlotGrid::Links { links.performance, links.events, links.loader, links.tempo, m_mixer,
          m_inspector, m_noGridTargets, links.restartSyncSlots })
    , m_keyboard(KeyboardControl::Links { links.performance, links.events, links.tempo, m_mixer,
          m_inspector, m_noKeyTargets, links.restartSyncSlots, std::move(links.clock),
          std::move(links.referenceRate) })
    , m_fullScreen(links.performance, links.playback, m_noOutput, std::move(links.restartSyncSlots))
{
}

void Controllers::attachWindows(
    KeyboardTargets& keys, SlotGridTargets& grid, FullScreenDisplay::Output& output)
{
    m_keyboard.setTargets(keys);
    m_grid.setTargets(grid);
    m_fullScreen.setOutput(output);
}

void Controllers::detachWindows()
{
    m_keyboard.setTargets(m_noKeyTargets);
    m_grid.setTargets(m_noGridTargets);
    m_fullScreen.setOutput(m_noOutput);
}

} // namespace oskel
