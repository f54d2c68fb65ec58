#include <gtest/gtest.h>

#include "patch_explorer_fixture.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

TEST(PatchFolderChoice, TheLastPatchsFolderElseTheClipFolderElseTheProgramFolder)
{
    test::TempDir root;
    const fs::path clips = root / "video clips";
    const fs::path elsewhere = root / "elsewhere";
    fs::create_directories(elsewhere);
    test::touch(elsewhere / "last.okp");
    struct Case {
        std::string patchSetting;
        bool clipFolderExists;
        fs::path expected;
    };
    for (const Case& c : std::vector<Case> {
             { (elsewhere / "last.okp").string(), true, elsewhere },
             { (elsewhere / "gone.okp").string(), true, clips },
             { clips.string() + "/", true, clips }, // the setting's default: a folder
             { "", true, clips },
             { (elsewhere / "gone.okp").string(), false, root.path() },
         }) {
        if (c.clipFolderExists) {
            fs::create_directories(clips);
        } else {
            fs::remove_all(clips);
        }
        EXPECT_EQ(choosePatchFolder({ c.patchSetting, clips, root.path() }), c.expected)
            << c.patchSetting;
    }
}

class PatchExplorerTest : public test::PatchExplorerFixture {
protected:
    PatchExplorer& explorer() { return logic.explorer(); }
};

TEST_F(PatchExplorerTest, ADoubleClickLoadsAPatchAndOpensAFolderOrTheParent)
{
    fs::create_directories(patchFolder / "set two");
    test::touch(patchFolder / "set two" / "inner.okp");
    usePatches({ "first.okp" });
    EXPECT_EQ(view.captions, (Names { " Up one level", "set two", "first.okp" }));

    explorer().openEntry(2);
    ASSERT_EQ(loader.patches.size(), 1U);
    EXPECT_EQ(
        loader.patches[0], (test::RecordingLoader::PatchLoad { patchFolder / "first.okp", false }));

    explorer().openEntry(1);
    EXPECT_EQ(view.folder, patchFolder / "set two");
    EXPECT_EQ(view.captions, (Names { " Up one level", "inner.okp" }));

    explorer().openEntry(0);
    EXPECT_EQ(view.folder, patchFolder);
    EXPECT_EQ(loader.patches.size(), 1U) << "navigating loads nothing";
}

TEST_F(PatchExplorerTest, AFolderThatCannotBeReadIsNotEnteredAndTheStatusLineSaysWhy)
{
    usePatches({ "first.okp" });
    explorer().changeFolder(patchFolder / "missing");
    EXPECT_EQ(explorer().folder(), patchFolder);
    EXPECT_EQ(view.folder, patchFolder);
    ASSERT_FALSE(ui.statusTexts.empty());
    EXPECT_NE(ui.statusTexts.back().find("missing"), std::string::npos);
}

TEST_F(PatchExplorerTest, LoadByIndexCountsFromTheFirstPatchFileAndLoadsThroughMidi)
{
    fs::create_directories(patchFolder / "sub");
    usePatches({ "first.okp", "second.okp", "third.okp" });

    EXPECT_TRUE(explorer().loadPatchByIndex(0));
    ASSERT_EQ(loader.patches.size(), 1U);
    EXPECT_EQ(
        loader.patches[0], (test::RecordingLoader::PatchLoad { patchFolder / "first.okp", true }));
    EXPECT_EQ(view.selected, std::vector<std::size_t> { 2 });
    EXPECT_EQ(midiPauses, 1);
    EXPECT_TRUE(view.consoleStates.empty()) << "console mode is off";

    EXPECT_TRUE(explorer().loadPatchByIndex(2));
    EXPECT_EQ(loader.takeNames(), (Names { "first.okp", "third.okp" }));
    for (int beyond : { 3, 100, -1 }) {
        EXPECT_FALSE(explorer().loadPatchByIndex(beyond)) << beyond;
    }
    EXPECT_TRUE(loader.patches.empty());
    EXPECT_EQ(midiPauses, 2);
}

