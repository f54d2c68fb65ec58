// The whole instrument, end to end, without a window: clips made by the ffmpeg tool, a
// performance that plays them, the render command drawing with the OpenGL compositor on the
// headless surface, and chosen pixels of the frames it writes checked against the values the
// compositing rules give for the clips' own colours.
#include <sstream>

#include <gtest/gtest.h>

#include "app/render_command.h"
#include "app/test_instrument.h"
#include "app/window_render.h"
#include "platform/udp_osc_port.h"
#include "recording/frame_folder_output.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

struct Bgr {
    int b = 0;
    int g = 0;
    int r = 0;
};

std::ostream& operator<<(std::ostream& out, const Bgr& colour)
{
    return out << "(b " << colour.b << ", g " << colour.g << ", r " << colour.r << ")";
}

// A layer of colour `top` drawn with opacity `alpha` over `below`.
Bgr blended(Bgr top, Bgr below, double alpha)
{
    const auto mix = [alpha](int layer, int under) {
        return int(layer * alpha + under * (1.0 - alpha) + 0.5);
    };
    return { mix(top.b, below.b), mix(top.g, below.g), mix(top.r, below.r) };
}

// The opacity of a layer with transparency `level` (0 opaque .. 256 invisible).
double opacity(int level)
{
    return 1.0 - level / 256.0;
}

Bgr pixelOf(const std::vector<std::uint8_t>& picture, int width, int x, int y)
{
    const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return { picture.at(at), picture.at(at + 1), picture.at(at + 2) };
}

::testing::AssertionResult near(Bgr actual, Bgr expected)
{
    constexpr int kTolerance = 1;
    if (std::abs(actual.b - expected.b) <= kTolerance
        && std::abs(actual.g - expected.g) <= kTolerance
        && std::abs(actual.r - expected.r) <= kTolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual << " is not " << expected;
}

std::vector<std::string> solidClip(const std::string& rgb)
{
    return { "-f", "lavfi", "-i",
        "color=c=0x" + rgb + ":size=64x48:rate=25:duration=2,format=bgr24" };
}

const std::vector<std::string> kRawAvi { "-t", "2", "-c:v", "rawvideo", "-pix_fmt", "bgr24" };

class RenderEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        // Slot 1: a solid colour with a tone; slot 2: a dark left half and a bright right
        // half; slot 3: another solid colour.
        test::makeClip("solid-tone.avi",
            test::joinArgs({ solidClip("C83C1E"), test::tone(44100, "2"),
                { "-ac", "2", "-c:a", "pcm_s16le" }, kRawAvi }));
        test::makeClip("halves.avi",
            test::joinArgs({ { "-f", "lavfi", "-i",
                                 "color=c=0x3C2814:size=32x48:rate=25:duration=2[l];"
                                 "color=c=0xF0DCC8:size=32x48:rate=25:duration=2[r];"
                                 "[l][r]hstack,format=bgr24[out0]" },
                kRawAvi }));
        test::makeClip("solid.avi", test::joinArgs({ solidClip("5A32B4"), kRawAvi }));
        a = firstPixel("solid-tone.avi", 0);
        dark = firstPixel("halves.avi", 0);
        bright = firstPixel("halves.avi", 63);
        c = firstPixel("solid.avi", 0);
    }

    // The colour of column x, top row, of a clip's first frame, as the ffmpeg tool decodes it.
    static Bgr firstPixel(const std::string& clip, int x)
    {
        const std::vector<std::uint8_t> frames = test::decodeWithFfmpeg(test::clipFolder() / clip);
        return pixelOf(frames, 64, x, 0);
    }

    int render(const std::filesystem::path& output, const std::string& frames = "16",
        const std::vector<std::string>& more = {})
    {
        std::vector<std::string> arguments { "--script", (test::clipFolder() / "show.txt").string(),
            "--frames", frames, "--out", output.string() };
        arguments.insert(arguments.end(), more.begin(), more.end());
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const Locations locations = locationsFrom([this](const char* name) {
            return std::string(name) == "HOME" ? std::optional<std::string>(home.path().string())
                                               : std::nullopt;
        });
        return runRenderCommand(views,
            RenderEnvironment {
                locations, openHeadlessRenderSurface, out, err, [] { return false; } });
    }

    test::TempDir home;
    std::ostringstream out;
    std::ostringstream err;
    Bgr a, dark, bright, c;
};

