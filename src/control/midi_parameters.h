#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/options.h"

namespace oskel {

// The parameters a MIDI controller can drive, numbered 0..40: the index into the controller
// and invert tables of MidiOptions, and the order of the pitch-wheel list (0..31 only).
namespace midi_parameter {
inline constexpr int kClassicPitch = 0;
inline constexpr int kFinePitch = 1;
inline constexpr int kInPoint = 2;
inline constexpr int kDirection = 3;
inline constexpr int kWidth = 4;
inline constexpr int kHeight = 5;
inline constexpr int kSize = 6;
inline constexpr int kAspectRatio = 7;
inline constexpr int kXMovement = 8;
inline constexpr int kYMovement = 9;
inline constexpr int kLumaKeyLevel = 10;
inline constexpr int kLumaBlend = 11;
inline constexpr int kOpacity = 12;
inline constexpr int kTrailsDieBack = 13;
inline constexpr int kCrossfade = 14;
inline constexpr int kClipVolume = 15;
inline constexpr int kSize3D = 16;
inline constexpr int kXRotate3D = 17;
inline constexpr int kYRotate3D = 18;
inline constexpr int kZRotate3D = 19;
inline constexpr int kHorizontalArray3D = 20;
inline constexpr int kVerticalArray3D = 21;
inline constexpr int kSpacing3D = 22;
inline constexpr int kScratching = 23;
inline constexpr int kFirstEffectParameter = 24; // 24..31: the effect's parameters 1..8
inline constexpr int kEffectParameterCount = 8;
inline constexpr int kEffectWetDry = 32;
inline constexpr int kEffectOnOff = 33;
inline constexpr int kGlobalBpm = 34;
inline constexpr int kGlobalVolume = 35;
inline constexpr int kFrameScratch = 36;
inline constexpr int kOutPoint = 37;
inline constexpr int kPan = 38;
inline constexpr int kBpmTap = 39;
inline constexpr int kGlobalSync = 40;
} // namespace midi_parameter

// How many parameters the pitch wheel can drive: 0..31.
inline constexpr int kPitchWheelParameterCount = 32;

struct MidiParameterInfo {
    // The caption of the parameter's learn button in the MIDI form.
    std::string_view button;
    // Its item in the pitch-wheel list; empty for the parameters the wheel cannot drive.
    std::string_view pitchWheelItem;
};

// clang-format off
inline constexpr std::array<MidiParameterInfo, kMidiParameterCount> kMidiParameters { {
    { "Classic Pitch", "Classic Pitch" },
    { "Fine Pitch", "Fine Pitch" },
    { "In Point", "InPoint" },
    { "Direction", "Direction" },
    { "Clip Width", "Width" },
    { "Clip Height", "Height" },
    { "Clip Size", "Size" },
    { "Aspect Ratio", "AspectRatio" },
    { "X Movement", "XMovement" },
    { "Y Movement", "YMovement" },
    { "Luma Level", "LumaKeyLevel" },
    { "Luma Blend", "LumaBlendLevel" },
    { "Opacity", "OpacityLevel" },
    { "Trails DieBack", "TrailsDieback" },
    { "Cross Fade", "CrossFade" },
    { "Clip Volume", "Clip Volume" },
    { "3D Size", "3D Size" },
    { "3D X Rotate", "3D X Rotate" },
    { "3D Y Rotate", "3D Y Rotate" },
    { "3D Z Rotate", "3D Z Rotate" },
    { "3D Horz Array", "3D Horz Array" },
    { "3D Vert Array", "3D Vert Array" },
    { "3D Spacing", "3D Spacing" },
    { "AV Scratch", "Scratching" },
    // The list's items 3, 4 and 5 of the effect carry a trailing blank.
    { "FreeFrame 1", "FreeFrame 1" },
    { "FreeFrame 2", "FreeFrame 2" },
    { "FreeFrame 3", "FreeFrame 3 " },
    { "FreeFrame 4", "FreeFrame 4 " },
    { "FreeFrame 5", "FreeFrame 5 " },
    { "FreeFrame 6", "FreeFrame 6" },
    { "FreeFrame 7", "FreeFrame 7" },
    { "FreeFrame 8", "FreeFrame 8" },
    { "FF WetDry Mix", "" },
    { "FF On/Off", "" },
    { "Global BPM", "" },
    { "Global Volume", "" },
    { "Frame Scratch", "" },
    { "Out Point", "" },
    { "Clip Pan", "" },
    { "BMP Tap", "" },
    { "Global Sync", "" },
} };
// clang-format on

constexpr bool isMidiParameter(int parameter)
{
    return parameter >= 0 && parameter < kMidiParameterCount;
}

} // namespace oskel
