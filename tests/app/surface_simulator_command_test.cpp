#include <condition_variable>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <thread>

#include <gtest/gtest.h>

#include "app/surface_simulator_command.h"
#include "control/surface_messages.h"
#include "platform/loopback_midi.h"
#include "support/collected_midi_bytes.h"

namespace oskel {
namespace {

// Typed lines that arrive when the test gives them, as a terminal's would.
class TypedLines : public std::streambuf {
public:
    void type(const std::string& text)
    {
        const std::scoped_lock held(m_lock);
        m_pending += text;
        m_wake.notify_all();
    }
    void end()
    {
        const std::scoped_lock held(m_lock);
        m_ended = true;
        m_wake.notify_all();
    }

protected:
    int_type underflow() override
    {
        std::unique_lock held(m_lock);
        m_wake.wait(held, [this] { return !m_pending.empty() || m_ended; });
        if (m_pending.empty()) {
            return traits_type::eof();
        }
        m_current = std::move(m_pending);
        m_pending.clear();
        setg(m_current.data(), m_current.data(), m_current.data() + m_current.size());
        return traits_type::to_int_type(m_current.front());
    }

private:
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::string m_pending;
    std::string m_current;
    bool m_ended = false;
};

template <typename Done> bool waitFor(Done done)
{
    for (int k = 0; k < 500 && !done(); ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

TEST(SurfaceSimulatorCommand, ShowsWhatArrivesAndPlaysWhatIsTyped)
{
    std::vector<std::unique_ptr<MidiBackend>> backends;
    auto cables = std::make_unique<LoopbackMidi>(std::vector<std::string> { "Display", "Keys" });
    LoopbackMidi& cable = *cables;
    backends.push_back(std::move(cables));
    MidiDevices devices(std::move(backends));
    test::CollectedMidiBytes played;
    std::string whyNot;
    const auto keys = cable.openInput("Keys", played, whyNot);
    ASSERT_TRUE(keys) << whyNot;

    TypedLines typed;
    std::istream in(&typed);
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;
    std::thread terminal([&] {
        status = runSurfaceSimulator(
            std::vector<std::string_view> { "Display", "Keys" }, devices, in, out, err);
    });
    typed.type("c 22 5\npad 2\nnonsense\n");
    EXPECT_TRUE(waitFor([&] { return played.bytes().size() == 6; }));
    EXPECT_EQ(played.bytes(), (std::vector<std::uint8_t> { 0xB0, 22, 5, 0x90, 37, 127 }));

    const auto text = surface::text(0, 1, "Patch Loaded");
    ASSERT_TRUE(cable.inject("Display", text));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    typed.type("quit\n");
    terminal.join();
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.str().find("|Patch Loaded"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("Not a command: nonsense"), std::string::npos);
}

TEST(SurfaceSimulatorCommand, WithoutDevicesItListsThemAndAnUnknownOneIsRefused)
{
    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(std::make_unique<LoopbackMidi>());
    MidiDevices devices(std::move(backends));
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runSurfaceSimulator({}, devices, in, out, err), 0);
    EXPECT_NE(out.str().find("  Oskel Loopback"), std::string::npos);
    EXPECT_EQ(runSurfaceSimulator(std::vector<std::string_view> { "Gone", "Oskel Loopback" },
                  devices, in, out, err),
        1);
    EXPECT_FALSE(err.str().empty());
}

} // namespace
} // namespace oskel