TEST_F(RenderEndToEnd, ThePerformanceIsComposedByTheRulesAndRendersTheSameTwice)
{
    // Frames every 40 ms; each action is in place from the frame named beside it.
    const std::string script = "0 load 1 solid-tone.avi\n"
                               "0 load 2 halves.avi\n"
                               "0 load 3 solid.avi\n"
                               "0 event 0 0 64 1\n" // frame 0: slot 1 over the whole area
                               "80 event 0 0 64 2\n" // frame 2: slot 2 on top
                               "160 event 20 300 0 2\n" // frame 4: slot 2 luma keyed at 300
                               "240 event 18 168 0 2\n" // frame 6: half size, centred
                               "320 event 16 0 0 2\n" // frame 8: moved to the top left
                               "400 event 0 0 64 3\n" // frame 10: slot 3 on top
                               "480 event 34 128 0 3\n" // frame 12: slot 3 half transparent
                               "560 event 37 255 1 3\n"; // frame 14: crossfaded to slot 1
    test::writeFileBytes(test::clipFolder() / "show.txt", { script.begin(), script.end() });
    const std::filesystem::path output = home / "frames";
    ASSERT_EQ(render(output), 0) << err.str();

    const std::vector<std::uint8_t> frames = test::decodeWithFfmpeg(output / "frame-%06d.png");
    constexpr std::size_t kFrameBytes = 384 * 288 * 3;
    ASSERT_EQ(frames.size(), 16 * kFrameBytes);
    const auto at = [&](int frame, int x, int y) {
        const std::vector<std::uint8_t> picture(
            frames.begin() + std::ptrdiff_t(frame * kFrameBytes),
            frames.begin() + std::ptrdiff_t((frame + 1) * kFrameBytes));
        return pixelOf(picture, 384, x, y);
    };
    struct Check {
        int frame;
        int x;
        int y;
        Bgr expected;
        const char* why;
    };
    // The luma sums: dark 120 and bright 660 against the key level 300.
    ASSERT_LT(dark.b + dark.g + dark.r, 300);
    ASSERT_GT(bright.b + bright.g + bright.r, 300);
    for (const Check& check : std::vector<Check> {
             { 1, 20, 20, a, "slot 1 alone" },
             { 1, 300, 250, a, "slot 1 alone" },
             { 3, 100, 150, dark, "slot 2 opaque over slot 1" },
             { 3, 300, 150, bright, "slot 2 opaque over slot 1" },
             { 5, 100, 150, a, "the dark half keyed out" },
             { 5, 300, 150, bright, "the bright half stays" },
             { 7, 20, 20, a, "outside the half-size rectangle (96, 72)-(288, 216)" },
             { 7, 150, 150, a, "its dark half, keyed" },
             { 7, 250, 150, bright, "its bright half" },
             { 7, 300, 150, a, "right of it" },
             { 9, 150, 50, bright, "moved to (0, 0)-(192, 144): the bright half" },
             { 9, 50, 50, a, "and the keyed dark half" },
             { 9, 250, 200, a, "where it was" },
             { 11, 150, 50, c, "slot 3 opaque on top" },
             { 11, 250, 200, c, "slot 3 opaque on top" },
             { 13, 150, 50, blended(c, bright, opacity(128)), "slot 3 at half opacity" },
             { 13, 250, 200, blended(c, a, opacity(128)), "slot 3 at half opacity" },
             { 15, 150, 50, blended(c, bright, opacity(255)), "crossfaded: slot 3 at 255" },
             { 15, 250, 200, blended(c, a, opacity(255)), "crossfaded: slot 3 at 255" },
         }) {
        EXPECT_TRUE(near(at(check.frame, check.x, check.y), check.expected))
            << "frame " << check.frame << " at (" << check.x << ", " << check.y
            << "): " << check.why;
    }
    const std::vector<std::uint8_t> sound = test::decodeSoundWithFfmpeg(output / "sound.wav", 2);
    ASSERT_EQ(sound.size(), std::size_t(16 * 1764 * 4));
    EXPECT_NE(std::count(sound.begin(), sound.end(), 0), std::ptrdiff_t(sound.size()))
        << "the tone is heard";

    const std::filesystem::path again = home / "again";
    ASSERT_EQ(render(again), 0) << err.str();
    for (int n = 0; n < 16; ++n) {
        EXPECT_TRUE(test::readFileBytes(output / frameFileName(n))
            == test::readFileBytes(again / frameFileName(n)))
            << "frame " << n;
    }
    EXPECT_TRUE(
        test::readFileBytes(output / "sound.wav") == test::readFileBytes(again / "sound.wav"));

    // Rendered from the windows, on the job's own thread with a drawing context of its own:
    // the same frames.
    const std::filesystem::path inJob = home / "in-job";
    const Locations locations = locationsFrom([this](const char* name) {
        return std::string(name) == "HOME" ? std::optional<std::string>(home.path().string())
                                           : std::nullopt;
    });
    RenderJob job;
    ASSERT_TRUE(job.start(windowRenderWork(
        WindowRender { test::clipFolder() / "show.txt", std::nullopt, inJob, 16, 25 }, locations,
        openHeadlessRenderSurface)));
    job.wait();
    ASSERT_EQ(job.state(), RenderJob::State::Finished) << job.problem();
    for (int n = 0; n < 16; ++n) {
        EXPECT_TRUE(test::readFileBytes(output / frameFileName(n))
            == test::readFileBytes(inJob / frameFileName(n)))
            << "frame " << n << " in the job";
    }
}

