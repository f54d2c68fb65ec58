// The render job that the windows start: its thread, its progress and preview picture, its
// cancel and how it ended; and the names and lengths of the recordings it renders.
#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "recording/recording_files.h"
#include "recording/render_job.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

// Frames of one colour each, as a render reports them.
void renderFrames(RenderJobControl& control, int frames)
{
    std::vector<std::uint8_t> picture(RenderJob::kPictureBytes);
    for (int frame = 0; frame < frames; ++frame) {
        std::fill(picture.begin(), picture.end(), static_cast<std::uint8_t>(frame));
        control.picture(picture.data());
        control.progress(frame + 1, frames);
    }
}

TEST(RenderJob, ItsProgressAndLatestPictureShowAndItsEndSaysHowItWent)
{
    RenderJob job;
    ASSERT_TRUE(job.start([](RenderJobControl& control) { renderFrames(control, 5); }));
    job.wait();
    EXPECT_EQ(job.state(), RenderJob::State::Finished);
    EXPECT_EQ(job.framesDone(), 5);
    EXPECT_EQ(job.frames(), 5);
    std::vector<std::uint8_t> shown;
    ASSERT_TRUE(job.takePicture(shown));
    EXPECT_EQ(shown.size(), RenderJob::kPictureBytes);
    EXPECT_EQ(shown[0], 4) << "the latest picture";
    EXPECT_FALSE(job.takePicture(shown)) << "nothing new since";

    struct Case {
        const char* what;
        bool cancel;
        bool completes;
        RenderJob::State state;
        std::string problem;
    };
    for (const Case& c :
        {
            Case { "a failure", false, false, RenderJob::State::Failed, "No space left on device" },
            Case { "a cancel taken", true, false, RenderJob::State::Cancelled, "Render cancelled" },
            Case { "a cancel too late", true, true, RenderJob::State::Finished, "" },
        }) {
        std::atomic<bool> released { false };
        ASSERT_TRUE(job.start([&](RenderJobControl& control) {
            renderFrames(control, 2);
            while (!released) {
                std::this_thread::yield();
            }
            if (!c.completes) {
                throw std::runtime_error(control.cancelled() ? "Render cancelled" : c.problem);
            }
        })) << c.what;
        EXPECT_TRUE(job.running()) << c.what;
        EXPECT_FALSE(job.start([](RenderJobControl&) {})) << "one at a time";
        if (c.cancel) {
            job.cancel();
        }
        released = true;
        job.wait();
        EXPECT_EQ(job.state(), c.state) << c.what;
        EXPECT_EQ(job.problem(), c.state == RenderJob::State::Failed ? c.problem : "") << c.what;
    }
}

TEST(RecordingFiles, NamesSortByTimeAndNeverReplaceAnEarlierRecording)
{
    test::TempDir folder;
    std::tm started {};
    started.tm_year = 2026 - 1900;
    started.tm_mon = 11;
    started.tm_mday = 11;
    started.tm_hour = 6;
    started.tm_min = 4;
    started.tm_sec = 9;
    const RecordingFiles first = recordingFilesIn(folder.path(), started);
    EXPECT_EQ(first.performance, folder / "performance 2026-12-11 06-04-09.txt");
    EXPECT_EQ(first.soundInput, folder / "sound input 2026-12-11 06-04-09.wav");
    EXPECT_EQ(first.setUp, folder / "performance 2026-12-11 06-04-09.okp");
    test::writeFileBytes(first.soundInput, { 0 });
    const RecordingFiles second = recordingFilesIn(folder.path(), started);
    EXPECT_EQ(second.performance, folder / "performance 2026-12-11 06-04-09 (2).txt");
    EXPECT_EQ(second.soundInput, folder / "sound input 2026-12-11 06-04-09 (2).wav");
}

TEST(RecordingFiles, APerformanceLastsAsItsLengthLineSaysOrASecondBeyondItsLastAction)
{
    const std::vector<ScriptAction> actions { { 400, EventAction {} }, { 2500, EventAction {} },
        { 1200, EventAction {} } };
    struct Case {
        std::string text;
        std::int64_t lengthMs;
    };
    for (const Case& c : {
             Case { "0 event 0 0 64 1\n" + recordingLengthLine(7340) + "\n", 7340 },
             Case { "# length 120 ms", 120 },
             Case { "", 3500 },
             Case { "# length 99999999999999999999999 ms\n", 3500 },
             Case { "# length -5 ms\n", 3500 },
             Case { "# length 12 seconds\n", 3500 },
             Case { "0 load 1 a# length 9 ms\n", 3500 },
         }) {
        EXPECT_EQ(performanceLengthMs(c.text, actions), c.lengthMs) << c.text;
    }
    EXPECT_EQ(performanceLengthMs("", {}), 1000);
    EXPECT_EQ(framesFor(7340, 25), 183);
    EXPECT_EQ(framesFor(0, 25), 1) << "a render has a frame at least";
}

} // namespace
} // namespace oskel
