// Damaged clips, and clips whose picture and sound differ in length, loaded through both media
// systems and played by the frame clock: at every play position the slot shows the picture of
// that moment, or the last one before it that the file holds and that decodes; a damaged file
// is told of once, in the status line.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "core/slot_sound.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/clip_loader.h"
#include "playback/frame_clock.h"
#include "recording_renderer.h"
#include "sources/avi_clip_patching.h"
#include "sources/reader_factory.h"
#include "support/clip_maker.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kFrameRate = 25;
constexpr int kSampleRate = 22050;
constexpr std::int64_t kSoundBytesPerFrame = kSampleRate * 2 / kFrameRate; // mono, 16 bits

// Frame n has blue 4n in its left half, where its first delivered pixel lies, and noise in its
// right half, which makes each picture weigh more in the file than its share of the sound: a
// cut near the end then takes a picture with it.
Bytes numberedClip(const std::string& name, const std::string& pictureSeconds,
    const std::string& soundSeconds, const std::vector<std::string>& codec)
{
    std::vector<std::string> args { "-f", "lavfi", "-i",
        "nullsrc=size=160x120:rate=25:duration=" + pictureSeconds
            + ",format=gbrp,geq=r='if(lt(X,80),128,random(1)*255)'"
              ":g='if(lt(X,80),128,random(2)*255)':b='if(lt(X,80),4*N,random(3)*255)'",
        "-f", "lavfi", "-i",
        "sine=frequency=440:sample_rate=" + std::to_string(kSampleRate)
            + ":duration=" + soundSeconds,
        "-ac", "1" };
    args.insert(args.end(), codec.begin(), codec.end());
    return test::readFileBytes(test::makeClip(name, args));
}

int frameNumber(int blue)
{
    return (blue + 2) / 4;
}

const std::vector<std::string> kMjpegAndPcm { "-c:v", "mjpeg", "-q:v", "2", "-pix_fmt", "yuvj444p",
    "-c:a", "pcm_s16le" };

Bytes firstPart(const Bytes& bytes, double fraction)
{
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(double(bytes.size()) * fraction));
}

struct DamagedClip {
    std::string name;
    Bytes bytes;
    bool damaged; // the file holds fewer frames than its header claims
};

std::vector<DamagedClip> damagedClips()
{
    const Bytes avi = numberedClip("numbered.avi", "2", "2", kMjpegAndPcm);
    const Bytes mov = numberedClip("numbered.mov", "2", "2",
        { "-c:v", "mpeg4", "-q:v", "2", "-g", "12", "-c:a", "pcm_s16le", "-movflags",
            "+faststart" });
    Bytes claims80 = avi;
    EXPECT_TRUE(test::patchAviStream(claims80, "vids", false, test::kStreamLength, 80));
    Bytes brokenMiddle = avi;
    EXPECT_EQ(test::zeroAviChunks(brokenMiddle, "00dc", 20, 5), 5);
    Bytes brokenEnd = avi;
    EXPECT_EQ(test::zeroAviChunks(brokenEnd, "00dc", 45, 5), 5);
    return {
        { "cut_30.avi", firstPart(avi, 0.30), true },
        { "cut_70.avi", firstPart(avi, 0.70), true },
        { "cut_99.avi", firstPart(avi, 0.99), true },
        { "claims_80_frames.avi", claims80, true },
        { "cut_50.mov", firstPart(mov, 0.50), true },
        { "sound_shorter.avi", numberedClip("sound_shorter.avi", "2", "1", kMjpegAndPcm), false },
        { "sound_longer.avi", numberedClip("sound_longer.avi", "1", "2", kMjpegAndPcm), false },
        { "undecodable_middle.avi", brokenMiddle, false },
        { "undecodable_end.avi", brokenEnd, false },
    };
}

// The numbers of the frames that the ffmpeg tool decodes from the packets the file holds
// whole, in order.
std::vector<int> framesTheToolDecodes(const std::filesystem::path& clip)
{
    const auto raw = test::clipFolder() / (clip.filename().string() + ".bgr");
    EXPECT_TRUE(test::runFfmpeg({ "-fflags", "+discardcorrupt", "-i", clip.string(), "-fps_mode",
        "passthrough", "-f", "rawvideo", "-pix_fmt", "bgr24", raw.string() }));
    const Bytes pixels = test::readFileBytes(raw);
    std::vector<int> frames;
    for (std::size_t at = 0; at + 160 * 120 * 3 <= pixels.size(); at += 160 * 120 * 3) {
        frames.push_back(frameNumber(pixels[at]));
    }
    return frames;
}

// The picture at frame time n: frame n when it decodes, else the last one before it that does.
int pictureAt(const std::vector<int>& decodable, int n)
{
    const auto after = std::upper_bound(decodable.begin(), decodable.end(), n);
    return after == decodable.begin() ? -1 : *std::prev(after);
}

class NoEvents : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override { }
};

