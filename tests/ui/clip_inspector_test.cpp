// The clip inspector on the real main window: what each control sends, what it shows when
// the record changes elsewhere, its boxes' numeric input, and its look at the working sizes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "core/control_table.h"
#include "ui/clip_inspector_widget.h"
#include "ui/clip_preview.h"
#include "ui/in_out_bar.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

constexpr int kSlot = 1;

std::int32_t entryIndex(std::string_view item)
{
    const auto found = findControl("Slot1", item);
    return found ? static_cast<std::int32_t>(found->index) : -1;
}

class ClipInspectorWindowTest : public WindowsTest {
protected:
    void SetUp() override
    {
        WindowsTest::SetUp();
        pretendLoaded(kSlot);
        performance.slot(kSlot).FileName = RefString("/clips/dancer.avi");
        instrument.controls.inspector().showAVIinfo(kSlot);
        settle();
        events.sent.clear();
    }

    ClipInspectorWidget& inspector() { return windows.mainWindow().inspector(); }
    TSlotEvent lastSent() const { return events.sent.empty() ? TSlotEvent {} : events.sent.back(); }
};

TEST_F(ClipInspectorWindowTest, ShowingASlotFillsTheHeadingAndFramesItsPanelOnly)
{
    EXPECT_EQ(find<QLabel>("lClipInspector").text(), "Clip Q - dancer.avi");
    EXPECT_EQ(find<QLabel>("lClipActualSize").text(), "320 x 240");
    EXPECT_TRUE(windows.mainWindow().grid().panel(kSlot).framed());
    pretendLoaded(2);
    Q_EMIT windows.mainWindow().grid().panel(2).clicked(2); // a click on the grid
    settle();
    EXPECT_FALSE(windows.mainWindow().grid().panel(kSlot).framed());
    EXPECT_TRUE(windows.mainWindow().grid().panel(2).framed());
    EXPECT_EQ(performance.globals().selectedSlot, 2);
}

// One table over the faders: the event or setting each sends, with the converted value; then
// the record changed elsewhere shows in the fader without its handler sending anything.
TEST_F(ClipInspectorWindowTest, FadersSendConvertedValuesAndFollowTheRecord)
{
    struct Case {
        const char* fader;
        int position;
        TSlotEvent sent;
        std::string_view item; // the setting changed elsewhere
        std::int32_t elsewhere; // its value in the table's units
        int shown; // the fader's position for it
    };
    const Case cases[] = {
        { "tbWidth", 200, { 23, 200, 0, kSlot }, "Width", 300, 300 },
        { "tbSize", 900, { 18, 900, 0, kSlot }, "Size", 700, 700 },
        { "tbLuma", 500, { 20, 500, 0, kSlot }, "LumaKeyLevel", 100, 100 },
        { "tbLumaBlend", 60, { 35, 60, 0, kSlot }, "LumaBlendLevel", 90, 90 },
        { "tbOpacity", 128, { 34, 128, 0, kSlot }, "Transparency", 30, 30 },
        { "tbVolume", 50, { 31, -602, 0, kSlot }, "Volume", -2000, 10 },
        { "tb3DSize", -40, { 42, 25, entryIndex("Size3D"), kSlot }, "Size3D", 2000, 8 },
        { "tbXRot", 35, { 42, 3500, entryIndex("XRotationSpeed"), kSlot }, "XRotationSpeed", -1000,
            -10 },
        { "tbHorzTiles", 4, { 42, 4, entryIndex("HorizontalTiles"), kSlot }, "HorizontalTiles", 6,
            6 },
        { "tbSpacing", 25, { 42, 2500, entryIndex("TileSpacing"), kSlot }, "TileSpacing", 4000,
            40 },
        { "tbSpeed", 22050, { 3, 22050, 0, kSlot }, "Frequency", 30000, 30000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fader);
        QSlider& fader = find<QSlider>(c.fader);
        events.sent.clear();
        fader.setValue(c.position);
        ASSERT_FALSE(events.sent.empty());
        const TSlotEvent sent = events.sent.front();
        EXPECT_EQ(sent.Code, c.sent.Code);
        EXPECT_EQ(sent.Value, c.sent.Value);
        EXPECT_EQ(sent.Value2, c.sent.Value2);
        EXPECT_EQ(sent.Slot, c.sent.Slot);

        setControl(processor, performance, *findControl("Slot1", c.item), c.elsewhere);
        events.sent.clear();
        settle(3 * InstrumentWindows::kRefreshMs);
        EXPECT_EQ(fader.value(), c.shown);
        EXPECT_TRUE(events.sent.empty()) << "showing a value sends nothing back";
    }
}

