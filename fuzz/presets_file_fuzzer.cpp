// Reads any bytes as a presets file: what must hold is that a problem leaves the presets read
// before it, every preset read lies within its fields' limits, and the presets read, written
// in the current format, read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "persistence/presets_file.h"

namespace {

using namespace oskel;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PresetsRead read = parsePresets(std::span(data, size));
    for (const CompressionPreset& preset : read.presets) {
        check(preset.name.size() <= kPresetNameLimit);
        check(preset.compressor.size() <= kPresetCompressorLimit);
        check(preset.quality >= 0 && preset.quality <= 100);
        check(preset.keyFrame >= 0 && preset.dataRateKBps >= 0);
    }
    const PresetsRead again = parsePresets(serialisePresets(read.presets));
    check(again.problem.empty());
    check(again.presets == read.presets);
    return 0;
}
