#include <gtest/gtest.h>

#include "persistence/ini_profile.h"
#include "recording/render_engine.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

TEST(RenderEngine, SettersKeepTheirValuesInRange)
{
    test::TempDir folder;
    TRenderEngine engine(folder.path());
    EXPECT_EQ(engine.Quality(), 0);
    EXPECT_EQ(engine.KeyFrame(), 1);
    struct Case {
        std::int32_t set;
        std::int32_t quality;
        std::int32_t keyFrame;
    };
    for (const Case& c : std::vector<Case> {
             { 150, 100, 150 }, { -5, 0, 1 }, { 0, 0, 1 }, { 1, 1, 1 }, { 55, 55, 55 } }) {
        engine.setQuality(c.set);
        engine.setKeyFrame(c.set);
        EXPECT_EQ(engine.Quality(), c.quality) << c.set;
        EXPECT_EQ(engine.KeyFrame(), c.keyFrame) << c.set;
    }
}

TEST(RenderEngine, AnAudioSourceIsTakenOnlyWhenEmptyOrWhenItExists)
{
    test::TempDir folder;
    TRenderEngine engine(folder.path());
    const std::string existing = (folder / "take.wav").string();
    std::filesystem::create_directory(folder / "take.wav");
    engine.setAudioSource(existing);
    EXPECT_EQ(engine.AudioSource(), existing);
    engine.setAudioSource((folder / "missing.wav").string());
    EXPECT_EQ(engine.AudioSource(), existing) << "the old value stays";
    engine.setAudioSource("");
    EXPECT_EQ(engine.AudioSource(), "");
}

// The render settings file's AudioSource: the sound card's input, a file that exists, or
// nothing; a file that is gone is ignored as the setter ignores it.
TEST(RenderEngine, TheSoundARenderCarriesComesFromTheSettingsFile)
{
    test::TempDir folder;
    const std::filesystem::path settings = folder / TRenderEngine::kSettingsFileName;
    TRenderEngine(folder.path()).chooseSoundInput(true);
    EXPECT_TRUE(TRenderEngine(folder.path()).wantsSoundInput());
    EXPECT_EQ(TRenderEngine(folder.path()).AudioSource(), "");
    EXPECT_EQ(readIniFile(settings).profile.readString("Render", "AudioSource", ""), "SoundInput");
    TRenderEngine(folder.path()).chooseSoundInput(false);
    EXPECT_FALSE(TRenderEngine(folder.path()).wantsSoundInput());

    const std::string mix = (folder / "mix.wav").string();
    for (const auto& [source, taken] :
        { std::pair { mix, mix }, std::pair { (folder / "gone.wav").string(), std::string() } }) {
        test::writeFileBytes(mix, { 'R', 'I', 'F', 'F' });
        IniProfile ini = readIniFile(settings).profile;
        ini.writeString("Render", "AudioSource", source);
        ASSERT_EQ(writeIniFile(settings, ini), std::nullopt);
        const TRenderEngine engine(folder.path());
        EXPECT_EQ(engine.AudioSource(), taken) << source;
        EXPECT_FALSE(engine.wantsSoundInput());
    }
}

TEST(RenderEngine, FrameCountAndSizeGoToTheRenderSettingsFile)
{
    test::TempDir folder;
    const std::filesystem::path file = folder / "OskelRender.ini";
    IniProfile before;
    before.writeString("Codec", "Kept", "yes");
    ASSERT_FALSE(writeIniFile(file, before));

    TRenderEngine engine(folder.path());
    engine.setNumFrames(250);
    engine.setSrcWidth(720);
    engine.setSrcHeight(575);
    EXPECT_EQ(engine.frameSizeBytes(), 720 * 575 * 3);
    EXPECT_FALSE(engine.settingsProblem());

    const IniReadResult read = readIniFile(file);
    ASSERT_EQ(read.status, IniFileStatus::Ok);
    EXPECT_EQ(read.profile.readInteger("Frames", "Total", 0), 250);
    EXPECT_EQ(read.profile.readInteger("Frames", "Width", 0), 720);
    EXPECT_EQ(read.profile.readInteger("Frames", "Height", 0), 575);
    EXPECT_EQ(read.profile.readString("Codec", "Kept", ""), "yes");
}

TEST(RenderEngine, AnUnwritableSettingsFileIsReportedAndTheValueHolds)
{
    test::TempDir folder;
    TRenderEngine engine(folder / "missing");
    engine.setNumFrames(12);
    EXPECT_EQ(engine.NumFrames(), 12);
    ASSERT_TRUE(engine.settingsProblem());
    EXPECT_NE(engine.settingsProblem()->find("OskelRender.ini"), std::string::npos);
}

} // namespace
} // namespace oskel
