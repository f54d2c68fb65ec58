#include "app/render_command.h"

#include <ostream>

#include "app/console_user_interface.h"
#include "app/instrument.h"
#include "app/render_arguments.h"
#include "recording/background_render_output.h"
#include "recording/offline_render.h"
#include "recording/output_file.h"
#include "recording/render_engine.h"
#include "recording/render_progress.h"

namespace oskel {

namespace {

constexpr int kRendered = 0;
constexpr int kRenderFailed = 1;
constexpr int kBadArguments = 2;

std::vector<ScriptAction> actionsWithClips(const RenderRequest& request,
                                           std::vector<ScriptAction> script)
{
    std::vector<ScriptAction> actions;
    for (const ClipToLoad& clip : request.clips) {
        actions.push_back(ScriptAction { 0, LoadAction { clip.slot, clip.file } });
    }
    actions.insert(actions.end(), std::make_move_iterator(script.begin()),
                   std::make_move_iterator(script.end()));
    return actions;
}

// The render settings, through the engine's setters (which keep the render settings file up
// to date), and the encoding they give.
VideoEncoding applySettings(TRenderEngine& engine, const RenderRequest& request)
{
    engine.setNumFrames(static_cast<std::int32_t>(request.frames));
    engine.setFramesPerSecond(request.framesPerSecond);
    engine.setSrcWidth(request.width);
    engine.setSrcHeight(request.height);
    engine.setQuality(request.quality);
    engine.setKeyFrame(request.keyFrame);
    engine.setBitRate(request.dataRateKBps);
    VideoEncoding encoding;
    encoding.compression = findVideoCompressor(request.compressor)->kind;
    encoding.width = engine.SrcWidth();
    encoding.height = engine.SrcHeight();
    encoding.framesPerSecond = engine.FramesPerSecond();
    encoding.quality = engine.Quality();
    encoding.keyFrame = engine.KeyFrame();
    encoding.dataRateKBps = engine.BitRate();
    return encoding;
}

class RenderSession {
public:
    RenderSession(const RenderRequest& request, const RenderEnvironment& env)
        : m_request(request), m_env(env)
    {
    }

    // Throws what ends the render.
    void run(std::vector<ScriptAction> actions, RenderSurface& surface)
    {
        MainThreadDispatcher mainThread;
        std::ostream noStatus(nullptr);
        ConsoleUserInterface ui(noStatus, m_env.err);
        mainThread.setErrorHandler([&ui](std::exception_ptr failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& error) {
                ui.showMessage(error.what());
            }
        });
        ReplayClock clock;
        MixedSoundTap soundTap;
        auto device = std::make_unique<ManualClockSoundDevice>(RenderOutput::kSoundRate,
                                                               soundTap.sink());
        ManualClockSoundDevice& sound = *device;
        // The tick times the renderer sees are the performance's own.
        const RendererMaker timedRenderer = [&surface, &clock](Performance& performance,
                                                                MainThreadDispatcher& thread) {
            RendererChoice choice = surface.makeRenderer(performance, thread);
            choice.renderer
                = std::make_unique<ReplayTimedRenderer>(std::move(choice.renderer), clock);
            return choice;
        };
        Instrument instrument(
            mainThread, ui,
            InstrumentParts { std::move(device), timedRenderer, clock.function(), true },
            m_env.locations);
        instrument.start();

        TRenderEngine engine(m_env.locations.configFolder);
        const VideoEncoding encoding = applySettings(engine, m_request);
        if (engine.settingsProblem()) {
            ui.showMessage(*engine.settingsProblem());
        }
        const std::filesystem::path output
            = m_request.output.value_or(instrument.performance().options().render.RenderOutput);
        // Compressing and writing a frame overlaps the drawing of the next.
        const auto file
            = std::make_unique<BackgroundRenderOutput>(openRenderOutput(output, encoding));

        ActionPlayer player(
            instrument.events(),
            [&instrument](int slot, const std::filesystem::path& clip) {
                instrument.loadClip(slot, clip);
            },
            ui);
        OfflineRender render(ReplayInstrument { mainThread, player, instrument.mailbox(),
                                                instrument.playback(), instrument.frameClock(),
                                                instrument.renderer(), sound, soundTap, clock });
        RenderProgressLine progress(m_env.err, m_request.framesPerSecond);
        render.run(actions, m_request.frames, m_request.framesPerSecond, *file,
                   [&progress](std::int64_t done, std::int64_t total) {
                       progress.update(done, total);
                   },
                   m_env.cancelled);
        instrument.performance().options().render.RenderOutput
            = std::filesystem::absolute(output).string();
        instrument.shutDown();
        mainThread.close();
        m_env.out << "Rendered " << m_request.frames << " frames to " << output.string() << '\n';
    }

private:
    const RenderRequest& m_request;
    const RenderEnvironment& m_env;
};

} // namespace

int runRenderCommand(std::span<const std::string_view> arguments, const RenderEnvironment& env)
{
    const RenderArguments parsed = parseRenderArguments(arguments);
    if (parsed.help) {
        env.out << renderUsage();
        return kRendered;
    }
    if (!parsed.request) {
        env.err << "oskel3 render: " << parsed.problem << "\nTry 'oskel3 render --help'.\n";
        return kBadArguments;
    }
    const RenderRequest& request = *parsed.request;
    ScriptReadResult script = readPerformanceScript(request.script);
    if (script.problem) {
        env.err << "oskel3: " << request.script.string();
        if (script.problem->line > 0) {
            env.err << ", line " << script.problem->line;
        }
        env.err << ": " << script.problem->what << '\n';
        return kBadArguments;
    }
    std::string problem;
    const std::unique_ptr<RenderSurface> surface = env.openSurface(problem);
    if (!surface) {
        env.err << "oskel3: cannot draw the render: " << problem << '\n';
        return kRenderFailed;
    }
    try {
        RenderSession(request, env).run(actionsWithClips(request, std::move(script.actions)),
                                        *surface);
    } catch (const std::exception& error) {
        env.err << "\noskel3: " << error.what() << '\n';
        return kRenderFailed;
    }
    return kRendered;
}

} // namespace oskel
