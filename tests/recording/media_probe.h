#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace oskel::test {

// What the ffprobe tool says about a file: the entries of one stream ("v:0", "a:0") or of the
// container ("format"), as name=value pairs; empty when the tool or the stream is missing.
std::map<std::string, std::string> probeStream(
    const std::filesystem::path& file, const std::string& stream);
// What a rendered AVI must hold: one picture stream as given, and the 16-bit stereo sound at
// 44100 Hz, lasting as long as the pictures.
struct ExpectedAvi {
    std::string codec;
    int width = 384;
    int height = 288;
    std::string frameRate; // "25/1"
    int frames = 0;
    double seconds = 0.0;
};
::testing::AssertionResult holdsAvi(const std::filesystem::path& file, const ExpectedAvi& expected);

// How loud the first sound stream is, decoded by the ffmpeg tool: the root mean square of
// its samples, 0 (silence, or no sound) .. 1 (full scale).
double soundLevel(const std::filesystem::path& file);

// The key_frame flag of every picture of the first video stream, in order.
std::vector<bool> probeKeyFrames(const std::filesystem::path& file);

} // namespace oskel::test
