#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recording/performance_script.h"

namespace oskel {

// Records a performance while recording is on: every event the performer sends to the event
// processor and every clip load, each with its time since the recording started. Main thread.
class PerformanceRecorder {
public:
    using Clock = std::function<std::uint32_t()>; // milliseconds, wrapping

    explicit PerformanceRecorder(Clock clock);

    // Starts a new recording from time 0, dropping the previous one; `opening` are its first
    // actions, at time 0 (the set-up it starts from).
    void start(std::vector<ScriptCommand> opening = {});
    void stop();
    bool recording() const { return m_recording; }
    // How long the recording ran: until stop(), or until now while it runs.
    std::int64_t lengthMs() const;

    void eventSent(const TSlotEvent& event);
    void clipLoaded(int slot, const std::filesystem::path& file);
    // A patch loaded or saved by the performer (the clips and settings it brings come with it).
    void patchUsed(const std::filesystem::path& file, bool saved);

    const std::vector<ScriptAction>& actions() const { return m_actions; }

    // Writes the recording as a performance file under a temporary name, then renames it, so
    // that a failed write leaves no half file. Clips inside the file's folder are named
    // relative to it; the last line is the comment "# length <ms> ms". Returns the problem, in
    // the performer's words.
    std::optional<std::string> save(const std::filesystem::path& file) const;

private:
    void append(ScriptCommand command);

    Clock m_clock;
    bool m_recording = false;
    std::uint32_t m_startTick = 0;
    std::uint32_t m_stopTick = 0;
    std::vector<ScriptAction> m_actions;
};

} // namespace oskel
