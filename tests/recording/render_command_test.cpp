// The render command, driven as the program drives it, drawing with a renderer whose picture
// logs what it was asked to draw: the frame loop, the timing of the actions, the sound, the
// files and the failures, without a drawing surface.
#include <array>
#include <sstream>

#include <gtest/gtest.h>

#include "app/render_command.h"
#include "core/rounding.h"
#include "layer_log_renderer.h"
#include "media_probe.h"
#include "persistence/ini_profile.h"
#include "persistence/presets_file.h"
#include "recording/compression_settings.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

using test::LayerLogRenderer;
using test::LoggedLayer;

constexpr int kClipFrames = 50; // 2 s at 25 fps
constexpr std::int64_t kClipSoundFrames = 88200; // 2 s at 44100 Hz

// A 64 x 48 clip whose frame n has the blue value n (its first pixel byte), with 2 s of stereo
// sound at 44100 Hz: a tone, or silence.
std::filesystem::path numberedClip(const std::string& name, bool tone)
{
    return test::makeClip(name,
        { "-f", "lavfi", "-i",
            "nullsrc=size=64x48:rate=25:duration=2,format=gbrp,geq=r='4*N':g='128':b='N'", "-f",
            "lavfi", "-i",
            tone ? "sine=frequency=440:sample_rate=44100:duration=2" : "anullsrc=r=44100:cl=stereo",
            "-t", "2", "-ac", "2", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-c:a", "pcm_s16le" });
}

// The frame a slot triggered at `triggerMs` shows at the tick of `tickMs`: its play cursor
// (the sound played since the trigger, on the render's sample clock) turned into a frame.
std::int32_t frameShown(std::int64_t triggerMs, std::int64_t tickMs)
{
    const std::int64_t played = tickMs * 44100 / 1000 - triggerMs * 44100 / 1000;
    return static_cast<std::int32_t>(
        roundHalfEven(double(kClipFrames) * double(played) / double(kClipSoundFrames)));
}

class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        tone = numberedClip("tone.avi", true);
        quiet = numberedClip("quiet.avi", false);
    }

    int render(const std::string& script, std::vector<std::string> arguments)
    {
        test::writeFileBytes(folder / "show.txt", { script.begin(), script.end() });
        arguments.insert(arguments.begin(), { "--script", (folder / "show.txt").string() });
        return renderWith(arguments);
    }

    int renderWith(const std::vector<std::string>& arguments)
    {
        out.str({});
        err.str({});
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const Locations locations = locationsFrom([this](const char* name) {
            return std::string(name) == "HOME" ? std::optional<std::string>(folder.path().string())
                                               : std::nullopt;
        });
        return runRenderCommand(views,
            RenderEnvironment {
                locations, openSurface, out, err, [this] { return ++framesAsked > cancelAfter; } });
    }

    std::vector<std::uint8_t> frames(const std::filesystem::path& output)
    {
        return test::decodeWithFfmpeg(output / "frame-%06d.png");
    }

    test::TempDir folder;
    std::filesystem::path tone;
    std::filesystem::path quiet;
    std::ostringstream out;
    std::ostringstream err;
    int framesAsked = 0;
    int cancelAfter = 1 << 30;
    RenderSurfaceOpener openSurface = [](std::string&) -> std::unique_ptr<RenderSurface> {
        return std::make_unique<test::LayerLogSurface>();
    };
};

const LoggedLayer* layerOf(const std::vector<LoggedLayer>& layers, int slot)
{
    for (const LoggedLayer& layer : layers) {
        if (layer.slot == slot) {
            return &layer;
        }
    }
    return nullptr;
}

