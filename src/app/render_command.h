#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/render_surface.h"
#include "platform/locations.h"
#include "recording/watched_render_output.h"

namespace oskel {

// Opens what the render draws on; null with the reason when it cannot.
using RenderSurfaceOpener = std::function<std::unique_ptr<RenderSurface>(std::string& problem)>;

struct RenderEnvironment {
    Locations locations;
    RenderSurfaceOpener openSurface;
    std::ostream& out;
    std::ostream& err;
    // Asked after every frame; true ends the render (Ctrl+C).
    std::function<bool()> cancelled;
    // Told after every frame: the frames done and the frames in all. Optional.
    std::function<void(std::int64_t, std::int64_t)> progress = {};
    // Shown every picture before it is written. Optional.
    PictureWatch picture = {};
    // Whether the settings file takes what the render leaves in the settings (the render
    // output); a render beside the live instrument leaves the file to it.
    bool writeSettings = true;
};

// `oskel3 render ...`, given the arguments after "render". Returns the exit status: 0 when
// the render is written, 2 for bad arguments or an unreadable performance file, 1 when the
// render fails.
int runRenderCommand(std::span<const std::string_view> arguments, const RenderEnvironment& env);

} // namespace oskel
