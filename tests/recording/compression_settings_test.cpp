#include <gtest/gtest.h>

#include "persistence/presets_file.h"
#include "recording/compression_settings.h"
#include "recording/output_file.h"
#include "recording/render_output.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

using Names = std::vector<std::string>;

TEST(CompressionSettings, TheListHoldsWhatTheFileCanHoldAndEachCompressorItsControls)
{
    EXPECT_EQ(
        CompressionSettings("take.mp4").compressors(), (Names { "MJPEG", "MPEG-4", "H.264" }));
    CompressionSettings avi("take.avi");
    EXPECT_EQ(avi.compressors().front(), "Uncompressed Video");
    EXPECT_EQ(avi.compressor(), "Uncompressed Video");
    const auto none = avi.enabled();
    EXPECT_FALSE(none.quality || none.dataRate || none.keyFrame || none.configure);

    avi.choose("h.264");
    EXPECT_EQ(avi.compressor(), "H.264");
    const auto all = avi.enabled();
    EXPECT_TRUE(all.quality && all.dataRate && all.keyFrame && all.configure);
    EXPECT_EQ(avi.quality(), 100);
    EXPECT_EQ(avi.dataRate(), 1000);
    EXPECT_FALSE(avi.dataRateLimited());
    EXPECT_EQ(avi.keyFrame(), 1);

    avi.choose("Cinepak");
    EXPECT_EQ(avi.compressor(), "H.264") << "a name not in the list changes nothing";
}

TEST(CompressionSettings, TheCompressorsOwnSettingsAreChecked)
{
    CompressionSettings settings("take.mp4");
    settings.choose("H.264");
    EXPECT_EQ(settings.setOptions("crf=18:preset=fast"), "");
    EXPECT_EQ(settings.options(), "crf=18:preset=fast");
    EXPECT_EQ(settings.setOptions("bogus=1"), "H.264 does not take bogus=1");
    EXPECT_NE(
        settings.setOptions("preset=nonsense").find("refused the settings"), std::string::npos);
    EXPECT_EQ(settings.options(), "crf=18:preset=fast") << "refused settings change nothing";
}

// Presets are added, applied and removed; the file keeps the settings in force and the
// presets, and a preset whose compressor is gone says so and changes nothing.
TEST(CompressionSettings, PresetsAndTheSettingsInForceSurviveTheFile)
{
    test::TempDir folder;
    const auto file = folder / "presets.bin";
    CompressionSettings settings("take.avi");
    settings.choose("MPEG-4");
    settings.setQuality(60);
    settings.setDataRate(true, 500);
    settings.setKeyFrame(12);
    EXPECT_EQ(settings.add("Small", false), "");
    EXPECT_EQ(settings.add("small", false), "Preset Name already exists, overwrite?!");
    EXPECT_EQ(settings.add("Default", false), "There is a problem with your preset name!");
    settings.choose("FFV1");
    EXPECT_EQ(settings.add("Archive", false), "");
    ASSERT_EQ(settings.save(file), std::nullopt);

    CompressionSettings again("take.avi");
    EXPECT_EQ(again.load(file), "");
    EXPECT_EQ(again.compressor(), "FFV1");
    ASSERT_EQ(again.presets().size(), 2u);
    EXPECT_EQ(again.presets()[0].name, "Archive");
    EXPECT_EQ(again.apply(1), std::nullopt);
    EXPECT_EQ(again.compressor(), "MPEG-4");
    EXPECT_EQ(again.quality(), 60);
    EXPECT_TRUE(again.dataRateLimited());
    EXPECT_EQ(again.dataRate(), 500);
    EXPECT_EQ(again.keyFrame(), 12);
    again.remove(0);
    EXPECT_EQ(again.presets().size(), 1u);

    std::vector<CompressionPreset> gone { { "", 100, 1, 0, "MJPEG", "" },
        { "Old", 50, 1, 0, "Cinepak", "" } };
    ASSERT_EQ(writePresetsFile(file, gone), std::nullopt);
    CompressionSettings old("take.avi");
    old.load(file);
    EXPECT_EQ(old.apply(0), "Cinepak is no longer installed!");
    EXPECT_EQ(old.compressor(), "MJPEG");
}

// The settings reach the encoder: settings it takes make a file, settings it does not are
// refused before anything is written.
TEST(CompressionSettings, TheEncoderTakesTheCompressorsOwnSettings)
{
    test::TempDir folder;
    CompressionSettings settings("take.mp4");
    settings.choose("H.264");
    ASSERT_EQ(settings.setOptions("preset=ultrafast:crf=40"), "");
    auto output = openRenderOutput(folder / "take.mp4", settings.encoding(384, 288, 25));
    const std::vector<std::uint8_t> black(384 * 288 * 3, 0);
    output->writeFrame(black.data());
    output->finish();
    EXPECT_TRUE(std::filesystem::exists(folder / "take.mp4"));

    VideoEncoding wrong = settings.encoding(384, 288, 25);
    wrong.options = "bogus=1";
    try {
        openRenderOutput(folder / "other.mp4", wrong);
        ADD_FAILURE() << "no refusal";
    } catch (const OutputError& error) {
        EXPECT_STREQ(error.what(), "The video compressor libx264 has no setting bogus");
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "other.mp4"));
}

} // namespace
} // namespace oskel