// --patch loads a patch before time 0, before the clips of --load; a save-patch line saves
// the set-up as it stands at its time.
TEST_F(RenderCommandTest, APatchLoadsBeforeTheStartAndASavePatchLineSavesTheSetUp)
{
    std::filesystem::copy_file(quiet, folder / "quiet.avi");
    const std::string patch = "[Version]\nOKP=Low1\n[Filenames]\n2=quiet.avi\n"
                              "[AlphaLevels]\n2=64\n[Lefts]\n2=10\n[Tops]\n2=20\n"
                              "[Rights]\n2=110\n[Bottoms]\n2=120\n";
    test::writeFileBytes(folder / "start.okp", { patch.begin(), patch.end() });
    const std::string script = "0 event 0 0 64 2\n"
                               "0 event 0 0 64 1\n"
                               "100 save-patch saved.okp\n";
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script,
                  { "--patch", (folder / "start.okp").string(), "--load", "1=" + tone.string(),
                      "--frames", "4", "--out", output.string() }),
        0)
        << err.str();
    const std::vector<std::uint8_t> pictures = frames(output);
    ASSERT_EQ(pictures.size(), 4 * LayerLogRenderer::kPictureBytes);
    const std::vector<LoggedLayer> layers = LayerLogRenderer::layersIn(&pictures[0]);
    const LoggedLayer* two = layerOf(layers, 2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->alphaLevel, 64);
    EXPECT_EQ((std::array { two->left, two->top, two->right, two->bottom }),
        (std::array { 10, 20, 110, 120 }));
    ASSERT_NE(layerOf(layers, 1), nullptr);
    const IniProfile saved = readIniFile(folder / "saved.okp").profile;
    EXPECT_EQ(saved.readString("Filenames", "1", ""), tone.string());
    EXPECT_EQ(saved.readString("Filenames", "2", ""), "quiet.avi");
    EXPECT_EQ(saved.readInteger("AlphaLevels", "2", 0), 64);
}

TEST_F(RenderCommandTest, EachFrameShowsEveryActionUpToItsTickAndTheSoundStartsAtTheTriggersSample)
{
    const std::string script = "# two clips, one with sound\n"
                               "0 load 2 quiet.avi\n"
                               "100 event 0 0 64 1\n" // trigger slot 1
                               "250 event 0 0 64 2\n" // trigger slot 2
                               "300 event 34 128 0 1\n" // slot 1 half transparent
                               "330 event 16 10 20 2\n" // slot 2 moved
                               "400 event 20 300 0 2\n"; // slot 2 luma keyed
    std::filesystem::copy_file(quiet, folder / "quiet.avi");
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script,
                  { "--load", "1=" + tone.string(), "--frames", "14", "--out", output.string() }),
        0)
        << err.str();
    EXPECT_NE(err.str().find("Rendering Frame 14/14"), std::string::npos) << err.str();

    const std::vector<std::uint8_t> pictures = frames(output);
    ASSERT_EQ(pictures.size(), 14 * LayerLogRenderer::kPictureBytes);
    for (std::int64_t n = 0; n < 14; ++n) {
        SCOPED_TRACE(n);
        const std::uint8_t* picture = &pictures[std::size_t(n) * LayerLogRenderer::kPictureBytes];
        const std::int64_t t = n * 40;
        EXPECT_EQ(LayerLogRenderer::tickTimeIn(picture), t);
        const std::vector<LoggedLayer> layers = LayerLogRenderer::layersIn(picture);
        const LoggedLayer* one = layerOf(layers, 1);
        const LoggedLayer* two = layerOf(layers, 2);
        ASSERT_EQ(one != nullptr, t >= 100);
        ASSERT_EQ(two != nullptr, t >= 250);
        EXPECT_EQ(layers.size(), std::size_t(t >= 100) + std::size_t(t >= 250));
        if (one != nullptr) {
            EXPECT_EQ(one->firstByte, frameShown(100, t));
            EXPECT_EQ(one->alphaLevel, t >= 300 ? 128 : 0);
            EXPECT_EQ((std::array { one->left, one->top, one->right, one->bottom }),
                (std::array { 0, 0, 384, 288 }));
        }
        if (two != nullptr) {
            EXPECT_EQ(two->firstByte, frameShown(250, t));
            EXPECT_EQ(two->left, t >= 330 ? 10 : 0);
            EXPECT_EQ(two->top, t >= 330 ? 20 : 0);
            EXPECT_EQ(two->lumaKeyLevel, t >= 400 ? 300 : 0);
        }
        if (one != nullptr && two != nullptr) {
            EXPECT_EQ(layers.back().slot, 2) << "the later trigger comes to the front";
        }
    }

    // 14 frames at 25 fps: 0.56 s of sound, silent until slot 1's trigger at sample 4410.
    const std::vector<std::uint8_t> sound = test::decodeSoundWithFfmpeg(output / "sound.wav", 2);
    ASSERT_EQ(sound.size(), std::size_t(14 * 1764 * 4));
    const auto* samples = reinterpret_cast<const std::int16_t*>(sound.data());
    for (std::size_t frame = 0; frame < 4410; ++frame) {
        ASSERT_EQ(samples[2 * frame], 0) << frame;
    }
    // The tone starts at phase 0: its second sample is the first that is not silent.
    EXPECT_EQ(samples[2 * 4410], 0);
    EXPECT_GT(samples[2 * 4411], 0);
    EXPECT_GT(samples[2 * 4411 + 1], 0);
}

