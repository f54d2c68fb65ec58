// The secondary output window and the TV-out preview on the offscreen platform: collapsed and
// expanded on the monitor Qt reports, Tab, the custom rectangle, the kept place, the
// self-tests' heading on a surface that cannot draw, and the refused close.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "render/presented_picture.h"
#include "support/failing_gl_surface.h"
#include "ui/custom_coordinates_dialog.h"
#include "ui/output_view.h"
#include "ui/picture_view.h"
#include "ui/preferences_window.h"
#include "ui/secondary_output_window.h"
#include "ui/tv_output_monitor.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

constexpr int kTabKey = 15; // evdev

class SecondaryOutputTest : public WindowsTest {
protected:
    void SetUp() override
    {
        performance.options().display.displayOption = 1;
        keepPlace();
        WindowLinks links = instrument.links(
            previews, [this] { return nowMs; }, [this] { shutDownInstrument(); },
            [this](bool hide) { syncRestarts.push_back(hide); });
        links.secondOutputSurface = &failing;
        links.showSecondOutput = [this](bool shown) { drawn.push_back(shown); };
        links.tvOutPicture = &tvOut;
        windows.bind(std::move(links));
        windows.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&windows.mainWindow()));
        settle();
    }
    // The place the settings file kept, before start-up.
    virtual void keepPlace() { }

    SecondaryOutputWindow& window() { return windows.secondaryOutputWindow(); }
    QRect screenArea() const { return QGuiApplication::primaryScreen()->geometry(); }
    std::string status() { return windows.mainWindow().statusLine().text().toStdString(); }

    // Answers the custom coordinates dialog once it opens.
    void answerCustomDialog(ScreenRect typed, bool ok = true)
    {
        QTimer::singleShot(50, [typed, ok] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Custom Output Coordinates");
            const int values[] = { typed.left, typed.top, typed.width, typed.height };
            const char* const names[] = { "ebLeft", "ebTop", "ebWidth", "ebHeight" };
            for (int index = 0; index < 4; ++index) {
                dialog->findChild<QSpinBox*>(names[index])->setValue(values[index]);
            }
            ok ? dialog->accept() : dialog->reject();
        });
    }

    FailingGlSurface failing;
    PresentedPicture tvOut { 384, 288 };
    std::vector<bool> drawn;
};

TEST_F(SecondaryOutputTest, StartsCollapsedWithTheFailedSelfTestsInItsHeading)
{
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), "Secondary Output");
    EXPECT_TRUE(window().controlsShown());
    EXPECT_EQ(window().heading(), "Secondary Ouput Display (Only available on Primary Monitor)");
    EXPECT_EQ(status(),
        "The secondary output cannot be drawn: its drawing context cannot be made current");
    EXPECT_EQ(window().pos(), screenArea().topLeft());
    EXPECT_EQ(window().size(), QSize(300, 156));
    EXPECT_EQ(find<QLabel>("lbSecDisplay", &window()).text(), window().heading());
    EXPECT_EQ(drawn, std::vector<bool> { false });
    EXPECT_TRUE(dialogs.messages.empty()) << "a failed test changes only the heading";
}

TEST_F(SecondaryOutputTest, TabExpandsOverTheMonitorAndCollapsesAgainKeepingThePlace)
{
    pressKey(kTabKey);
    releaseKey(kTabKey);
    settle();
    EXPECT_TRUE(windows.secondaryOutput().expanded());
    EXPECT_FALSE(window().controlsShown());
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window().geometry(), screenArea());
    EXPECT_EQ(drawn.back(), true);
    const DisplayOptions& display = performance.options().display;
    EXPECT_TRUE(display.secondaryExpanded);
    EXPECT_EQ(display.secondary.monitor, 0);
    EXPECT_EQ(display.secondary.left, screenArea().left());
    // Kept in the settings file at once, under its keys.
    const IniProfile& file = instrument.settings;
    EXPECT_TRUE(file.readBool("Display", "secondary-expanded", false));
    EXPECT_EQ(file.readInteger("Display", "secondary-monitor", -1), 0);
    EXPECT_EQ(file.readInteger("SecDisplayForm", "Left", -1), screenArea().left());

    pressKey(kTabKey);
    releaseKey(kTabKey);
    settle();
    EXPECT_FALSE(windows.secondaryOutput().expanded());
    EXPECT_TRUE(window().controlsShown());
    EXPECT_EQ(window().size(), QSize(300, 156));
    EXPECT_EQ(drawn.back(), false);
    EXPECT_FALSE(display.secondaryExpanded);
    EXPECT_FALSE(instrument.settings.readBool("Display", "secondary-expanded", true));

    performance.options().ui.DisableTAB = true;
    pressKey(kTabKey);
    releaseKey(kTabKey);
    settle();
    EXPECT_FALSE(windows.secondaryOutput().expanded()) << "\"Disable TAB key\"";
}

TEST_F(SecondaryOutputTest, ExpandButtonFillsTheMonitorAndLeavesCustomMode)
{
    performance.options().display.secondary.useCustomMode = true;
    find<QPushButton>("bExpandSecDisplay", &window()).click();
    settle();
    EXPECT_EQ(window().geometry(), screenArea());
    EXPECT_FALSE(performance.options().display.secondary.useCustomMode);
}

