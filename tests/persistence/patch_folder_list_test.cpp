#include <gtest/gtest.h>
#include <sys/stat.h>

#include "patch_explorer_fixture.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> captions(const PatchFolderList& list)
{
    std::vector<std::string> names;
    for (const PatchListEntry& entry : list.entries()) {
        names.push_back(entry.caption);
    }
    return names;
}

TEST(PatchFolderList, ListsTheParentThenFoldersThenPatchFilesEachSortedWithoutRegardToCase)
{
    test::TempDir folder;
    for (const char* name : { "b.OKP", "a.okp", "C.okp", "notes.txt", "okp", ".hidden.okp" }) {
        test::touch(folder / name);
    }
    fs::create_directory(folder / "sub");
    fs::create_directory(folder / "Alpha");
    fs::create_directory(folder / "folder.okp");
    ASSERT_EQ(mkfifo((folder / "pipe.okp").c_str(), 0600), 0); // reading must not block on it
    fs::create_symlink(folder / "gone.okp", folder / "dead.okp");
    fs::create_symlink(folder / "a.okp", folder / "linked.okp");

    const PatchFolderList list = PatchFolderList::read(folder.path() / "sub" / "..");

    EXPECT_EQ(captions(list),
        (std::vector<std::string> { " Up one level", "Alpha", "folder.okp", "sub", "a.okp", "b.OKP",
            "C.okp", "linked.okp" }));
    EXPECT_EQ(list.folder(), folder.path());
    EXPECT_TRUE(list.readable());
    EXPECT_EQ(list.problem(), "");
    EXPECT_EQ(list.firstPatchOffset(), 4U);
    EXPECT_EQ(list.patchAt(4), folder / "a.okp");
    EXPECT_EQ(list.patchAt(2), std::nullopt) << "a folder is no patch, whatever its name";
    EXPECT_EQ(list.patchAt(8), std::nullopt);
}

TEST(PatchFolderList, TheOffsetIsTheFirstPatchThatStillExistsOrTheLengthWhenNoneDoes)
{
    test::TempDir folder;
    fs::create_directory(folder / "sub");
    test::touch(folder / "first.okp");
    test::touch(folder / "second.okp");
    const PatchFolderList list = PatchFolderList::read(folder.path());
    ASSERT_EQ(list.size(), 4U);
    EXPECT_EQ(list.firstPatchOffset(), 2U);

    fs::remove(folder / "first.okp");
    EXPECT_EQ(list.firstPatchOffset(), 3U);
    fs::remove(folder / "second.okp");
    EXPECT_EQ(list.firstPatchOffset(), 4U);
}

TEST(PatchFolderList, AFolderThatCannotBeReadListsOnlyTheParentAndSaysWhy)
{
    test::TempDir folder;
    const PatchFolderList list = PatchFolderList::read(folder / "missing");
    EXPECT_FALSE(list.readable());
    EXPECT_EQ(captions(list), std::vector<std::string> { " Up one level" });
    EXPECT_NE(list.problem().find("missing"), std::string::npos) << list.problem();
    EXPECT_EQ(list.firstPatchOffset(), 1U);
}

TEST(PatchFolderList, AHugeFolderIsCutShortAndSaysSo)
{
    test::TempDir folder;
    for (std::size_t n = 0; n <= PatchFolderList::kMaxListed; ++n) {
        test::touch(folder / (std::to_string(n) + ".okp"));
    }
    const PatchFolderList list = PatchFolderList::read(folder.path());
    EXPECT_EQ(list.size(), PatchFolderList::kMaxListed + 1);
    EXPECT_FALSE(list.problem().empty());
}

} // namespace
} // namespace oskel
