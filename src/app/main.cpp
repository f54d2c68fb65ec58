// oskel3: the live video-mixing instrument.
#include <charconv>
#include <csignal>
#include <iostream>
#include <string_view>
#include <thread>
#include <vector>

#include <pthread.h>

#include "app/console_user_interface.h"
#include "app/instrument.h"
#include "platform/sound_output_choice.h"
#include "playback/init_sound.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: oskel3 [OPTION]...
A live video-mixing instrument: sixteen clip slots, triggered from the keyboard, MIDI or the
screen, mixed in layers into one output picture.

Options:
  --load SLOT=FILE   load a clip into slot 1..16 at start (may be given more than once)
  --help             show this help and exit
  --version          show the version and exit

The settings are kept in $XDG_CONFIG_HOME/oskel3/oskelstandard.ini
(~/.config/oskel3/ by default). Ctrl+C or SIGTERM ends the program and saves them.
)";

struct ClipToLoad {
    int slot = 0;
    std::string file;
};

struct Arguments {
    std::vector<ClipToLoad> clips;
    bool exitNow = false;
    int exitCode = 0;
};

bool parseClip(std::string_view text, ClipToLoad& clip)
{
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals + 1 >= text.size()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + equals, clip.slot);
    clip.file = std::string(text.substr(equals + 1));
    return error == std::errc() && end == text.data() + equals && oskel::isValidSlot(clip.slot);
}

Arguments parseArguments(int argc, char** argv)
{
    Arguments arguments;
    for (int i = 1; i < argc && !arguments.exitNow; ++i) {
        const std::string_view argument = argv[i];
        ClipToLoad clip;
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            arguments.exitNow = true;
        } else if (argument == "--version") {
            std::cout << "oskel3 " << OSKEL_VERSION << '\n';
            arguments.exitNow = true;
        } else if (argument == "--load" && i + 1 < argc && parseClip(argv[i + 1], clip)) {
            arguments.clips.push_back(clip);
            ++i;
        } else {
            std::cerr << "oskel3: bad option '" << argument << "'\nTry 'oskel3 --help'.\n";
            arguments.exitNow = true;
            arguments.exitCode = 2;
        }
    }
    return arguments;
}

// Waits for the signals that end the program and asks the main thread to stop. SIGUSR1
// only releases the waiting thread when the program ends for another reason.
class QuitSignals {
public:
    QuitSignals()
    {
        sigemptyset(&m_signals);
        sigaddset(&m_signals, SIGINT);
        sigaddset(&m_signals, SIGTERM);
        sigaddset(&m_signals, SIGHUP);
        sigaddset(&m_signals, SIGUSR1);
        // Blocked before any thread starts, so that every thread inherits the mask.
        pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    }

    void start(oskel::MainThreadDispatcher& mainThread, bool& quit)
    {
        m_waiter = std::thread([this, &mainThread, &quit] {
            int received = 0;
            sigwait(&m_signals, &received);
            if (received != SIGUSR1) {
                mainThread.post([&quit] { quit = true; });
            }
        });
    }

    ~QuitSignals()
    {
        if (m_waiter.joinable()) {
            pthread_kill(m_waiter.native_handle(), SIGUSR1);
            m_waiter.join();
        }
    }

private:
    sigset_t m_signals {};
    std::thread m_waiter;
};

int runInstrument(const Arguments& arguments)
{
    QuitSignals signals;
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
    oskel::Instrument instrument(mainThread, ui, std::move(sound), oskel::systemLocations());
    instrument.start();
    oskel::GlobalState& globals = instrument.performance().globals();
    for (const ClipToLoad& clip : arguments.clips) {
        // The frame thread frees the loader once it has made the clip's textures.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (globals.loadingBusy && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(std::chrono::milliseconds(10));
        }
        instrument.loader().LoadClipIntoSlot(clip.slot, clip.file, globals.LoadClipsInSyncMode, false);
    }

    bool quit = false;
    signals.start(mainThread, quit);
    while (!quit) {
        mainThread.serveFor(std::chrono::milliseconds(100));
    }
    instrument.shutDown();
    mainThread.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const Arguments arguments = parseArguments(argc, argv);
    if (arguments.exitNow) {
        return arguments.exitCode;
    }
    try {
        return runInstrument(arguments);
    } catch (const std::exception& error) {
        std::cerr << "oskel3: " << error.what() << '\n';
        return 1;
    }
}