// Set lines choose a slot's plug-in and switch its effect on: from then on the frames drawn
// are the effect's (our invert: the first byte 255 - n for frame n).
TEST_F(RenderCommandTest, SetLinesChooseAnEffectThatTheFramesDrawnShow)
{
    const std::filesystem::path plugins = folder / ".local" / "share" / "oskel3" / "plugins";
    std::filesystem::create_directories(plugins);
    std::filesystem::copy_file(
        std::filesystem::path(OSKEL_OUR_PLUGINS) / "Invert.so", plugins / "Invert.so");
    const std::string script = "0 event 0 0 64 1\n"
                               "0 set [Slot1] EffectPlugin 1\n"
                               "200 set [Slot1] Effect 1\n";
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script,
                  { "--load", "1=" + tone.string(), "--frames", "8", "--out", output.string() }),
        0)
        << err.str();
    const std::vector<std::uint8_t> pictures = frames(output);
    ASSERT_EQ(pictures.size(), 8 * LayerLogRenderer::kPictureBytes);
    for (std::int64_t n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        const std::uint8_t* picture = &pictures[std::size_t(n) * LayerLogRenderer::kPictureBytes];
        const std::vector<LoggedLayer> layers = LayerLogRenderer::layersIn(picture);
        const LoggedLayer* one = layerOf(layers, 1);
        ASSERT_NE(one, nullptr);
        const std::int32_t shown = frameShown(0, n * 40);
        EXPECT_EQ(one->firstByte, n * 40 >= 200 ? 255 - shown : shown);
    }
}

TEST_F(RenderCommandTest, TheCrossfadersSidesAreAppliedAgainToTheClipsLoadedIntoThem)
{
    // The crossfade is set while the slots are empty; the loads take it up.
    const std::string script = "0 set [Master] CrossfadeEnable 1\n"
                               "0 set [Master] CrossfadePosition 200\n"
                               "0 load 1 tone.avi\n"
                               "0 load 2 quiet.avi\n"
                               "40 set [Slot1] Trigger\n"
                               "40 set [Slot2] Trigger\n";
    std::filesystem::copy_file(tone, folder / "tone.avi");
    std::filesystem::copy_file(quiet, folder / "quiet.avi");
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script, { "--frames", "3", "--out", output.string() }), 0) << err.str();
    const std::vector<std::uint8_t> pictures = frames(output);
    ASSERT_EQ(pictures.size(), 3 * LayerLogRenderer::kPictureBytes);
    const std::vector<LoggedLayer> layers
        = LayerLogRenderer::layersIn(&pictures[2 * LayerLogRenderer::kPictureBytes]);
    ASSERT_NE(layerOf(layers, 1), nullptr);
    ASSERT_NE(layerOf(layers, 2), nullptr);
    EXPECT_EQ(layerOf(layers, 1)->alphaLevel, 200) << "side A faded by the position";
    EXPECT_EQ(layerOf(layers, 2)->alphaLevel, 55) << "side B the rest";
}

