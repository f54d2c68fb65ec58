#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace oskel {

// An INI text held in memory, with the semantics of the Windows profile routines that the
// settings and patch files were designed around:
// - section and key names match without regard to letter case (ASCII); sections come in any
//   order; blanks around names are not part of them, here as in the file;
// - a missing key, or a value that does not parse, yields the caller's default;
// - a value is read without the blanks around it and without one pair of enclosing double
//   quotes, and strings are read up to kMaxValueLength bytes (never cutting a UTF-8
//   character in half);
// - integers: decimal with an optional sign, or "$" followed by hexadecimal ("-$10" is -16);
// - booleans: written "1"/"0", read as integers (non-zero is true);
// - floats: written in the shortest form with up to 15 significant digits and ".", read
//   with "." or "," as the decimal separator;
// - writing updates in place: lines the writer does not touch stay exactly as they were.
// Where a section or key appears twice, the first one is read and updated.
// Any text parses: lines that are neither a section nor a key are kept and ignored, and so
// are keys above the first section. Lines may end in "\n" or "\r\n". text() gives back every
// line as it came, its ending included, byte for byte; new lines end in "\n".
class IniProfile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    IniProfile() = default;
    explicit IniProfile(std::string_view text);

    // The whole text as it would be saved.
    std::string text() const;

    // Lines that are neither a section, nor a key, nor blank, nor a comment (";" or "#"):
    // text this profile cannot read, which it keeps as it is.
    std::size_t unreadableLines() const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    // Key names of the first section of that name, in file order, each name once.
    std::vector<std::string> keys(std::string_view section) const;

    // The value as readString reads it, or nothing when the key is missing.
    std::optional<std::string> readRaw(std::string_view section, std::string_view key) const;
    std::string readString(
        std::string_view section, std::string_view key, std::string_view defaultValue) const;
    std::int64_t readInteger(
        std::string_view section, std::string_view key, std::int64_t defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // Only finite numbers are read; "INF", "NAN" and the like give the default.
    double readFloat(std::string_view section, std::string_view key, double defaultValue) const;

    // Line breaks in names or values are replaced by spaces, so a write never adds lines
    // other than its own. A new key goes after the last key of its section, a new section at
    // the end. A key that a line cannot hold (one containing "=", or starting with "[", ";"
    // or "#") is not written.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int64_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void writeFloat(std::string_view section, std::string_view key, double value);

    // Both remove every copy: every section of that name, every line of that key in them.
    void deleteSection(std::string_view section);
    void deleteKey(std::string_view section, std::string_view key);

private:
    enum class LineKind { Other, Section, Key };

    struct Line {
        std::string text;
        std::string ending = "\n"; // as read: "\n", "\r\n"..., or none at the end of the text
        LineKind kind = LineKind::Other;
        // Where the trimmed section or key name lies in text.
        std::size_t nameBegin = 0;
        std::size_t nameSize = 0;
        // For a key: the first byte after the "=".
        std::size_t valueBegin = 0;

        std::string_view name() const;
        std::string_view value() const;
    };

    struct Section {
        Line header;
        std::vector<Line> lines;
    };

    static Line parseLine(std::string text);
    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
    // The index in section.lines of the first line of that key, or kNoLine.
    static std::size_t findKey(const Section& section, std::string_view key);
    void appendSection(std::string_view name);
    void rebuildSectionIndex();

    std::vector<Line> m_preamble; // the lines above the first section
    std::vector<Section> m_sections;
    // Folded name of each section to the index of its first occurrence in m_sections.
    std::unordered_map<std::string, std::size_t> m_sectionIndex;
};

// The value encodings on their own, for callers that parse or format a single value.
// Blanks around the text are ignored; the rest must parse as a whole.
std::optional<std::int64_t> parseIniInteger(std::string_view text);
std::optional<double> parseIniFloat(std::string_view text);
std::string formatIniFloat(double value);

// Reading and writing files. A file that does not exist reads as an empty profile; one that is
// not a regular file (a folder, a FIFO, a device) or is larger than kMaxIniFileBytes is
// refused unread.
inline constexpr std::size_t kMaxIniFileBytes = 16 * 1024 * 1024;
enum class IniFileStatus { Ok, Missing, Unreadable };

struct IniReadResult {
    IniFileStatus status = IniFileStatus::Ok;
    IniProfile profile;
    std::string error; // in the system's words, empty when status is Ok or Missing
};

IniReadResult readIniFile(const std::filesystem::path& path);

// Writes "<path>.new" beside the old file, flushes it to disk and renames it over the old
// one, so that a failed write leaves the old file as it was. The new file keeps the old
// one's permissions. Creates no folders. Returns an error text, or nothing.
std::optional<std::string> writeIniFile(
    const std::filesystem::path& path, const IniProfile& profile);

} // namespace oskel
