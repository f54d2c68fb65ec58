// oskel3: the live video-mixing instrument.
#include <atomic>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <mutex>
#include <string_view>
#include <vector>

#include "app/clip_argument.h"
#include "app/console_user_interface.h"
#include "app/control_list.h"
#include "app/effect_folders.h"
#include "app/input_recording.h"
#include "app/instrument.h"
#include "app/monitor_printer.h"
#include "app/quit_signals.h"
#include "app/render_command.h"
#include "app/render_surface.h"
#include "app/surface_simulator_command.h"
#include "app/windowed_instrument.h"
#include "core/ascii.h"
#include "core/shown_text.h"
#include "persistence/patch_file.h"
#include "platform/sound_output_choice.h"
#include "platform/system_midi.h"
#include "playback/init_sound.h"
#include "sources/ffmpeg_log.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: oskel3 [OPTION]... [PATCH.okp] [CLIP]...
       oskel3 render --script PERFORMANCE ... (see 'oskel3 render --help')
A live video-mixing instrument: sixteen clip slots, triggered from the keyboard, MIDI or the
screen, mixed in layers into one output picture. A patch (a file ending in ".okp") loads
at start; clips named without an option load into slots 1, 2, 3... in turn after it.
A clip may also be a live source: a camera ("camera:NAME", or "camera:/dev/video0") or a
network stream (udp://, srt://, rtmp://, rtmps://, http:// or https://).

Options:
  --load SLOT=FILE   load a clip into slot 1..16 at start (may be given more than once)
  --no-window        run without windows, even where a display is available
  --monitor          print the performance monitor's figures once a second (ticks per
                     second; decode, processing and upload times)
  --record FILE      record the performance (every event, clip and patch load, with its time)
                     and write it to FILE as the program ends; 'oskel3 render' replays it
  --record-input FILE
                     record the sound card's input to the WAV file FILE while the instrument
                     runs; 'oskel3 render --audio FILE' puts it into the render
  --list-controls    list every control a performance file can set, with its range and its
                     OSC address
  --surface-simulator [IN OUT]
                     a control surface in the terminal: shows the displays the instrument
                     sends to IN and plays what is typed to OUT (without IN and OUT: the
                     MIDI devices)
  --help             show this help and exit
  --version          show the version and exit

The settings are kept in $XDG_CONFIG_HOME/oskel3/oskelstandard.ini
(~/.config/oskel3/ by default). Ctrl+C or SIGTERM ends the program and saves them.
OSKEL_FFMPEG_LOG=quiet|error|warning|info chooses how much of FFmpeg's own log is shown on
standard error (default: error).
)";

struct Arguments {
    std::vector<oskel::ClipToLoad> clips;
    std::filesystem::path patch;
    std::filesystem::path record;
    std::filesystem::path recordInput;
    bool noWindow = false;
    bool monitor = false;
    bool exitNow = false;
    int exitCode = 0;
};

bool isPatchName(std::string_view argument)
{
    return !argument.empty() && argument[0] != '-'
        && oskel::sameWithoutCase(
            std::filesystem::path(argument).extension().string(), oskel::kPatchExtension);
}

