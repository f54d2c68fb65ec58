#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/performance.h"
#include "persistence/main_thread_timer.h"
#include "persistence/patch_explorer.h"

namespace oskel {

// Steps through the explorer's list at a fixed interval of minutes, loading one patch each
// time. It starts just after the first patch file and runs to the last, then starts again;
// the first patch file is never loaded this way. With a single patch file, each step loads
// that one.
class AutoPatchLoader {
public:
    static constexpr int kMaxIntervalMinutes = 30000;
    static constexpr std::int64_t kMillisecondsPerMinute = 60000;
    static constexpr std::string_view kNoPatchesMessage
        = "Please use the Load button to load a Oskel Patch. You will then see your patches "
          "appear in the Patch Explorer. If you dont have any Oskel Patches you should load "
          "clips individually in the Thumbnails window. ";

    AutoPatchLoader(PatchExplorer& explorer, Performance& performance, PatchExplorerView& view,
        MainThreadTimers& clock);

    // Start-up: shows the stored interval and takes it; interval edits count from now on.
    void init();
    void start();
    void stop();
    // Stops, as stop() does, when running.
    void stopIfRunning();
    bool running() const { return m_timer.running(); }
    // The interval edit box changed: a whole number of minutes from 1 to 30000 becomes the
    // interval (and the stored setting); anything else is ignored. True when taken.
    bool changeIntervalText(std::string_view text);
    std::int64_t intervalMilliseconds() const { return m_timer.interval(); }
    // One step; the timer calls it.
    void tick();

private:
    void setIntervalMinutes(int minutes);
    std::size_t nextIndex(std::size_t offset, std::size_t count);

    PatchExplorer& m_explorer;
    Performance& m_performance;
    PatchExplorerView& m_view;
    MainThreadTimer m_timer;
    bool m_started = false;
    bool m_firstTick = false;
    std::size_t m_current = 0;
};

} // namespace oskel
