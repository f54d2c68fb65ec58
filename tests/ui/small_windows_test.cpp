// The preferences window (F4) and the help window (F1) on the offscreen platform.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>

#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/outputs_group.h"
#include "ui/performance_window.h"
#include "ui/preferences_window.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

// Linux input-event codes of the keys used here.
constexpr int kF1 = 59;
constexpr int kF4 = 62;
constexpr int kTab = 15;
constexpr int kM = 50;

using SmallWindowsTest = WindowsTest;

TEST_F(SmallWindowsTest, F4StopsTheShowAndOpensThePreferencesWithTheOptionsInForce)
{
    performance.globals().ConstrainMovement = true;
    pressKey(kF4);
    settle();
    PreferencesWindow& window = windows.preferencesWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(events.codes().front(), event_code::kStopEverySlot);
    const auto constrain = static_cast<std::size_t>(preferences_form::Toggle::ConstrainMovement);
    EXPECT_TRUE(window.toggles.at(constrain)->isChecked());

    events.sent.clear();
    QTest::mouseClick(window.toggles.at(constrain), Qt::LeftButton);
    EXPECT_FALSE(performance.globals().ConstrainMovement);
    EXPECT_EQ(events.codes(), std::vector<int> { event_code::kSetControl }) << "recorded";
    const auto softSwap = static_cast<std::size_t>(preferences_form::Toggle::SoftSwap);
    QTest::mouseClick(window.toggles.at(softSwap), Qt::LeftButton);
    EXPECT_TRUE(performance.options().display.SoftSwap);

    window.keyMaps.at(1)->click(); // AZERTY
    EXPECT_EQ(performance.globals().keyLetters.upperLetter(1), 'A');
}

TEST_F(SmallWindowsTest, DoneStoresTheNumbersAndWritesTheDisplayKeys)
{
    pressKey(kF4);
    settle();
    PreferencesWindow& window = windows.preferencesWindow();
    window.beatsPerClip->setText("6");
    window.jogAmount->setText("fast");
    window.displayOptions.at(1)->click();
    QTest::keyClick(&window, Qt::Key_Return);
    settle();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(performance.globals().DefaultBeatsPerClip, 6);
    EXPECT_EQ(performance.globals().JogAmount, 5.0) << "not a number: 5";
    EXPECT_EQ(instrument.settings.readInteger("Display", "displayOption", -1), 1);
    EXPECT_EQ(instrument.settings.readInteger("Display", "compositionHeight", -1), 288);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(
        dialogs.messages[0], "Your new display options will take effect when you restart Oskel");

    pressKey(kF4);
    settle();
    QTest::mouseClick(window.doneButton, Qt::LeftButton);
    settle();
    EXPECT_EQ(dialogs.messages.size(), 1u) << "nothing changed: no message";
    EXPECT_EQ(instrument.oscChanges, 0);
}

// OSC is switched on, moved to another port and opened to the network from the preferences;
// the port follows at once.
TEST_F(SmallWindowsTest, TheOscChoicesTakeEffectOnDone)
{
    pressKey(kF4);
    settle();
    PreferencesWindow& window = windows.preferencesWindow();
    EXPECT_FALSE(window.oscEnabled->isChecked());
    EXPECT_EQ(window.oscPort->value(), 9000);
    window.oscEnabled->click();
    window.oscPort->setValue(9100);
    window.oscAllInterfaces->click();
    QTest::mouseClick(window.doneButton, Qt::LeftButton);
    settle();
    const OscOptions& osc = performance.options().osc;
    EXPECT_TRUE(osc.enabled);
    EXPECT_EQ(osc.port, 9100);
    EXPECT_TRUE(osc.allInterfaces);
    EXPECT_EQ(instrument.oscChanges, 1);
}

