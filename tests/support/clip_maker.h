#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace oskel::test {

// Test clips made with the ffmpeg tool at test time, so that nothing binary is committed.

// True when the ffmpeg tool can be run. Tests that need clips skip when it cannot:
//   if (!ffmpegAvailable()) { GTEST_SKIP() << "the ffmpeg tool is missing"; }
bool ffmpegAvailable();

// The clip `name` (its extension chooses the container) in this test program's own temporary
// folder, made once per run with `ffmpeg -y <ffmpegArgs> <folder>/<name>`. Throws
// std::runtime_error when the tool fails, which fails the calling test.
// Example: makeClip("small.avi", { "-f", "lavfi", "-i", "testsrc2=size=64x48:rate=25:duration=1",
//                                  "-c:v", "mjpeg" })
std::filesystem::path makeClip(const std::string& name, const std::vector<std::string>& ffmpegArgs);

// Inputs of the ffmpeg tool's generators: a moving test picture and a 440 Hz tone.
std::vector<std::string> testPicture(
    const std::string& size, const std::string& rate, const std::string& seconds);
std::vector<std::string> tone(int sampleRate, const std::string& seconds);
// The argument lists one after the other.
std::vector<std::string> joinArgs(std::initializer_list<std::vector<std::string>> parts);

// Runs the ffmpeg tool with `args` (after "-y"), output silenced. False when it fails.
bool runFfmpeg(const std::vector<std::string>& args);

// Every frame of `clip` as the ffmpeg tool decodes it: 24-bit blue-green-red, rows top-down,
// full size, one frame after the other. `filters` is an optional -vf chain applied first.
std::vector<std::uint8_t> decodeWithFfmpeg(
    const std::filesystem::path& clip, const std::string& filters = {});

// The whole sound of `clip` as the ffmpeg tool decodes it: 16-bit little-endian PCM,
// interleaved, with the given channel count and the stream's own rate.
std::vector<std::uint8_t> decodeSoundWithFfmpeg(const std::filesystem::path& clip, int channels);

// The folder the clips are made in; removed when the test program ends.
const std::filesystem::path& clipFolder();

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace oskel::test
