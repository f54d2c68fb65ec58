#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/presets_file.h"

namespace oskel {

// The preset list of the video compression dialog, without the widgets: the names a preset
// may take, adding (and overwriting) one, and what applying one does. The list holds the
// named presets only; the file's first record, the settings in force, is kept apart.
namespace compression_presets {

inline constexpr std::string_view kAddCaption = "Add Preset";
inline constexpr std::string_view kAddPrompt = "Preset Name (max 24 chars):";
inline constexpr std::string_view kBadName = "There is a problem with your preset name!";
inline constexpr std::string_view kOverwrite = "Preset Name already exists, overwrite?!";
inline constexpr std::string_view kNotInstalled = " is no longer installed!";

enum class NameCheck { Refused, Exists, Fine };
// An empty name (after trimming), "Default" and names of 25 characters or more are refused;
// a name already in the list (whatever its letter case) exists.
NameCheck checkName(std::string_view name, std::span<const CompressionPreset> presets);

// Adds the preset, replacing one of the same name (whatever its letter case) when there is
// one. A preset named "Default" goes to the top and the list is left unsorted from then on;
// the others go in sorted order.
void add(std::vector<CompressionPreset>& presets, CompressionPreset preset);

// What applying the preset needs: its compressor among the installed ones; the message
// (the compressor's name and " is no longer installed!") when it is not there.
std::optional<std::string> missingCompressor(
    const CompressionPreset& preset, std::span<const std::string> installed);

} // namespace compression_presets
} // namespace oskel
