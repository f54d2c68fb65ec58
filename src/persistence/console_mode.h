#pragma once

#include <optional>

#include "core/performance.h"
#include "core/slot_event.h"
#include "persistence/main_thread_timer.h"
#include "persistence/patch_explorer.h"

namespace oskel {

// Console mode runs the instrument unattended, in a loop of three states: "Post Jam" (the
// console clip plays in slot 1), "Selection" (a visitor picks a patch with a MIDI note) and
// "Jam" (the visitor plays it for the console play time). The lengths of "Post Jam" and
// "Jam" come from the console options when console mode starts.
class ConsoleMode {
public:
    enum class State { PostJam = 0, Selection = 1, Jam = 2 };

    ConsoleMode(Performance& performance, EventSink& events, PatchLoaderPort& loader,
        PatchExplorer& explorer, PatchExplorerView& view, MainThreadTimers& clock);

    // Before the main window is first shown: a stored "start in console mode" marks console
    // mode as on.
    void restoreStoredChoice();
    // When the main window is first shown: starts console mode when it is stored as on and
    // no patch was named on the command line.
    void startup(bool patchOnCommandLine);
    // The "Startup in Console Mode" toggle: only stored.
    void setStartInConsoleMode(bool on) { m_performance.options().console.Startup = on; }

    void start();
    void stop();
    bool on() const { return m_on; }
    State state() const { return m_state; }

    // A patch load ended while console mode is on: with the patch's clips ready ("Jam"),
    // or without a patch ("Post Jam").
    void patchLoadFinished(bool loaded);
    // A patch is loading: "Loading", with its list number when MIDI chose it.
    void showLoading(std::optional<int> number = std::nullopt);

    // For the MIDI input: in "Post Jam" every note is ignored; in "Selection" a note only
    // chooses a patch.
    bool notesIgnored() const { return m_on && m_state == State::PostJam; }
    bool selectionActive() const { return m_on && m_state == State::Selection; }
    // In "Selection", loads the patch at list position n (from 0) as MIDI does; false (and
    // nothing happens) in any other state.
    bool noteSelectsPatch(int n);

private:
    void enterPostJam();
    void enterSelection();
    void enterJam();
    void show(State state);

    Performance& m_performance;
    EventSink& m_events;
    PatchLoaderPort& m_loader;
    PatchExplorer& m_explorer;
    PatchExplorerView& m_view;
    MainThreadTimer m_jamTimer;
    MainThreadTimer m_postJamTimer;
    bool m_on = false;
    State m_state = State::PostJam;
};

} // namespace oskel