TEST_F(RenderCommandTest, RenderingTheSameInputsTwiceGivesTheSameFramesAndSound)
{
    const std::string script = "0 event 0 0 64 1\n"
                               "70 event 0 -600 20 2\n"
                               "90 event 34 60 0 1\n"
                               "130 event 18 200 0 2\n"
                               "170 event 37 100 2 1\n"
                               "190 event 10 0 0 1\n";
    std::vector<std::vector<std::uint8_t>> files;
    for (const char* name : { "first", "second" }) {
        const std::filesystem::path output = folder / name;
        ASSERT_EQ(render(script,
                      { "--load", "1=" + tone.string(), "--load", "2=" + tone.string(), "--fps",
                          "30", "--frames", "9", "--out", output.string() }),
            0)
            << err.str();
        for (int n = 0; n < 9; ++n) {
            files.push_back(
                test::readFileBytes(output / ("frame-00000" + std::to_string(n) + ".png")));
        }
        files.push_back(test::readFileBytes(output / "sound.wav"));
    }
    const std::size_t half = files.size() / 2;
    for (std::size_t i = 0; i < half; ++i) {
        EXPECT_TRUE(files[i] == files[half + i]) << "file " << i << " differs";
    }
}

TEST_F(RenderCommandTest, ActionsOutOfOrderTakeTheirTurnInTheFileAndNegativeTimesCountAsZero)
{
    const std::string script = "-500 event 0 0 64 1\n"
                               "200 event 34 200 0 1\n"
                               "80 event 34 50 0 1\n"; // after the one at 200
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script,
                  { "--load", "1=" + quiet.string(), "--frames", "8", "--out", output.string() }),
        0)
        << err.str();
    const std::vector<std::uint8_t> pictures = frames(output);
    ASSERT_EQ(pictures.size(), 8 * LayerLogRenderer::kPictureBytes);
    for (std::int64_t n = 0; n < 8; ++n) {
        const auto layers = LayerLogRenderer::layersIn(
            &pictures[std::size_t(n) * LayerLogRenderer::kPictureBytes]);
        ASSERT_EQ(layers.size(), 1u) << n;
        EXPECT_EQ(layers[0].firstByte, frameShown(0, n * 40)) << n;
        EXPECT_EQ(layers[0].alphaLevel, n * 40 >= 200 ? 50 : 0) << n;
    }
}

TEST_F(RenderCommandTest, AClipThatFailsToLoadLeavesItsSlotEmptyAndTheRenderGoesOn)
{
    const std::string script = "0 load 3 missing.avi\n"
                               "0 event 0 0 64 3\n"
                               "0 event 0 0 64 1\n";
    const std::filesystem::path output = folder / "frames";
    ASSERT_EQ(render(script,
                  { "--load", "1=" + quiet.string(), "--frames", "2", "--out", output.string() }),
        0)
        << err.str();
    EXPECT_NE(err.str().find("oskel3: Sorry Oskel was unable to load clip: "
                  + (folder / "missing.avi").string() + "\nthere is no such file\n"),
        std::string::npos)
        << "the reason on a line of its own:\n"
        << err.str();
    const auto layers = LayerLogRenderer::layersIn(frames(output).data());
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0].slot, 1);
}

// The progress line is redrawn in place; a message in the middle of the render ends it first
// and has it drawn again after.
TEST_F(RenderCommandTest, AMessageDuringTheRenderNeverSharesTheProgressLine)
{
    const std::string script = "0 event 0 0 64 1\n"
                               "200 load 3 missing.avi\n";
    ASSERT_EQ(render(script,
                  { "--load", "1=" + quiet.string(), "--frames", "10", "--out",
                      (folder / "frames").string() }),
        0)
        << err.str();
    const std::string text = err.str();
    const std::size_t message = text.find("oskel3: Sorry Oskel was unable to load clip");
    ASSERT_NE(message, std::string::npos) << text;
    ASSERT_GT(message, 0u);
    EXPECT_EQ(text[message - 1], '\n') << "the message starts a line:\n" << text;
    EXPECT_NE(text.rfind("\rRendering Frame ", message), std::string::npos)
        << "the progress line was drawn before the message:\n"
        << text;
    const std::size_t after = text.find('\n', text.find('\n', message) + 1) + 1;
    EXPECT_EQ(text.compare(after, 17, "\rRendering Frame "), 0)
        << "and is drawn again after its two lines:\n"
        << text;
    EXPECT_NE(text.find("Rendering Frame 10/10", after), std::string::npos) << text;
}

