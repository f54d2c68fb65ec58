#include "app/windowed_instrument.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <iostream>

#include "app/effect_folders.h"
#include "app/input_recording.h"
#include "app/instrument.h"
#include "app/monitor_printer.h"
#include "app/render_surface.h"
#include "app/window_render.h"
#include "platform/sound_output_choice.h"
#include "platform/system_midi.h"
#include "playback/init_sound.h"
#include "render/gl/gl_renderer.h"
#include "ui/qt_gl_surface.h"

namespace oskel {

namespace {

// The drawing surfaces of the two windows, made before the renderer that draws on them and
// dropped after it.
struct WindowSurfaces {
    std::unique_ptr<GlSurface> displayPanel;
    std::unique_ptr<GlSurface> outputWindow;
    std::unique_ptr<GlSurface> secondaryOutput;
    std::string problem;
    // Set once the renderer is made; it lives as long as the instrument.
    GlRenderer* renderer = nullptr;
    // What the TV-out preview shows, read back by the renderer.
    std::unique_ptr<PresentedPicture> tvOut
        = std::make_unique<PresentedPicture>(kCompositionWidth, kCompositionHeight);
};

WindowSurfaces openWindowSurfaces(GuiServices& services)
{
    WindowSurfaces surfaces;
    GlSurfaceResult panel = QtGlSurface::create(services.displayPanelSurface());
    if (!panel.surface) {
        surfaces.problem = panel.error;
        return surfaces;
    }
    const auto* shared = static_cast<const QtGlSurface*>(panel.surface.get());
    GlSurfaceResult output = QtGlSurface::create(services.outputWindowSurface(), shared);
    if (services.secondaryOutputSurface) {
        // Without it the secondary output's self-tests fail and say why.
        surfaces.secondaryOutput
            = QtGlSurface::create(services.secondaryOutputSurface(), shared).surface;
    }
    surfaces.displayPanel = std::move(panel.surface);
    surfaces.outputWindow = std::move(output.surface); // without it only the panel shows
    return surfaces;
}

RendererMaker rendererOn(WindowSurfaces& surfaces)
{
    if (!surfaces.displayPanel) {
        return {};
    }
    return [&surfaces](Performance& performance, MainThreadDispatcher& mainThread) {
        auto renderer
            = std::make_unique<GlRenderer>(performance, *surfaces.displayPanel, mainThread);
        renderer->setSecondarySurface(surfaces.outputWindow.get());
        renderer->setSecondOutputSurface(surfaces.secondaryOutput.get());
        renderer->setTvOutPicture(surfaces.tvOut.get());
        surfaces.renderer = renderer.get();
        RendererPort* port = renderer.get();
        return RendererChoice { std::move(renderer), port };
    };
}

// The output is composed for the primary screen, where the output window goes full screen.
CompositionSize primaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return kStandardComposition;
    }
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    const auto side = [](int value) { return std::clamp(value, 1, kLargestCompositionSide); };
    return { side(pixels.width()), side(pixels.height()) };
}

MidiLinks midiLinks(InstrumentMidi& midi)
{
    return MidiLinks { &midi.learn(), &midi.input(),
        [&midi] { return midi.devices().inputNames(); },
        [&midi] { return midi.devices().outputNames(); },
        [&midi] { return midi.port().productName(); },
        [&midi](const std::string& name) { midi.chooseInput(name); },
        [&midi](const std::string& name) { midi.chooseOutput(name); },
        [&midi](bool enabled) { midi.applySurface(enabled); }, &midi.surface() };
}

class WindowedInstrument final : public GuiInstrument {
public:
    WindowedInstrument(
        GuiServices& services, std::unique_ptr<SoundDevice> sound, WindowedStart start)
        : m_services(services)
        , m_surfaces(openWindowSurfaces(services))
        , m_instrument(services.mainThread, services.ui, parts(std::move(sound)), systemLocations())
        , m_start(std::move(start))
    {
        if (!m_surfaces.problem.empty()) {
            services.ui.showMessage("The output cannot be drawn: " + m_surfaces.problem);
        }
        m_instrument.setStopAllHandler([this] {
            for (const std::string& message : m_recordAndRender.endRecording()) {
                m_services.ui.showMessage(message);
            }
        });
    }

    ~WindowedInstrument() override
    {
        if (m_start.whenEnded) {
            m_start.whenEnded();
        }
        m_inputRecording.stop(m_services.ui);
        if (!m_start.record.empty()) {
            if (const auto problem = m_instrument.recorder().save(m_start.record)) {
                m_services.ui.showMessage(*problem);
            }
        }
    }

