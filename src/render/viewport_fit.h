#pragma once

#include "core/options.h"

namespace oskel {

// The composition area: every clip rectangle lives in 384 x 288 units, y down.
inline constexpr int kCompositionWidth = 384;
inline constexpr int kCompositionHeight = 288;

struct Viewport {
    int x = 0;
    int y = 0;
    int width = kCompositionWidth;
    int height = kCompositionHeight;
    float aspect = 384.0f / 288.0f;
};

// Fits the output's aspect (384:288, or the custom aspect when "manualPreviewSize" is on)
// into the 384 x 288 display area, centred; rounding halves to even.
Viewport fitViewport(const DisplayOptions& display);

} // namespace oskel
