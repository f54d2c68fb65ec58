#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/performance.h"

namespace oskel::clip_inspector {

// Fader ranges of the inspector's controls.
inline constexpr int kWidthFaderMax = 1536;
inline constexpr int kHeightFaderMax = 1152;
inline constexpr int kSizeFaderMax = 1344;
inline constexpr int kLumaFaderMax = 765;
inline constexpr int kOpacityFaderMax = 256;
inline constexpr int kSize3DFaderLimit = 40; // -40..40
inline constexpr int kRotationFaderLimit = 200; // -200..200
inline constexpr int kTilesMin = 1;
inline constexpr int kTilesMax = 7;
inline constexpr int kSpacingFaderMax = 60;
inline constexpr int kVolumeFaderMax = 100;
inline constexpr int kPanFaderMax = 127;
inline constexpr int kSpeedFaderMax = 200000;
inline constexpr int kBeatsMax = 999;

// The conversions between what a fader shows and the record's units.
// 3D size: 1.0 is the fader's centre; above it eight steps make one, below it the fader
// runs down to 0.025.
int size3DPosition(double size3D);
double size3DFromPosition(int position);
// Volume: the fader shows the loudness as a percentage of full; 0 is silence.
int volumePosition(std::int32_t volume);
std::int32_t volumeFromPosition(int position);
// Rotation speeds and tile spacing: the fader shows tenths.
int tenthsPosition(double value);

// What the inspector shows for one slot, every control's value in the control's own terms.
struct Contents {
    int slot = 0;
    std::string heading; // "Clip Q - clip.avi"
    int left = 0, top = 0, right = 0, bottom = 0;
    int width = 0, height = 0, size = 0;
    std::string actualSize; // "320 x 240"
    int lumaKeyLevel = 0;
    bool inverseLuma = false;
    int lumaBlendLevel = 0;
    int opacity = 0; // AlphaLevel: 0 opaque
    bool additive = false;
    int colourSwap = 0; // 0 off, 1 R/G, 2 R/B, 3 B/G
    bool stencilEnabled = false;
    std::string stencilFileName;
    bool threeD = false;
    bool threeDAllowed = false; // clips of 256 pixels or more on both sides
    int size3D = 0;
    int xRotation = 0, yRotation = 0, zRotation = 0;
    int horizontalTiles = 1, verticalTiles = 1;
    int spacing = 0;
    int volumeFader = 0;
    int attenuation = 0; // the volume box: hundredths of a decibel below full
    bool mute = false;
    int pan = 64;
    int frequency = 0;
    bool disableMidi = false;
    std::int64_t inPoint = 0, outPoint = 0; // sample frames
    std::int64_t lengthFrames = 0;
    std::int64_t position = -1; // the play position while the slot plays, else -1
    bool chop = false;
    bool syncMode = false;
    bool reSync = false;
    int beats = 0;
    bool followBpm = false;
    std::string sampleRate, frameCount, frameRate, audioDuration;

    bool operator==(const Contents&) const = default;
};

// The inspected slot's values; the caption is the slot's key letter or note name.
Contents contents(const Performance& performance, int slot);

// The in/out bar: a place on a clip of `length` sample frames and a pixel along a bar of
// `width` pixels, either way.
int barPixel(std::int64_t frames, std::int64_t length, int width);
std::int64_t barFrames(int pixel, std::int64_t length, int width);

// Texts typed into the boxes.
// Only the characters 0..9 and "." (an empty text holds none of anything else).
bool holdsOnlyDigitsAndDots(std::string_view text);
bool holdsOnlyDigits(std::string_view text);
// A number in the text, whole or with decimals, signed; nothing when there is none.
std::optional<double> numberIn(std::string_view text);
// A whole number, signed; nothing for anything else or beyond the 32-bit range.
std::optional<std::int32_t> wholeNumberIn(std::string_view text);

// The numeric input box of the main window's edit boxes: the performer's answer is taken
// when it is an integer, and not negative unless the box takes negative numbers.
std::optional<std::int32_t> acceptedNumericInput(std::string_view answer, bool negativeAllowed);

} // namespace oskel::clip_inspector
