#include "persistence/patch_keys.h"

#include "persistence/ini_text.h"

namespace oskel::detail {

namespace {

std::optional<std::int64_t> storedInteger(
    const IniProfile& ini, std::string_view section, std::string_view key)
{
    const auto raw = ini.readRaw(section, key);
    return raw ? parseIniInteger(*raw) : std::nullopt;
}

// A read takes the blanks and one pair of double quotes off a value; quotes around it keep
// what a read would take.
bool needsQuotes(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    return quoted || isIniBlank(text.front()) || isIniBlank(text.back());
}

} // namespace

void readValue(const IniProfile& ini, std::string_view section, std::string_view key, bool& value)
{
    value = ini.readBool(section, key, value);
}

void readValue(
    const IniProfile& ini, std::string_view section, std::string_view key, std::int64_t& value)
{
    value = ini.readInteger(section, key, value);
}

void readValue(const IniProfile& ini, std::string_view section, std::string_view key, double& value)
{
    value = ini.readFloat(section, key, value);
}

void readValue(
    const IniProfile& ini, std::string_view section, std::string_view key, std::string& value)
{
    if (auto raw = ini.readRaw(section, key)) {
        value = std::move(*raw);
    }
}

void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<bool>& value)
{
    const auto number = storedInteger(ini, section, key);
    value = number ? std::optional(*number != 0) : std::nullopt;
}

void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<std::int64_t>& value)
{
    value = storedInteger(ini, section, key);
}

void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<double>& value)
{
    const auto raw = ini.readRaw(section, key);
    value = raw ? parseIniFloat(*raw) : std::nullopt;
}

void writeValue(IniProfile& ini, std::string_view section, std::string_view key, bool value)
{
    ini.writeBool(section, key, value);
}

void writeValue(IniProfile& ini, std::string_view section, std::string_view key, std::int64_t value)
{
    ini.writeInteger(section, key, value);
}

void writeValue(IniProfile& ini, std::string_view section, std::string_view key, double value)
{
    ini.writeFloat(section, key, value);
}

void writeValue(
    IniProfile& ini, std::string_view section, std::string_view key, const std::string& value)
{
    ini.writeString(section, key, needsQuotes(value) ? '"' + value + '"' : value);
}

std::string slotKey(std::size_t slotIndex)
{
    return std::to_string(slotIndex + 1);
}

std::string effectParametersSection(std::size_t slotIndex)
{
    return std::string(kEffectParametersSection) + slotKey(slotIndex);
}

} // namespace oskel::detail
