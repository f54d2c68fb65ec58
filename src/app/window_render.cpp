#include "app/window_render.h"

#include <ctime>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "recording/render_engine.h"

namespace oskel {

namespace {

// The render's last message: its last line that starts with the program's name.
std::string lastMessage(const std::string& printed)
{
    constexpr std::string_view kStart = "oskel3: ";
    const std::size_t at = printed.rfind(kStart);
    if (at == std::string::npos) {
        return "The render failed";
    }
    const std::size_t end = printed.find('\n', at);
    return printed.substr(
        at + kStart.size(), end == std::string::npos ? end : end - at - kStart.size());
}

std::vector<std::string> renderArguments(const WindowRender& render)
{
    std::vector<std::string> arguments { "--script", render.performance.string(), "--frames",
        std::to_string(render.frames), "--fps", std::to_string(render.framesPerSecond), "--out",
        render.output.string() };
    if (render.sound) {
        arguments.insert(arguments.end(), { "--audio", render.sound->string() });
    }
    return arguments;
}

} // namespace

RenderJob::Work windowRenderWork(
    const WindowRender& render, const Locations& locations, RenderSurfaceOpener openSurface)
{
    return
        [arguments = renderArguments(render), locations, openSurface](RenderJobControl& control) {
            const std::vector<std::string_view> views(arguments.begin(), arguments.end());
            std::ostringstream out;
            std::ostringstream err;
            RenderEnvironment env { locations, openSurface, out, err,
                [&control] { return control.cancelled(); } };
            env.progress
                = [&control](std::int64_t done, std::int64_t all) { control.progress(done, all); };
            env.picture = [&control](const std::uint8_t* bgr) { control.picture(bgr); };
            env.writeSettings = false;
            if (runRenderCommand(views, env) != 0) {
                throw std::runtime_error(lastMessage(err.str()));
            }
        };
}

RecordAndRender::Links recordAndRenderLinks(PerformanceRecorder& recorder, Performance& performance,
    const ClipLoader& loader, const Locations& locations, InputRecording& soundInput,
    std::function<std::filesystem::path()> renderOutput, RenderSurfaceOpener openSurface)
{
    return RecordAndRender::Links {
        recorder,
        locations.dataFolder / "recordings",
        [] {
            const std::time_t now = std::time(nullptr);
            std::tm local {};
            localtime_r(&now, &local);
            return local;
        },
        [&performance, &loader](const std::filesystem::path& patchFile) {
            return snapshotSetUp(performance, loader, patchFile);
        },
        [configFolder = locations.configFolder] {
            return TRenderEngine(configFolder).wantsSoundInput();
        },
        [configFolder = locations.configFolder](
            bool on) { TRenderEngine(configFolder).chooseSoundInput(on); },
        [&soundInput](const std::filesystem::path& file) { return soundInput.start(file); },
        [&soundInput] { return soundInput.stop(); },
        std::move(renderOutput),
        [locations, openSurface](const WindowRender& render) {
            return windowRenderWork(render, locations, openSurface);
        },
    };
}

} // namespace oskel
