// "Record" and "Render" on the main window, on the offscreen platform: a performance played
// on the windows is recorded into the performer's folder and rendered, off the main thread,
// with the compression settings in force, into the settings' render output; a render
// cancelled (ESC on the preview, or at its first or last frame) or failing leaves no file.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/input_recording.h"
#include "app/window_render.h"
#include "persistence/presets_file.h"
#include "recording/compression_settings.h"
#include "recording/layer_log_renderer.h"
#include "recording/media_probe.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "ui/render_preview_window.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

// Half a second of a tone, delivered as soon as the input starts.
class PlayingInput : public SoundCapture {
public:
    std::string start(Receiver receiver) override
    {
        std::vector<std::int16_t> tone(44100);
        for (std::size_t k = 0; k < tone.size(); ++k) {
            tone[k] = static_cast<std::int16_t>((k * 331) % 20000 - 10000);
        }
        receiver(tone);
        return {};
    }
    void stop() override { }
};

// The job's view of the render, with a test's hand on it: at the frame `cancelAt` (0: none,
// -1: the last) the render is cancelled as ESC would; at the frame `holdAt` it waits until
// released.
class HeldControl : public RenderJobControl {
public:
    HeldControl(RenderJobControl& job, RenderJob& owner, int cancelAt, int holdAt,
        std::atomic<bool>& released)
        : m_job(job)
        , m_owner(owner)
        , m_cancelAt(cancelAt)
        , m_holdAt(holdAt)
        , m_released(released)
    {
    }
    void progress(std::int64_t done, std::int64_t frames) override
    {
        m_job.progress(done, frames);
        if (done == (m_cancelAt == -1 ? frames : m_cancelAt)) {
            m_owner.cancel();
        }
        while (done == m_holdAt && !m_released) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void picture(const std::uint8_t* bgr) override { m_job.picture(bgr); }
    bool cancelled() const override { return m_job.cancelled(); }

private:
    RenderJobControl& m_job;
    RenderJob& m_owner;
    int m_cancelAt;
    int m_holdAt;
    std::atomic<bool>& m_released;
};

class RecordRenderTest : public WindowsTest {
protected:
    void SetUp() override
    {
        if (!ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        std::filesystem::create_directories(locations.configFolder);
        // The settings in force come from a preset, as the dialog leaves them.
        CompressionSettings settings(output);
        settings.choose("MJPEG");
        settings.setQuality(60);
        ASSERT_EQ(settings.add("Draft", false), "");
        settings.choose("Uncompressed Video");
        ASSERT_EQ(settings.apply(0), std::nullopt);
        ASSERT_EQ(settings.save(locations.configFolder / kPresetsFileName), std::nullopt);
        WindowsTest::SetUp();
        processor.setOutsideEventObserver(
            [this](const TSlotEvent& event) { recorder.eventSent(event); });
    }
    void startInstrument() override { instrument.recordAndRender = &logic; }

    RecordAndRender::Links links()
    {
        RecordAndRender::Links made = recordAndRenderLinks(
            recorder, instrument.performance, instrument.loader, locations, soundInput,
            [this] { return output; },
            [](std::string&) -> std::unique_ptr<RenderSurface> {
                return std::make_unique<LayerLogSurface>();
            });
        made.now = [] {
            std::tm started {};
            started.tm_year = 126;
            started.tm_mday = 1;
            return started;
        };
        made.makeRender = [this, real = made.makeRender](const WindowRender& render) {
            return [this, work = real(render)](RenderJobControl& job) {
                HeldControl held(job, logic.job(), cancelAt, holdAt, released);
                work(held);
            };
        };
        return made;
    }

    // A recording of a few buttons over a second.
    void recordAFewActions()
    {
        recordedMs = 0;
        click("btnRecord");
        ASSERT_TRUE(logic.recording());
        recordedMs = 200;
        click("cbMonophonic");
        recordedMs = 600;
        click("cbMasterMute");
        recordedMs = 1000;
        click("btnRecord");
        ASSERT_FALSE(logic.recording());
    }
    void waitForTheRender()
    {
        for (int wait = 0; wait < 6000 && logic.job().running(); ++wait) {
            settle(10);
        }
        ASSERT_FALSE(logic.job().running());
        settle(100);
    }
    std::string status() { return windows.mainWindow().statusLine().text().toStdString(); }
    bool nothingLeft() const
    {
        return !std::filesystem::exists(output)
            && !std::filesystem::exists(output.string() + ".partial");
    }

    TempDir folder;
    Locations locations = locationsFrom([this](const char* name) {
        return std::string(name) == "HOME" ? std::optional<std::string>(folder.path().string())
                                           : std::nullopt;
    });
    std::filesystem::path output = folder / "render.avi";
    std::uint32_t recordedMs = 0;
    PerformanceRecorder recorder { [this] { return recordedMs; } };
    bool inputThere = true;
    InputRecording soundInput { [this](std::string& whyNot) -> std::unique_ptr<SoundCapture> {
        if (!inputThere) {
            whyNot = "no capture device";
            return nullptr;
        }
        return std::make_unique<PlayingInput>();
    } };
    int cancelAt = 0;
    int holdAt = 0;
    std::atomic<bool> released { false };
    RecordAndRender logic { links() };
};

TEST_F(RecordRenderTest, TheRecordingRendersWithThePresetInForceIntoTheRenderOutput)
{
    // The set-up the recording starts from: a clip playing in slot 1.
    const std::filesystem::path clip = makeClip("record-render.avi",
        { "-f", "lavfi", "-i", "color=c=red:size=64x48:rate=25:duration=2", "-c:v", "rawvideo",
            "-pix_fmt", "bgr24" });
    ASSERT_TRUE(instrument.loader.LoadClipIntoSlot(1, clip, false, false));
    performance.slot(1).Playing = true;
    recordAFewActions();
    ASSERT_TRUE(logic.lastRecording());
    const std::filesystem::path recording = logic.lastRecording()->performance;
    EXPECT_EQ(
        recording, locations.dataFolder / "recordings" / "performance 2026-01-01 00-00-00.txt");
    std::ifstream file(recording);
    std::stringstream text;
    text << file.rdbuf();
    const TPlayAvistruct& one = performance.slot(1);
    EXPECT_EQ(text.str().find("0 patch performance 2026-01-01 00-00-00.okp\n0 event 0 "
                  + std::to_string(one.Volume) + " " + std::to_string(one.Balance) + " 1\n"),
        text.str().find('\n') + 1)
        << "the set-up first:\n"
        << text.str();
    const IniProfile setUp
        = readIniFile(recording.parent_path() / "performance 2026-01-01 00-00-00.okp").profile;
    EXPECT_EQ(setUp.readString("Filenames", "1", ""), clip.string());
    EXPECT_NE(text.str().find("200 set [Master] Monophonic 1\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("# length 1000 ms\n"), std::string::npos) << text.str();

    click("btnRender");
    waitForTheRender();
    EXPECT_EQ(logic.job().state(), RenderJob::State::Finished) << logic.job().problem();
    EXPECT_TRUE(holdsAvi(output, { "mjpeg", 384, 288, "25/1", 25, 1.0 }));
    EXPECT_EQ(status(), "Rendered 25 frames to " + output.string());
    EXPECT_FALSE(std::filesystem::exists(locations.configFolder / "oskelstandard.ini"))
        << "the settings file is the live instrument's";

    // A second render would replace it: the performer is asked, and "No" keeps it.
    const auto before = std::filesystem::last_write_time(output);
    dialogs.messages.clear();
    click("btnRender");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "The file " + output.string() + " exists already. Replace it?");
    EXPECT_FALSE(logic.job().running());
    EXPECT_EQ(std::filesystem::last_write_time(output), before);
}

TEST_F(RecordRenderTest, ARenderCancelledOrFailingLeavesNoFile)
{
    // "Render" during a recording ends it and renders it.
    click("btnRecord");
    recordedMs = 1000;
    for (const int frame : { 1, -1 }) {
        cancelAt = frame;
        click("btnRender");
        waitForTheRender();
        EXPECT_FALSE(logic.recording());
        EXPECT_EQ(logic.job().state(), RenderJob::State::Cancelled) << frame;
        EXPECT_TRUE(nothingLeft()) << frame;
        EXPECT_EQ(status(), "Render cancelled");
    }
    cancelAt = 0;

    // ESC on the preview, which shows the progress while the render waits at its first frame.
    holdAt = 1;
    click("btnRender");
    RenderPreviewWindow* preview = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "TfmRenderPreview") {
            preview = qobject_cast<RenderPreviewWindow*>(window);
        }
    }
    ASSERT_NE(preview, nullptr);
    for (int wait = 0; wait < 6000 && logic.job().framesDone() < 1; ++wait) {
        settle(10);
    }
    settle(100);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle().toStdString(), "Rendering Frame 1/25 (ESC to cancel)");
    EXPECT_EQ(status(), "Rendering Frame 1/25");
    QTest::keyClick(preview, Qt::Key_Escape);
    released = true;
    waitForTheRender();
    EXPECT_EQ(logic.job().state(), RenderJob::State::Cancelled);
    EXPECT_TRUE(nothingLeft());
    EXPECT_FALSE(preview->isVisible());
    holdAt = 0;

