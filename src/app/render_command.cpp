#include "app/render_command.h"

#include <ostream>

#include "app/console_user_interface.h"
#include "app/instrument.h"
#include "app/render_arguments.h"
#include "core/shown_text.h"
#include "persistence/presets_file.h"
#include "recording/background_render_output.h"
#include "recording/compression_settings.h"
#include "recording/offline_render.h"
#include "recording/output_file.h"
#include "recording/outside_sound.h"
#include "recording/render_container.h"
#include "recording/render_engine.h"
#include "recording/render_progress.h"
#include "recording/streamed_render_output.h"

namespace oskel {

namespace {

constexpr int kRendered = 0;
constexpr int kRenderFailed = 1;
constexpr int kBadArguments = 2;

std::vector<ScriptAction> actionsWithClips(
    const RenderRequest& request, std::vector<ScriptAction> script)
{
    std::vector<ScriptAction> actions;
    if (request.patch) {
        actions.push_back(ScriptAction { 0, PatchAction { *request.patch, false } });
    }
    for (const ClipToLoad& clip : request.clips) {
        actions.push_back(ScriptAction { 0, LoadAction { clip.slot, clip.file } });
    }
    actions.insert(actions.end(), std::make_move_iterator(script.begin()),
        std::make_move_iterator(script.end()));
    return actions;
}

// The compression a render writes with: the compressor asked for, else the compression
// settings in force when there are any; the quality, key frames and data rate asked for
// replace theirs.
VideoEncoding chosenEncoding(const RenderRequest& request, const std::filesystem::path& output,
    const std::filesystem::path& presetsFile, std::string& problem)
{
    VideoEncoding encoding;
    std::error_code error;
    if (request.compressorChosen) {
        encoding.compression = findVideoCompressor(request.compressor)->kind;
    } else if (std::filesystem::exists(presetsFile, error)) {
        CompressionSettings inForce(output);
        problem = inForce.load(presetsFile);
        encoding = inForce.encoding(request.width, request.height, request.framesPerSecond);
    }
    encoding.quality = request.quality.value_or(encoding.quality);
    encoding.keyFrame = request.keyFrame.value_or(encoding.keyFrame);
    encoding.dataRateKBps = request.dataRateKBps.value_or(encoding.dataRateKBps);
    const RenderContainer* container = renderContainerFor(output);
    if (!request.compressorChosen && container != nullptr
        && !compressorProblem(*container, encoding.compression).empty()) {
        encoding.compression = container->fallback;
    }
    return encoding;
}

// The render settings, through the engine's setters (which keep the render settings file up
// to date), and the encoding they give for the output.
VideoEncoding applySettings(
    TRenderEngine& engine, const RenderRequest& request, VideoEncoding encoding)
{
    engine.setNumFrames(static_cast<std::int32_t>(request.frames));
    engine.setFramesPerSecond(request.framesPerSecond);
    engine.setSrcWidth(request.width);
    engine.setSrcHeight(request.height);
    engine.setQuality(encoding.quality);
    engine.setKeyFrame(encoding.keyFrame);
    engine.setBitRate(encoding.dataRateKBps);
    encoding.width = engine.SrcWidth();
    encoding.height = engine.SrcHeight();
    encoding.framesPerSecond = engine.FramesPerSecond();
    encoding.quality = engine.Quality();
    encoding.keyFrame = engine.KeyFrame();
    encoding.dataRateKBps = engine.BitRate();
    return encoding;
}

// The instrument put together for one render: the manual sound clock feeding the render's
// sound, the replay's clock, and the renderer of the surface seeing the replay's tick times.
class RenderSession {
public:
    RenderSession(
        const RenderRequest& request, const RenderEnvironment& env, RenderSurface& surface)
        : m_request(request)
        , m_env(env)
        , m_instrument(m_mainThread, m_ui, instrumentParts(surface), env.locations)
    {
        m_mainThread.setErrorHandler([this](std::exception_ptr failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& error) {
                m_ui.showMessage(error.what());
            }
        });
    }

    // Throws what ends the render.
    void run(const std::vector<ScriptAction>& actions)
    {
        // Composed at the size asked for; the rectangles stay in 384 x 288 units.
        m_instrument.setCompositionSize({ m_request.width, m_request.height });
        m_instrument.start();
        const std::filesystem::path output
            = m_request.output.value_or(m_instrument.performance().options().render.RenderOutput);
        const std::unique_ptr<RenderOutput> file = openOutput(output);
        OfflineRender render(ReplayInstrument { m_mainThread, m_instrument.actions(),
            m_instrument.mailbox(), m_instrument.playback(), m_instrument.frameClock(),
            m_instrument.renderer(), *m_sound, m_soundTap, m_clock });
        renderFrames(render, actions, *file);
        m_instrument.performance().options().render.RenderOutput
            = std::filesystem::absolute(output).string();
        m_instrument.shutDown();
        m_env.out << "Rendered " << m_request.frames << " frames to " << shownText(output) << '\n';
        if (m_stream != nullptr) { // finished with the render
            m_env.out << "Streamed " << m_stream->framesSent() << " frames, "
                      << m_stream->framesDropped() << " dropped\n";
        }
    }

private:
    // The frames, under a progress line that is ended for each message printed meanwhile and
    // drawn again after it.
    void renderFrames(
        OfflineRender& render, const std::vector<ScriptAction>& actions, RenderOutput& file)
    {
        RenderProgressLine progress(m_env.err, m_request.framesPerSecond);
        m_ui.setProgressLine(&progress);
        try {
            render.run(
                actions, m_request.frames, m_request.framesPerSecond, file,
                [&progress, this](std::int64_t done, std::int64_t total) {
                    progress.update(done, total);
                    if (m_env.progress) {
                        m_env.progress(done, total);
                    }
                },
                m_env.cancelled);
        } catch (...) {
            m_ui.setProgressLine(nullptr);
            throw;
        }
        m_ui.setProgressLine(nullptr);
    }

