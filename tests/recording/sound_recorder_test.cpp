#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "recording/sound_recorder.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

// A sound input the test plays into, from a thread of its own as a device would.
class PlayedInput : public SoundCapture {
public:
    std::string start(Receiver receiver) override
    {
        if (refuse) {
            return "The sound input could not be started: no device";
        }
        m_receiver = std::move(receiver);
        return {};
    }
    void stop() override { m_receiver = nullptr; }
    void play(const std::vector<std::int16_t>& samples)
    {
        std::thread device([&] {
            for (std::size_t at = 0; at < samples.size(); at += 2048) {
                m_receiver(
                    { samples.data() + at, std::min<std::size_t>(2048, samples.size() - at) });
            }
        });
        device.join();
    }
    bool refuse = false;

private:
    Receiver m_receiver;
};

TEST(SoundRecorder, TheInputIsWrittenToAWaveFileThatAppearsWhenTheRecordingStops)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    test::TempDir folder;
    PlayedInput input;
    tSoundRecorder recorder(input);
    const auto file = folder / "mix.wav";
    ASSERT_EQ(recorder.start(file), "");
    std::vector<std::int16_t> played(44100 * 2);
    for (std::size_t k = 0; k < played.size(); ++k) {
        played[k] = static_cast<std::int16_t>((k * 97) % 30000 - 15000);
    }
    input.play(played);
    EXPECT_FALSE(std::filesystem::exists(file)) << "not before it is complete";
    EXPECT_EQ(recorder.stop(), "");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(folder / "mix.wav.partial"));
    const std::vector<std::uint8_t> heard = test::decodeSoundWithFfmpeg(file, 2);
    ASSERT_EQ(heard.size(), played.size() * 2);
    EXPECT_EQ(std::memcmp(heard.data(), played.data(), heard.size()), 0);
    EXPECT_EQ(recorder.droppedSamples(), 0u);
}

TEST(SoundRecorder, AnInputThatCannotStartLeavesNoFile)
{
    test::TempDir folder;
    PlayedInput input;
    input.refuse = true;
    tSoundRecorder recorder(input);
    EXPECT_EQ(
        recorder.start(folder / "mix.wav"), "The sound input could not be started: no device");
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    EXPECT_NE(recorder.start(folder / "no" / "such" / "folder.wav"), "");
}

// A device that went away during a recording delivered less than the time it ran.
TEST(SoundRecorder, AnInputThatStoppedDeliveringIsToldAtTheEnd)
{
    struct Case {
        std::uint64_t frames;
        std::int64_t elapsedMs;
        bool told;
    };
    for (const Case& c : { Case { 44100 * 10, 10000, false }, Case { 44100 * 9, 10000, false },
             Case { 44100 * 3, 10000, true }, Case { 0, 900, false }, Case { 0, 5000, true } }) {
        const std::string told = soundInputShortfall(c.frames, c.elapsedMs);
        EXPECT_EQ(!told.empty(), c.told) << c.frames << " in " << c.elapsedMs << " ms";
    }
    EXPECT_EQ(soundInputShortfall(44100 * 3, 10000),
        "The sound input delivered only 3 s of the 10 s recorded: the device stopped or went "
        "away, and the rest of the recording of it is missing");
}

} // namespace
} // namespace oskel