    void start() override
    {
        m_instrument.prepare();
        m_instrument.frameClock().setPreviews(&m_services.previews);
        if (m_start.monitor) {
            m_monitor = std::make_unique<MonitorPrinter>(m_instrument.tickFigures(), std::cerr,
                [this] { return m_instrument.networkCountsText(); });
        }
    }

    void activate() override
    {
        m_instrument.activate();
        if (!m_start.record.empty()) {
            m_instrument.recorder().start();
        }
        if (!m_start.recordInput.empty()) {
            m_inputRecording.start(m_start.recordInput, m_services.ui);
        }
        // The windows show first; the clips load one after another from the queue.
        m_services.mainThread.post([this] {
            if (!m_start.patch.empty()) {
                m_instrument.loadStartPatch(m_start.patch, m_services.mainThread);
            }
            m_instrument.patches().console().startup(!m_start.patch.empty());
            m_instrument.loadStartClips(m_start.clips, m_services.mainThread, std::cout);
        });
    }

    WindowLinks links() override
    {
        return WindowLinks {
            m_instrument.performance(),
            m_instrument.events(),
            m_instrument.controllers(),
            [this](bool hide) { m_instrument.events().RestartSyncSlots(hide); },
            m_instrument.tempo(),
            m_instrument.loader(),
            m_instrument.playback(),
            m_services.previews,
            {},
            [this] { m_instrument.shutDown(); },
            PatchActions {
                [this](const std::filesystem::path& file) { m_instrument.loadPatch(file); },
                [this](const std::filesystem::path& file) { return m_instrument.savePatch(file); },
                [this](LostFileDialog dialog) {
                    m_instrument.patchLoader().setLostFileDialog(std::move(dialog));
                },
                &m_instrument.patches().logic(),
                [this](PatchExplorerView* view) { m_instrument.patches().attachView(view); },
                [this] { m_instrument.mainLoopTurn(std::chrono::steady_clock::now()); } },
            midiLinks(m_instrument.midi()),
            systemLocations().configFolder,
            &m_instrument.effects(),
            [this](const std::function<void(IniProfile&)>& change) {
                return m_instrument.settings().update(change);
            },
            [this] { m_instrument.osc().optionsChanged(); },
            &m_instrument.tickFigures(),
            &m_recordAndRender,
            m_surfaces.secondaryOutput.get(),
            [this](bool shown) {
                if (m_surfaces.renderer != nullptr) {
                    m_surfaces.renderer->showSecondOutput(shown);
                }
            },
            m_surfaces.tvOut.get(),
            [this] { return m_instrument.networkCountsText(); },
        };
    }

private:
    InstrumentParts parts(std::unique_ptr<SoundDevice> sound)
    {
        InstrumentParts parts;
        parts.sound = std::move(sound);
        parts.frei0rFolders = systemFrei0rFolders();
        parts.makeRenderer = rendererOn(m_surfaces);
        parts.outputSize = primaryScreenSize;
        std::string midiProblems;
        parts.midi = openSystemMidiDevices(midiProblems);
        if (!midiProblems.empty()) {
            std::cerr << "oskel3: " << midiProblems << '\n';
        }
        return parts;
    }

    GuiServices& m_services;
    WindowSurfaces m_surfaces;
    Instrument m_instrument;
    WindowedStart m_start;
    InputRecording m_inputRecording;
    InputRecording m_soundInput; // with the recordings made from the windows
    RecordAndRender m_recordAndRender { recordAndRenderLinks(
        m_instrument.recorder(), m_instrument.performance(), m_instrument.loader(),
        systemLocations(), m_soundInput,
        [this] {
            return std::filesystem::path(m_instrument.performance().options().render.RenderOutput);
        },
        openHeadlessRenderSurface) };
    std::unique_ptr<MonitorPrinter> m_monitor; // goes first, before what it reads
};

} // namespace

std::unique_ptr<GuiInstrument> makeWindowedInstrument(GuiServices& services, WindowedStart start)
{
    std::unique_ptr<SoundDevice> sound = InitSound(services.ui, [] { return chooseSoundOutput(); });
    if (!sound) {
        return nullptr;
    }
    return std::make_unique<WindowedInstrument>(services, std::move(sound), std::move(start));
}

} // namespace oskel
