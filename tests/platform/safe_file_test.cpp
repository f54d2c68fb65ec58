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

} // namespace
} // namespace oskel
