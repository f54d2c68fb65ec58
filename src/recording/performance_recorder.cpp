#include "recording/performance_recorder.h"

#include <system_error>

#include "recording/output_file.h"
#include "recording/recording_files.h"

namespace oskel {

PerformanceRecorder::PerformanceRecorder(Clock clock)
    : m_clock(std::move(clock))
{
}

void PerformanceRecorder::start(std::vector<ScriptCommand> opening)
{
    m_actions.clear();
    for (ScriptCommand& command : opening) {
        m_actions.push_back(ScriptAction { 0, std::move(command) });
    }
    m_startTick = m_clock();
    m_stopTick = m_startTick;
    m_recording = true;
}

void PerformanceRecorder::stop()
{
    if (m_recording) {
        m_stopTick = m_clock();
    }
    m_recording = false;
}

std::int64_t PerformanceRecorder::lengthMs() const
{
    // Unsigned differences stay right across the clock's wrap.
    return (m_recording ? m_clock() : m_stopTick) - m_startTick;
}

void PerformanceRecorder::append(ScriptCommand command)
{
    // Unsigned differences stay right across the clock's wrap.
    const std::uint32_t elapsed = m_clock() - m_startTick;
    m_actions.push_back(ScriptAction { elapsed, std::move(command) });
}

void PerformanceRecorder::eventSent(const TSlotEvent& event)
{
    if (!m_recording) {
        return;
    }
    // A setting of the control table is kept by the control's name, which stays when the
    // table grows.
    if (event.Code == event_code::kSetControl) {
        if (event.Value2 >= 0 && static_cast<std::size_t>(event.Value2) < controlTable().size()) {
            append(
                SetAction { ControlAddress { static_cast<std::size_t>(event.Value2), event.Slot },
                    event.Value });
        }
        return;
    }
    append(EventAction { event });
}

namespace {

std::filesystem::path absoluteFile(const std::filesystem::path& file)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return error ? file : absolute.lexically_normal();
}

} // namespace

void PerformanceRecorder::clipLoaded(int slot, const std::filesystem::path& file)
{
    if (m_recording) {
        append(LoadAction { slot, absoluteFile(file) });
    }
}

void PerformanceRecorder::patchUsed(const std::filesystem::path& file, bool saved)
{
    if (m_recording) {
        append(PatchAction { absoluteFile(file), saved });
    }
}

std::optional<std::string> PerformanceRecorder::save(const std::filesystem::path& file) const
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(file, error).parent_path();
    std::string text = "# oskel3 performance: <ms> event <Code> <Value> <Value2> <Slot> | "
                       "<ms> load <slot> <file> | <ms> patch <file>\n";
    int skipped = 0;
    for (const ScriptAction& action : m_actions) {
        if (const auto line = formatScriptAction(action, folder)) {
            text += *line + '\n';
        } else {
            ++skipped;
        }
    }
    text += recordingLengthLine(lengthMs()) + '\n';
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (auto problem = writeOutputFile(file, { bytes, text.size() })) {
        return problem;
    }
    if (skipped > 0) {
        return std::to_string(skipped)
            + " action(s) left out: an event code beyond 41, or a clip name that no line holds";
    }
    return std::nullopt;
}

} // namespace oskel
