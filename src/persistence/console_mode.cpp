#include "persistence/console_mode.h"

#include <string>

#include "core/control_table.h"

namespace oskel {

namespace {

constexpr int kConsoleSlot = 1;

constexpr std::string_view stateName(ConsoleMode::State state)
{
    switch (state) {
    case ConsoleMode::State::PostJam:
        return "Post Jam";
    case ConsoleMode::State::Selection:
        return "Selection";
    case ConsoleMode::State::Jam:
        return "Jam";
    }
    return {};
}

} // namespace

ConsoleMode::ConsoleMode(Performance& performance, EventSink& events, PatchLoaderPort& loader,
    PatchExplorer& explorer, PatchExplorerView& view, MainThreadTimers& clock)
    : m_performance(performance)
    , m_events(events)
    , m_loader(loader)
    , m_explorer(explorer)
    , m_view(view)
    , m_jamTimer(clock, TimerRepeat::OneShot, [this] { enterPostJam(); })
    , m_postJamTimer(clock, TimerRepeat::OneShot, [this] { enterSelection(); })
{
}

void ConsoleMode::restoreStoredChoice()
{
    if (m_performance.options().console.Startup) {
        m_on = true;
        m_view.showConsoleActive("ON", SlotColour::Red);
    }
}

void ConsoleMode::startup(bool patchOnCommandLine)
{
    if (m_performance.options().console.Startup && !patchOnCommandLine) {
        m_view.showPatchExplorerTabs();
        start();
    }
}

void ConsoleMode::start()
{
    const ConsoleOptions& options = m_performance.options().console;
    m_jamTimer.setInterval(options.ConsolePlayTime);
    m_postJamTimer.setInterval(options.ConsolePostPlayTime);
    m_on = true;
    m_view.showConsoleActive("ON", SlotColour::Red);
    setControl(m_events, m_performance, masterControl("LoadFullScreen"), 1);
    setControl(m_events, m_performance, masterControl("LoadSyncMode"), 0);
    enterPostJam();
}

void ConsoleMode::stop()
{
    m_on = false;
    m_jamTimer.stop();
    m_postJamTimer.stop();
    m_state = State::PostJam;
    m_view.showConsoleActive("OFF", SlotColour::Black);
    m_view.showConsoleState("");
}

void ConsoleMode::patchLoadFinished(bool loaded)
{
    if (!m_on) {
        return;
    }
    if (loaded) {
        enterJam();
    } else {
        enterPostJam();
    }
}

void ConsoleMode::showLoading(std::optional<int> number)
{
    if (m_on) {
        m_view.showConsoleState(number ? "Loading " + std::to_string(*number) : "Loading");
    }
}

bool ConsoleMode::noteSelectsPatch(int n)
{
    return selectionActive() && m_explorer.loadPatchByIndex(n);
}

// The console clip plays in slot 1 on a loop, at full volume, over a stopped instrument.
void ConsoleMode::enterPostJam()
{
    m_jamTimer.stop();
    m_postJamTimer.start();
    show(State::PostJam);
    setControl(m_events, m_performance, masterControl("AutoBpm"), 0);
    setControl(m_events, m_performance, masterControl("StopEverySlot"), 0);
    const std::filesystem::path clip = m_performance.options().console.consoleClip;
    if (!clip.empty() && isRegularFile(clip)) {
        m_loader.loadClip(kConsoleSlot, clip);
    }
    setControl(m_events, m_performance, masterControl("Loop"), 1);
    m_events.ProcessEvent(TSlotEvent {
        event_code::kTrigger, 0, m_performance.slot(kConsoleSlot).Balance, kConsoleSlot });
}

void ConsoleMode::enterSelection()
{
    show(State::Selection);
}

void ConsoleMode::enterJam()
{
    m_postJamTimer.stop();
    m_jamTimer.start();
    show(State::Jam);
}

void ConsoleMode::show(State state)
{
    m_state = state;
    m_view.showConsoleState(stateName(state));
}

} // namespace oskel