    // An output folder that is not there: the render says why and leaves nothing.
    output = folder / "missing" / "render.avi";
    dialogs.messages.clear();
    click("btnRender");
    waitForTheRender();
    EXPECT_EQ(logic.job().state(), RenderJob::State::Failed);
    const std::string why
        = "The output folder " + (folder / "missing").string() + " does not exist";
    EXPECT_EQ(dialogs.messages, std::vector<std::string> { why });
    EXPECT_EQ(status(), "Render failed: " + why);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST_F(RecordRenderTest, TheSoundInputGoesWithTheRecordingWhenAskedForAndAMissingOneNeverStopsIt)
{
    // A recording the program started with is never dropped for a new one.
    recorder.start();
    click("cbMonophonic");
    click("btnRecord");
    EXPECT_FALSE(logic.recording());
    EXPECT_EQ(recorder.actions().size(), 1u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    recorder.stop();

    find<QCheckBox>("cbRecordSoundInput").click();
    EXPECT_TRUE(logic.wantsSoundInput()) << "kept in the render settings";

    inputThere = false;
    dialogs.messages.clear();
    recordAFewActions();
    EXPECT_EQ(dialogs.messages,
        std::vector<std::string> { "The sound input cannot be recorded: no capture device\n"
                                   "The performance is recorded without it." });
    ASSERT_TRUE(logic.lastRecording());
    EXPECT_TRUE(std::filesystem::exists(logic.lastRecording()->performance));
    EXPECT_TRUE(logic.lastRecording()->soundInput.empty());

    inputThere = true;
    dialogs.messages.clear();
    recordAFewActions();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
    const std::filesystem::path sound
        = locations.dataFolder / "recordings" / "sound input 2026-01-01 00-00-00 (2).wav";
    ASSERT_EQ(logic.lastRecording()->soundInput, sound);
    EXPECT_TRUE(std::filesystem::exists(sound));
    const RecordAndRender::Plan plan = logic.planRender(std::nullopt);
    ASSERT_TRUE(plan.render);
    EXPECT_EQ(plan.render->sound, sound);
    click("btnRender");
    waitForTheRender();
    EXPECT_EQ(logic.job().state(), RenderJob::State::Finished) << logic.job().problem();
    EXPECT_TRUE(holdsAvi(output, { "mjpeg", 384, 288, "25/1", 25, 1.0 }));
}

} // namespace
} // namespace oskel::test
