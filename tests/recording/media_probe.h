#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace oskel::test {

// What the ffprobe tool says about a file: the entries of one stream ("v:0", "a:0") or of the
// container ("format"), as name=value pairs; empty when the tool or the stream is missing.
std::map<std::string, std::string> probeStream(
    const std::filesystem::path& file, const std::string& stream);
// The key_frame flag of every picture of the first video stream, in order.
std::vector<bool> probeKeyFrames(const std::filesystem::path& file);

} // namespace oskel::test
