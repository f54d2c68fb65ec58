#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// An INI text held in memory, with the semantics of the Windows profile routines that the
// settings and patch files were designed around:
// - section and key names match without regard to letter case; sections come in any order;
// - a missing key, or a value that does not parse, yields the caller's default;
// - strings are read up to kMaxValueLength characters;
// - integers: decimal with an optional minus sign, or "$" followed by hexadecimal;
// - booleans: written "1"/"0", read as integers (non-zero is true);
// - floats: written in the shortest form with up to 15 significant digits and ".", read
//   with "." or "," as the decimal separator;
// - writing updates in place: lines the writer does not touch stay exactly as they were.
// Where a section or key appears twice, the first one is read and updated.
// Any text parses: lines that are neither a section nor a key are kept and ignored.
class IniProfile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    IniProfile() = default;
    explicit IniProfile(std::string_view text);

    // The whole text as it would be saved.
    std::string text() const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    // Key names of the first section of that name, in file order.
    std::vector<std::string> keys(std::string_view section) const;

    std::optional<std::string> readRaw(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int64_t readInteger(std::string_view section, std::string_view key,
                             std::int64_t defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // Only finite numbers are read; "INF", "NAN" and the like give the default.
    double readFloat(std::string_view section, std::string_view key, double defaultValue) const;

    // Line breaks in names or values are replaced by spaces, so a write never adds lines.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int64_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void writeFloat(std::string_view section, std::string_view key, double value);

    void deleteSection(std::string_view section);
    void deleteKey(std::string_view section, std::string_view key);

private:
    struct Line;
    std::vector<std::string> m_lines;
};

// The value encodings on their own, for callers that parse or format a single value.
std::optional<std::int64_t> parseIniInteger(std::string_view text);
std::optional<double> parseIniFloat(std::string_view text);
std::string formatIniFloat(double value);

// Reading and writing files. A file that does not exist reads as an empty profile.
enum class IniFileStatus { Ok, Missing, Unreadable };

struct IniReadResult {
    IniFileStatus status = IniFileStatus::Ok;
    IniProfile profile;
    std::string error; // in the system's words, empty when status is Ok or Missing
};

IniReadResult readIniFile(const std::filesystem::path& path);

// Writes a new file beside the old one, flushes it to disk and renames it over the old one,
// so that a failed write leaves the old file as it was. Returns an error text, or nothing.
std::optional<std::string> writeIniFile(const std::filesystem::path& path,
                                        const IniProfile& profile);

} // namespace oskel
