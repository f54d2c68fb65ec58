// The secondary output: where it goes collapsed and expanded, the custom rectangle, a monitor
// that was unplugged, and the place kept for the settings file.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/secondary_output.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

using secondary_output::Monitor;
using secondary_output::Monitors;

// A 1920 x 1080 primary monitor and a 1024 x 768 projector to its right.
const Monitors kTwoMonitors { { { 0, 0, 1920, 1080 }, true }, { { 1920, 0, 1024, 768 }, false } };

TEST(SecondaryOutputLayout, CollapsedSitsAtTheTopLeftOfTheMainWindowsMonitor)
{
    EXPECT_EQ(
        secondary_output::collapsedPlace(kTwoMonitors, 1), (ScreenRect { 1920, 0, 300, 156 }));
    EXPECT_EQ(secondary_output::collapsedPlace(kTwoMonitors, -1), (ScreenRect { 0, 0, 300, 156 }))
        << "an unknown monitor: the primary one";
    EXPECT_EQ(secondary_output::collapsedPlace(kTwoMonitors, 7), (ScreenRect { 0, 0, 300, 156 }));
    EXPECT_EQ(secondary_output::collapsedPlace({}, 0), (ScreenRect { 0, 0, 300, 156 }));
}

TEST(SecondaryOutputLayout, ExpandedFillsTheMonitorThatHoldsThePosition)
{
    const struct {
        ScreenPoint position;
        int monitor;
        bool told;
    } cases[] = {
        { { 10, 10 }, 0, false }, { { 1920, 0 }, 1, false }, // the projector's first column
        { { 2943, 767 }, 1, false }, // its last pixel
        { { 2944, 10 }, 1, true }, // beyond every monitor: the first that is not primary
        { { 500, 900 }, 0, false },
        { { 2000, 900 }, 1, true }, // below the projector, in no monitor
    };
    for (const auto& each : cases) {
        const secondary_output::Placement placed
            = secondary_output::monitorPlace(kTwoMonitors, each.position);
        EXPECT_EQ(placed.monitor, each.monitor) << each.position.x << ", " << each.position.y;
        EXPECT_EQ(placed.area, kTwoMonitors[std::size_t(each.monitor)].area);
        EXPECT_EQ(!placed.problem.empty(), each.told);
    }
    const Monitors onlyPrimary { { { 0, 0, 1280, 720 }, true } };
    EXPECT_EQ(secondary_output::monitorPlace(onlyPrimary, { 1920, 0 }).monitor, 0);
    EXPECT_LT(secondary_output::monitorPlace({}, { 0, 0 }).monitor, 0) << "no monitor at all";
}

TEST(SecondaryOutputLayout, CustomRectanglesAreTakenCutOrRefused)
{
    const struct {
        std::int64_t left, top, width, height;
        std::optional<ScreenRect> area;
        std::string message;
    } cases[] = {
        { 1280, 96, 1024, 576, ScreenRect { 1280, 96, 1024, 576 }, "" },
        { 0, 0, 0, 600, std::nullopt,
            "The output's width and height must both be more than 0: it was not changed." },
        { 0, 0, 800, -1, std::nullopt,
            "The output's width and height must both be more than 0: it was not changed." },
        { 5000, 0, 800, 600, std::nullopt,
            "The output rectangle lies off every monitor: it was not changed." },
        { -900, -700, 800, 600, std::nullopt,
            "The output rectangle lies off every monitor: it was not changed." },
        // Off the projector's lower edge but on the primary monitor: fine as it is.
        { 1800, 700, 300, 300, ScreenRect { 1800, 700, 300, 300 }, "" },
        { 2500, 600, 1000, 1000, ScreenRect { 2500, 600, 444, 480 },
            "The output rectangle reached beyond the desktop: it was cut to 2500, 600, 444 x "
            "480." },
        { -100, -100, 4000000000, 4000000000, ScreenRect { 0, 0, 2944, 1080 },
            "The output rectangle reached beyond the desktop: it was cut to 0, 0, 2944 x 1080." },
    };
    for (const auto& each : cases) {
        const secondary_output::CustomRect checked = secondary_output::checkCustomRect(
            kTwoMonitors, each.left, each.top, each.width, each.height);
        EXPECT_EQ(checked.area, each.area) << each.left << ", " << each.top;
        EXPECT_EQ(checked.message, each.message);
    }
}

TEST(SecondaryOutputLayout, TheDialogShowsTheKeptRectangleOrTheWholeDesktop)
{
    EXPECT_EQ(secondary_output::customFields(kTwoMonitors, {}), (ScreenRect { 0, 0, 2944, 1080 }));
    SecondaryOutputPlace kept;
    kept.customLeft = 1280;
    kept.customTop = 96;
    kept.customRight = 2304;
    kept.customBottom = 672;
    EXPECT_EQ(
        secondary_output::customFields(kTwoMonitors, kept), (ScreenRect { 1280, 96, 1024, 576 }));
    kept.customRight = 1280; // an empty rectangle from the file: refused when used
    EXPECT_FALSE(secondary_output::storedCustomRect(kTwoMonitors, kept).area.has_value());
}

class FakeWindow : public SecondaryOutput::Window {
public:
    secondary_output::Monitors monitors() const override { return screens; }
    int mainWindowMonitor() const override { return 0; }
    ScreenPoint position() const override { return at; }
    void showExpanded(const ScreenRect& area) override
    {
        shown.push_back(area);
        at = { area.left, area.top };
    }
    void showCollapsed(const ScreenRect& area, std::string_view text) override
    {
        shown.push_back(area);
        heading = text;
        at = { area.left, area.top };
    }
    void tell(std::string_view message) override { told.emplace_back(message); }

