// The control surface through the whole instrument: the surface's messages arrive on the
// loopback input like any controller's, and what the instrument shows goes out through the
// surface's output thread to a second loopback cable, where a simulated surface reads it.
#include <chrono>
#include <mutex>

#include <gtest/gtest.h>

#include "control/surface_simulator.h"
#include "platform/midi_byte_parser.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "test_instrument.h"

namespace oskel {
namespace {

using test::TestInstrument;

constexpr std::string_view kSurfaceCable = "Surface Display";

// A simulated surface at the far end of a loopback cable.
class CabledSurface : private MidiByteSink {
public:
    explicit CabledSurface(LoopbackMidi& cables)
    {
        std::string whyNot;
        m_input = cables.openInput(kSurfaceCable, *this, whyNot);
        EXPECT_TRUE(m_input) << whyNot;
    }
    std::string line(int number)
    {
        const std::scoped_lock held(m_lock);
        return m_surface.line(number);
    }
    bool online()
    {
        const std::scoped_lock held(m_lock);
        return m_surface.online();
    }

private:
    void receive(std::span<const std::uint8_t> bytes) noexcept override
    {
        const std::scoped_lock held(m_lock);
        for (const std::uint8_t byte : bytes) {
            for (const MidiMessage& message : m_parser.push(byte, 0)) {
                m_surface.receive(message);
            }
        }
    }

    std::mutex m_lock;
    MidiByteParser m_parser;
    SurfaceSimulator m_surface;
    std::unique_ptr<MidiInStream> m_input;
};

bool serveUntil(TestInstrument& instrument, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        instrument.serve(std::chrono::milliseconds(5));
        instrument->mainLoopTurn(std::chrono::steady_clock::now());
    }
    return done();
}

TEST(ControlSurfaceThroughTheInstrument, FadersActAndTheDisplaysFollowTheInstrument)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = test::makeClip("surface.avi",
        test::joinArgs({ test::testPicture("64x48", "25", "1"), test::tone(44100, "1"),
            { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    test::TempDir folder;
    TestInstrument instrument(folder.path());
    instrument.midiCable->plug(kSurfaceCable);
    CabledSurface surface(*instrument.midiCable);
    ASSERT_TRUE(instrument->loadClip(1, clip));
    instrument.set("[Master]", "SelectedSlot", 1);

    instrument->performance().options().midi.OutputDeviceName = std::string(kSurfaceCable);
    instrument->midi().applySurface(true);
    EXPECT_EQ(instrument.ui.statusTexts.back(), "Novation Automap Started");
    EXPECT_TRUE(instrument->performance().options().midi.AutoMapActive);
    EXPECT_TRUE(serveUntil(instrument,
        [&] { return surface.online() && surface.line(2).find("Opacity") != std::string::npos; }));

    // The opacity fader at the bottom: slot 1 becomes fully transparent.
    const auto fader = SurfaceSimulator::control(22, 0);
    ASSERT_TRUE(instrument.midiCable->inject(LoopbackMidi::kDefaultCable, fader));
    const TPlayAvistruct& one = instrument->performance().slots()[1];
    EXPECT_TRUE(serveUntil(instrument, [&] { return one.AlphaLevel == 256; }));

    // A change made elsewhere shows on the surface: the luma key at its top reads 0.
    instrument.set("[Slot1]", "LumaKeyLevel", 765);
    EXPECT_TRUE(
        serveUntil(instrument, [&] { return surface.line(4).substr(45, 9) == "  0      "; }));

    // A patch loaded says so on the surface.
    const std::string patch = "[Version]\nOKP=Low1\n[Filenames]\n2=" + clip.string() + "\n";
    test::writeFileBytes(folder / "show.okp", { patch.begin(), patch.end() });
    instrument->loadPatch(folder / "show.okp");
    EXPECT_TRUE(
        serveUntil(instrument, [&] { return surface.line(1).starts_with("Patch Loaded"); }));

    instrument->midi().applySurface(false);
    EXPECT_EQ(instrument.ui.statusTexts.back(), "Novation Automap Stopped");
    EXPECT_FALSE(instrument->performance().options().midi.AutoMapActive);
    EXPECT_TRUE(serveUntil(instrument, [&] {
        return !surface.online()
            && surface.line(1).starts_with("Oskel 3 - Novation Automap - v1.1 Stopped");
    }));
}

} // namespace
} // namespace oskel
