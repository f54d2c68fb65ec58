// Reads any bytes as a performance file and checks what must hold for every text: a problem
// names a line of the text, quotes nothing that could act on a terminal and leaves no
// actions; the actions read lie in range, and so does the length the file gives its render;
// and each one written back as a line reads back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/event_rules.h"
#include "core/slot_number.h"
#include "recording/performance_script.h"
#include "recording/recording_files.h"

namespace {

using namespace oskel;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

const std::filesystem::path kFolder = "/performances/tonight";

void checkInRange(const ScriptAction& action)
{
    check(action.timeMs >= 0 && action.timeMs <= kLatestScriptTimeMs);
    if (const auto* event = std::get_if<EventAction>(&action.command)) {
        check(event->event.Code <= kLastEventCode);
    } else if (const auto* load = std::get_if<LoadAction>(&action.command)) {
        check(isValidSlot(load->slot));
        check(!load->file.empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ScriptReadResult read = parsePerformanceScript(text, kFolder);
    if (read.problem) {
        // "\r\n" counts twice here: a bound, not the count.
        const auto lines = std::count(text.begin(), text.end(), '\n')
            + std::count(text.begin(), text.end(), '\r') + 1;
        check(read.problem->line >= 1 && read.problem->line <= lines);
        check(!read.problem->what.empty());
        check(std::none_of(read.problem->what.begin(), read.problem->what.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }));
        check(read.actions.empty());
        return 0;
    }
    const std::int64_t lengthMs = performanceLengthMs(text, read.actions);
    check(lengthMs >= 0 && lengthMs <= kLatestScriptTimeMs + 1000);
    std::string written;
    std::vector<const ScriptAction*> kept;
    for (const ScriptAction& action : read.actions) {
        checkInRange(action);
        if (const auto line = formatScriptAction(action, kFolder)) {
            check(line->find_first_of("\r\n") == std::string::npos);
            written += *line + '\n';
            kept.push_back(&action);
        }
    }
    const ScriptReadResult again = parsePerformanceScript(written, kFolder);
    check(!again.problem);
    check(again.actions.size() == kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        check(sameAction(again.actions[i], *kept[i]));
    }
    return 0;
}
