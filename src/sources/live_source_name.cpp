#include "sources/live_source_name.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "core/ascii.h"
#include "core/network_address.h"
#include "core/shown_text.h"

namespace oskel {

namespace {

constexpr std::array<std::string_view, 6> kLiveSchemes
    = { "udp", "srt", "rtmp", "rtmps", "http", "https" };

LiveSourceChoice chooseCamera(std::string_view wanted, const std::vector<CameraDevice>& cameras)
{
    LiveSourceChoice choice;
    choice.camera = true;
    choice.shownName = std::string(kCameraPrefix) + shownText(wanted, 64);
    const auto found = std::ranges::find_if(cameras, [wanted](const CameraDevice& camera) {
        return camera.name == wanted || camera.device.string() == wanted;
    });
    if (wanted.empty() || wanted.size() > 256) {
        choice.problem = "No camera is named";
    } else if (found == cameras.end()) {
        choice.problem = "There is no camera " + quotedText(wanted, 64);
    } else {
        choice.input = found->device.string();
    }
    return choice;
}

} // namespace

bool isLiveSourceName(std::string_view name)
{
    if (name.starts_with(kCameraPrefix)) {
        return true;
    }
    const auto separator = name.find("://");
    return separator != std::string_view::npos
        && std::ranges::any_of(kLiveSchemes, [scheme = name.substr(0, separator)](auto known) {
               return sameWithoutCase(scheme, known);
           });
}

std::vector<std::string> liveSourceEntries(const std::vector<CameraDevice>& cameras)
{
    std::vector<std::string> entries;
    for (const CameraDevice& camera : cameras) {
        entries.push_back(std::string(kCameraPrefix) + camera.name);
    }
    entries.emplace_back(kStreamAddressExample);
    return entries;
}

std::string shownClipName(std::string_view name)
{
    return isLiveSourceName(name) && !name.starts_with(kCameraPrefix) ? shownAddress(name)
                                                                      : shownText(name);
}

std::string clipTitle(std::string_view name)
{
    return isLiveSourceName(name) ? shownClipName(name)
                                  : std::filesystem::path(name).filename().string();
}

LiveSourceChoice chooseLiveSource(std::string_view name, const std::vector<CameraDevice>& cameras)
{
    if (name.starts_with(kCameraPrefix)) {
        return chooseCamera(name.substr(kCameraPrefix.size()), cameras);
    }
    LiveSourceChoice choice;
    const NetworkAddressCheck check
        = checkNetworkAddress(name, kLiveSchemes, "live source address");
    if (!check.address) {
        choice.shownName = shownAddress(name);
        choice.problem = check.problem;
        return choice;
    }
    choice.input = check.address->url;
    choice.shownName = check.address->shownName;
    return choice;
}

} // namespace oskel