Arguments parseArguments(int argc, char** argv)
{
    Arguments arguments;
    int nextSlot = 1;
    for (int i = 1; i < argc && !arguments.exitNow; ++i) {
        const std::string_view argument = argv[i];
        oskel::ClipToLoad clip;
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            arguments.exitNow = true;
        } else if (argument == "--list-controls") {
            oskel::printControlList(std::cout);
            arguments.exitNow = true;
        } else if (argument == "--version") {
            std::cout << "oskel3 " << OSKEL_VERSION << '\n';
            arguments.exitNow = true;
        } else if (argument == "--load" && i + 1 < argc
            && oskel::parseClipArgument(argv[i + 1], clip)) {
            arguments.clips.push_back(clip);
            ++i;
        } else if (argument == "--record" && i + 1 < argc && argv[i + 1][0] != '\0') {
            arguments.record = argv[++i];
        } else if (argument == "--record-input" && i + 1 < argc && argv[i + 1][0] != '\0') {
            arguments.recordInput = argv[++i];
        } else if (argument == "--no-window") {
            arguments.noWindow = true;
        } else if (argument == "--monitor") {
            arguments.monitor = true;
        } else if (isPatchName(argument)) {
            if (!arguments.patch.empty()) {
                std::cerr << "oskel3: more than one patch: " << oskel::quotedText(argument) << '\n';
                arguments.exitNow = true;
                arguments.exitCode = 2;
            }
            arguments.patch = std::string(argument);
        } else if (!argument.empty() && argument[0] != '-') {
            if (nextSlot > oskel::kSlotCount) {
                std::cerr << "oskel3: more clips than slots: " << oskel::quotedText(argument)
                          << '\n';
                arguments.exitNow = true;
                arguments.exitCode = 2;
            }
            arguments.clips.push_back(oskel::ClipToLoad { nextSlot++, std::string(argument) });
        } else {
            std::cerr << "oskel3: bad option " << oskel::quotedText(argument)
                      << "\nTry 'oskel3 --help'.\n";
            arguments.exitNow = true;
            arguments.exitCode = 2;
        }
    }
    return arguments;
}

int runInstrument(const Arguments& arguments)
{
    oskel::QuitSignals signals;
    oskel::MainThreadDispatcher mainThread;
    oskel::ConsoleUserInterface ui(std::cout, std::cerr);
    mainThread.setErrorHandler([&ui](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            ui.showMessage(error.what());
        } catch (...) {
            ui.showMessage("An unknown error occurred");
        }
    });
    std::unique_ptr<oskel::SoundDevice> sound
        = oskel::InitSound(ui, [] { return oskel::chooseSoundOutput(); });
    if (!sound) {
        return 1;
    }
    oskel::InstrumentParts parts;
    parts.sound = std::move(sound);
    parts.frei0rFolders = oskel::systemFrei0rFolders();
    std::string midiProblems;
    parts.midi = oskel::openSystemMidiDevices(midiProblems);
    if (!midiProblems.empty()) {
        std::cerr << "oskel3: " << midiProblems << '\n';
    }
    oskel::Instrument instrument(mainThread, ui, std::move(parts), oskel::systemLocations());
    instrument.start();
    if (!arguments.record.empty()) {
        instrument.recorder().start();
    }
    oskel::InputRecording inputRecording;
    if (!arguments.recordInput.empty()) {
        inputRecording.start(arguments.recordInput, ui);
    }
    if (!arguments.patch.empty()) {
        const auto outcome = instrument.loadStartPatch(arguments.patch, mainThread);
        if (outcome == oskel::PatchLoader::Outcome::Loaded) {
            std::cout << "Patch loaded: " << oskel::shownText(arguments.patch) << std::endl;
        }
    }
    instrument.loadStartClips(arguments.clips, mainThread, std::cout);
    instrument.patches().console().startup(!arguments.patch.empty());

    std::unique_ptr<oskel::MonitorPrinter> monitor;
    if (arguments.monitor) {
        monitor = std::make_unique<oskel::MonitorPrinter>(instrument.tickFigures(), std::cerr,
            [&instrument] { return instrument.networkCountsText(); });
    }
    bool quit = false;
    signals.start([&mainThread, &quit] { mainThread.post([&quit] { quit = true; }); });
    while (!quit) {
        mainThread.serveFor(std::chrono::milliseconds(50));
        instrument.mainLoopTurn(std::chrono::steady_clock::now());
    }
    inputRecording.stop(ui);
    int status = 0;
    if (!arguments.record.empty()) {
        if (const auto problem = instrument.recorder().save(arguments.record)) {
            ui.showMessage(*problem);
            status = 1;
        }
    }
    instrument.shutDown();
    mainThread.close();
    return status;
}

// Where the end signals meet the windows: the close request while the windows live.
class SignalledClose {
public:
    void attach(std::function<void()> close)
    {
        std::lock_guard guard(m_lock);
        m_close = std::move(close);
        if (m_requested) {
            m_close();
        }
    }
    void detach()
    {
        std::lock_guard guard(m_lock);
        m_close = nullptr;
    }
    void request()
    {
        std::lock_guard guard(m_lock);
        m_requested = true;
        if (m_close) {
            m_close();
        }
    }

private:
    std::mutex m_lock;
    std::function<void()> m_close;
    bool m_requested = false;
};

