#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// One preset of the video compression settings: a name, the compressor by its friendly name,
// its quality, key-frame interval and data-rate limit, and the compressor's own options as
// text (the encoder's settings, "crf=18:preset=fast").
struct CompressionPreset {
    std::string name; // up to 24 characters
    int quality = 100; // 0..100
    std::int32_t keyFrame = 0;
    std::int32_t dataRateKBps = 0; // 0: no limit
    std::string compressor; // up to 48 characters
    std::string state;

    bool operator==(const CompressionPreset&) const = default;
};

inline constexpr std::size_t kPresetNameLimit = 24;
inline constexpr std::size_t kPresetCompressorLimit = 48;
inline constexpr std::string_view kPresetsFileName = "presets.bin";

// "presets.bin": the first preset holds the settings in force, the others are the named
// presets. Read in the current format (a magic number, a version, the count, 92-byte records
// each followed by its state block from version 1 on) and the older one (the count and 88-byte
// records); written in the current one, version 1. The file is hostile input: counts and sizes
// that do not fit the bytes there are, names longer than their field, and unknown magic
// numbers are problems; the presets read before a problem are kept.
struct PresetsRead {
    std::vector<CompressionPreset> presets;
    std::string problem; // empty when the whole file was read
};
PresetsRead parsePresets(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> serialisePresets(std::span<const CompressionPreset> presets);

// A missing file gives no presets and no problem. A save writes beside the old file and
// renames it over it, so a failed save leaves the old presets whole.
PresetsRead readPresetsFile(const std::filesystem::path& file);
std::optional<std::string> writePresetsFile(
    const std::filesystem::path& file, std::span<const CompressionPreset> presets);

} // namespace oskel
