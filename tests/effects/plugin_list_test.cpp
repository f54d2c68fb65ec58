#include <fstream>

#include <gtest/gtest.h>

#include "effects/plugin_list.h"
#include "host_fixture.h"
#include "support/temp_dir.h"

namespace oskel::test {
namespace {

// The scan lists plug-ins by folder, then by name, once per name, and passes over the rest.
TEST(PluginListTest, TheScanIsStableAndSkipsWhatIsNoPlugin)
{
    SystemLibraryLoader loader;
    TempDir mine;
    TempDir theirs;
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", mine / "b.so");
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", mine / "A.SO");
    std::filesystem::copy_file(kTestPlugins / "NoEntry.so", mine / "c.so");
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", mine / "d.dll");
    std::ofstream(mine / "e.so") << "text";
    std::filesystem::create_directory(mine / "f.so");
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", theirs / "b.so");
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", theirs / "a.so");

    const auto list = PluginList::scan({ mine.path(), mine / "missing", theirs.path() }, loader);
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.name(0), "No Plugin Loaded");
    EXPECT_EQ(list.name(1), "A.SO");
    EXPECT_EQ(list.name(2), "b.so");
    EXPECT_EQ(list.file(2)->path, mine / "b.so") << "the first folder's file of a name";
    EXPECT_EQ(list.name(3), "a.so");
    EXPECT_EQ(list.indexOf("b.so"), 2);
    EXPECT_EQ(list.indexOf("B.so"), 0) << "patches name plug-ins exactly";
    EXPECT_EQ(list.file(0), nullptr);
    EXPECT_EQ(list.file(4), nullptr);
    EXPECT_EQ(list.name(9), "");
    const auto shorter = list.without("b.so");
    EXPECT_EQ(shorter.size(), 3);
    EXPECT_EQ(shorter.name(2), "a.so");
}

TEST(PluginListTest, AnEmptyListHasOnlyNoPlugin)
{
    SystemLibraryLoader loader;
    const auto list = PluginList::scan({}, loader);
    EXPECT_EQ(list.size(), 1);
    EXPECT_FALSE(list.pluginsAvailable());
}

TEST(PluginTextTest, TextsAreBoundedAndUnreadableOnesEmpty)
{
    const char endless[20] = { 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n',
        'o', 'p', 'q', 'r', 's', 't' };
    EXPECT_EQ(readPluginText(endless), "abcdefghijklmnop");
    EXPECT_EQ(readPluginText("Gain\tx\x01"), "Gain?x?");
    EXPECT_EQ(readPluginText(reinterpret_cast<const void*>(0x10)), "");
    EXPECT_EQ(readPluginText(nullptr), "");
}

} // namespace
} // namespace oskel::test