    // Once the instrument has started: the size its renderer composes at, which the outputs
    // take (and scale to the size asked for where the renderer cannot compose at it).
    CompositionSize pictureSize() { return m_instrument.renderer().compositionSize(); }

    InstrumentParts instrumentParts(RenderSurface& surface)
    {
        auto device
            = std::make_unique<ManualClockSoundDevice>(RenderOutput::kSoundRate, m_soundTap.sink());
        m_sound = device.get();
        const RendererMaker timedRenderer
            = [&surface, this](Performance& performance, MainThreadDispatcher& thread) {
                  RendererChoice choice = surface.makeRenderer(performance, thread);
                  choice.renderer
                      = std::make_unique<ReplayTimedRenderer>(std::move(choice.renderer), m_clock);
                  return choice;
              };
        InstrumentParts parts { std::move(device), timedRenderer, m_clock.function(), true, {}, {},
            true, {} };
        parts.writesSettings = m_env.writeSettings;
        return parts;
    }

    // The render settings through the engine, and the output they describe. Compressing and
    // writing a frame overlaps the drawing of the next.
    std::unique_ptr<RenderOutput> openOutput(const std::filesystem::path& output)
    {
        TRenderEngine engine(m_env.locations.configFolder);
        std::string presetsProblem;
        VideoEncoding encoding = applySettings(engine, m_request,
            chosenEncoding(m_request, output, m_env.locations.configFolder / kPresetsFileName,
                presetsProblem));
        encoding.picture = { pictureSize().width, pictureSize().height };
        if (!presetsProblem.empty()) {
            m_ui.showMessage(presetsProblem);
        }
        if (engine.settingsProblem()) {
            m_ui.showMessage(*engine.settingsProblem());
        }
        const std::filesystem::path audio
            = m_request.audio.value_or(std::filesystem::path(engine.AudioSource()));
        std::unique_ptr<OutsideSound> sound;
        if (!audio.empty()) {
            sound = std::make_unique<OutsideSound>(audio); // read before a file is begun
            m_env.err << "The sound comes from " << shownText(audio) << '\n';
        }
        std::unique_ptr<RenderOutput> file = openRenderOutput(output, encoding);
        if (sound) {
            file = withOutsideSound(std::move(file), std::move(sound));
        }
        file = std::make_unique<BackgroundRenderOutput>(std::move(file), pictureSize().bgrBytes());
        if (m_request.stream) {
            file = withStream(
                std::move(file), openStream(*m_request.stream), m_request.framesPerSecond);
        }
        if (m_env.picture) {
            file = withPictureWatch(std::move(file), m_env.picture);
        }
        return file;
    }

    // The stream's problem is told on the render's thread, at its next message.
    std::unique_ptr<StreamOutput> openStream(const std::string& url)
    {
        StreamTargetChoice choice = chooseStreamTarget(url, m_request.framesPerSecond);
        if (!choice.target) {
            throw OutputError(choice.problem);
        }
        m_env.err << "Streaming to " << choice.target->shownName << '\n';
        choice.target->encoding.picture = { pictureSize().width, pictureSize().height };
        auto stream = std::make_unique<StreamOutput>(
            std::move(*choice.target), true, [this](const std::string& message) {
                m_mainThread.post([this, message] { m_ui.showMessage(message); });
            });
        m_stream = stream.get();
        return stream;
    }

    const RenderRequest& m_request;
    const RenderEnvironment& m_env;
    StreamOutput* m_stream = nullptr; // the output's, while the render runs
    MainThreadDispatcher m_mainThread;
    std::ostream m_noStatus {
        nullptr
    }; // the status line goes nowhere: the progress line says it all
    ConsoleUserInterface m_ui { m_noStatus, m_env.err };
    ReplayClock m_clock;
    MixedSoundTap m_soundTap;
    ManualClockSoundDevice* m_sound = nullptr; // the instrument's
    Instrument m_instrument;
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
        env.err << "oskel3: " << shownText(request.script);
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
        RenderSession(request, env, *surface)
            .run(actionsWithClips(request, std::move(script.actions)));
    } catch (const std::exception& error) {
        // The progress line, if any, has been ended.
        env.err << "oskel3: " << printableMessage(error.what()) << '\n';
        return kRenderFailed;
    }
    return kRendered;
}

} // namespace oskel
