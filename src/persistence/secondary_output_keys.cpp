#include "persistence/secondary_output_keys.h"

#include <limits>
#include <string_view>

namespace oskel {

namespace {

constexpr std::string_view kDisplay = "Display";
constexpr std::string_view kForm = "SecDisplayForm";
constexpr std::string_view kCustom = "secondaryDisplayCustom";

std::optional<std::int32_t> readOptional(
    const IniProfile& ini, std::string_view section, std::string_view key)
{
    constexpr std::int64_t kMissing = std::numeric_limits<std::int64_t>::min();
    const std::int64_t value = ini.readInteger(section, key, kMissing);
    if (value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

void writeOptional(IniProfile& ini, std::string_view section, std::string_view key,
    const std::optional<std::int32_t>& value)
{
    if (value) {
        ini.writeInteger(section, key, *value);
    }
}

} // namespace

void readSecondaryOutputKeys(const IniProfile& ini, DisplayOptions& display)
{
    display.secondaryExpanded = ini.readBool(kDisplay, "secondary-expanded", false);
    SecondaryOutputPlace& place = display.secondary;
    place.monitor = readOptional(ini, kDisplay, "secondary-monitor");
    place.left = readOptional(ini, kForm, "Left");
    place.top = readOptional(ini, kForm, "Top");
    place.useCustomMode = ini.readBool(kCustom, "useCustomMode", false);
    place.customLeft = readOptional(ini, kCustom, "left").value_or(0);
    place.customTop = readOptional(ini, kCustom, "top").value_or(0);
    place.customRight = readOptional(ini, kCustom, "right");
    place.customBottom = readOptional(ini, kCustom, "bottom");
}

void writeSecondaryOutputKeys(IniProfile& ini, const DisplayOptions& display)
{
    const SecondaryOutputPlace& place = display.secondary;
    ini.writeBool(kDisplay, "secondary-expanded", display.secondaryExpanded);
    writeOptional(ini, kDisplay, "secondary-monitor", place.monitor);
    writeOptional(ini, kForm, "Left", place.left);
    writeOptional(ini, kForm, "Top", place.top);
    ini.writeBool(kCustom, "useCustomMode", place.useCustomMode);
    ini.writeInteger(kCustom, "left", place.customLeft);
    ini.writeInteger(kCustom, "top", place.customTop);
    writeOptional(ini, kCustom, "right", place.customRight);
    writeOptional(ini, kCustom, "bottom", place.customBottom);
}

} // namespace oskel
