#pragma once

#include "app/input_recording.h"
#include "app/render_command.h"
#include "platform/locations.h"
#include "recording/record_and_render.h"

namespace oskel {

// A render asked for from the windows, done as `oskel3 render` does it but on the job's
// thread: an instrument of its own replays the performance on the manual sound clock and
// draws on a surface of its own, so the live instrument plays on meanwhile. It reads the
// settings and the compression settings in force and leaves the settings file to the live
// instrument. A failure throws with the render's own message.
RenderJob::Work windowRenderWork(
    const WindowRender& render, const Locations& locations, RenderSurfaceOpener openSurface);

// What "Record" and "Render" reach in the instrument: its recorder and set-up, the recordings
// folder
// "recordings" in the data folder, the sound input (recorded when the render settings
// "OskelRender.ini" ask for it), the settings' render output, and renders made as above.
RecordAndRender::Links recordAndRenderLinks(PerformanceRecorder& recorder, Performance& performance,
    const ClipLoader& loader, const Locations& locations, InputRecording& soundInput,
    std::function<std::filesystem::path()> renderOutput, RenderSurfaceOpener openSurface);

} // namespace oskel
