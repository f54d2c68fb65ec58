#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/instrument.h"
#include "core/control_table.h"
#include "platform/loopback_midi.h"
#include "platform/manual_clock_sound_device.h"
#include "support/recording_user_interface.h"

namespace oskel::test {

namespace fs = std::filesystem;

// An instrument as the program makes it, with the sound on a clock that only moves when asked
// and its folders under its own home.
class TestInstrument {
public:
    explicit TestInstrument(const fs::path& home)
        : m_instrument(m_mainThread, ui, parts(), withOurPlugins(locationsIn(home)))
    {
        m_instrument.start();
    }
    ~TestInstrument() { m_instrument.shutDown(); }

    Instrument* operator->() { return &m_instrument; }
    Instrument& operator*() { return m_instrument; }

    void set(std::string_view group, std::string_view item, std::int32_t value)
    {
        const auto address = findControl(group, item);
        ASSERT_TRUE(address) << group << " " << item;
        setControl(m_instrument.events(), m_instrument.performance(), *address, value);
    }
    std::optional<std::int32_t> read(std::string_view group, std::string_view item)
    {
        return readControl(m_instrument.performance(), *findControl(group, item));
    }

    // Serves the main thread's queue for a while, as the program's loop does.
    void serve(std::chrono::milliseconds duration) { m_mainThread.serveFor(duration); }

    test::RecordingUserInterface ui;
    // The instrument's only MIDI device: "Oskel Loopback", opened at start.
    LoopbackMidi* midiCable = nullptr;

private:
    // Our effect plug-ins in the performer's plug-ins folder, as if installed there.
    static Locations withOurPlugins(Locations locations)
    {
        const fs::path folder = locations.dataFolder / "plugins";
        std::error_code error;
        fs::create_directories(folder, error);
        for (const auto& entry : fs::directory_iterator(OSKEL_OUR_PLUGINS, error)) {
            fs::copy_file(entry.path(), folder / entry.path().filename(),
                fs::copy_options::skip_existing, error);
        }
        return locations;
    }
    static Locations locationsIn(const fs::path& home)
    {
        return locationsFrom([home](const char* name) {
            return std::string(name) == "HOME" ? std::optional<std::string>(home.string())
                                               : std::nullopt;
        });
    }
    InstrumentParts parts()
    {
        std::vector<std::unique_ptr<MidiBackend>> backends;
        auto loopback = std::make_unique<LoopbackMidi>();
        midiCable = loopback.get();
        backends.push_back(std::move(loopback));
        return InstrumentParts { std::make_unique<ManualClockSoundDevice>(), {},
            [this] { return m_now; }, true, std::make_unique<MidiDevices>(std::move(backends)), {},
            false, {} };
    }

    MainThreadDispatcher m_mainThread;
    std::uint32_t m_now = 0;
    Instrument m_instrument;
};

} // namespace oskel::test
