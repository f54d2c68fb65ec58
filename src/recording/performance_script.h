#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "control/key_position.h"
#include "core/control_table.h"
#include "core/slot_event.h"

namespace oskel {

// A performance as a text file: one timed action a line, fields separated by blanks, times in
// milliseconds from the start, "#" starting a comment (at the start of a field), blank lines
// ignored:
//   <ms> event <Code> <Value> <Value2> <Slot>    one event through the event processor
//   <ms> load <slot> <file>                      a clip into a slot; the rest of the line
//                                                is the file name, in double quotes when it
//                                                holds a "#" or blanks at either end
//   <ms> set <group> <item> [<value>]            an entry of the control table, e.g.
//                                                "set [Slot3] LumaKeyLevel 200"; actions
//                                                take no value
//   <ms> key down|up <key> [shift] [ctrl] [alt]  a key of the computer keyboard, by its
//                                                name (key_position.h), pressed or released
//   <ms> patch <file>                            a patch loaded, as from the patch explorer
//   <ms> save-patch <file>                       the whole set-up saved as a patch
//   <ms> midi <status> <data1> [<data2>]         a short MIDI message as if the input device
//                                                had sent it; decimal or 0x hexadecimal
// "\n", "\r\n" and a lone "\r" each end a line; a UTF-8 byte-order mark at the start is
// skipped. A file name may not hold a NUL byte.

// One TSlotEvent for the event processor.
struct EventAction {
    TSlotEvent event;
};

// Loading a clip file into a slot.
struct LoadAction {
    int slot = 0;
    std::filesystem::path file;
};

// Setting an entry of the control table.
struct SetAction {
    ControlAddress control;
    std::int32_t value = 0;
};

// A key pressed or released, as the keyboard control takes it.
struct KeyAction {
    bool down = true;
    Key key = Key::None;
    KeyModifiers modifiers;
};

// Loading a patch file, or saving the set-up as one.
struct PatchAction {
    std::filesystem::path file;
    bool save = false;
};

// A short MIDI message from the input device: a channel message (status 0x80..0xEF).
struct MidiAction {
    std::uint8_t status = 0x90;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

using ScriptCommand
    = std::variant<EventAction, LoadAction, SetAction, KeyAction, PatchAction, MidiAction>;

struct ScriptAction {
    std::int64_t timeMs = 0; // never negative
    ScriptCommand command;
};

// The same time and the same command; clip files compared in their normal form.
bool sameAction(const ScriptAction& a, const ScriptAction& b);

// The largest time a line may give: far beyond any render, small enough that times multiplied
// by a frame or sample rate stay exact in 64 bits.
inline constexpr std::int64_t kLatestScriptTimeMs = 1'000'000'000'000;

struct ScriptProblem {
    int line = 0; // 1-based; 0 when the file itself could not be read
    std::string what;
};

struct ScriptReadResult {
    std::vector<ScriptAction> actions; // in file order; empty when there is a problem
    std::optional<ScriptProblem> problem;
};

// Reads a performance. Relative clip names are taken from `folder`. The first line that
// cannot be read stops the reading.
ScriptReadResult parsePerformanceScript(std::string_view text, const std::filesystem::path& folder);
ScriptReadResult readPerformanceScript(const std::filesystem::path& file);

// One action as a line, without its line break. Clip files inside `folder` are written
// relative to it. Nothing when the file name cannot be written on one line.
std::optional<std::string> formatScriptAction(
    const ScriptAction& action, const std::filesystem::path& folder);

} // namespace oskel
