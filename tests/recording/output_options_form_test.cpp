#include <gtest/gtest.h>

#include "recording/output_options_form.h"
#include "support/performance_with_controls.h"

namespace oskel {
namespace {

namespace form = output_options_form;

TEST(OutputOptionsFormTest, ShowsTheOptionsWithTheChosenDeviceAmongTheListedOnes)
{
    test::PerformanceWithControls state;
    state.performance.options().stream = { true, "udp://10.0.0.2:5000" };
    state.performance.options().camera.device = "Oskel 3";
    form::Contents shown = form::contents(state.performance, { "Integrated Camera", "Oskel 3" });
    EXPECT_TRUE(shown.streaming);
    EXPECT_EQ(shown.streamUrl, "udp://10.0.0.2:5000");
    EXPECT_FALSE(shown.camera);
    EXPECT_EQ(shown.cameraDevices, (std::vector<std::string> { "Integrated Camera", "Oskel 3" }));
    shown = form::contents(state.performance, { "Integrated Camera" });
    EXPECT_EQ(shown.cameraDevices, (std::vector<std::string> { "Oskel 3", "Integrated Camera" }))
        << "the chosen device is offered even while it is not there";
}

// The performance's sink passes settings of the control table on to a real event processor:
// the values change only through it.
TEST(OutputOptionsFormTest, TheSwitchesGoThroughTheControlTable)
{
    test::PerformanceWithControls state;
    form::streamClicked(state.events, state.performance, true);
    form::cameraClicked(state.events, state.performance, true);
    EXPECT_TRUE(state.performance.options().stream.enabled);
    EXPECT_TRUE(state.performance.options().camera.enabled);
    form::cameraClicked(state.events, state.performance, false);
    EXPECT_FALSE(state.performance.options().camera.enabled);
}

TEST(OutputOptionsFormTest, AnAddressIsTakenOnlyWhenItCanBeStreamedTo)
{
    struct Case {
        std::string entered;
        std::string kept; // the address afterwards
        std::string problem; // part of the message; empty: none
    };
    const std::string before = "udp://10.0.0.2:5000";
    const std::vector<Case> cases {
        { "  srt://10.0.0.3:9000 ", "srt://10.0.0.3:9000", "" },
        { "", "", "" },
        { "file:///etc/passwd", before, "must start with udp://" },
        { "udp://host:1 2", before, "is not an address" },
        { "rtmp://user:secret@/app", before, "names no machine" },
    };
    for (const Case& c : cases) {
        test::PerformanceWithControls state;
        state.performance.options().stream.url = before;
        const auto problem = form::done(state.performance, { c.entered, "Oskel 3" });
        EXPECT_EQ(state.performance.options().stream.url, c.kept) << c.entered;
        if (c.problem.empty()) {
            EXPECT_FALSE(problem) << *problem;
        } else {
            ASSERT_TRUE(problem) << c.entered;
            EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
        }
    }
}

TEST(OutputOptionsFormTest, ABlankDeviceNameKeepsTheOneBefore)
{
    test::PerformanceWithControls state;
    form::done(state.performance, { "", "  Stage camera " });
    EXPECT_EQ(state.performance.options().camera.device, "Stage camera");
    form::done(state.performance, { "", "   " });
    EXPECT_EQ(state.performance.options().camera.device, "Stage camera");
}

} // namespace
} // namespace oskel
