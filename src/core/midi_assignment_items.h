#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/options.h"

namespace oskel {

// The controller assignments of the 41 MIDI parameters as the control table names them: for
// parameter n, "[Master] Controller<name>" holds its controller number (-1 for none) and
// "[Master] Invert<name>" whether the controller's value is turned round. The order is the
// parameters' numbering (0..40); defaultController is what an unassigned parameter gets.
struct MidiAssignmentItem {
    std::string_view controller;
    std::string_view invert;
    std::int32_t defaultController = 0;
};

// clang-format off
inline constexpr std::array<MidiAssignmentItem, kMidiParameterCount> kMidiAssignmentItems { {
    { "ControllerClassicPitch", "InvertClassicPitch", 70 },
    { "ControllerFinePitch", "InvertFinePitch", 71 },
    { "ControllerInPoint", "InvertInPoint", 53 },
    { "ControllerDirection", "InvertDirection", 1 },
    { "ControllerWidth", "InvertWidth", 58 },
    { "ControllerHeight", "InvertHeight", 59 },
    { "ControllerSize", "InvertSize", 60 },
    { "ControllerAspectRatio", "InvertAspectRatio", 61 },
    { "ControllerXMovement", "InvertXMovement", 62 },
    { "ControllerYMovement", "InvertYMovement", 63 },
    { "ControllerLumaKeyLevel", "InvertLumaKeyLevel", 65 },
    { "ControllerLumaBlend", "InvertLumaBlend", 66 },
    { "ControllerOpacity", "InvertOpacity", 67 },
    { "ControllerTrailsDieBack", "InvertTrailsDieBack", 80 },
    { "ControllerCrossfade", "InvertCrossfade", 85 },
    { "ControllerClipVolume", "InvertClipVolume", 77 },
    { "Controller3DSize", "Invert3DSize", 90 },
    { "Controller3DXRotate", "Invert3DXRotate", 91 },
    { "Controller3DYRotate", "Invert3DYRotate", 92 },
    { "Controller3DZRotate", "Invert3DZRotate", 93 },
    { "Controller3DHorizontalArray", "Invert3DHorizontalArray", 94 },
    { "Controller3DVerticalArray", "Invert3DVerticalArray", 95 },
    { "Controller3DSpacing", "Invert3DSpacing", 96 },
    { "ControllerScratch", "InvertScratch", 97 },
    { "ControllerEffect1", "InvertEffect1", 98 },
    { "ControllerEffect2", "InvertEffect2", 99 },
    { "ControllerEffect3", "InvertEffect3", 100 },
    { "ControllerEffect4", "InvertEffect4", 101 },
    { "ControllerEffect5", "InvertEffect5", 102 },
    { "ControllerEffect6", "InvertEffect6", 103 },
    { "ControllerEffect7", "InvertEffect7", 104 },
    { "ControllerEffect8", "InvertEffect8", 105 },
    { "ControllerEffectWetDry", "InvertEffectWetDry", 110 },
    { "ControllerEffectOnOff", "InvertEffectOnOff", 111 },
    { "ControllerTempo", "InvertTempo", 75 },
    { "ControllerMasterVolume", "InvertMasterVolume", 76 },
    { "ControllerFrameScratch", "InvertFrameScratch", 78 },
    { "ControllerOutPoint", "InvertOutPoint", 54 },
    { "ControllerPan", "InvertPan", 79 },
    { "ControllerTapTempo", "InvertTapTempo", 68 },
    { "ControllerSyncBeat", "InvertSyncBeat", 69 },
} };
// clang-format on

inline constexpr std::int32_t kNoController = -1;
inline constexpr std::int32_t kHighestController = 127;

} // namespace oskel
