#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sources/camera_list.h"

namespace oskel {

// What a slot's clip name says when it names a live source instead of a file: a camera
// ("camera:Integrated Camera", or "camera:/dev/video0") or a network stream
// ("udp://0.0.0.0:5000", "srt://...", "rtmp://...", "http://...").
inline constexpr std::string_view kCameraPrefix = "camera:";

// Whether the name is meant as a live source (it may still be refused by chooseLiveSource).
bool isLiveSourceName(std::string_view name);

struct LiveSourceChoice {
    bool camera = false;
    std::string input; // what FFmpeg opens: the URL, or the camera's device
    std::string shownName; // for messages: no password or stream key
    std::string problem; // in the performer's words, when the name is refused
    bool ok() const { return problem.empty(); }
};

// A clip's name as messages show it: a live source's address without its password, path or
// stream key; any other name as shownText shows it.
std::string shownClipName(std::string_view name);

// What "Open Live Source" offers to choose from: every camera by name, then an address to
// edit for a stream.
std::vector<std::string> liveSourceEntries(const std::vector<CameraDevice>& cameras);
inline constexpr std::string_view kStreamAddressExample = "udp://0.0.0.0:5000";

// The short name a heading shows for a slot's clip: a file's name without its folder, a live
// source's shown name (a stream address's last part may be its key).
std::string clipTitle(std::string_view name);

// Checks a live source name as hostile input: bounded length, no control characters, only
// the schemes above, a camera that is listed.
LiveSourceChoice chooseLiveSource(std::string_view name, const std::vector<CameraDevice>& cameras);

} // namespace oskel
