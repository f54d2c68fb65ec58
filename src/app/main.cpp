// oskel3: the live video-mixing instrument.
#include <atomic>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/clip_argument.h"
#include "app/console_user_interface.h"
#include "app/instrument.h"
#include "app/quit_signals.h"
#include "app/render_command.h"
#include "app/render_surface.h"
#include "platform/sound_output_choice.h"
#include "playback/init_sound.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: oskel3 [OPTION]...
       oskel3 render --script PERFORMANCE ... (see 'oskel3 render --help')
A live video-mixing instrument: sixteen clip slots, triggered from the keyboard, MIDI or the
screen, mixed in layers into one output picture.

Options:
  --load SLOT=FILE   load a clip into slot 1..16 at start (may be given more than once)
  --record FILE      record the performance (every event and clip load, with its time)
                     and write it to FILE as the program ends; 'oskel3 render' replays it
  --help             show this help and exit
  --version          show the version and exit

The settings are kept in $XDG_CONFIG_HOME/oskel3/oskelstandard.ini
(~/.config/oskel3/ by default). Ctrl+C or SIGTERM ends the program and saves them.
)";

struct Arguments {
    std::vector<oskel::ClipToLoad> clips;
    std::filesystem::path record;
    bool exitNow = false;
    int exitCode = 0;
};

Arguments parseArguments(int argc, char** argv)
{
    Arguments arguments;
    for (int i = 1; i < argc && !arguments.exitNow; ++i) {
        const std::string_view argument = argv[i];
        oskel::ClipToLoad clip;
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
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
        } else {
            std::cerr << "oskel3: bad option '" << argument << "'\nTry 'oskel3 --help'.\n";
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
    oskel::Instrument instrument(mainThread, ui, std::move(parts), oskel::systemLocations());
    instrument.start();
    if (!arguments.record.empty()) {
        instrument.recorder().start();
    }
    oskel::GlobalState& globals = instrument.performance().globals();
    for (const oskel::ClipToLoad& clip : arguments.clips) {
        // The frame thread frees the loader once it has made the clip's textures.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (globals.loadingBusy && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(std::chrono::milliseconds(10));
        }
        instrument.loadClip(clip.slot, clip.file);
    }

    bool quit = false;
    signals.start([&mainThread, &quit] { mainThread.post([&quit] { quit = true; }); });
    while (!quit) {
        mainThread.serveFor(std::chrono::milliseconds(100));
    }
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

int runRender(int argc, char** argv)
{
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
        if (argc >= 2 && std::string_view(argv[1]) == "render") {
            return runRender(argc, argv);
        }
        const Arguments arguments = parseArguments(argc, argv);
        if (arguments.exitNow) {
            return arguments.exitCode;
        }
        return runInstrument(arguments);
    } catch (const std::exception& error) {
        std::cerr << "oskel3: " << error.what() << '\n';
        return 1;
    }
}
