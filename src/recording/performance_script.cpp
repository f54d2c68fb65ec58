#include "recording/performance_script.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/event_rules.h"
#include "core/shown_text.h"
#include "core/slot_number.h"
#include "recording/whole_number.h"
#include "sources/live_source_name.h"

namespace oskel {

namespace {

constexpr std::uintmax_t kLargestScriptBytes = 64u << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A file name as a line writes it when it would not read back bare.
std::string inQuotes(std::string_view text)
{
    std::string quoted(1, '"');
    quoted.append(text);
    quoted += '"';
    return quoted;
}

// What some editors put at the start of a UTF-8 file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Takes the first line off the text: "\r\n", "\n" and a lone "\r" each end one.
std::string_view nextLine(std::string_view& text)
{
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
    }
    return line;
}

// The fields of one line, taken one after the other; a field that starts with "#" begins the
// comment that ends the line.
class LineFields {
public:
    explicit LineFields(std::string_view line)
        : m_rest(trimmed(line))
    {
    }

    std::optional<std::string_view> next()
    {
        m_rest = trimmed(m_rest);
        if (m_rest.empty() || m_rest.front() == '#') {
            return std::nullopt;
        }
        std::size_t end = 0;
        while (end < m_rest.size() && !isBlank(m_rest[end])) {
            ++end;
        }
        const std::string_view field = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return field;
    }

    bool atEnd()
    {
        m_rest = trimmed(m_rest);
        return m_rest.empty() || m_rest.front() == '#';
    }

