// The one routine that writes files whole: the settings file and the recordings use it.
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/safe_file.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kNew { 'n', 'e', 'w', '\n' };
const std::vector<std::uint8_t> kOld { 'o', 'l', 'd', '\n' };

TEST(SafeFile, ReplacesTheFileWholeKeepingItsPermissions)
{
    const test::TempDir folder;
    const fs::path file = folder / "settings.ini";
    test::writeFileBytes(file, kOld);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(file).permissions();

    EXPECT_FALSE(writeFileSafely(file, kNew, ".new").has_value());
    EXPECT_EQ(test::readFileBytes(file), kNew);
    EXPECT_EQ(fs::status(file).permissions(), before);
    EXPECT_FALSE(fs::exists(folder / "settings.ini.new"));

    const fs::path fresh = folder / "show.txt";
    EXPECT_FALSE(writeFileSafely(fresh, kNew, ".partial").has_value());
    EXPECT_EQ(test::readFileBytes(fresh), kNew);
}

// A failed write names the file whose step failed, leaves what was there as it was and no
// temporary file of its own.
TEST(SafeFile, AFailedWriteLeavesTheOldFileAndNamesTheFailingStep)
{
    const test::TempDir folder;
    fs::create_directory(folder / "taken.ini.new");
    test::writeFileBytes(folder / "taken.ini", kOld);
    fs::create_directory(folder / "folder.ini");
    struct Case {
        const char* name;
        fs::path file;
        fs::path named; // the file the failure names
        int error;
    };
    for (const Case& c : std::vector<Case> {
             { "no such folder", folder / "missing" / "a.ini", folder / "missing" / "a.ini.new",
                 ENOENT },
             { "the temporary name is a folder", folder / "taken.ini", folder / "taken.ini.new",
                 EISDIR },
             { "the file is a folder", folder / "folder.ini", folder / "folder.ini", EISDIR },
         }) {
        SCOPED_TRACE(c.name);
        const auto failure = writeFileSafely(c.file, kNew, ".new");
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->file, c.named);
        EXPECT_EQ(failure->error, c.error);
    }
    EXPECT_EQ(test::readFileBytes(folder / "taken.ini"), kOld);
    EXPECT_TRUE(fs::is_empty(folder / "taken.ini.new"));
    EXPECT_TRUE(fs::is_directory(folder / "folder.ini"));
    EXPECT_FALSE(fs::exists(folder / "folder.ini.new"));
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

// A name that is a symbolic link keeps its link: the file it leads to is replaced, by a
// temporary file written beside that file.
TEST(SafeFile, ALinkIsWrittenThroughToWhereItLeads)
{
    const test::TempDir folder;
    fs::create_directory(folder / "real");
    const fs::path real = folder / "real" / "settings.ini";
    test::writeFileBytes(real, kOld);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/settings.ini", folder / "settings.ini");
    fs::create_symlink(folder / "settings.ini", folder / "chain.ini"); // a link to the link

    EXPECT_FALSE(writeFileSafely(folder / "chain.ini", kNew, ".new").has_value());
    EXPECT_TRUE(fs::is_symlink(folder / "chain.ini"));
    EXPECT_TRUE(fs::is_symlink(folder / "settings.ini"));
    EXPECT_EQ(test::readFileBytes(real), kNew);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(writeTarget(folder / "chain.ini").file, real);
    for (const char* left : { "chain.ini.new", "settings.ini.new", "real/settings.ini.new" }) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder / left))) << left;
    }

    // A link to a file not there yet makes that file.
    fs::create_symlink("real/show.txt", folder / "show.txt");
    EXPECT_FALSE(writeFileSafely(folder / "show.txt", kNew, ".partial").has_value());
    EXPECT_TRUE(fs::is_symlink(folder / "show.txt"));
    EXPECT_EQ(test::readFileBytes(folder / "real" / "show.txt"), kNew);
}

TEST(SafeFile, NamesThatLeadNowhereAreRefused)
{
    const test::TempDir folder;
    fs::create_symlink("b.ini", folder / "a.ini");
    fs::create_symlink("a.ini", folder / "b.ini");
    const std::string withNul("x.ini\0.txt", 10);
    struct Case {
        const char* name;
        fs::path file;
        int error;
    };
    for (const Case& c : std::vector<Case> {
             { "links round in a circle", folder / "a.ini", ELOOP },
             { "a NUL byte, which would cut the name short", folder / withNul, EINVAL },
         }) {
        SCOPED_TRACE(c.name);
        const auto failure = writeFileSafely(c.file, kNew, ".new");
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->file, c.file);
        EXPECT_EQ(failure->error, c.error);
    }
    EXPECT_FALSE(fs::exists(folder / "x.ini"));
    EXPECT_FALSE(fs::exists(folder / "x.ini.new"));
    EXPECT_TRUE(fs::is_symlink(folder / "a.ini"));
}

} // namespace
} // namespace oskel
