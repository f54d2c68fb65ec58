#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel::output_options_form {

// What the preferences' "Stream and virtual camera" group shows.
struct Contents {
    bool streaming = false;
    std::string streamUrl;
    bool camera = false;
    std::string cameraDevice;
    // The video devices' names to choose from, the chosen one among them even when absent.
    std::vector<std::string> cameraDevices;
};
Contents contents(const Performance& performance, const std::vector<std::string>& deviceNames);

// "Stream output" and "Output to virtual camera": at once, through the control table.
void streamClicked(EventSink& events, const Performance& performance, bool on);
void cameraClicked(EventSink& events, const Performance& performance, bool on);

// What the performer left in the group when the window is closed.
struct Entered {
    std::string streamUrl;
    std::string cameraDevice;
};
// Takes the address when it can be streamed to (or is empty: no stream), and a device name
// that is not blank. A refused address keeps the one before and gives the reason, in the
// words the stream would use.
std::optional<std::string> done(Performance& performance, const Entered& entered);

} // namespace oskel::output_options_form