class AutoPatchTest : public test::PatchExplorerFixture {
protected:
    static constexpr std::int64_t kTenMinutes = 10 * 60000;
    AutoPatchLoader& autoLoader() { return logic.autoLoader(); }
    // Starts auto loading and lets the timer fire `ticks` times; the names loaded.
    Names loadsOver(int ticks)
    {
        autoLoader().start();
        for (int tick = 0; tick < ticks; ++tick) {
            clock.advanceBy(kTenMinutes);
        }
        for (const auto& load : loader.patches) {
            EXPECT_FALSE(load.throughMidi);
        }
        return loader.takeNames();
    }
};

TEST_F(AutoPatchTest, StepsFromTheSecondPatchToTheLastAndAroundAgain)
{
    fs::create_directories(patchFolder / "sub");
    usePatches({ "first.okp", "second.okp", "third.okp" });
    EXPECT_EQ(loadsOver(4),
        (Names { "second.okp", "third.okp", "second.okp", "third.okp", "second.okp" }));
    EXPECT_EQ(view.autoStatus, Names { "Auto Patch Loading is ON" });
    EXPECT_EQ(ui.statusTexts.back(), "Ready ... Auto Patch Loading Active");
}

TEST_F(AutoPatchTest, ASinglePatchLoadsAtEveryStep)
{
    usePatches({ "only.okp" });
    EXPECT_EQ(loadsOver(2), (Names { "only.okp", "only.okp", "only.okp" }));
}

TEST_F(AutoPatchTest, AFolderWithoutPatchesShowsTheInformationAndLoadsNothing)
{
    usePatches({ "clip.avi" });
    EXPECT_TRUE(loadsOver(1).empty());
    EXPECT_EQ(ui.messages, Names(2, std::string(AutoPatchLoader::kNoPatchesMessage)));
    EXPECT_EQ(AutoPatchLoader::kNoPatchesMessage,
        "Please use the Load button to load a Oskel Patch. You will then see your patches appear "
        "in the Patch Explorer. If you dont have any Oskel Patches you should load clips "
        "individually in the Thumbnails window. ");
}

TEST_F(AutoPatchTest, StopOrAFolderChangeEndsIt)
{
    fs::create_directories(patchFolder / "sub");
    usePatches({ "first.okp", "second.okp", "third.okp" });
    for (bool byFolderChange : { false, true }) {
        SCOPED_TRACE(byFolderChange);
        loadsOver(1);
        if (byFolderChange) {
            logic.explorer().changeFolder(patchFolder / "sub");
        } else {
            autoLoader().stop();
        }
        EXPECT_FALSE(autoLoader().running());
        clock.advanceBy(5 * kTenMinutes);
        EXPECT_TRUE(loader.patches.empty());
        EXPECT_EQ(ui.statusTexts.back(), "Ready ... Auto Patch Loading Stopped");
        EXPECT_EQ(view.autoStatus.back(), "Auto Patch Loading is OFF");
        logic.explorer().changeFolder(patchFolder);
    }
}

TEST_F(AutoPatchTest, TheIntervalTakesWholeMinutesFromOneTo30000OnceStartedUp)
{
    performance.options().ui.AutoPatchInterval = 7;
    EXPECT_FALSE(autoLoader().changeIntervalText("20")) << "before start-up";
    usePatches({});
    EXPECT_EQ(view.intervals, std::vector<int> { 7 });
    EXPECT_EQ(autoLoader().intervalMilliseconds(), 7 * 60000);
    struct Case {
        const char* text;
        int expectedMinutes;
    };
    for (const Case& c : std::vector<Case> { { "1", 1 }, { " 30000", 30000 }, { "30001", 30000 },
             { "0", 30000 }, { "-5", 30000 }, { "12a", 30000 }, { "", 30000 }, { "2.5", 30000 },
             { "99999999999", 30000 }, { "15", 15 } }) {
        autoLoader().changeIntervalText(c.text);
        EXPECT_EQ(autoLoader().intervalMilliseconds(), std::int64_t { c.expectedMinutes } * 60000)
            << c.text;
        EXPECT_EQ(performance.options().ui.AutoPatchInterval, c.expectedMinutes) << c.text;
    }
}

} // namespace
} // namespace oskel