int runWindowed(int argc, char** argv, const Arguments& arguments)
{
    SignalledClose close; // outlives the signal thread that calls it
    oskel::QuitSignals signals;
    signals.start([&close] { close.request(); });
    return oskel::runInstrumentWindows(argc, argv, [&](oskel::GuiServices& services) {
        close.attach(services.requestClose);
        return oskel::makeWindowedInstrument(services,
            oskel::WindowedStart { arguments.clips, arguments.patch, arguments.record,
                arguments.recordInput, arguments.monitor, [&close] { close.detach(); } });
    });
}

// A screen the performer can see: an X11 or Wayland display, or a Qt platform named
// explicitly other than the invisible ones.
bool displayAvailable()
{
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    if (isSet("QT_QPA_PLATFORM")) {
        const std::string_view platform = std::getenv("QT_QPA_PLATFORM");
        if (platform.starts_with("offscreen") || platform.starts_with("minimal")) {
            return false;
        }
    }
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

// FFmpeg's log, at the level the environment asks for.
void routeFfmpegLogAsAsked()
{
    oskel::FfmpegLogLevel level = oskel::kDefaultFfmpegLogLevel;
    const char* asked = std::getenv(oskel::kFfmpegLogVariable);
    if (asked != nullptr && asked[0] != '\0') {
        if (const auto named = oskel::ffmpegLogLevelNamed(asked)) {
            level = *named;
        } else {
            std::cerr << "oskel3: " << oskel::kFfmpegLogVariable << "=" << oskel::quotedText(asked)
                      << " is not quiet, error, warning or info; FFmpeg's errors are shown\n";
        }
    }
    oskel::routeFfmpegLog(level);
}

int runSurfaceSimulator(int argc, char** argv)
{
    std::string problems;
    const std::unique_ptr<oskel::MidiDevices> devices = oskel::openSystemMidiDevices(problems);
    if (!problems.empty()) {
        std::cerr << "oskel3: " << problems << '\n';
    }
    const std::vector<std::string_view> arguments(argv + 2, argv + argc);
    return oskel::runSurfaceSimulator(arguments, *devices, std::cin, std::cout, std::cerr);
}

int runRender(int argc, char** argv)
{
    // The software OpenGL driver draws on the render's own thread rather than on threads of
    // its own: the slot workers decoding ahead keep the cores busy, and handing each small
    // picture to other threads and back costs more than it saves. The pictures are the same.
    // A setting of the performer's own is kept.
    setenv("LP_NUM_THREADS", "0", 0);
    oskel::QuitSignals signals;
    std::atomic<bool> cancel = false;
    signals.start([&cancel] { cancel = true; });
    const std::vector<std::string_view> arguments(argv + 2, argv + argc);
    return oskel::runRenderCommand(arguments,
        oskel::RenderEnvironment { oskel::systemLocations(), oskel::openHeadlessRenderSurface,
            std::cout, std::cerr, [&cancel] { return cancel.load(); } });
}

} // namespace

int main(int argc, char** argv)
{
    try {
        routeFfmpegLogAsAsked();
        if (argc >= 2 && std::string_view(argv[1]) == "render") {
            return runRender(argc, argv);
        }
        if (argc >= 2 && std::string_view(argv[1]) == "--surface-simulator") {
            return runSurfaceSimulator(argc, argv);
        }
        const Arguments arguments = parseArguments(argc, argv);
        if (arguments.exitNow) {
            return arguments.exitCode;
        }
        if (arguments.noWindow) {
            return runInstrument(arguments);
        }
        if (!displayAvailable()) {
            std::cerr << "oskel3: no display found, so the instrument runs without windows "
                         "(Ctrl+C ends it)\n";
            return runInstrument(arguments);
        }
        return runWindowed(argc, argv, arguments);
    } catch (const std::exception& error) {
        std::cerr << "oskel3: " << error.what() << '\n';
        return 1;
    }
}
