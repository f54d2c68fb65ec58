#include <algorithm>

#include <gtest/gtest.h>

#include "recording/output_file.h"
#include "recording/outside_sound.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

// Keeps the sound it is given.
class SoundKept : public RenderOutput {
public:
    void writeFrame(const std::uint8_t*) override { ++frames; }
    void writeSound(std::span<const std::int16_t> samples) override
    {
        sound.insert(sound.end(), samples.begin(), samples.end());
    }
    void finish() override { finished = true; }

    int frames = 0;
    bool finished = false;
    std::vector<std::int16_t> sound;
};

class OutsideSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }
    test::TempDir folder;
};

// The file's sound replaces the mix sample for sample, whatever its rate and channels, and
// silence follows its end.
TEST_F(OutsideSoundTest, TheFilesSoundReplacesTheMixAndSilenceFollowsItsEnd)
{
    for (const char* format : { "44100:stereo", "48000:mono" }) {
        SCOPED_TRACE(format);
        const std::string rate = std::string(format).substr(0, 5);
        const auto file = test::makeClip(std::string("mix-") + rate + ".wav",
            { "-f", "lavfi", "-i", "sine=frequency=441:duration=0.5:sample_rate=" + rate, "-ac",
                std::string(format).ends_with("mono") ? "1" : "2", "-c:a", "pcm_s16le" });
        auto kept = std::make_unique<SoundKept>();
        SoundKept& seen = *kept;
        auto output = withOutsideSound(std::move(kept), std::make_unique<OutsideSound>(file));
        const std::vector<std::int16_t> mix(1764 * 2, 1000);
        for (int frame = 0; frame < 25; ++frame) { // one second: the file lasts half of it
            const std::uint8_t picture = 0;
            output->writeFrame(&picture);
            output->writeSound(mix);
        }
        output->finish();
        EXPECT_TRUE(seen.finished);
        EXPECT_EQ(seen.frames, 25);
        ASSERT_EQ(seen.sound.size(), mix.size() * 25);
        const auto loud
            = std::ranges::count_if(seen.sound, [](std::int16_t s) { return s > 2000; });
        EXPECT_GT(loud, 1000) << "the sine is there";
        EXPECT_TRUE(std::all_of(seen.sound.begin() + 44100 * 2 * 6 / 10, seen.sound.end(),
            [](std::int16_t s) { return s == 0; }))
            << "silence after the file's end, none of the mix";
        EXPECT_EQ(seen.sound[0], seen.sound[1]) << "both sides carry the sound";
    }
}

TEST_F(OutsideSoundTest, AFileWithoutSoundIsRefusedWithItsName)
{
    try {
        OutsideSound sound(folder / "nothere.wav");
        ADD_FAILURE() << "no refusal";
    } catch (const OutputError& error) {
        EXPECT_NE(std::string(error.what()).find("nothere.wav"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace oskel
