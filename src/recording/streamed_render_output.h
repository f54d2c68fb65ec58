#pragma once

#include <memory>

#include "recording/render_output.h"
#include "recording/stream_output.h"

namespace oskel {

// The output, with each picture and the sound also handed to a live stream as the render
// makes them. The render is held to the stream's frame rate, so that a receiver sees the
// pictures at their own pace rather than in bursts. A failing stream does not stop the render;
// the stream is finished after the output.
std::unique_ptr<RenderOutput> withStream(std::unique_ptr<RenderOutput> output,
    std::unique_ptr<StreamOutput> stream, int framesPerSecond);

} // namespace oskel
