// The full-screen display mode of the output.
#include <vector>

#include <gtest/gtest.h>

#include "control/full_screen_display.h"
#include "core/control_names.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

class RecordingOutputWindow : public FullScreenDisplay::Output {
public:
    void showFullScreen(bool on) override { shown.push_back(on); }
    std::vector<bool> shown;
};

class FullScreenDisplayTest : public ::testing::Test {
protected:
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::FakePlayback playback;
    RecordingOutputWindow window;
    std::vector<bool> restarts;
    FullScreenDisplay display { performance, playback, window,
        [this](bool hide) { restarts.push_back(hide); } };
};

TEST_F(FullScreenDisplayTest, EachSwitchStandsByKeepsTheSlotsAndRestartsTheSyncSlots)
{
    performance.slot(3).Loaded = true;
    performance.slot(3).Playing = true;

    display.toggle();
    EXPECT_TRUE(display.isOn());
    EXPECT_EQ(window.shown, std::vector<bool> { true });
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(performance.globals().standby);
    ASSERT_NE(ui.lastShown(control::kStandby), nullptr);
    EXPECT_EQ(*ui.lastShown(control::kStandby), ControlValue { true });
    EXPECT_EQ(ui.statusTexts.back(), "Standby");
    EXPECT_TRUE(performance.slot(3).Playing) << "standing by for the switch stops no slot";
    EXPECT_EQ(restarts, std::vector<bool> { false });

    performance.globals().standby = false;
    display.toggle();
    EXPECT_FALSE(display.isOn());
    EXPECT_EQ(window.shown, (std::vector<bool> { true, false }));
    EXPECT_EQ(playback.stops, 2);
    EXPECT_TRUE(performance.globals().standby);
    EXPECT_EQ(restarts, (std::vector<bool> { false, false }));
}

TEST_F(FullScreenDisplayTest, EnteringOrLeavingTwiceActsOnce)
{
    display.leave();
    EXPECT_TRUE(window.shown.empty());
    display.enter();
    display.enter();
    EXPECT_EQ(window.shown, std::vector<bool> { true });
    display.leave();
    display.leave();
    EXPECT_EQ(window.shown, (std::vector<bool> { true, false }));
    EXPECT_EQ(playback.stops, 2);
}

} // namespace
} // namespace oskel
