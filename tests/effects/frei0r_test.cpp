#include <gtest/gtest.h>

#include "host_fixture.h"
#include "support/temp_dir.h"

namespace oskel::test {
namespace {

const std::filesystem::path kSystemFrei0r = "/usr/lib/frei0r-1";

// Debian's frei0r filters through the host, from a folder of a few of them.
class Frei0rTest : public HostFixture {
protected:
    void SetUp() override
    {
        for (const char* file : { "invert0r.so", "bluescreen0r.so", "addition.so" }) {
            if (!std::filesystem::exists(kSystemFrei0r / file)) {
                GTEST_SKIP() << "frei0r-plugins is not installed";
            }
            std::filesystem::copy_file(kSystemFrei0r / file, folder / file);
        }
        host = std::make_unique<EffectHost>(performance, loader,
            EffectFolders { { kOurPlugins }, { kOurMixer }, { folder.path() } });
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            performance.slot(slot).Loaded = true;
            performance.slot(slot).ClipWidth = kWidth;
            performance.slot(slot).ClipHeight = kHeight;
        }
        host->ScanPlugins();
    }
    static constexpr int kWidth = 6; // not a multiple of 8: padded for the filter
    static constexpr int kHeight = 3;
    TempDir folder;
};

TEST_F(Frei0rTest, FiltersAreListedAfterOursMarkedAndMixersLeftOut)
{
    const PluginList& list = host->plugins();
    const int invert = list.indexOf("invert0r.so");
    ASSERT_GT(invert, list.indexOf("RgbShift.so"));
    EXPECT_EQ(list.shownName(invert), "invert0r.so (frei0r)");
    EXPECT_EQ(list.indexOf("addition.so"), 0) << "a mixer of two frames is no filter";
}

TEST_F(Frei0rTest, TheFrei0rInvertGivesTheSamePixelsAsOurs)
{
    const auto frame = pattern(kWidth, kHeight);
    load("invert0r.so", 1);
    load("Invert.so", 2);
    ASSERT_TRUE(host->shown(1).active);
    const auto theirs = process(1, frame, kWidth, kHeight);
    EXPECT_EQ(theirs, inverted(frame));
    EXPECT_EQ(theirs, process(2, frame, kWidth, kHeight));
    host->RunDownPluginSlot(1);
    EXPECT_EQ(host->debugStatus(), "Status: normal");
}

TEST_F(Frei0rTest, AColourTakesThreePlacesANumberAndASwitchOneEach)
{
    load("bluescreen0r.so", 1);
    const EffectShown shown = host->shown(1);
    ASSERT_EQ(shown.parameterCount, 5);
    EXPECT_EQ(shown.names[0], "1 - Color R");
    EXPECT_EQ(shown.names[2], "3 - Color B");
    EXPECT_EQ(shown.names[3], "4 - Distance");
    EXPECT_EQ(shown.names[4], "5 - Invert");
    EXPECT_TRUE(host->setParameter(1, 4, 0.75f));
    EXPECT_EQ(host->OKPgetParam(1, 4), 1.0f) << "a switch is on or off";
    EXPECT_EQ(host->shown(1).displays[4], "on");
    EXPECT_TRUE(host->setParameter(1, 4, 0.25f));
    EXPECT_EQ(host->shown(1).displays[4], "off");
    EXPECT_TRUE(host->setParameter(1, 1, 0.25f));
    EXPECT_FLOAT_EQ(host->OKPgetParam(1, 1), 0.25f);
    EXPECT_TRUE(host->setParameter(1, 3, 0.75f));
    EXPECT_NEAR(host->OKPgetParam(1, 3), 0.75f, 1e-6);
    EXPECT_EQ(host->OKPgetParam(1, 5), -1.0f);
    const auto frame = pattern(kWidth, kHeight);
    EXPECT_EQ(process(1, frame, kWidth, kHeight).size(), frame.size());
}

} // namespace
} // namespace oskel::test