    Monitors screens = kTwoMonitors;
    ScreenPoint at;
    std::vector<ScreenRect> shown;
    std::string heading;
    std::vector<std::string> told;
};

class SecondaryOutputTest : public ::testing::Test {
protected:
    SecondaryOutputTest() { performance.options().display.displayOption = 1; }

    SecondaryOutputPlace& kept() { return performance.options().display.secondary; }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    FakeWindow window;
    SecondaryOutput output { performance, window };
    const ScreenRect projector = kTwoMonitors[1].area;
};

TEST_F(SecondaryOutputTest, ExpandsWhereTheWindowWasMovedAndTabBringsItBack)
{
    output.start({});
    EXPECT_FALSE(output.expanded());
    EXPECT_EQ(window.heading, "Secondary Ouput Display");
    window.at = { 2100, 50 }; // the performer drags the small window onto the projector

    output.expand();
    EXPECT_TRUE(output.expanded());
    EXPECT_EQ(window.shown.back(), projector);
    EXPECT_TRUE(performance.options().display.secondaryExpanded);
    EXPECT_EQ(kept().monitor, 1);
    EXPECT_EQ(kept().left, 1920);
    EXPECT_FALSE(kept().useCustomMode);

    output.toggle();
    EXPECT_FALSE(output.expanded());
    EXPECT_EQ(window.shown.back(), (ScreenRect { 0, 0, 300, 156 }));
    EXPECT_FALSE(performance.options().display.secondaryExpanded);

    output.toggle();
    EXPECT_EQ(window.shown.back(), projector) << "the last monitor, not the collapsed window's";

    output.collapse();
    output.expand(); // the button: the monitor the small window is on
    EXPECT_EQ(window.shown.back(), kTwoMonitors[0].area);
    EXPECT_EQ(kept().monitor, 0);
    EXPECT_TRUE(window.told.empty());
}

TEST_F(SecondaryOutputTest, StartsExpandedAsKeptAndTellsOnceWhenItsMonitorIsGone)
{
    performance.options().display.secondaryExpanded = true;
    kept().left = 1920;
    kept().top = 0;
    window.screens = { kTwoMonitors[0] }; // the projector was unplugged

    output.start({});
    EXPECT_TRUE(output.expanded());
    EXPECT_EQ(window.shown.back(), kTwoMonitors[0].area);
    ASSERT_EQ(window.told.size(), 1u);
    EXPECT_EQ(window.told[0],
        "The monitor the secondary output was on is not connected: it is shown on monitor 1 "
        "instead.");

    output.collapse();
    output.toggle();
    EXPECT_EQ(window.told.size(), 1u) << "told once";
}

TEST_F(SecondaryOutputTest, CustomRectangleIsKeptAndABadOneLeavesTheOutputAsItWas)
{
    output.start({});
    EXPECT_TRUE(output.expandCustom(1280, 96, 1024, 576));
    EXPECT_EQ(window.shown.back(), (ScreenRect { 1280, 96, 1024, 576 }));
    EXPECT_TRUE(kept().useCustomMode);
    EXPECT_EQ(kept().customRight, 2304);
    EXPECT_EQ(kept().customBottom, 672);

    const std::size_t shownBefore = window.shown.size();
    EXPECT_FALSE(output.expandCustom(10, 10, 0, 100));
    EXPECT_FALSE(output.expandCustom(9000, 9000, 100, 100));
    EXPECT_EQ(window.shown.size(), shownBefore);
    EXPECT_EQ(window.told.size(), 2u);
    EXPECT_EQ(kept().customRight, 2304);

    output.toggle();
    output.toggle();
    EXPECT_EQ(window.shown.back(), (ScreenRect { 1280, 96, 1024, 576 }))
        << "Tab: the rectangle again";

    output.expand(); // the monitor button leaves custom mode
    EXPECT_FALSE(kept().useCustomMode);
}

TEST_F(SecondaryOutputTest, AKeptRectangleOffEveryMonitorExpandsOverAMonitor)
{
    performance.options().display.secondaryExpanded = true;
    kept().useCustomMode = true;
    kept().customLeft = 1920;
    kept().customRight = 2944;
    kept().customBottom = 768;
    window.screens = { kTwoMonitors[0] };

    output.start({});
    EXPECT_TRUE(output.expanded());
    EXPECT_EQ(window.shown.back(), kTwoMonitors[0].area);
    EXPECT_FALSE(window.told.empty());
}

TEST_F(SecondaryOutputTest, AFailedSelfTestChangesOnlyTheHeading)
{
    DrawingSelfTests failed;
    failed.secondaryMonitorPassed = false;
    output.start(failed);
    EXPECT_EQ(window.heading, "Secondary Ouput Display (Only available on Primary Monitor)");
    output.expand();
    EXPECT_TRUE(output.expanded()) << "expanding is still possible";
}

TEST_F(SecondaryOutputTest, OtherOutputModesHaveNoSecondaryOutput)
{
    for (const int mode : { 0, 2 }) {
        performance.options().display.displayOption = mode;
        output.start({});
        output.toggle();
        output.expand();
        EXPECT_FALSE(output.expandCustom(0, 0, 100, 100));
        EXPECT_TRUE(window.shown.empty()) << mode;
    }
}

} // namespace
} // namespace oskel
