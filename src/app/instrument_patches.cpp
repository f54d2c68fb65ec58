#include "app/instrument_patches.h"

namespace oskel {

InstrumentPatches::InstrumentPatches(Links links)
    : m_links(std::move(links))
    , m_logic(PatchLoaderLogic::Parts {
          m_links.performance, m_links.events, *this, m_view, m_timers, m_links.pauseMidiInput })
{
}

void InstrumentPatches::init(const PatchFolderSources& sources)
{
    m_logic.init(sources);
    m_logic.console().restoreStoredChoice();
}

void InstrumentPatches::advanceTimers()
{
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    m_timers.advanceTo(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void InstrumentPatches::attachView(PatchExplorerView* view)
{
    m_view.target = view;
    if (view == nullptr) {
        return;
    }
    view->showPatchList(m_logic.explorer().list());
    view->showAutoPatchInterval(m_links.performance.options().ui.AutoPatchInterval);
    view->showAutoPatchStatus(
        m_logic.autoLoader().running() ? "Auto Patch Loading is ON" : "Auto Patch Loading is OFF");
    const bool consoleOn = m_logic.console().on();
    view->showConsoleActive(
        consoleOn ? "ON" : "OFF", consoleOn ? SlotColour::Red : SlotColour::Black);
}

void InstrumentPatches::loadPatch(const std::filesystem::path& file, bool throughMidi)
{
    m_links.loadPatch(file, throughMidi);
}

bool InstrumentPatches::loadClip(int slot, const std::filesystem::path& file)
{
    return m_links.loadClip(slot, file);
}

void InstrumentPatches::ViewRelay::showPatchList(const PatchFolderList& list)
{
    if (target != nullptr) {
        target->showPatchList(list);
    }
}

void InstrumentPatches::ViewRelay::selectPatchEntry(std::size_t index)
{
    if (target != nullptr) {
        target->selectPatchEntry(index);
    }
}

void InstrumentPatches::ViewRelay::showAutoPatchInterval(int minutes)
{
    if (target != nullptr) {
        target->showAutoPatchInterval(minutes);
    }
}

void InstrumentPatches::ViewRelay::showAutoPatchStatus(std::string_view text)
{
    if (target != nullptr) {
        target->showAutoPatchStatus(text);
    }
}

void InstrumentPatches::ViewRelay::showConsoleActive(std::string_view text, SlotColour colour)
{
    if (target != nullptr) {
        target->showConsoleActive(text, colour);
    }
}

void InstrumentPatches::ViewRelay::showConsoleState(std::string_view text)
{
    if (target != nullptr) {
        target->showConsoleState(text);
    }
}

void InstrumentPatches::ViewRelay::showPatchExplorerTabs()
{
    if (target != nullptr) {
        target->showPatchExplorerTabs();
    }
}

} // namespace oskel