    // The rest of the line as one text: up to the comment, or, when it starts with a double
    // quote, up to the first closing quote that only blanks or a comment follow.
    std::optional<std::string_view> text(std::string& problem)
    {
        if (atEnd()) {
            return std::nullopt;
        }
        if (m_rest.front() == '"') {
            for (std::size_t close = 1; close < m_rest.size(); ++close) {
                if (m_rest[close] == '"' && LineFields(m_rest.substr(close + 1)).atEnd()) {
                    const std::string_view inside = m_rest.substr(1, close - 1);
                    m_rest = {};
                    return inside;
                }
            }
            problem = "the quoted file name has no closing quote";
            return std::nullopt;
        }
        std::size_t end = 0;
        while (end < m_rest.size() && !(m_rest[end] == '#' && isBlank(m_rest[end - 1]))) {
            ++end;
        }
        const std::string_view all = trimmed(m_rest.substr(0, end));
        m_rest = {};
        return all;
    }

private:
    std::string_view m_rest;
};

// Reads the next field as a whole number of type Number, or says what is wrong.
template <typename Number>
std::optional<Number> numberField(LineFields& fields, std::string_view name, std::string& problem)
{
    const auto field = fields.next();
    if (!field) {
        problem = "the " + std::string(name) + " is missing";
        return std::nullopt;
    }
    const auto value = wholeNumber<Number>(*field);
    if (!value) {
        problem = "the " + std::string(name) + " " + quotedText(*field)
            + (wholeNumber<std::int64_t>(*field) ? " is out of range" : " is not a whole number");
    }
    return value;
}

bool noMoreFields(LineFields& fields, std::string& problem)
{
    if (const auto extra = fields.next()) {
        problem = "unexpected " + quotedText(*extra) + " at the end of the line";
        return false;
    }
    return true;
}

using KindParser = std::optional<ScriptCommand> (*)(
    LineFields& fields, const std::filesystem::path& folder, std::string& problem);

std::optional<ScriptCommand> parseEvent(
    LineFields& fields, const std::filesystem::path&, std::string& problem)
{
    const auto code = numberField<int>(fields, "event code", problem);
    if (!code) {
        return std::nullopt;
    }
    if (*code < 0 || *code > kLastEventCode) {
        problem = "the event code " + std::to_string(*code) + " is not one of 0..41";
        return std::nullopt;
    }
    TSlotEvent event;
    event.Code = static_cast<std::uint8_t>(*code);
    const auto value = numberField<std::int32_t>(fields, "Value", problem);
    const auto value2 = value ? numberField<std::int32_t>(fields, "Value2", problem) : std::nullopt;
    const auto slot = value2 ? numberField<std::int32_t>(fields, "Slot", problem) : std::nullopt;
    if (!slot || !noMoreFields(fields, problem)) {
        return std::nullopt;
    }
    event.Value = *value;
    event.Value2 = *value2;
    event.Slot = *slot;
    return EventAction { event };
}

// The rest of the line as a file name, taken from `folder` when relative.
std::optional<std::filesystem::path> fileField(LineFields& fields,
    const std::filesystem::path& folder, std::string_view missing, std::string& problem)
{
    const auto name = fields.text(problem);
    if (!name) {
        if (problem.empty()) {
            problem = missing;
        }
        return std::nullopt;
    }
    if (holdsNul(*name)) {
        problem = "the file name holds a NUL byte";
        return std::nullopt;
    }
    std::filesystem::path file(*name);
    // A camera or a stream is named as it is, not found in a folder.
    if (file.is_relative() && !folder.empty() && !isLiveSourceName(*name)) {
        file = folder / file;
    }
    return file;
}

std::optional<ScriptCommand> parseLoad(
    LineFields& fields, const std::filesystem::path& folder, std::string& problem)
{
    const auto slot = numberField<int>(fields, "slot", problem);
    if (!slot) {
        return std::nullopt;
    }
    if (!isValidSlot(*slot)) {
        problem = "the slot " + std::to_string(*slot) + " is not one of 1..16";
        return std::nullopt;
    }
    auto file = fileField(fields, folder, "the clip file is missing", problem);
    if (!file) {
        return std::nullopt;
    }
    return LoadAction { *slot, std::move(*file) };
}

template <bool Save>
std::optional<ScriptCommand> parsePatch(
    LineFields& fields, const std::filesystem::path& folder, std::string& problem)
{
    auto file = fileField(fields, folder, "the patch file is missing", problem);
    if (!file) {
        return std::nullopt;
    }
    return PatchAction { std::move(*file), Save };
}

std::optional<ScriptCommand> parseSet(
    LineFields& fields, const std::filesystem::path&, std::string& problem)
{
    const auto group = fields.next();
    const auto item = group ? fields.next() : std::nullopt;
    if (!item) {
        problem = "the control is missing (a group and an item, e.g. [Slot3] LumaKeyLevel; "
                  "oskel3 --list-controls lists them)";
        return std::nullopt;
    }
    const auto control = findControl(*group, *item);
    if (!control) {
        problem = quotedText(std::string(*group) + " " + std::string(*item))
            + " is not a control (oskel3 --list-controls lists them)";
        return std::nullopt;
    }
    const ControlEntry& entry = control->entry();
    const auto text = fields.next();
    if (!text && entry.kind != ControlKind::Action) {
        problem = "the value of " + controlName(*control) + " is missing ("
            + controlRangeText(entry) + ")";
        return std::nullopt;
    }
    const ParsedControlValue value = parseControlValue(entry, text.value_or(""));
    if (!value.problem.empty()) {
        problem = controlName(*control) + ": " + value.problem;
        return std::nullopt;
    }
    if (!noMoreFields(fields, problem)) {
        return std::nullopt;
    }
    return SetAction { *control, value.value };
}

// A byte of a MIDI line: decimal, or hexadecimal after "0x".
std::optional<int> midiByte(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        int value = 0;
        const auto [end, error]
            = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (error == std::errc() && end == text.data() + text.size()) {
            return value;
        }
        return std::nullopt;
    }
    return wholeNumber<int>(text);
}

std::optional<int> midiField(LineFields& fields, std::string_view name, int low, int high,
    bool optional, std::string& problem)
{
    const auto field = fields.next();
    if (!field) {
        if (!optional) {
            problem = "the MIDI " + std::string(name) + " is missing";
        }
        return optional ? std::optional<int>(0) : std::nullopt;
    }
    const auto value = midiByte(*field);
    if (!value || *value < low || *value > high) {
        problem = "the MIDI " + std::string(name) + " " + quotedText(*field) + " is not one of "
            + std::to_string(low) + ".." + std::to_string(high);
        return std::nullopt;
    }
    return value;
}

std::optional<ScriptCommand> parseMidi(
    LineFields& fields, const std::filesystem::path&, std::string& problem)
{
    const auto status = midiField(fields, "status", 0x80, 0xEF, false, problem);
    const auto data1 = status ? midiField(fields, "data 1", 0, 127, false, problem) : std::nullopt;
    const auto data2 = data1 ? midiField(fields, "data 2", 0, 127, true, problem) : std::nullopt;
    if (!data2 || !noMoreFields(fields, problem)) {
        return std::nullopt;
    }
    return MidiAction { static_cast<std::uint8_t>(*status), static_cast<std::uint8_t>(*data1),
        static_cast<std::uint8_t>(*data2) };
}

