#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/clip_argument.h"
#include "recording/video_compressor.h"

namespace oskel {

inline constexpr std::string_view kRenderUsage
    = R"(Usage: oskel3 render --script PERFORMANCE [--patch FILE] [--load SLOT=FILE ...] [--fps N]
                    (--frames N | --seconds S) [--size WxH] [--out OUTPUT]
                    [--compressor NAME] [--quality Q] [--key-frame N] [--data-rate KB]
                    [--audio FILE] [--stream URL]
Replays a recorded performance tick by tick and renders it, picture and sound, without a
window.

  --script FILE      the performance: one action a line ("<ms> event <Code> <Value>
                     <Value2> <Slot>", "<ms> load <slot> <file>", "<ms> patch <file>"),
                     "#" starts a comment
  --patch FILE       load a patch (".okp") before time 0
  --load SLOT=FILE   load a clip into slot 1..16 before time 0 (may be given more than once)
  --fps N            frames per second, 1..1000 (default 25)
  --frames N         the number of frames to render
  --seconds S        or the length in seconds (a decimal number)
  --size WxH         the picture size, composed at that size (384x288 by default)
                     (default 384x288)
  --out OUTPUT       a file ending in ".avi", ".mov", ".mp4" or ".mkv": a video file with
                     the picture and the sound (44100 Hz stereo, 16-bit PCM; AAC in MP4);
                     anything else: a folder receiving frame-000000.png,
                     frame-000001.png, ... and sound.wav
                     (default: the render output of the settings file)
  --compressor NAME  the video compressor: )";

// What the render command was asked to do.
struct RenderRequest {
    std::filesystem::path script;
    std::optional<std::filesystem::path> patch;
    std::vector<ClipToLoad> clips;
    int framesPerSecond = 25;
    std::int64_t frames = 0;
    int width = 384;
    int height = 288;
    std::optional<std::filesystem::path> output; // none: the settings' render output
    std::string compressor = std::string(kUncompressedVideo);
    // Without a compressor asked for, the compression settings in force are taken (those of
    // "Video Compression Settings", kept in "presets.bin"); without those, uncompressed
    // pictures, or the container's own compressor when it cannot hold them.
    bool compressorChosen = false;
    // None: the compression settings in force, or 100, a key frame every frame, no limit.
    std::optional<int> quality;
    std::optional<int> keyFrame;
    std::optional<int> dataRateKBps;
    // The render's sound taken from this file instead of the clips; none: the render
    // settings' AudioSource, when it names one.
    std::optional<std::filesystem::path> audio;
    // Also sent live, as it is made, to this address.
    std::optional<std::string> stream;
};

struct RenderArguments {
    std::optional<RenderRequest> request; // none with a problem, or when help was asked
    std::string problem; // what is wrong with the arguments
    bool help = false;
};

// The arguments after "render".
RenderArguments parseRenderArguments(std::span<const std::string_view> arguments);

// The whole help text.
std::string renderUsage();

} // namespace oskel
