#pragma once

#include "control/automap_comp.h"
#include "core/options.h"

namespace oskel {

// The instrument's pages on the surface: a "Clip Control" page for each slot (right half,
// pages 0..15), an "Effect Control" page for each slot (left half, pages 16..31) and the
// "Master Controls" page (right half, page 32). A control that stands for a MIDI parameter
// sends the controller assigned to that parameter now, so it acts as that controller does.
namespace surface_pages {
inline constexpr int kFirstClipPage = 0;
inline constexpr int kFirstEffectPage = 16;
inline constexpr int kMasterPage = 32;
constexpr int clipPage(int slot)
{
    return kFirstClipPage + slot - 1;
}
constexpr int effectPage(int slot)
{
    return kFirstEffectPage + slot - 1;
}
} // namespace surface_pages

void buildSurfacePages(TAutoMapComp& surface, const MidiOptions& midi);

} // namespace oskel