TEST_F(ClipInspectorWindowTest, ButtonsSetTheirSettingAndGoOutWhenRefused)
{
    click("cbChop");
    EXPECT_TRUE(performance.slot(kSlot).Chop);
    click("bSwapRB");
    EXPECT_EQ(performance.slot(kSlot).ColourSwapMode, 2);
    EXPECT_TRUE(find<QAbstractButton>("bSwapRB").isChecked());
    EXPECT_FALSE(find<QAbstractButton>("bSwapOff").isChecked());
    click("bAdditive");
    EXPECT_TRUE(performance.slot(kSlot).Burn);
    EXPECT_FALSE(find<QAbstractButton>("bNormal").isChecked());

    // Without a stencil file there is nothing to switch on.
    click("cbStencilEnable");
    EXPECT_FALSE(performance.slot(kSlot).StencilEnabled);
    EXPECT_FALSE(find<QAbstractButton>("cbStencilEnable").isChecked());

    performance.slot(kSlot).ClipWidth = 200; // too narrow for 3D
    instrument.controls.inspector().showAVIinfo(kSlot);
    EXPECT_FALSE(find<QAbstractButton>("cbEnable3D").isEnabled());

    find<QComboBox>("cbClipSizePresets").activated(3);
    EXPECT_EQ(performance.slot(kSlot).Right - performance.slot(kSlot).Left, 320);
    EXPECT_EQ(find<QComboBox>("cbClipSizePresets").currentIndex(), 0) << "back to its title";
}

// Every box is changed through the numeric input box; what is typed reaches the engine only
// when the box takes it, and the box then shows the value in force.
TEST_F(ClipInspectorWindowTest, BoxesAskForNumbersAndRefuseBadOnes)
{
    struct Case {
        const char* box;
        const char* typed;
        bool invalid; // "Sorry, invalid value"
        std::string shown; // the box afterwards
    };
    const Case cases[] = {
        { "ebWidth", "-20", true, "384" },
        { "ebWidth", "abc", true, "384" },
        { "ebWidth", "", true, "384" },
        { "ebWidth", "99999999999", true, "384" },
        { "ebLeft", "-20", false, "-20" },
        { "ebLuma", "300", false, "300" },
        { "ebLuma", "900", false, "300" }, // out of its range: the level in force
        { "ebVolume", "602", false, "602" },
        { "ebInPoint", "44100", false, "44100" },
        { "ebOutPoint", "176400", false, "176400" }, // the whole clip: refused silently
        { "ebFrequency", "22050", false, "22050" },
        // Beyond the control table's ranges: the table's limit is what the engine takes.
        { "ebVolume", "20000", false, "10000" },
        { "ebFrequency", "99999999", false, "200000" },
        { "ebFrequency", "5", false, "100" },
        { "ebLuma", "-5", true, "300" },
        { "ebInPoint", "-1", true, "44100" },
        { "ebLeft", "x1", true, "-20" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        dialogs.messages.clear();
        dialogs.typedTexts.push_back(std::string(c.typed));
        QTest::mouseClick(&find<QLineEdit>(c.box), Qt::LeftButton);
        settle();
        EXPECT_EQ(dialogs.textPrompts.back().substr(0, 32), "Numeric Input: Enter a new value");
        EXPECT_EQ(dialogs.messages.empty(), !c.invalid);
        EXPECT_EQ(find<QLineEdit>(c.box).text().toStdString(), c.shown);
    }
    EXPECT_EQ(performance.slot(kSlot).Left, -20);
    EXPECT_EQ(performance.slot(kSlot).LumaKeyLevel, 300);
    EXPECT_EQ(performance.slot(kSlot).Volume, -10000);
    EXPECT_EQ(performance.slot(kSlot).ForwardBuffer->frequency(), 100);
}

TEST_F(ClipInspectorWindowTest, DraggingTheInMarkerSetsTheInPoint)
{
    inspector().tabs->setCurrentIndex(0);
    settle();
    InOutBar& bar = *inspector().inOutBar;
    const int middle = bar.width() / 2;
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(1, bar.height() / 2));
    QTest::mouseMove(&bar, QPoint(middle, bar.height() / 2));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(middle, bar.height() / 2));
    const TPlayAvistruct& slot = performance.slot(kSlot);
    const auto frames = static_cast<double>(slot.Length / slot.BlockAlign);
    EXPECT_NEAR(static_cast<double>(slot.InPoint / slot.BlockAlign), frames / 2.0, frames / 50.0);
    EXPECT_EQ(bar.in(), slot.InPoint / slot.BlockAlign) << "the bar shows the point in force";
    EXPECT_EQ(find<QLineEdit>("ebInPoint").text().toLongLong(), bar.in());
}