// An output named by a symbolic link is written through it: the link stays and leads to the
// render, as a link to "the latest take" should.
// An MP4 cannot hold uncompressed pictures: without a compressor asked for, it takes H.264; a
// compressor asked for that it cannot hold is refused with the reason and leaves no file.
TEST_F(RenderCommandTest, AnMp4TakesHTwoSixFourUnlessAnotherCompressorIsAskedFor)
{
    const std::filesystem::path mp4 = folder / "take.mp4";
    const std::vector<std::string> load { "--load", "1=" + quiet.string(), "--frames", "3" };
    std::vector<std::string> arguments = load;
    arguments.insert(arguments.end(), { "--out", mp4.string() });
    ASSERT_EQ(render("0 event 0 0 64 1\n", arguments), 0) << err.str();
    EXPECT_EQ(test::probeStream(mp4, "v:0").at("codec_name"), "h264");
    EXPECT_EQ(test::probeStream(mp4, "a:0").at("codec_name"), "aac");

    std::filesystem::remove(mp4);
    arguments.insert(arguments.end(), { "--compressor", "Uncompressed Video" });
    EXPECT_EQ(render("0 event 0 0 64 1\n", arguments), 1);
    EXPECT_NE(err.str().find("cannot be written into a .mp4 file"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(mp4));
}

// Without --compressor the render writes with the compression settings in force, those the
// "Video Compression Settings" dialog keeps; what the command line asks for comes first.
TEST_F(RenderCommandTest, WithoutACompressorTheCompressionSettingsInForceAreTaken)
{
    const std::filesystem::path config = folder / ".config" / "oskel3";
    std::filesystem::create_directories(config);
    CompressionSettings inForce(folder / "any.avi");
    inForce.choose("MPEG-4");
    inForce.setKeyFrame(4);
    ASSERT_EQ(inForce.save(config / kPresetsFileName), std::nullopt);
    const std::filesystem::path output = folder / "take.avi";
    struct Case {
        std::vector<std::string> options;
        std::string codec;
        std::vector<bool> keyFrames;
    };
    for (const Case& c : {
             Case { {}, "mpeg4", { true, false, false, false, true, false } },
             Case { { "--key-frame", "2" }, "mpeg4", { true, false, true, false, true, false } },
             Case { { "--compressor", "mjpeg" }, "mjpeg", std::vector<bool>(6, true) },
         }) {
        std::vector<std::string> arguments { "--load", "1=" + quiet.string(), "--frames", "6",
            "--out", output.string() };
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(render("0 event 0 0 64 1\n", arguments), 0) << err.str();
        EXPECT_EQ(test::probeStream(output, "v:0").at("codec_name"), c.codec);
        EXPECT_EQ(test::probeKeyFrames(output), c.keyFrames) << c.codec;
    }
}

TEST_F(RenderCommandTest, AnAviOutputNamedByALinkIsWrittenThroughIt)
{
    std::filesystem::create_directory(folder / "takes");
    const std::filesystem::path link = folder / "latest.avi";
    const std::filesystem::path target = folder / "takes" / "take.avi";
    std::filesystem::create_symlink("takes/take.avi", link);
    for (const char* frames : { "2", "3" }) { // the link dangles first, then leads to a file
        ASSERT_EQ(
            render("0 event 0 0 64 1\n",
                { "--load", "1=" + quiet.string(), "--frames", frames, "--out", link.string() }),
            0)
            << err.str();
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << frames;
        EXPECT_EQ(std::filesystem::read_symlink(link), "takes/take.avi");
        EXPECT_TRUE(test::holdsAvi(
            target, { "rawvideo", 384, 288, "25/1", std::stoi(frames), std::stoi(frames) / 25.0 }))
            << frames;
        EXPECT_FALSE(std::filesystem::exists(folder / "takes" / "take.avi.partial"));
        EXPECT_FALSE(std::filesystem::exists(folder / "latest.avi.partial"));
    }

    // Links that go round in a circle lead nowhere.
    std::filesystem::create_symlink("round.avi", folder / "round.avi");
    EXPECT_EQ(
        render("0 event 0 0 64 1\n", { "--frames", "2", "--out", (folder / "round.avi").string() }),
        1);
    EXPECT_NE(err.str().find("Could not write " + (folder / "round.avi").string() + ": "),
        std::string::npos)
        << err.str();
}

TEST_F(RenderCommandTest, AnAviHasThePicturesAndSoundAsAskedAndTheSettingsRememberTheRender)
{
    const std::filesystem::path output = folder / "take.avi";
    ASSERT_EQ(
        render("0 event 0 0 64 1\n",
            { "--load", "1=" + tone.string(), "--fps", "30", "--seconds", "0.5", "--size",
                "192x144", "--compressor", "mjpeg", "--quality", "90", "--out", output.string() }),
        0)
        << err.str();
    EXPECT_NE(out.str().find("Rendered 15 frames to " + output.string()), std::string::npos);
    EXPECT_TRUE(test::holdsAvi(output, { "mjpeg", 192, 144, "30/1", 15, 0.5 }));

    const std::filesystem::path config = folder / ".config" / "oskel3";
    const IniReadResult render = readIniFile(config / "OskelRender.ini");
    EXPECT_EQ(render.profile.readInteger("Frames", "Total", 0), 15);
    EXPECT_EQ(render.profile.readInteger("Frames", "Width", 0), 192);
    EXPECT_EQ(render.profile.readInteger("Frames", "Height", 0), 144);
    const IniReadResult settings = readIniFile(config / "oskelstandard.ini");
    EXPECT_EQ(settings.profile.readString("Files", "RenderOutput", ""), output.string());

    // Without --out, the render goes where the last one went.
    std::filesystem::remove(output);
    ASSERT_EQ(renderWith({ "--script", (folder / "show.txt").string(), "--frames", "2" }), 0)
        << err.str();
    EXPECT_TRUE(std::filesystem::exists(output));
}

TEST_F(RenderCommandTest, BadArgumentsAndUnreadablePerformancesEndWithStatusTwoBeforeRendering)
{
    const std::filesystem::path output = folder / "never";
    struct Case {
        std::string script;
        std::vector<std::string> arguments;
        std::string message;
    };
    for (const Case& c : std::vector<Case> {
             { "0 event 0 0 64 1\n", { "--frames", "5", "--seconds", "1" },
                 "give either --frames or --seconds" },
             { "0 event 0 0 64 1\n", {}, "give either --frames or --seconds" },
             { "0 event 0 0 64 1\n", { "--frames", "0" },
                 "bad or missing value for --frames: \"0\"" },
             { "0 event 0 0 64 1\n", { "--frames", "\x1b]0;owned\x07" },
                 "bad or missing value for --frames: \"\\e]0;owned\\x07\"" },
             { "0 event 0 0 64 1\n", { "--frames", "2", "--fps", "0" },
                 "bad or missing value for --fps" },
             { "0 event 0 0 64 1\n", { "--frames", "2", "--size", "384" },
                 "bad or missing value for --size" },
             { "0 event 0 0 64 1\n", { "--frames", "2", "--load", "17=x.avi" },
                 "bad or missing value for --load" },
             { "0 event 0 0 64 1\n", { "--frames", "2", "--compressor", "Cinepak" },
                 "bad or missing value for --compressor" },
             { "0 event 0 0 64 1\n",
                 { "--frames", "2", "--compressor", "MJPEG", "--size", "321x240" },
                 "MJPEG needs an even width and height" },
             { "0 event 0 0 64 1\n", { "--frames", "2", "--colour" },
                 "unknown option \"--colour\"" },
             { "0 event 0 0 64 1\n", { "--frames", "2", std::string(1 << 20, 'x') },
                 "unknown option \"" + std::string(200, 'x') + "...\" (1048576 bytes)\n" },
             { "0 event 0 0 64 1\n40 event 0 0 64 1 \x1b[2J\n", { "--frames", "2" },
                 ", line 2: unexpected \"\\e[2J\" at the end of the line\n" },
             { "0 event 0 0 64 1\n40 trigger 1\n", { "--frames", "2" },
                 (folder / "show.txt").string()
                     + ", line 2: \"trigger\" is not a kind of line (event, load, set, key, patch, "
                       "save-patch, midi)" },
             { "0 set [Slot3] LumaKeyLevel 900\n", { "--frames", "2" },
                 (folder / "show.txt").string()
                     + ", line 1: [Slot3] LumaKeyLevel: the value 900 is out of range (0..765)" },
             { "0 key down hyper\n", { "--frames", "2" },
                 "\"hyper\" is not a key (the keys: a b c" },
         }) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), { "--out", output.string() });
        EXPECT_EQ(render(c.script, arguments), 2) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_EQ(renderWith({ "--frames", "2", "--out", output.string() }), 2);
    EXPECT_NE(err.str().find("--script is required"), std::string::npos);
    EXPECT_EQ(renderWith({ "--script", (folder / "none.txt").string(), "--frames", "2" }), 2);
    EXPECT_NE(err.str().find("none.txt: cannot read the file"), std::string::npos) << err.str();
}

