#include "recording/output_options_form.h"

#include <algorithm>

#include "core/control_table.h"
#include "recording/stream_switch.h"
#include "recording/stream_target.h"

namespace oskel::output_options_form {

namespace {

void setToggle(EventSink& events, const Performance& performance, const char* item, bool on)
{
    if (const auto address = findControl("Master", item)) {
        setControl(events, performance, *address, on ? 1 : 0);
    }
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

Contents contents(const Performance& performance, const std::vector<std::string>& deviceNames)
{
    const Options& options = performance.options();
    Contents shown { options.stream.enabled, options.stream.url, options.camera.enabled,
        options.camera.device, deviceNames };
    if (std::ranges::find(shown.cameraDevices, shown.cameraDevice) == shown.cameraDevices.end()) {
        shown.cameraDevices.insert(shown.cameraDevices.begin(), shown.cameraDevice);
    }
    return shown;
}

void streamClicked(EventSink& events, const Performance& performance, bool on)
{
    setToggle(events, performance, "StreamOutput", on);
}

void cameraClicked(EventSink& events, const Performance& performance, bool on)
{
    setToggle(events, performance, "VirtualCameraOutput", on);
}

std::optional<std::string> done(Performance& performance, const Entered& entered)
{
    Options& options = performance.options();
    if (const std::string device = trimmed(entered.cameraDevice); !device.empty()) {
        options.camera.device = device;
    }
    const std::string url = trimmed(entered.streamUrl);
    if (!url.empty()) {
        const StreamTargetChoice choice = chooseStreamTarget(url, StreamSwitch::kFramesPerSecond);
        if (!choice.target) {
            return choice.problem;
        }
    }
    options.stream.url = url;
    return std::nullopt;
}

} // namespace oskel::output_options_form
