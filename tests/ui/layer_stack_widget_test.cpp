// The layer stack widget on the real main window: it follows the layer stack, a press selects
// a slot, and a layer dropped on another reorders the stack through the control table.
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "ui/clip_inspector_widget.h"
#include "ui/layer_stack_widget.h"
#include "ui/main_window.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

class LayerStackWidgetTest : public WindowsTest {
protected:
    VideoLayers& layers() { return windows.mainWindow().layers(); }

    // A layer dragged from one entry and dropped on another, as the toolkit delivers it.
    void dropLayer(int dragged, int target)
    {
        QMimeData data;
        data.setData(VideoLayers::kLayerMimeType, QByteArray::number(dragged));
        QWidget& entry = layers().layer(target);
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&entry, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&entry, &dropped);
        settle();
    }

    // A file from the file manager dropped on a slot's entry.
    void dropFile(const std::filesystem::path& file, int target)
    {
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(file.string())) });
        QWidget& entry = layers().layer(target);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&entry, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&entry, &dropped);
        settle();
    }

    // The slots from the top of the column down, as the performer sees them.
    std::vector<int> slotsTopDown()
    {
        std::vector<int> slots;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            slots.push_back(slot);
        }
        std::sort(slots.begin(), slots.end(),
            [this](int a, int b) { return layers().layer(a).y() < layers().layer(b).y(); });
        return slots;
    }
};

TEST_F(LayerStackWidgetTest, DraggingTheTopLayerOntoTheBottomOneMakesItTheBottomLayer)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        pretendLoaded(slot);
    }
    performance.bringToFront(5);
    settle(3 * InstrumentWindows::kRefreshMs);
    EXPECT_EQ(slotsTopDown().front(), 5) << "the widget follows the layer stack";

    dropLayer(5, 1);
    const LayerStack::Order expected { 5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };
    EXPECT_EQ(performance.layerStack().order(), expected);
    EXPECT_EQ(layers().order(), expected);
    EXPECT_EQ(slotsTopDown().back(), 5);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent.back().Code, event_code::kSetControl) << "the reorder is recorded";

    dropLayer(3, 4); // onto its neighbour: the two swap
    EXPECT_EQ(performance.layerStack().positionOf(3), 5);
    EXPECT_EQ(performance.layerStack().positionOf(4), 4);
}

TEST_F(LayerStackWidgetTest, BadDropsChangeNothing)
{
    pretendLoaded(2);
    pretendLoaded(3);
    dropLayer(2, 2); // onto itself
    dropLayer(0, 3); // a drag that carries no layer
    performance.globals().loadingBusy = true; // a patch is loading
    dropLayer(2, 3);
    performance.globals().loadingBusy = false;
    dropLayer(4, 3); // an empty slot has no layer to move
    EXPECT_EQ(performance.layerStack().order(), LayerStack::initialOrder());
}

// A clip dropped on a layer loads into that layer's slot, as a drop on the grid does; junk,
// a vanished file and a drop while a patch loads leave the slot empty.
TEST_F(LayerStackWidgetTest, AClipDroppedOnALayerLoadsIntoItsSlot)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip(
        "layer-drop.avi", joinArgs({ testPicture("64x48", "25", "1"), { "-c:v", "mjpeg" } }));
    TempDir folder;
    const auto junk = folder / "junk.avi";
    std::ofstream(junk) << "not a clip";
    dropFile(junk, 6);
    dropFile(folder / "vanished.avi", 6);
    EXPECT_FALSE(performance.slot(6).Loaded);
    performance.globals().loadingBusy = true;
    dropFile(clip, 7);
    EXPECT_FALSE(performance.slot(7).Loaded) << "nothing loads while another load runs";
    performance.globals().loadingBusy = false;

    dropFile(clip, 5);
    EXPECT_TRUE(performance.slot(5).Loaded);
    EXPECT_EQ(performance.slot(5).FileName.str(), clip.string());
    EXPECT_FALSE(windows.mainWindow().grid().panel(5).still().isNull());
}

TEST_F(LayerStackWidgetTest, APressSelectsTheSlotAndShowsItsBars)
{
    pretendLoaded(7);
    performance.slot(7).LumaKeyLevel = 165;
    performance.slot(7).AlphaLevel = 56;
    QTest::mousePress(&layers().layer(7), Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseRelease(&layers().layer(7), Qt::LeftButton, {}, QPoint(30, 10));
    settle(3 * InstrumentWindows::kRefreshMs);
    EXPECT_EQ(layers().selected(), 7);
    EXPECT_TRUE(layers().layer(7).framed());
    EXPECT_EQ(windows.mainWindow().inspector().shown().slot, 7);
    EXPECT_EQ(layers().layer(7).lumaBar(), 600);
    EXPECT_EQ(layers().layer(7).opacityBar(), 200);
    EXPECT_EQ(layers().layer(8).lumaBar(), 0) << "an empty slot shows both bars empty";
    EXPECT_EQ(layers().layer(8).opacityBar(), 0);
    EXPECT_EQ(performance.layerStack().order(), LayerStack::initialOrder())
        << "a press without moving changes no order";
}

TEST_F(LayerStackWidgetTest, CaptionsFollowTheGridsCaptionMode)
{
    EXPECT_EQ(layers().layer(1).caption(), "Q");
    EXPECT_EQ(layers().layer(3).caption(), "W");
    performance.options().ui.MIDIKeyLetters = true;
    performance.options().midi.MIDIguitairMode = true;
    windows.grid().showCaptions();
    EXPECT_EQ(layers().layer(3).caption(), "F#");
    EXPECT_EQ(layers().layer(1).caption(), "E");
}

} // namespace
} // namespace oskel::test
