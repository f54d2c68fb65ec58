#include "control/compression_presets.h"

#include <algorithm>

#include "core/ascii.h"

namespace oskel::compression_presets {

namespace {

constexpr std::string_view kDefault = "Default";

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool lessWithoutCase(const CompressionPreset& a, const CompressionPreset& b)
{
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
        [](char x, char y) { return asciiLower(x) < asciiLower(y); });
}

} // namespace

NameCheck checkName(std::string_view name, std::span<const CompressionPreset> presets)
{
    const std::string_view kept = trimmed(name);
    if (kept.empty() || kept == kDefault || name.size() > kPresetNameLimit) {
        return NameCheck::Refused;
    }
    const bool exists = std::ranges::any_of(presets,
        [&](const CompressionPreset& preset) { return sameWithoutCase(preset.name, kept); });
    return exists ? NameCheck::Exists : NameCheck::Fine;
}

void add(std::vector<CompressionPreset>& presets, CompressionPreset preset)
{
    std::erase_if(presets, [&](const CompressionPreset& existing) {
        return sameWithoutCase(existing.name, preset.name);
    });
    if (preset.name == kDefault) {
        presets.insert(presets.begin(), std::move(preset));
        return;
    }
    const bool sorted = presets.empty() || presets.front().name != kDefault;
    const auto at
        = sorted ? std::ranges::upper_bound(presets, preset, lessWithoutCase) : presets.end();
    presets.insert(at, std::move(preset));
}

std::optional<std::string> missingCompressor(
    const CompressionPreset& preset, std::span<const std::string> installed)
{
    const bool there = std::ranges::any_of(installed,
        [&](const std::string& name) { return sameWithoutCase(name, preset.compressor); });
    if (there) {
        return std::nullopt;
    }
    return preset.compressor + std::string(kNotInstalled);
}

} // namespace oskel::compression_presets
