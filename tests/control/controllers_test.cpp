// The instrument's controllers without windows, and with the windows' side attached.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/controllers.h"
#include "platform/manual_clock_sound_device.h"
#include "sources/fake_media_source.h"
#include "support/fake_playback.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

// One side of the windows, remembering what reached it.
class RecordingWindows : public KeyboardTargets,
                         public SlotGridTargets,
                         public FullScreenDisplay::Output {
public:
    std::vector<std::string> calls;
    void openClipDialog(int slot) override { calls.push_back("dialog " + std::to_string(slot)); }
    void requestClose() override { calls.emplace_back("close"); }
    void showFullScreen(bool on) override { calls.push_back(on ? "full" : "window"); }
};

class RecordingInspector : public ClipInspectorPort {
public:
    void showAVIinfo(int slot) override { inspected = slot; }
    int inspectedSlot() const override { return inspected; }
    int inspected = 0;
};

class ControllersTest : public ::testing::Test {
protected:
    // What each controller does to a window: Alt+F4, Alt and a slot's key, a click on an
    // empty panel, the "Maximize" button.
    void actOnWindows()
    {
        controls.keyboard().FormKeyDown(Key::F4, { false, true, false });
        controls.keyboard().FormKeyDown(Key::W, { false, true, false });
        controls.grid().panelClick(5);
        controls.fullScreen().toggle();
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::RecordingEventSink events;
    ManualClockSoundDevice device;
    AudioEngine audio { device, ui, [] { return std::optional<std::int64_t>(); } };
    test::FakePlayback playback;
    SourceInterface sources { [](SourceSystemKind) {
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    } };
    ClipLoader loader { performance, sources, audio, playback };
    Tempo tempo { performance, events };
    Controllers controls { { performance, events, tempo, loader, playback, [](bool) {},
        [] { return 0u; }, [] { return 44100; } } };
    RecordingWindows windows;
};

TEST_F(ControllersTest, ActOnTheWindowsOnlyWhileTheyAreAttached)
{
    actOnWindows();
    EXPECT_TRUE(controls.fullScreen().isOn()) << "the mode is kept without an output window";

    controls.attachWindows(windows, windows, windows);
    actOnWindows();
    EXPECT_EQ(
        windows.calls, (std::vector<std::string> { "close", "dialog 3", "dialog 5", "window" }));

    controls.detachWindows();
    windows.calls.clear();
    actOnWindows();
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(ControllersTest, TheGridShowsSlotsInTheAttachedInspectorElseKeepsTheSelection)
{
    performance.slot(2).Loaded = true;
    performance.slot(4).Loaded = true;
    controls.grid().panelClick(2);
    EXPECT_EQ(controls.inspector().inspectedSlot(), 2) << "the selection-only inspector";
    EXPECT_EQ(performance.globals().selectedSlot, 2);

    RecordingInspector window;
    controls.attachInspector(&window);
    controls.grid().panelClick(4);
    EXPECT_EQ(window.inspected, 4);
    EXPECT_EQ(controls.inspector().inspectedSlot(), 4);

    controls.attachInspector(nullptr);
    EXPECT_EQ(controls.inspector().inspectedSlot(), 2);
}

} // namespace
} // namespace oskel