// The stream's switch goes through the control table at once; its address is taken on Done
// only when it can be streamed to, otherwise the performer is told why and the old one stays.
TEST_F(SmallWindowsTest, TheStreamAndCameraChoicesAreCheckedAndTaken)
{
    performance.options().stream.url = "udp://10.0.0.2:5000";
    pressKey(kF4);
    settle();
    OutputsGroup& outputs = *windows.preferencesWindow().outputs;
    EXPECT_EQ(outputs.streamUrl->text(), "udp://10.0.0.2:5000");
    EXPECT_EQ(outputs.cameraDevice->currentText(), "Oskel 3");
    events.sent.clear();
    outputs.streamOutput->click();
    outputs.cameraOutput->click();
    EXPECT_TRUE(performance.options().stream.enabled);
    EXPECT_TRUE(performance.options().camera.enabled);
    EXPECT_EQ(
        events.codes(), (std::vector<int> { event_code::kSetControl, event_code::kSetControl }))
        << "recorded";

    outputs.streamUrl->setText("file:///tmp/show.ts");
    outputs.cameraDevice->setCurrentText("Stage camera");
    QTest::mouseClick(windows.preferencesWindow().doneButton, Qt::LeftButton);
    settle();
    EXPECT_EQ(performance.options().stream.url, "udp://10.0.0.2:5000");
    EXPECT_EQ(performance.options().camera.device, "Stage camera");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // Only the address's scheme, machine and port are ever shown, so no secret in it shows.
    EXPECT_EQ(dialogs.messages[0],
        "The stream address \"file://\" must start with udp://, srt://, rtmp:// or rtmps://");

    pressKey(kF4);
    settle();
    outputs.streamUrl->setText("srt://10.0.0.3:9000");
    QTest::mouseClick(windows.preferencesWindow().doneButton, Qt::LeftButton);
    settle();
    EXPECT_EQ(performance.options().stream.url, "srt://10.0.0.3:9000");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(SmallWindowsTest, F1OpensTheHelpOnTheOverviewAndEveryPageLoads)
{
    pressKey(kF1);
    settle();
    HelpWindow& help = windows.helpWindow();
    EXPECT_TRUE(help.isVisible());
    QTextBrowser& browser = help.browser();
    EXPECT_EQ(browser.documentTitle(), "Overview");
    for (const char* page :
        { "keys", "mouse", "inspector", "midi", "patches", "effects", "rendering" }) {
        SCOPED_TRACE(page);
        browser.setSource(QUrl(QString("qrc:/help/%1.html").arg(page)));
        EXPECT_FALSE(browser.documentTitle().isEmpty());
        EXPECT_GT(browser.toPlainText().size(), 200);
    }
}

TEST_F(SmallWindowsTest, ThePerformanceMonitorShowsTheFiguresOfTheTicks)
{
    for (const int slot : { 1, 2, 3, 4 }) {
        pretendLoaded(slot);
        performance.slot(slot).Playing = true;
    }
    windows.mainWindow().performanceMonitor->trigger();
    PerformanceWindow& monitor = windows.performanceWindow();
    EXPECT_TRUE(monitor.isVisible());
    for (int tick = 0; tick < 25; ++tick) {
        instrument.figures.add(4, 2, tick % 2 == 0 ? 6 : 8);
    }
    settle(1100); // the monitor takes its figures once a second
    EXPECT_GT(monitor.figure(0).text().toDouble(), 10.0) << "ticks per second";
    EXPECT_EQ(monitor.figure(1).text(), "4.0");
    EXPECT_EQ(monitor.figure(2).text(), "2.0");
    EXPECT_EQ(monitor.figure(3).text(), "7.0");
    EXPECT_EQ(monitor.figure(4).text(), "4") << "slots playing";
    EXPECT_EQ(monitor.figure(5).text(), "-") << "nothing streamed";
    instrument.outputCounts = "Stream: 50 sent, 3 dropped";
    settle(1100);
    EXPECT_EQ(monitor.figure(5).text(), "Stream: 50 sent, 3 dropped");
}

TEST_F(SmallWindowsTest, TabAndMWithEveryWindowClosedDoNothingHarmful)
{
    pretendLoaded(1);
    performance.selectSlot(1);
    pressKey(kTab);
    pressKey(kM);
    settle();
    EXPECT_TRUE(windows.mainWindow().isVisible());
}

} // namespace
} // namespace oskel::test
