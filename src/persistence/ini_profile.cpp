#include "persistence/ini_profile.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/shown_text.h"
#include "persistence/ini_text.h"
#include "persistence/small_file.h"
#include "platform/safe_file.h"

namespace oskel {
namespace {

using detail::trimIniBlanks;

// Names compare without regard to ASCII letter case, a line break matching a space.
char foldNameChar(char c)
{
    if (c == '\r' || c == '\n') {
        return ' ';
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

// Both names already trimmed.
bool namesEqual(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return foldNameChar(x) == foldNameChar(y);
    });
}

std::string foldName(std::string_view name)
{
    std::string folded(trimIniBlanks(name));
    std::transform(folded.begin(), folded.end(), folded.begin(), foldNameChar);
    return folded;
}

std::string replaceLineBreaks(std::string_view text)
{
    std::string result(text);
    std::replace_if(
        result.begin(), result.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return result;
}

// A name as a write stores it: one line, no blanks around it.
std::string storedName(std::string_view name)
{
    return std::string(trimIniBlanks(replaceLineBreaks(name)));
}

// A key line is "key=value": the key ends at the first "=", and a line starting with one of
// the section or comment marks is never a key.
bool isStorableKey(std::string_view key)
{
    return key.find('=') == std::string_view::npos
        && (key.empty() || (key.front() != '[' && key.front() != ';' && key.front() != '#'));
}

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t utf8SequenceLength(char lead)
{
    const auto c = static_cast<unsigned char>(lead);
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// Where to cut value to keep at most `limit` bytes without splitting a UTF-8 character.
std::size_t cutPosition(std::string_view value, std::size_t limit)
{
    if (value.size() <= limit || !isUtf8Continuation(value[limit])) {
        return std::min(value.size(), limit);
    }
    for (std::size_t back = 1; back <= 3 && back <= limit; ++back) {
        const char c = value[limit - back];
        if (!isUtf8Continuation(c)) {
            return utf8SequenceLength(c) > back ? limit - back : limit;
        }
    }
    return limit;
}

// The text after "=" as it is read: trimmed, unquoted and cut to the longest value.
std::string readValue(std::string_view text)
{
    text = trimIniBlanks(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text.substr(0, cutPosition(text, IniProfile::kMaxValueLength)));
}

bool isBlankLine(std::string_view line)
{
    return trimIniBlanks(line).empty();
}

} // namespace

std::string_view IniProfile::Line::name() const
{
    return std::string_view(text).substr(nameBegin, nameSize);
}

std::string_view IniProfile::Line::value() const
{
    return std::string_view(text).substr(valueBegin);
}

IniProfile::Line IniProfile::parseLine(std::string text)
{
    Line line { std::move(text) };
    const std::string_view whole = line.text;
    const std::string_view trimmed = trimIniBlanks(whole);
    const auto setName = [&](std::string_view name) {
        name = trimIniBlanks(name);
        line.nameBegin = static_cast<std::size_t>(name.data() - whole.data());
        line.nameSize = name.size();
    };
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return line;
    }
    if (trimmed.front() == '[') {
        // The last "]" closes the name, so that a name may hold one.
        const auto close = trimmed.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            setName(trimmed.substr(1, close - 1));
        }
        return line;
    }
    const auto equals = whole.find('=');
    if (equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        setName(whole.substr(0, equals));
        line.valueBegin = equals + 1;
    }
    return line;
}

IniProfile::IniProfile(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view lineText = text.substr(start, end - start);
        // All of them, so that the saved text parses to the same lines.
        while (!lineText.empty() && lineText.back() == '\r') {
            lineText.remove_suffix(1);
        }
        Line line = parseLine(std::string(lineText));
        const std::size_t endingBegin = start + lineText.size();
        line.ending
            = std::string(text.substr(endingBegin, std::min(end + 1, text.size()) - endingBegin));
        if (line.kind == LineKind::Section) {
            m_sectionIndex.try_emplace(foldName(line.name()), m_sections.size());
            m_sections.push_back(Section { std::move(line), {} });
        } else if (m_sections.empty()) {
            m_preamble.push_back(std::move(line));
        } else {
            m_sections.back().lines.push_back(std::move(line));
        }
        start = end + 1;
    }
}

