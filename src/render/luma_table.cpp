#include "render/luma_table.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace oskel {

namespace {

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

void BuildLumaTable(LumaTable& table, int low, int high, bool inverse)
{
    if (low > high) {
        std::swap(low, high);
    }
    // 64-bit so that no pair of levels, however far apart, overflows.
    const std::int64_t span = std::int64_t { high } - low;
    for (std::size_t i = 0; i < table.alpha.size(); ++i) {
        const auto sum = static_cast<std::int64_t>(i);
        std::int64_t alpha = 0;
        if (sum <= low) {
            alpha = 0;
        } else if (sum >= high) {
            alpha = 255;
        } else {
            alpha = (sum - low) * 256 / span; // truncated; below 256 as sum < high
        }
        table.alpha[i] = static_cast<std::uint8_t>(inverse ? 255 - alpha : alpha);
    }
    table.ramp.reset();
    if (low >= 0 && high < static_cast<int>(table.alpha.size())) {
        table.ramp = LumaRamp { low, high, inverse };
    }
}

bool LumaCache::update(int lumaLevel, int blendLevel, bool inverseLuma)
{
    if (lumaLevel == level && blendLevel == blend && inverseLuma == inverse) {
        return false;
    }
    level = lumaLevel;
    blend = blendLevel;
    inverse = inverseLuma;
    const std::int64_t low = std::max<std::int64_t>(0, std::int64_t { lumaLevel } - blendLevel);
    const std::int64_t high = std::min<std::int64_t>(767, std::int64_t { lumaLevel } + blendLevel);
    BuildLumaTable(table, clampToInt(low), clampToInt(high), inverseLuma);
    return true;
}

LumaTable LumaCache::initialTable()
{
    LumaTable initial;
    BuildLumaTable(initial, 255, 512, false);
    return initial;
}

} // namespace oskel
