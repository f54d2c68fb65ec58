#include "persistence/auto_patch_loader.h"

#include <charconv>

namespace oskel {

namespace {

constexpr std::string_view kOn = "Auto Patch Loading is ON";
constexpr std::string_view kOff = "Auto Patch Loading is OFF";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

AutoPatchLoader::AutoPatchLoader(PatchExplorer& explorer, Performance& performance,
    PatchExplorerView& view, MainThreadTimers& clock)
    : m_explorer(explorer)
    , m_performance(performance)
    , m_view(view)
    , m_timer(clock, TimerRepeat::Repeating, [this] { tick(); })
{
    setIntervalMinutes(m_performance.options().ui.AutoPatchInterval);
}

void AutoPatchLoader::init()
{
    const int minutes = m_performance.options().ui.AutoPatchInterval;
    m_view.showAutoPatchInterval(minutes);
    setIntervalMinutes(minutes);
    m_started = true;
}

void AutoPatchLoader::start()
{
    m_firstTick = true;
    m_view.showAutoPatchStatus(kOn);
    tick();
    m_timer.start();
}

void AutoPatchLoader::stop()
{
    m_timer.stop();
    m_performance.ui().setStatusText("Ready ... Auto Patch Loading Stopped");
    m_view.showAutoPatchStatus(kOff);
}

void AutoPatchLoader::stopIfRunning()
{
    if (running()) {
        stop();
    }
}

bool AutoPatchLoader::changeIntervalText(std::string_view text)
{
    const std::string_view digits = trimmed(text);
    int minutes = 0;
    const auto [end, error]
        = std::from_chars(digits.data(), digits.data() + digits.size(), minutes);
    if (!m_started || digits.empty() || error != std::errc() || end != digits.data() + digits.size()
        || minutes < 1 || minutes > kMaxIntervalMinutes) {
        return false;
    }
    m_performance.options().ui.AutoPatchInterval = minutes;
    setIntervalMinutes(minutes);
    return true;
}

void AutoPatchLoader::tick()
{
    UserInterfacePort& ui = m_performance.ui();
    ui.setStatusText("Auto Patch Loading ...");
    const PatchFolderList& list = m_explorer.list();
    const std::size_t offset = list.firstPatchOffset();
    const std::size_t index = nextIndex(offset, list.size());
    if (offset >= list.size()) {
        ui.showMessage(kNoPatchesMessage);
        return;
    }
    // With one patch file the step lies past the end of the list: that file loads instead.
    m_explorer.loadEntry(index < list.size() ? index : offset, false);
    ui.setStatusText("Ready ... Auto Patch Loading Active");
}

void AutoPatchLoader::setIntervalMinutes(int minutes)
{
    m_timer.setInterval(std::int64_t { minutes } * kMillisecondsPerMinute);
}

// After the last entry the step goes back to just after the first patch file, and so it
// does when the list changed under it.
std::size_t AutoPatchLoader::nextIndex(std::size_t offset, std::size_t count)
{
    if (m_firstTick || m_current + 1 >= count || m_current <= offset) {
        m_firstTick = false;
        m_current = offset + 1;
    } else {
        ++m_current;
    }
    return m_current;
}

} // namespace oskel