TEST_F(RenderCommandTest, AFailingRenderEndsWithStatusOneAndLeavesNoOutput)
{
    const std::string script = "0 event 0 0 64 1\n";
    const std::vector<std::string> load { "--load", "1=" + quiet.string(), "--frames", "6" };
    const auto run = [&](const std::filesystem::path& output) {
        std::vector<std::string> arguments = load;
        arguments.insert(arguments.end(), { "--out", output.string() });
        return render(script, arguments);
    };

    EXPECT_EQ(run(folder / "missing" / "take.avi"), 1);
    EXPECT_NE(
        err.str().find("The output folder " + (folder / "missing").string() + " does not exist"),
        std::string::npos)
        << err.str();
    // A file where a folder should be is named as such.
    test::writeFileBytes(folder / "afile", { 'x' });
    const std::string afile = (folder / "afile").string();
    for (const auto& [output, message] : {
             std::pair { folder / "afile" / "take.avi",
                 "Cannot write into \"" + afile + "\": it is not a folder" },
             std::pair { folder / "afile" / "sub" / "take.avi",
                 "Cannot write into \"" + afile + "/sub\": \"" + afile + "\" is not a folder" },
             std::pair { folder / "afile" / "frames",
                 "Cannot write into \"" + afile + "\": it is not a folder" },
         }) {
        EXPECT_EQ(run(output), 1) << output;
        EXPECT_EQ(err.str(), "oskel3: " + message + "\n");
    }

    cancelAfter = 3;
    EXPECT_EQ(run(folder / "cancelled.avi"), 1);
    EXPECT_NE(err.str().find("Render cancelled"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(folder / "cancelled.avi"));
    EXPECT_FALSE(std::filesystem::exists(folder / "cancelled.avi.partial"));
    cancelAfter = 1 << 30;

    openSurface = [](std::string&) -> std::unique_ptr<RenderSurface> {
        return std::make_unique<test::LayerLogSurface>(false);
    };
    EXPECT_EQ(run(folder / "unread.avi"), 1);
    EXPECT_NE(err.str().find("The output picture could not be read back"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "unread.avi"));

    openSurface = [](std::string& problem) -> std::unique_ptr<RenderSurface> {
        problem = "no EGL display";
        return nullptr;
    };
    EXPECT_EQ(run(folder / "undrawn.avi"), 1);
    EXPECT_NE(err.str().find("cannot draw the render: no EGL display"), std::string::npos);
}

} // namespace
} // namespace oskel