// The page in front is told to the control surface, for the current clip.
TEST_F(ClipInspectorWindowTest, TheControlSurfaceFollowsThePageInFront)
{
    instrument.surface.pages.clear();
    inspector().tabs->setCurrentIndex(2);
    inspector().tabs->setCurrentIndex(0);
    EXPECT_EQ(instrument.surface.pages,
        (std::vector<std::pair<std::string, int>> { { "3D", kSlot }, { "Main", kSlot } }));
}

TEST_F(ClipInspectorWindowTest, DoneAndEnterHideTheInspectorAndShowingBringsItBack)
{
    click("bDone");
    EXPECT_FALSE(inspector().isVisible());
    instrument.controls.inspector().showAVIinfo(kSlot);
    EXPECT_TRUE(inspector().isVisible());
    QTest::keyClick(&windows.mainWindow(), Qt::Key_Return);
    EXPECT_FALSE(inspector().isVisible());
}

TEST_F(ClipInspectorWindowTest, AnEmptiedSlotStaysInspectedAndTakesNothing)
{
    performance.UnloadSlot(kSlot, false);
    settle(3 * InstrumentWindows::kRefreshMs);
    events.sent.clear();
    find<QSlider>("tbSpeed").setValue(30000);
    click("cbChop");
    EXPECT_FALSE(performance.slot(kSlot).Chop);
    for (const TSlotEvent& sent : events.sent) {
        EXPECT_NE(sent.Code, event_code::kSetFrequency);
    }
}

// The main clip preview shows the inspected slot: its live picture while it plays, its still
// once it stops; a double-click on it triggers the slot.
TEST_F(ClipInspectorWindowTest, TheMainClipPreviewShowsTheInspectedSlot)
{
    inspector().tabs->setCurrentIndex(0);
    QImage still(96, 72, QImage::Format_RGB888);
    still.fill(Qt::blue);
    windows.mainWindow().grid().panel(kSlot).showThumbnail(still, "still");
    PictureView& preview = inspector().preview->picture();
    const auto shows = [&preview](const QColor& colour) {
        return QTest::qWaitFor([&] {
            return !preview.picture().isNull() && preview.picture().pixelColor(5, 5) == colour;
        });
    };
    EXPECT_TRUE(shows(Qt::blue));

    TPlayAvistruct& record = performance.slot(kSlot);
    record.Playing = true;
    std::vector<std::uint8_t> red(64 * 48 * 3);
    for (std::size_t i = 2; i < red.size(); i += 3) {
        red[i] = 255;
    }
    pretendLoaded(2);
    performance.slot(2).Playing = true;
    std::vector<std::uint8_t> green(64 * 48 * 3);
    for (std::size_t i = 1; i < green.size(); i += 3) {
        green[i] = 255;
    }
    previews.post(2, green.data(), 64, 48); // another slot's picture is not the preview's
    previews.post(kSlot, red.data(), 64, 48);
    EXPECT_TRUE(shows(Qt::red));
    previews.post(2, green.data(), 64, 48);
    settle(3 * InstrumentWindows::kRefreshMs);
    EXPECT_EQ(preview.picture().pixelColor(5, 5), QColor(Qt::red));

    record.Playing = false;
    EXPECT_TRUE(shows(Qt::blue));

    events.sent.clear();
    QTest::mouseDClick(&preview, Qt::LeftButton);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent.front().Code, event_code::kTrigger);
    EXPECT_EQ(events.sent.front().Slot, kSlot);
}

// The main window with the inspector at its working size and on a large screen: no caption of
// a button is cut. Pictures of both are kept next to the test.
TEST_F(ClipInspectorWindowTest, ReadableAtTheWorkingSizeAndOnALargeScreen)
{
    MainWindow& main = windows.mainWindow();
    for (const QSize size : { QSize(1024, 748), QSize(1920, 1080) }) {
        SCOPED_TRACE(size.width());
        main.resize(size);
        settle(50);
        EXPECT_EQ(main.size(), size);
        for (int page = 0; page < inspector().tabs->count(); ++page) {
            inspector().tabs->setCurrentIndex(page);
            settle();
            for (const QAbstractButton* button : inspector().findChildren<QAbstractButton*>()) {
                if (button->isVisible()) {
                    EXPECT_GE(button->width(), button->minimumSizeHint().width())
                        << button->objectName().toStdString();
                    EXPECT_GE(button->height(), button->minimumSizeHint().height())
                        << button->objectName().toStdString();
                }
            }
            main.grab().save(QString("inspector_%1x%2_%3.png")
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(inspector().tabs->tabText(page)));
        }
    }
}

} // namespace
} // namespace oskel::test