// The tick is stepped by hand on the test's thread, which is the main thread.
class DamagedClipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        ASSERT_TRUE(clock.begin());
        begun = true;
    }
    void TearDown() override
    {
        if (begun) {
            clock.end();
        }
    }

    // The number of the frame the slot shows with its play cursor held at `position`; -1 when
    // it shows none.
    int shownAt(int number, std::int64_t position)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Playing = true;
        slot.Paused = true;
        activeBuffer(slot)->setPosition(position);
        clock.tick();
        for (const auto& draw : renderer.takeDraws()) {
            if (draw.slot == number) {
                return frameNumber(draw.firstByte);
            }
        }
        return -1;
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    ManualClockSoundDevice device;
    AudioEngine audio { device, ui, [] { return std::optional<std::int64_t>(); } };
    test::FakePlayback playback;
    SourceInterface sources { makeMediaReader };
    ClipLoader loader { performance, sources, audio, playback };
    test::RecordingRenderer renderer;
    NoEvents events;
    Transport transport { performance, events, nullptr, [] { return 1000u; }, 1 };
    SilentPlaybackMonitor monitor;
    FrameClock clock { performance, sources, renderer, transport, monitor };
    bool begun = false;
};

TEST_F(DamagedClipTest, ThePictureFollowsTheSoundAsFarAsTheFileHoldsIt)
{
    int number = 0;
    for (const DamagedClip& clip : damagedClips()) {
        SCOPED_TRACE(clip.name);
        const auto path = test::clipFolder() / clip.name;
        test::writeFileBytes(path, clip.bytes);
        const std::vector<int> decodable = framesTheToolDecodes(path);
        ASSERT_FALSE(decodable.empty());

        ui.statusTexts.clear();
        ++number;
        ASSERT_TRUE(loader.LoadClipDialog(number, path));
        TPlayAvistruct& slot = performance.slot(number);
        ASSERT_FALSE(slot.LoadedSilent);
        ASSERT_EQ(slot.BytesPerSecond, kSoundBytesPerFrame * kFrameRate);
        // The slot plays its sound's length in frames.
        EXPECT_NEAR(
            double(slot.FrameCount), double(slot.Length) / double(kSoundBytesPerFrame), 0.5);

        int lastShown = -1;
        for (int n = 0; n < slot.FrameCount; ++n) {
            const int shown = shownAt(number, n * kSoundBytesPerFrame);
            EXPECT_EQ(shown, pictureAt(decodable, n)) << "at the time of frame " << n;
            if (shown != pictureAt(decodable, n)) {
                break;
            }
            lastShown = std::max(lastShown, shown);
        }
        slot.Playing = false;

        // Told in the status line, which keeps it after "Ready ... " until the next load.
        const std::string notice = " - the clip " + clip.name + " is damaged: it plays its first "
            + std::to_string(lastShown + 1) + " frames";
        for (const std::string& text : ui.statusTexts) {
            const auto at = text.find("damaged");
            EXPECT_TRUE(at == std::string::npos || (clip.damaged && text.ends_with(notice)))
                << text;
        }
        if (clip.damaged) {
            EXPECT_EQ(ui.statusTexts.back().rfind("Ready ... ", 0), 0U);
            EXPECT_TRUE(ui.statusTexts.back().ends_with(notice)) << ui.statusTexts.back();
        }
        EXPECT_TRUE(ui.messages.empty()) << "no message box in the middle of a show";
    }
}

TEST_F(DamagedClipTest, LoadedSilentItPlaysTheFramesTheFileHolds)
{
    // Without its sound the picture is the clock: the silent sound lasts as long as the frames
    // the file really holds.
    performance.globals().LoadClipsSilent = true;
    const std::vector<DamagedClip> clips = damagedClips();
    const auto clip = std::find_if(clips.begin(), clips.end(),
        [](const DamagedClip& candidate) { return candidate.name == "cut_30.avi"; });
    ASSERT_NE(clip, clips.end());
    const auto path = test::clipFolder() / "silent_cut_30.avi";
    test::writeFileBytes(path, clip->bytes);
    const std::vector<int> decodable = framesTheToolDecodes(path);
    ASSERT_FALSE(decodable.empty());

    ASSERT_TRUE(loader.LoadClipDialog(1, path));
    TPlayAvistruct& slot = performance.slot(1);
    ASSERT_TRUE(slot.LoadedSilent);
    EXPECT_EQ(slot.FrameCount, decodable.back() + 1);
    const std::int64_t bytesPerFrame = slot.BytesPerSecond / kFrameRate;
    for (int n = 0; n < slot.FrameCount; ++n) {
        EXPECT_EQ(shownAt(1, n * bytesPerFrame), pictureAt(decodable, n)) << n;
    }
    EXPECT_TRUE(ui.statusTexts.back().ends_with(
        " is damaged: it plays its first " + std::to_string(decodable.back() + 1) + " frames"));
}

} // namespace
} // namespace oskel
