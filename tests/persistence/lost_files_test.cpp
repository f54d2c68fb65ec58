#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "persistence/lost_files.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;

TEST(StoredPath, KindsAndLocalForm)
{
    struct Case {
        const char* stored;
        bool absolute;
        bool windows;
        const char* local;
    };
    for (const Case& c : std::vector<Case> {
             { "/home/vj/beach.avi", true, false, "/home/vj/beach.avi" },
             { "C:\\clips\\beach.avi", true, true, "C:/clips/beach.avi" },
             { "d:/clips/beach.avi", true, true, "d:/clips/beach.avi" },
             { "\\\\server\\clips\\beach.avi", true, true, "//server/clips/beach.avi" },
             { "clips\\beach.avi", false, false, "clips/beach.avi" },
             { "\\clips\\beach.avi", false, false, "/clips/beach.avi" },
             { "C:beach.avi", false, false, "C:beach.avi" },
             { "1:\\beach.avi", false, false, "1:/beach.avi" },
             { "C:", false, false, "C:" },
             { "", false, false, "" },
         }) {
        EXPECT_EQ(isStoredPathAbsolute(c.stored), c.absolute) << c.stored;
        EXPECT_EQ(isWindowsStoredPath(c.stored), c.windows) << c.stored;
        EXPECT_EQ(localStoredPath(c.stored), c.local) << c.stored;
    }
}

class LostFileSearchTest : public ::testing::Test {
protected:
    LostFileSearchTest()
    {
        search.patchFolder = "/show";
        search.lastClipPath = "/last/old.avi";
        search.clipFolderHistory = { "/older/", "/newer/" };
        search.clipFolder = "/video clips";
        search.exists = [this](const fs::path& path) {
            ++looks;
            return existing.count(path.string()) != 0;
        };
    }

    // Every place in `order` holds the file; each find must give the first place still
    // there, and removing it reveals the next.
    template <typename Find>
    void expectOrder(const std::vector<std::string>& order, const Find& find)
    {
        existing = std::set<std::string>(order.begin(), order.end());
        for (const std::string& place : order) {
            EXPECT_EQ(find(), place);
            existing.erase(place);
        }
        EXPECT_EQ(find(), "") << "nothing is left";
    }

    LostFileSearch search;
    std::set<std::string> existing;
    int looks = 0;
};

TEST_F(LostFileSearchTest, AClipIsLookedForNextToThePatchFirstThenInTheClipFolders)
{
    const auto find = [&](const char* stored) {
        return [this, stored] {
            const auto found = findLostClip(stored, search);
            return found ? found->path.string() : std::string();
        };
    };
    expectOrder(
        { "/show/beach.avi", "/show/clips/beach.avi", "/show/live/clips/beach.avi",
            "/last/beach.avi", "/newer/beach.avi", "/older/beach.avi", "/video clips/beach.avi" },
        find("C:\\live\\clips\\beach.avi"));
    expectOrder({ "/show/clips/beach.avi", "/show/beach.avi", "/last/beach.avi" },
        find("clips\\beach.avi"));
    expectOrder({ "/show/beach.avi", "/show/b/beach.avi", "/show/a/b/beach.avi" },
        find("\\\\server\\a\\b\\beach.avi"));
}

TEST_F(LostFileSearchTest, NextToThePatchTheSlotKeepsTheNameRelativeElsewhereTheLastClipPathMoves)
{
    struct Case {
        const char* stored;
        const char* place;
        const char* name;
        bool nextToPatch;
    };
    for (const Case& c : std::vector<Case> {
             { "clips\\beach.avi", "/show/clips/beach.avi", "clips/beach.avi", true },
             { "C:\\live\\clips\\beach.avi", "/show/beach.avi", "beach.avi", true },
             { "C:\\live\\clips\\beach.avi", "/show/live/clips/beach.avi", "live/clips/beach.avi",
                 true },
             { "/home/vj/beach.avi", "/newer/beach.avi", "/newer/beach.avi", false },
         }) {
        existing = { c.place };
        const auto found = findLostClip(c.stored, search);
        ASSERT_TRUE(found) << c.stored;
        EXPECT_EQ(found->path.string(), c.place);
        EXPECT_EQ(found->name, c.name) << c.stored;
        EXPECT_EQ(found->nextToPatch, c.nextToPatch) << c.stored;
        EXPECT_EQ(found->newLastClipPath,
            c.nextToPatch ? std::nullopt : std::optional<std::string>(c.place))
            << c.stored;
    }
}

TEST_F(LostFileSearchTest, AStencilIsNeverTakenFromAStoredRelativeNameAsItStands)
{
    const auto find = [&](const char* stored) {
        return [this, stored] {
            const auto found = findLostStencil(stored, search);
            return found ? found->string() : std::string();
        };
    };
    expectOrder(
        { "/show/mask.bmp", "/show/masks/mask.bmp", "/show/live/masks/mask.bmp", "/last/mask.bmp",
            "/newer/mask.bmp", "/older/mask.bmp", "/video clips/mask.bmp" },
        find("E:\\live\\masks\\mask.bmp"));
    expectOrder({ "/show/mask.bmp", "/show/masks/mask.bmp" }, find("masks/mask.bmp"));
}

TEST_F(LostFileSearchTest, NamesWithoutAFileNameFindNothing)
{
    search.exists = [](const fs::path&) { return true; };
    for (const char* stored : { "", "C:\\clips\\", "/", "..", "clips/.", "C:" }) {
        EXPECT_FALSE(findLostClip(stored, search)) << stored;
        EXPECT_FALSE(findLostStencil(stored, search)) << stored;
    }
}

TEST_F(LostFileSearchTest, EmptyFoldersAreNotSearchedAndDeepNamesStayCheap)
{
    search.patchFolder.clear();
    search.lastClipPath = "old.avi";
    search.clipFolderHistory = { "" };
    search.clipFolder.clear();
    existing = { "beach.avi", "/beach.avi" };
    EXPECT_FALSE(findLostClip("beach.avi", search)) << "nothing relative to the working folder";

    search.patchFolder = "/show";
    std::string deep;
    for (int i = 0; i < 5000; ++i) {
        deep += "d\\";
    }
    looks = 0;
    EXPECT_FALSE(findLostClip(deep + "beach.avi", search));
    EXPECT_LE(looks, 40);
}

TEST(LostFileSearch, FindsARealFileAndPassesOverAFolderOfTheSameName)
{
    test::TempDir show;
    fs::create_directories(show / "beach.avi");
    fs::create_directories(show / "clips");
    std::ofstream(show / "clips" / "beach.avi") << "clip";
    LostFileSearch search;
    search.patchFolder = show.path();

    const auto found = findLostClip("C:\\show\\clips\\beach.avi", search);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path.string(), (show / "clips" / "beach.avi").string());
    EXPECT_EQ(found->name, "clips/beach.avi");
    EXPECT_TRUE(found->nextToPatch);
    EXPECT_FALSE(findLostStencil("C:\\masks\\beach.avi", search)) << "a folder is no file";
}

} // namespace
} // namespace oskel
