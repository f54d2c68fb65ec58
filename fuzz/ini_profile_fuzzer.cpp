// Parses any bytes as an INI profile and checks what must hold for every text: the saved text
// parses to the same reads, writes read back as written and touch nothing else, and the
// value encodings agree with themselves.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "persistence/ini_profile.h"

namespace {

using oskel::IniProfile;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

constexpr std::string_view kSections[] = { "", "S", "globals", "a]b", " Sec tion " };
constexpr std::string_view kKeys[] = { "", "k", "Key", "1", "a b" };
constexpr std::string_view kWritten = "Written by the fuzzer";
constexpr double kFloatDefault = 0.5;

std::string doubleBits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return std::to_string(bits);
}

void appendReads(
    std::string& out, const IniProfile& profile, std::string_view section, std::string_view key)
{
    const auto raw = profile.readRaw(section, key);
    out += raw ? "=" + *raw : "-";
    out += '|' + std::to_string(profile.readInteger(section, key, -7));
    out += profile.readBool(section, key, false) ? 'T' : 'F';
    out += profile.readBool(section, key, true) ? 'T' : 'F';
    out += doubleBits(profile.readFloat(section, key, kFloatDefault));
    out += '\n';
}

// Everything the profile answers about the fixed names and the keys it holds under them.
std::string fingerprint(const IniProfile& profile)
{
    std::string out;
    for (const std::string_view section : kSections) {
        out += profile.hasSection(section) ? "[+]" : "[-]";
        for (const std::string& key : profile.keys(section)) {
            out += key + '\x1f';
            appendReads(out, profile, section, key);
        }
        for (const std::string_view key : kKeys) {
            appendReads(out, profile, section, key);
        }
    }
    return out;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// What a string written as value reads back as, before the length limit.
std::string expectedRead(std::string_view value)
{
    std::string oneLine(value);
    std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    std::string_view read = trim(oneLine);
    if (read.size() >= 2 && read.front() == '"' && read.back() == '"') {
        read = read.substr(1, read.size() - 2);
    }
    return std::string(read);
}

bool isStorableKey(std::string_view key)
{
    std::string oneLine(key);
    std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    const std::string_view name = trim(oneLine);
    return name.find('=') == std::string_view::npos
        && (name.empty() || (name.front() != '[' && name.front() != ';' && name.front() != '#'));
}

bool closeEnough(double read, double written)
{
    return std::fabs(read - written) <= 6e-15 * std::fabs(written) + 5e-324;
}

void checkValueEncodings(std::string_view text)
{
    if (const auto integer = oskel::parseIniInteger(text)) {
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, *integer).ptr;
        check(oskel::parseIniInteger(std::string_view(buffer, end - buffer)) == integer);
    }
    if (const auto number = oskel::parseIniFloat(text)) {
        check(std::isfinite(*number));
        const auto again = oskel::parseIniFloat(oskel::formatIniFloat(*number));
        check(again && closeEnough(*again, *number));
    }
}

template <typename T> T takeBytes(std::string_view& input)
{
    T value {};
    const std::size_t count = std::min(sizeof value, input.size());
    if (count > 0) {
        std::memcpy(&value, input.data(), count);
    }
    input.remove_prefix(count);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkValueEncodings(input);

    IniProfile profile(input);
    const std::string before = fingerprint(profile);
    const std::string saved = profile.text();
    const IniProfile reparsed(saved);
    check(fingerprint(reparsed) == before);
    check(reparsed.text() == saved);

    // Values to write, taken from the input itself.
    std::string_view rest = input;
    const auto integer = takeBytes<std::int64_t>(rest);
    const auto number = takeBytes<double>(rest);
    const bool flag = (takeBytes<std::uint8_t>(rest) & 1) != 0;
    const std::string_view text = rest;

    profile.writeString(kWritten, "String", text);
    profile.writeInteger(kWritten, "Integer", integer);
    profile.writeBool(kWritten, "Bool", flag);
    profile.writeFloat(kWritten, "Float", number);

    const auto checkWritten = [&](const IniProfile& written) {
        const std::string expected = expectedRead(text);
        const std::string read = written.readString(kWritten, "String", "-");
        check(read.size() <= IniProfile::kMaxValueLength);
        check(expected.compare(0, read.size(), read) == 0);
        check(expected.size() > IniProfile::kMaxValueLength || read == expected);
        check(written.readInteger(kWritten, "Integer", 0) == integer);
        check(written.readBool(kWritten, "bool", !flag) == flag);
        const double readNumber = written.readFloat(kWritten, "FLOAT", kFloatDefault);
        check(
            std::isfinite(number) ? closeEnough(readNumber, number) : readNumber == kFloatDefault);
    };
    checkWritten(profile);
    checkWritten(IniProfile(profile.text()));
    // Nothing else changed.
    check(fingerprint(profile) == before);

    // Names from the input, as a caller might pass them.
    const std::string_view section = input.substr(0, std::min<std::size_t>(input.size(), 12));
    const std::string_view key = input.substr(section.size(), 12);
    const std::string unchanged = profile.text();
    profile.writeString(section, key, "v");
    if (isStorableKey(key)) {
        check(profile.readString(section, key, "-") == "v");
        check(IniProfile(profile.text()).readString(section, key, "-") == "v");
        profile.deleteKey(section, key);
        check(!profile.hasKey(section, key));
    } else {
        check(profile.text() == unchanged);
    }
    profile.deleteSection(section);
    check(!profile.hasSection(section));
    check(!IniProfile(profile.text()).hasSection(section));
    return 0;
}
