// oskel3: the live video-mixing instrument.
#include <csignal>
#include <iostream>
#include <string_view>
#include <thread>

#include <pthread.h>

#include "app/console_user_interface.h"
#include "core/audio_mailbox.h"
#include "core/event_processor.h"
#include "core/lifecycle.h"
#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "persistence/settings_file.h"
#include "platform/locations.h"
#include "platform/memory_status.h"
#include "platform/sound_output_choice.h"
#include "playback/init_sound.h"
#include "playback/playback.h"
#include "playback/tempo.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: oskel3 [OPTION]
A live video-mixing instrument: sixteen clip slots, triggered from the keyboard, MIDI or the
screen, mixed in layers into one output picture.

Options:
  --help      show this help and exit
  --version   show the version and exit

The settings are kept in $XDG_CONFIG_HOME/oskel3/oskelstandard.ini
(~/.config/oskel3/ by default). Ctrl+C or SIGTERM ends the program and saves them.
)";

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

int runInstrument()
{
    QuitSignals signals;
    oskel::MainThreadDispatcher mainThread;
    oskel::ConsoleUserInterface ui(std::cout, std::cerr);
    oskel::Performance performance(ui, mainThread);
    const std::unique_ptr<oskel::SoundDevice> sound
        = oskel::InitSound(ui, [] { return oskel::chooseSoundOutput(); });
    if (!sound) {
        return 1;
    }
    oskel::AudioMailbox mailbox;
    oskel::Playback playback(performance, mailbox);
    oskel::EventProcessor events(performance, mailbox, playback);
    events.setSoundDevice(sound.get());
    performance.setPlaybackThreads(&playback);
    performance.setEventSink(&events);
    oskel::Tempo tempo(performance, events);
    events.setSelectionChangedHandler([&tempo](int slot) { tempo.selectionChanged(slot); });

    const oskel::Locations locations = oskel::systemLocations();
    oskel::SettingsFile settings(locations.configFolder);
    oskel::Lifecycle lifecycle(performance, settings,
        { locations.clipFolder, locations.tempFolder }, oskel::availableMemoryBytes);
    lifecycle.setEngine(&events, &playback);
    lifecycle.programEntry();
    lifecycle.InitStuff();
    lifecycle.FormActivate();

    bool quit = false;
    signals.start(mainThread, quit);
    while (!quit) {
        mainThread.serveFor(std::chrono::milliseconds(100));
    }
    lifecycle.FormCloseQuery();
    mainThread.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "oskel3 " << OSKEL_VERSION << '\n';
            return 0;
        }
        std::cerr << "oskel3: unknown option '" << argument << "'\nTry 'oskel3 --help'.\n";
        return 2;
    }
    try {
        return runInstrument();
    } catch (const std::exception& error) {
        std::cerr << "oskel3: " << error.what() << '\n';
        return 1;
    }
}