// MIDI lines play as the input device's messages: notes on the keyboard map trigger slots,
// the opacity's controller (67 by default) sets the transparency of the clip last triggered.
TEST_F(RenderEndToEnd, MidiNotesAndAControllerPlayTheLayers)
{
    const std::string script = "0 load 1 solid-tone.avi\n"
                               "0 load 2 solid.avi\n"
                               "0 midi 0x90 48 127\n" // frame 0: note 48, slot 1
                               "80 midi 0x90 50 127\n" // frame 2: note 50, slot 2 on top
                               "160 midi 0xB0 67 64\n"; // frame 4: slot 2 half transparent
    test::writeFileBytes(test::clipFolder() / "show.txt", { script.begin(), script.end() });
    const std::filesystem::path output = home / "midi";
    ASSERT_EQ(render(output), 0) << err.str();
    const auto at = [&](int frame) {
        return pixelOf(test::decodeWithFfmpeg(output / frameFileName(frame)), 384, 100, 100);
    };
    EXPECT_TRUE(near(at(1), a)) << "slot 1 alone";
    EXPECT_TRUE(near(at(3), c)) << "slot 2 over it";
    // 64 of 127 is 129 of 256 opaque: transparency 127.
    EXPECT_TRUE(near(at(5), blended(c, a, opacity(127)))) << "slot 2 half transparent";
}