std::string IniProfile::text() const
{
    std::size_t size = 0;
    const auto countLines = [&size](const std::vector<Line>& lines) {
        for (const Line& line : lines) {
            size += line.text.size() + line.ending.size() + 1;
        }
    };
    countLines(m_preamble);
    for (const Section& section : m_sections) {
        size += section.header.text.size() + section.header.ending.size() + 1;
        countLines(section.lines);
    }

    std::string result;
    result.reserve(size);
    // A line that ended the text without a line break gets one once another follows it.
    bool open = false;
    const auto appendLine = [&result, &open](const Line& line) {
        if (open) {
            result += '\n';
        }
        result += line.text;
        result += line.ending;
        open = line.ending.empty();
    };
    std::for_each(m_preamble.begin(), m_preamble.end(), appendLine);
    for (const Section& section : m_sections) {
        appendLine(section.header);
        std::for_each(section.lines.begin(), section.lines.end(), appendLine);
    }
    return result;
}

std::size_t IniProfile::unreadableLines() const
{
    const auto unreadable = [](const Line& line) {
        const std::string_view trimmed = trimIniBlanks(line.text);
        return line.kind == LineKind::Other && !trimmed.empty() && trimmed.front() != ';'
            && trimmed.front() != '#';
    };
    auto count
        = static_cast<std::size_t>(std::count_if(m_preamble.begin(), m_preamble.end(), unreadable));
    for (const Section& section : m_sections) {
        count += static_cast<std::size_t>(
            std::count_if(section.lines.begin(), section.lines.end(), unreadable));
    }
    return count;
}

const IniProfile::Section* IniProfile::findSection(std::string_view name) const
{
    const auto found = m_sectionIndex.find(foldName(name));
    return found == m_sectionIndex.end() ? nullptr : &m_sections[found->second];
}

