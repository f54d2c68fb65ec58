#include "persistence/patch_loader_logic.h"

namespace oskel {

PatchLoaderLogic::PatchLoaderLogic(Parts parts)
    : m_explorer(parts.loader, parts.view, parts.performance.ui())
    , m_auto(m_explorer, parts.performance, parts.view, parts.clock)
    , m_console(parts.performance, parts.events, parts.loader, m_explorer, parts.view, parts.clock)
{
    m_explorer.setHooks({
        .folderChanging = [this] { m_auto.stopIfRunning(); },
        .pauseMidiInput = std::move(parts.pauseMidiInput),
        .midiLoadStarting = [this](int number) { m_console.showLoading(number); },
    });
}

void PatchLoaderLogic::init(const PatchFolderSources& sources)
{
    m_explorer.init(sources);
    m_auto.init();
}

} // namespace oskel