std::optional<ScriptCommand> parseKey(
    LineFields& fields, const std::filesystem::path&, std::string& problem)
{
    const auto direction = fields.next();
    if (!direction || (*direction != "down" && *direction != "up")) {
        problem = "a key line says \"down\" or \"up\" after \"key\"";
        return std::nullopt;
    }
    const auto name = fields.next();
    const Key key = name ? keyNamed(*name) : Key::None;
    if (key == Key::None) {
        problem = (name ? quotedText(*name) + " is not a key" : std::string("the key is missing"))
            + " (the keys: " + keyNameList() + ")";
        return std::nullopt;
    }
    KeyAction action { *direction == "down", key, {} };
    while (const auto modifier = fields.next()) {
        if (*modifier == "shift") {
            action.modifiers.shift = true;
        } else if (*modifier == "ctrl") {
            action.modifiers.ctrl = true;
        } else if (*modifier == "alt") {
            action.modifiers.alt = true;
        } else {
            problem = quotedText(*modifier) + " is not a modifier (shift, ctrl, alt)";
            return std::nullopt;
        }
    }
    return action;
}

struct LineKind {
    std::string_view keyword;
    KindParser parse;
};

// Every kind of line: its keyword and its reader.
constexpr LineKind kLineKinds[] = {
    { "event", parseEvent },
    { "load", parseLoad },
    { "set", parseSet },
    { "key", parseKey },
    { "patch", parsePatch<false> },
    { "save-patch", parsePatch<true> },
    { "midi", parseMidi },
};

std::string keywordList()
{
    std::string list;
    for (const LineKind& kind : kLineKinds) {
        list += (list.empty() ? "" : ", ") + std::string(kind.keyword);
    }
    return list;
}

// One line: nothing for a blank or comment line, an action, or a problem.
std::optional<ScriptAction> parseLine(
    std::string_view line, const std::filesystem::path& folder, std::string& problem)
{
    LineFields fields(line);
    const auto timeField = fields.next();
    if (!timeField) {
        return std::nullopt;
    }
    const auto time = wholeNumber<std::int64_t>(*timeField);
    if (!time) {
        problem = quotedText(*timeField) + " is not a time in milliseconds";
        return std::nullopt;
    }
    if (*time > kLatestScriptTimeMs) {
        problem = "the time " + std::to_string(*time) + " is later than "
            + std::to_string(kLatestScriptTimeMs) + " ms";
        return std::nullopt;
    }
    const auto keyword = fields.next();
    if (!keyword) {
        problem = "the kind of line is missing after the time (" + keywordList() + ")";
        return std::nullopt;
    }
    for (const LineKind& kind : kLineKinds) {
        if (kind.keyword == *keyword) {
            auto command = kind.parse(fields, folder, problem);
            if (!command) {
                return std::nullopt;
            }
            return ScriptAction { std::max<std::int64_t>(*time, 0), std::move(*command) };
        }
    }
    problem = quotedText(*keyword) + " is not a kind of line (" + keywordList() + ")";
    return std::nullopt;
}

bool sameCommand(const EventAction& a, const EventAction& b)
{
    return a.event.Code == b.event.Code && a.event.Value == b.event.Value
        && a.event.Value2 == b.event.Value2 && a.event.Slot == b.event.Slot;
}

bool sameCommand(const SetAction& a, const SetAction& b)
{
    return a.control.index == b.control.index && a.control.slot == b.control.slot
        && a.value == b.value;
}

bool sameCommand(const KeyAction& a, const KeyAction& b)
{
    return a.down == b.down && a.key == b.key && a.modifiers.shift == b.modifiers.shift
        && a.modifiers.ctrl == b.modifiers.ctrl && a.modifiers.alt == b.modifiers.alt;
}

bool sameCommand(const LoadAction& a, const LoadAction& b)
{
    return a.slot == b.slot && a.file.lexically_normal() == b.file.lexically_normal();
}

bool sameCommand(const MidiAction& a, const MidiAction& b)
{
    return a.status == b.status && a.data1 == b.data1 && a.data2 == b.data2;
}

bool sameCommand(const PatchAction& a, const PatchAction& b)
{
    return a.save == b.save && a.file.lexically_normal() == b.file.lexically_normal();
}

std::string fileName(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    if (file.is_absolute() && !folder.empty()) {
        const std::filesystem::path relative = file.lexically_relative(folder);
        if (!relative.empty() && *relative.begin() != "..") {
            return relative.string();
        }
    }
    return file.string();
}