IniProfile::Section* IniProfile::findSection(std::string_view name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

std::size_t IniProfile::findKey(const Section& section, std::string_view key)
{
    key = trimIniBlanks(key);
    const auto found
        = std::find_if(section.lines.begin(), section.lines.end(), [key](const Line& line) {
              return line.kind == LineKind::Key && namesEqual(line.name(), key);
          });
    return found == section.lines.end() ? kNoLine
                                        : static_cast<std::size_t>(found - section.lines.begin());
}

bool IniProfile::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

bool IniProfile::hasKey(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    return found != nullptr && findKey(*found, key) != kNoLine;
}

std::vector<std::string> IniProfile::keys(std::string_view section) const
{
    std::vector<std::string> names;
    const Section* found = findSection(section);
    if (found == nullptr) {
        return names;
    }
    std::unordered_set<std::string> seen;
    for (const Line& line : found->lines) {
        if (line.kind == LineKind::Key && seen.insert(foldName(line.name())).second) {
            names.emplace_back(line.name());
        }
    }
    return names;
}

std::optional<std::string> IniProfile::readRaw(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    const std::size_t line = found == nullptr ? kNoLine : findKey(*found, key);
    if (line == kNoLine) {
        return std::nullopt;
    }
    return readValue(found->lines[line].value());
}

std::string IniProfile::readString(
    std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    auto value = readRaw(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

std::int64_t IniProfile::readInteger(
    std::string_view section, std::string_view key, std::int64_t defaultValue) const
{
    const auto value = readRaw(section, key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

bool IniProfile::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    const auto value = readRaw(section, key);
    const auto number = value ? parseIniInteger(*value) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

double IniProfile::readFloat(
    std::string_view section, std::string_view key, double defaultValue) const
{
    const auto value = readRaw(section, key);
    const auto number = value ? parseIniFloat(*value) : std::nullopt;
    return number.value_or(defaultValue);
}

void IniProfile::appendSection(std::string_view name)
{
    // A blank line before the new section, unless the text ends in one already.
    std::vector<Line>& lastLines = m_sections.empty() ? m_preamble : m_sections.back().lines;
    const Line* lastLine = !lastLines.empty() ? &lastLines.back()
        : m_sections.empty()                  ? nullptr
                                              : &m_sections.back().header;
    if (lastLine != nullptr && !isBlankLine(lastLine->text)) {
        lastLines.push_back(Line {});
    }
    std::string header = "[";
    header += name;
    header += ']';
    m_sectionIndex.try_emplace(foldName(name), m_sections.size());
    m_sections.push_back(Section { parseLine(std::move(header)), {} });
}

void IniProfile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string keyName = storedName(key);
    if (!isStorableKey(keyName)) {
        return;
    }
    const std::string sectionName = storedName(section);
    Section* target = findSection(sectionName);
    if (target == nullptr) {
        appendSection(sectionName);
        target = &m_sections.back();
    }

    const std::string lineValue = replaceLineBreaks(value);
    if (const std::size_t existing = findKey(*target, keyName); existing != kNoLine) {
        // The key keeps the spelling it has in the file.
        Line& line = target->lines[existing];
        std::string ending = std::move(line.ending);
        line = parseLine(std::string(line.name()) + '=' + lineValue);
        line.ending = std::move(ending);
        return;
    }
    auto lastKey = std::find_if(target->lines.rbegin(), target->lines.rend(),
        [](const Line& line) { return line.kind == LineKind::Key; });
    // A new line ends as the line it follows does, so a file keeps one style of line ends.
    const Line& before = lastKey != target->lines.rend() ? *lastKey : target->header;
    Line added = parseLine(keyName + '=' + lineValue);
    if (!before.ending.empty()) {
        added.ending = before.ending;
    }
    target->lines.insert(lastKey.base(), std::move(added));
}

void IniProfile::writeInteger(std::string_view section, std::string_view key, std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    writeString(section, key, std::string_view(buffer, result.ptr));
}

void IniProfile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

void IniProfile::writeFloat(std::string_view section, std::string_view key, double value)
{
    writeString(section, key, formatIniFloat(value));
}

void IniProfile::rebuildSectionIndex()
{
    m_sectionIndex.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        m_sectionIndex.try_emplace(foldName(m_sections[i].header.name()), i);
    }
}

void IniProfile::deleteSection(std::string_view section)
{
    const std::string_view name = trimIniBlanks(section);
    const auto removed = std::erase_if(m_sections,
        [name](const Section& candidate) { return namesEqual(candidate.header.name(), name); });
    if (removed > 0) {
        rebuildSectionIndex();
    }
}

void IniProfile::deleteKey(std::string_view section, std::string_view key)
{
    const std::string_view sectionName = trimIniBlanks(section);
    const std::string_view keyName = trimIniBlanks(key);
    for (Section& candidate : m_sections) {
        if (namesEqual(candidate.header.name(), sectionName)) {
            std::erase_if(candidate.lines, [keyName](const Line& line) {
                return line.kind == LineKind::Key && namesEqual(line.name(), keyName);
            });
        }
    }
}

IniReadResult readIniFile(const std::filesystem::path& path)
{
    SmallFileRead read = readSmallFile(path, kMaxIniFileBytes);
    IniReadResult result;
    result.status = read.status == SmallFileStatus::Ok
        ? IniFileStatus::Ok
        : (read.status == SmallFileStatus::Missing ? IniFileStatus::Missing
                                                   : IniFileStatus::Unreadable);
    result.error = std::move(read.error);
    if (result.status == IniFileStatus::Ok) {
        result.profile = IniProfile(read.bytes);
    }
    return result;
}

std::optional<std::string> writeIniFile(
    const std::filesystem::path& path, const IniProfile& profile)
{
    const std::string text = profile.text();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const auto failure = writeFileSafely(path, { bytes, text.size() }, ".new")) {
        return fileError("save", path, failure->error);
    }
    return std::nullopt;
}

} // namespace oskel