TEST_F(SecondaryOutputTest, CustomRectangleFromTheDialogIsUsedAndBadOnesAreRefused)
{
    answerCustomDialog({ 100, 50, 0, 200 });
    find<QPushButton>("bCustomSecDisplay", &window()).click();
    settle(200);
    EXPECT_FALSE(windows.secondaryOutput().expanded());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
        "The output's width and height must both be more than 0: it was not changed.");

    answerCustomDialog({ screenArea().right() + 500, 0, 300, 200 });
    find<QPushButton>("bCustomSecDisplay", &window()).click();
    settle(200);
    EXPECT_FALSE(windows.secondaryOutput().expanded());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(
        dialogs.messages[1], "The output rectangle lies off every monitor: it was not changed.");

    answerCustomDialog({ 100, 50, 320, 200 });
    find<QPushButton>("bCustomSecDisplay", &window()).click();
    settle(200);
    EXPECT_TRUE(windows.secondaryOutput().expanded());
    EXPECT_EQ(window().geometry(), QRect(100, 50, 320, 200));
    const SecondaryOutputPlace& kept = performance.options().display.secondary;
    EXPECT_TRUE(kept.useCustomMode);
    EXPECT_EQ(kept.customRight, 420);
    EXPECT_EQ(kept.customBottom, 250);
    EXPECT_EQ(instrument.settings.readInteger("secondaryDisplayCustom", "right", 0), 420);
    EXPECT_TRUE(instrument.settings.readBool("secondaryDisplayCustom", "useCustomMode", false));
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(SecondaryOutputTest, ThePointerIsHiddenUnlessAskedForAndIgnoredInStandby)
{
    windows.secondaryOutput().toggle();
    settle();
    OutputView& view = window().view();
    // The pointer moving over the output with no button held, as the window system sends it.
    const auto hover = [&view](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, view.mapToGlobal(point), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &move);
    };
    performance.options().display.ShowMouseOverSecDisplay = false;
    hover(QPoint(20, 20));
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    performance.options().display.ShowMouseOverSecDisplay = true;
    hover(QPoint(30, 30));
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);

    // With the pointer hidden a drag moves the selected slot wherever it starts.
    performance.options().display.ShowMouseOverSecDisplay = false;
    pretendLoaded(2);
    performance.slot(2).Playing = true;
    performance.globals().selectedSlot = 2;
    performance.copyLiveToSnapshot();
    const auto drag = [&] {
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseMove(&view, QPoint(80, 60));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(80, 60));
    };
    performance.globals().standby = true;
    drag();
    EXPECT_TRUE(events.sent.empty()) << "standing by: the pointer does nothing";
    performance.globals().standby = false;
    drag();
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent.back().Code, 16);
    EXPECT_EQ(events.sent.back().Slot, 2);
}

TEST_F(SecondaryOutputTest, ClosingItAloneEndsTheProgramInstead)
{
    window().close();
    settle(50);
    EXPECT_EQ(shutDowns, 1);
    EXPECT_FALSE(windows.mainWindow().isVisible());
}

// Expanded when the program last ended, on a monitor that is no longer there.
class SecondaryOutputOnUnpluggedMonitor : public SecondaryOutputTest {
protected:
    void keepPlace() override
    {
        performance.options().display.secondaryExpanded = true;
        performance.options().display.secondary.left = 50000;
        performance.options().display.secondary.top = 0;
        performance.options().display.secondary.monitor = 1;
    }
};

TEST_F(SecondaryOutputOnUnpluggedMonitor, ExpandsOnAMonitorThatExistsAndSaysSoOnce)
{
    EXPECT_TRUE(windows.secondaryOutput().expanded());
    EXPECT_EQ(window().geometry(), screenArea());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
        "The monitor the secondary output was on is not connected: it is shown on monitor 1 "
        "instead.");
    EXPECT_EQ(performance.options().display.secondary.left, screenArea().left());
}

class TvOutPreviewTest : public SecondaryOutputTest {
protected:
    void keepPlace() override { performance.options().display.displayOption = 2; }
};

TEST_F(TvOutPreviewTest, ShowsTheReadBackPictureAndNoSecondaryOutput)
{
    EXPECT_FALSE(window().isVisible());
    TvOutputMonitor& monitor = windows.tvOutputMonitor();
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_EQ(monitor.windowTitle(), "TV Output Monitor");

    tvOut.offer([](std::uint8_t* bgr, std::size_t size) {
        for (std::size_t at = 0; at + 2 < size; at += 3) {
            bgr[at] = 255; // blue
            bgr[at + 1] = 0;
            bgr[at + 2] = at < size / 2 ? 255 : 0; // the upper half magenta
        }
        return true;
    });
    settle(100);
    const QImage& shown = monitor.view().picture();
    ASSERT_EQ(shown.size(), QSize(384, 288));
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(255, 0, 255));
    EXPECT_EQ(shown.pixelColor(10, 280), QColor(0, 0, 255));

    auto& overlay = find<QCheckBox>("cbTvOutOverlay", &windows.preferencesWindow());
    EXPECT_FALSE(overlay.isEnabled());
    EXPECT_TRUE(overlay.toolTip().contains("no video overlay on Linux"));
}

} // namespace
} // namespace oskel::test