std::string formatCommand(const EventAction& action, const std::filesystem::path&)
{
    const TSlotEvent& event = action.event;
    return "event " + std::to_string(event.Code) + ' ' + std::to_string(event.Value) + ' '
        + std::to_string(event.Value2) + ' ' + std::to_string(event.Slot);
}

std::string formatCommand(const SetAction& action, const std::filesystem::path&)
{
    const ControlEntry& entry = action.control.entry();
    std::string line = "set " + controlName(action.control);
    if (entry.kind != ControlKind::Action) {
        line += ' ' + formatControlValue(entry, action.value);
    }
    return line;
}

std::string formatCommand(const KeyAction& action, const std::filesystem::path&)
{
    std::string line
        = std::string("key ") + (action.down ? "down " : "up ") + std::string(keyName(action.key));
    for (const auto& [on, name] : { std::pair { action.modifiers.shift, " shift" },
             std::pair { action.modifiers.ctrl, " ctrl" },
             std::pair { action.modifiers.alt, " alt" } }) {
        if (on) {
            line += name;
        }
    }
    return line;
}

// A file name as the rest of a line, in quotes where it would not read back as it is.
std::string fileField(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const std::string name = fileName(file, folder);
    const bool needsQuotes = name.empty() || name.find('#') != std::string::npos
        || name.front() == '"' || isBlank(name.front()) || isBlank(name.back());
    return needsQuotes ? inQuotes(name) : name;
}

std::string formatCommand(const LoadAction& action, const std::filesystem::path& folder)
{
    return "load " + std::to_string(action.slot) + ' ' + fileField(action.file, folder);
}

std::string formatCommand(const MidiAction& action, const std::filesystem::path&)
{
    char status[8];
    std::snprintf(status, sizeof status, "0x%02X", action.status);
    return std::string("midi ") + status + ' ' + std::to_string(action.data1) + ' '
        + std::to_string(action.data2);
}

std::string formatCommand(const PatchAction& action, const std::filesystem::path& folder)
{
    return std::string(action.save ? "save-patch " : "patch ") + fileField(action.file, folder);
}

} // namespace

bool sameAction(const ScriptAction& a, const ScriptAction& b)
{
    return a.timeMs == b.timeMs && a.command.index() == b.command.index()
        && std::visit(
            [&](const auto& command) {
                return sameCommand(command, std::get<std::decay_t<decltype(command)>>(b.command));
            },
            a.command);
}

ScriptReadResult parsePerformanceScript(std::string_view text, const std::filesystem::path& folder)
{
    ScriptReadResult result;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::string_view line = nextLine(text);
        std::string problem;
        auto action = parseLine(line, folder, problem);
        if (!problem.empty()) {
            return ScriptReadResult { {}, ScriptProblem { number, problem } };
        }
        if (action) {
            result.actions.push_back(std::move(*action));
        }
    }
    return result;
}

ScriptReadResult readPerformanceScript(const std::filesystem::path& file)
{
    const auto unreadable = [&](const std::string& why) {
        return ScriptReadResult { {}, ScriptProblem { 0, "cannot read the file: " + why } };
    };
    if (holdsNul(file)) {
        return unreadable("the file name holds a NUL byte");
    }
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        return unreadable("it is a folder");
    }
    // A FIFO would wait for a writer, a device never end.
    if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error)) {
        return unreadable("it is not a regular file");
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return unreadable(error.message());
    }
    if (size > kLargestScriptBytes) {
        return unreadable("it is larger than 64 MB");
    }
    std::ifstream input(file, std::ios::binary);
    std::ostringstream text;
    if (!(text << input.rdbuf()) && size > 0) {
        return unreadable("the read failed");
    }
    return parsePerformanceScript(text.str(), file.parent_path());
}

std::optional<std::string> formatScriptAction(
    const ScriptAction& action, const std::filesystem::path& folder)
{
    const std::string line = std::to_string(action.timeMs) + ' '
        + std::visit(
            [&](const auto& command) { return formatCommand(command, folder); }, action.command);
    // Whatever the line cannot carry (a line break, quotes that read back otherwise) shows
    // when it is read back.
    const ScriptReadResult back = parsePerformanceScript(line, folder);
    if (back.problem || back.actions.size() != 1 || !sameAction(back.actions.front(), action)) {
        return std::nullopt;
    }
    return line;
}

} // namespace oskel
