#include <gtest/gtest.h>

#include "control/layer_stack_layout.h"

namespace oskel {
namespace {

using namespace layer_stack_layout;

TEST(LayerStackLayout, TheMainWindowsColumnPutsTheTopLayerAtTheTop)
{
    const auto places = entryPlaces(80, 754, Margins { 4, 10, 36 });
    EXPECT_EQ(places.at(15), (Box { 4, 10, 72, 44 })) << "position 16, the top layer";
    EXPECT_EQ(places.at(0), (Box { 4, 700, 72, 44 })) << "position 1, the bottom layer";
    EXPECT_EQ(places.at(14).top, 56) << "a gap of 2 between entries";
    // A shorter column overlaps its entries rather than dropping any.
    const auto short_ = entryPlaces(80, 400, Margins { 4, 10, 36 });
    EXPECT_LT(short_.at(0).top, 400);
    EXPECT_EQ(short_.at(15).top, 10);
}

TEST(LayerStackLayout, ThumbnailsShrinkToFitAShortColumn)
{
    EXPECT_EQ(fittingThumbHeight(754, 10, 36), 36);
    EXPECT_EQ(fittingThumbHeight(710, 10, 36), 35);
    EXPECT_EQ(fittingThumbHeight(100, 10, 36), 8) << "never below 8";
    const auto places = entryPlaces(80, 710, Margins { 4, 10, fittingThumbHeight(710, 10, 36) });
    EXPECT_LE(places.at(0).top + places.at(0).height, 710);
}

TEST(LayerStackLayout, AnEntryHasItsCaptionAndTwoBarsBesideTheThumbnail)
{
    const EntryParts parts = entryParts(72, 44, 36);
    EXPECT_EQ(parts.thumbnail, (Box { 20, 4, 48, 36 }));
    EXPECT_EQ(parts.caption, (Box { 4, 4, 16, 15 }));
    EXPECT_EQ(parts.opacityBar, (Box { 4, 19, 8, 21 }));
    EXPECT_EQ(parts.lumaBar, (Box { 12, 19, 8, 21 }));
}

TEST(LayerStackLayout, CaptionsAndBars)
{
    EXPECT_EQ(captionPixelHeight("Q"), 15);
    EXPECT_EQ(captionPixelHeight("F#"), 10);
    struct Case {
        int level;
        int opacity; // the opacity bar for AlphaLevel = level
        int luma; // the luma bar for LumaKeyLevel = level
    };
    for (const Case& c : { Case { 0, 256, 765 }, Case { 256, 0, 509 }, Case { 765, 0, 0 },
             Case { -5, 256, 765 }, Case { 9999, 0, 0 } }) {
        SCOPED_TRACE(c.level);
        EXPECT_EQ(opacityBarPosition(c.level), c.opacity);
        EXPECT_EQ(lumaBarPosition(c.level), c.luma);
    }
}

} // namespace
} // namespace oskel