// Composed at 1280 x 720, a clip of that size keeps every pixel of its own: a one-pixel
// checkerboard survives (at 384 x 288 the clip is halved and it turns to one colour).
TEST_F(RenderEndToEnd, At1280x720AClipOfThatSizeKeepsItsOnePixelCheckerboard)
{
    test::makeClip("checkerboard.avi",
        { "-f", "lavfi", "-i",
            "nullsrc=size=1280x720:rate=25:duration=1,format=gbrp,"
            "geq=r='255*mod(X+Y,2)':g='255*mod(X+Y,2)':b='255*mod(X+Y,2)'",
            "-c:v", "png", "-pix_fmt", "rgb24" });
    const std::string script = "0 load 1 checkerboard.avi\n"
                               "0 event 0 0 64 1\n";
    test::writeFileBytes(test::clipFolder() / "show.txt", { script.begin(), script.end() });
    const std::filesystem::path output = home / "hd";
    ASSERT_EQ(render(output, "2", { "--size", "1280x720" }), 0) << err.str();

    const std::vector<std::uint8_t> picture = test::decodeWithFfmpeg(output / frameFileName(1));
    ASSERT_EQ(picture.size(), std::size_t(1280) * 720 * 3);
    int wrong = 0;
    for (int y = 0; y < 720; ++y) {
        for (int x = 0; x < 1280; ++x) {
            const int level = (x + y) % 2 == 1 ? 255 : 0;
            const Bgr shown = pixelOf(picture, 1280, x, y);
            if (!near(shown, { level, level, level }) && ++wrong <= 5) {
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << shown;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A tablet plays the instrument by OSC while it records, an effect among what it sets; the
// recording, saved as a performance file, renders what the tablet did.
TEST_F(RenderEndToEnd, OscMessagesRecordedIntoAPerformanceRenderAgain)
{
    test::TempDir instrumentHome;
    for (const std::filesystem::path& data : { instrumentHome.path(), home.path() }) {
        const auto plugins = data / ".local" / "share" / "oskel3" / "plugins";
        std::filesystem::create_directories(plugins);
        std::filesystem::copy_file(
            std::filesystem::path(OSKEL_OUR_PLUGINS) / "Invert.so", plugins / "Invert.so");
    }
    {
        test::TestInstrument instrument(instrumentHome.path());
        instrument->recorder().start();
        ASSERT_TRUE(instrument->loadClip(1, test::clipFolder() / "solid-tone.avi"));
        ASSERT_TRUE(instrument->loadClip(2, test::clipFolder() / "solid.avi"));
        instrument->performance().options().osc = OscOptions { true, 0, false };
        instrument->osc().optionsChanged();
        const OscClient to { 0x7F000001, instrument->osc().port().boundPort() };
        UdpOscPort tablet;
        ASSERT_EQ(tablet.open(0, false), "");
        for (const OscMessage& message : std::vector<OscMessage> {
                 { "/oskel/slot/1/trigger", {} },
                 { "/oskel/slot/2/trigger", { 1.0 } },
                 { "/oskel/slot/2/transparency", { std::int64_t { 127 } } },
                 { "/oskel/slot/2/effectplugin", { std::int64_t { 1 } } },
                 { "/oskel/slot/2/effect", { true } },
             }) {
            ASSERT_TRUE(tablet.send(to, message));
            // One at a time, so that UDP keeps their order.
            const std::size_t before = instrument->recorder().actions().size();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (instrument->recorder().actions().size() == before
                && std::chrono::steady_clock::now() < deadline) {
                instrument.serve(std::chrono::milliseconds(5));
            }
        }
        ASSERT_EQ(instrument->recorder().actions().size(), 7u);
        ASSERT_EQ(instrument->recorder().save(test::clipFolder() / "show.txt"), std::nullopt);
    }
    const std::filesystem::path output = home / "osc";
    ASSERT_EQ(render(output), 0) << err.str();
    const auto frame = test::decodeWithFfmpeg(output / frameFileName(2));
    const Bgr inverted { 255 - c.b, 255 - c.g, 255 - c.r };
    EXPECT_TRUE(near(pixelOf(frame, 384, 100, 100), blended(inverted, a, opacity(127))))
        << "slot 2 inverted by its effect, half transparent over slot 1";
}

// A hand-written patch sets up three layers; the performance only triggers them.
TEST_F(RenderEndToEnd, APatchLoadedBeforeTheStartSetsUpTheLayers)
{
    const std::string patch = "[Version]\nOKP=Low1\n"
                              "[OKLowDisplayArea]\nWidth=768\nHeight=576\n" // halved
                              "[Filenames]\n1=solid-tone.avi\n2=halves.avi\n3=solid.avi\n"
                              "[Lefts]\n1=0\n2=0\n3=384\n"
                              "[Tops]\n1=0\n2=0\n3=288\n"
                              "[Rights]\n1=768\n2=384\n3=768\n"
                              "[Bottoms]\n1=576\n2=288\n3=576\n"
                              "[LumaKeyLevels]\n2=300\n"
                              "[AlphaLevels]\n3=128\n"
                              "[LayerStack]\n1=1\n2=2\n3=3\n";
    test::writeFileBytes(test::clipFolder() / "three.okp", { patch.begin(), patch.end() });
    const std::string script = "0 patch three.okp\n"
                               "0 set [Slot1] Trigger\n"
                               "0 set [Slot2] Trigger\n"
                               "0 set [Slot3] Trigger\n";
    test::writeFileBytes(test::clipFolder() / "show.txt", { script.begin(), script.end() });
    const std::filesystem::path output = home / "patched";
    ASSERT_EQ(render(output), 0) << err.str();

    const std::vector<std::uint8_t> picture = test::decodeWithFfmpeg(output / frameFileName(2));
    ASSERT_EQ(picture.size(), std::size_t(384 * 288 * 3));
    struct Check {
        int x;
        int y;
        Bgr expected;
        const char* why;
    };
    for (const Check& check : std::vector<Check> {
             { 300, 250, blended(c, a, opacity(128)), "slot 3 at half opacity over slot 1" },
             { 100, 250, a, "slot 1 alone" },
             { 40, 60, a, "slot 2's dark half keyed out" },
             { 150, 60, bright, "slot 2's bright half" },
             { 300, 60, a, "right of slot 2, above slot 3" },
         }) {
        EXPECT_TRUE(near(pixelOf(picture, 384, check.x, check.y), check.expected))
            << "at (" << check.x << ", " << check.y << "): " << check.why;
    }
}

} // namespace
} // namespace oskel
