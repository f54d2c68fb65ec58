// A performance played on the real windows with their buttons and the keyboard, recorded, and
// replayed offline, against a performance written by hand with the same actions: the two
// renders must be the same, frame for frame and sample for sample. Whatever a button or a key
// changed behind the event processor's back would be missing from the recording and show.
#include <QPushButton>
#include <QSlider>
#include <fstream>
#include <sstream>

#include "app/render_command.h"
#include "recording/layer_log_renderer.h"
#include "recording/performance_recorder.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

constexpr int kF8 = 66;
constexpr int kQ = 16;
constexpr int kA = 30;

std::filesystem::path colourClip(const std::string& name, const std::string& colour, int hertz)
{
    return makeClip(name,
        { "-f", "lavfi", "-i", "color=c=" + colour + ":size=64x48:rate=25:duration=2", "-f",
            "lavfi", "-i",
            "sine=frequency=" + std::to_string(hertz) + ":sample_rate=44100:duration=2", "-t", "2",
            "-ac", "2", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-c:a", "pcm_s16le" });
}

std::string fileText(const std::filesystem::path& file)
{
    std::ifstream input(file, std::ios::binary);
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

class RecordReplayTest : public WindowsTest {
protected:
    void SetUp() override
    {
        if (!ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        WindowsTest::SetUp();
        processor.setOutsideEventObserver(
            [this](const TSlotEvent& event) { recorder.eventSent(event); });
        recorder.start();
    }
    // A clip loaded as the performer loads one, and recorded.
    void load(int slot, const std::filesystem::path& file)
    {
        ASSERT_TRUE(instrument.loader.LoadClipIntoSlot(
            slot, file, performance.globals().LoadClipsInSyncMode, false));
        recorder.clipLoaded(slot, file);
    }
    void tap(int evdevCode)
    {
        pressKey(evdevCode);
        releaseKey(evdevCode);
    }
    // The performance rendered into a folder of frames and the sound; its files by name.
    std::map<std::string, std::string> render(
        const std::filesystem::path& script, const std::string& name)
    {
        const std::filesystem::path output = folder / name;
        const std::vector<std::string> arguments { "--script", script.string(), "--seconds", "2",
            "--out", output.string() };
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        // A home of its own: a render keeps its settings at the end, and the next would start
        // from them.
        const std::filesystem::path home = folder / (name + "-home");
        std::filesystem::create_directories(home);
        const Locations locations = locationsFrom([&home](const char* variable) {
            return std::string(variable) == "HOME" ? std::optional<std::string>(home.string())
                                                   : std::nullopt;
        });
        std::ostringstream out;
        std::ostringstream err;
        const int status = runRenderCommand(views,
            RenderEnvironment { locations,
                [](std::string&) -> std::unique_ptr<RenderSurface> {
                    return std::make_unique<LayerLogSurface>();
                },
                out, err, [] { return false; } });
        EXPECT_EQ(status, 0) << err.str();
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(output)) {
            files[entry.path().filename().string()] = fileText(entry.path());
        }
        return files;
    }

    TempDir folder;
    std::uint32_t recordedMs = 0;
    PerformanceRecorder recorder { [this] { return recordedMs; } };
};

TEST_F(RecordReplayTest, AReplayOfWhatTheWindowsAndKeysDidEqualsTheSamePerformanceWrittenByHand)
{
    const std::filesystem::path red = colourClip("replay-red.avi", "red", 330);
    const std::filesystem::path blue = colourClip("replay-blue.avi", "blue", 550);

    tap(kF8); // new clips keep their own size
    load(1, red);
    load(2, blue);
    recordedMs = 200;
    tap(kQ); // slot 1
    recordedMs = 400;
    click("cbMonophonic");
    recordedMs = 600;
    tap(kA); // slot 2, which stops slot 1
    recordedMs = 800;
    click("cbCrossFadeEnable");
    find<QSlider>("sbCrossFade").setValue(100);
    recordedMs = 1000;
    click("cbMasterMute");
    recorder.stop();

    const std::filesystem::path played = folder / "played.txt";
    ASSERT_EQ(recorder.save(played), std::nullopt);
    const std::string recording = fileText(played);
    for (const char* line : { "0 set [Master] LoadFullScreen 0", "400 set [Master] Monophonic 1",
             "800 set [Master] CrossfadeEnable 1", "800 set [Master] CrossfadePosition 100",
             "1000 set [Master] MasterMute 1" }) {
        EXPECT_NE(recording.find(line), std::string::npos) << line << " in\n" << recording;
    }

    const auto write = [&](const std::filesystem::path& file, bool monophonic) {
        std::ofstream(file) << "0 key down f8\n0 key up f8\n"
                            << "0 load 1 " << red.string() << "\n0 load 2 " << blue.string() << "\n"
                            << "200 key down q\n200 key up q\n"
                            << (monophonic ? "400 set [Master] Monophonic 1\n" : "")
                            << "600 key down a\n600 key up a\n"
                            << "800 set [Master] CrossfadeEnable 1\n"
                            << "800 set [Master] CrossfadePosition 100\n"
                            << "1000 set [Master] MasterMute 1\n";
    };
    write(folder / "written.txt", true);
    write(folder / "without-monophonic.txt", false);

    const auto replayed = render(played, "replayed");
    ASSERT_EQ(replayed.size(), 51u) << "50 frames and the sound";
    EXPECT_TRUE(replayed == render(folder / "written.txt", "by-hand"))
        << "the recording replays as the performance written by hand:\n"
        << recording;
    EXPECT_FALSE(replayed == render(folder / "without-monophonic.txt", "polyphonic"))
        << "a button missing from the performance shows in the render";
}

} // namespace
} // namespace oskel::test
