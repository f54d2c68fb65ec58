#include <atomic>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "core/performance.h"
#include "core/stencil_loader.h"
#include "support/bmp_writer.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

class EventLog {
public:
    void add(std::string entry)
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(std::move(entry));
    }
    std::vector<std::string> entries() const
    {
        std::lock_guard guard(m_lock);
        return m_entries;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_entries;
};

class LoggingSource : public ClipSource {
public:
    LoggingSource(EventLog& log, bool failToClose)
        : m_log(log)
        , m_fail(failToClose)
    {
    }
    void close() override
    {
        m_log.add("source closed");
        if (m_fail) {
            throw std::runtime_error("decoder refused to close");
        }
    }

private:
    EventLog& m_log;
    bool m_fail;
};

class FakeThreads : public PlaybackThreads {
public:
    std::atomic<bool> audioThread = true;
    std::atomic<bool> frameThread = true;
    bool audioThreadExists() const override { return audioThread; }
    bool frameThreadRunning() const override { return frameThread; }
};

class RecordingEvents : public EventSink {
public:
    std::vector<TSlotEvent> events;
    void ProcessEvent(const TSlotEvent& event) override { events.push_back(event); }
};

class PerformanceTest : public ::testing::Test {
protected:
    TPlayAvistruct& load(int slotNumber, bool failToClose = false)
    {
        TPlayAvistruct& slot = performance.slot(slotNumber);
        slot.Loaded = true;
        slot.FrameCount = 50;
        slot.FrameRate = 25;
        slot.ClipWidth = 4;
        slot.ClipHeight = 2;
        slot.FileName = "clip.avi";
        slot.Source = std::make_shared<LoggingSource>(log, failToClose);
        return slot;
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    EventLog log;
};

TEST_F(PerformanceTest, UnloadWaitsForTheFramePassWhileServingItsCallsOntoTheMainThread)
{
    FakeThreads threads;
    performance.setPlaybackThreads(&threads);
    TPlayAvistruct& slot = load(5);
    slot.Playing = true;
    slot.FrameAck = true;

    // A frame thread whose pass includes a blocking call onto the main thread: the unload
    // can only finish if it keeps serving that call.
    std::atomic<bool> stop = false;
    std::thread frameThread([&] {
        while (!stop) {
            if (!slot.FrameAck) {
                mainThread.invoke([&] { log.add("snapshot copied on the main thread"); });
                log.add("pass finished");
                slot.FrameAck = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    performance.UnloadSlot(5, false);
    stop = true;
    frameThread.join();

    const std::vector<std::string> expected { "snapshot copied on the main thread", "pass finished",
        "source closed" };
    EXPECT_EQ(log.entries(), expected);
    EXPECT_FALSE(slot.Loaded);
    EXPECT_FALSE(slot.Playing);
    EXPECT_TRUE(slot.FileName.empty());
    EXPECT_EQ(slot.Source, nullptr);
    EXPECT_EQ(ui.blankedThumbnails, std::vector<int> { 5 });
}

TEST_F(PerformanceTest, UnloadDoesNotWaitWhenNoFrameThreadWillAnswer)
{
    FakeThreads threads;
    performance.setPlaybackThreads(&threads);
    threads.frameThread = false;
    load(1).FrameAck = false;
    performance.UnloadSlot(1, false); // would hang if it waited
    threads.audioThread = false;
    threads.frameThread = true;
    load(2).FrameAck = false;
    performance.UnloadSlot(2, false);
    EXPECT_EQ(log.entries().size(), 2u);
}

TEST_F(PerformanceTest, AFailedCloseIsRecordedAndSwallowed)
{
    load(3, true);
    EXPECT_NO_THROW(performance.UnloadSlot(3, true));
    EXPECT_EQ(performance.slot(3).LoadResult, 254);
    EXPECT_FALSE(performance.slot(3).Loaded);

    load(4);
    performance.UnloadSlot(4, true);
    EXPECT_EQ(performance.slot(4).LoadResult, 0);
}

TEST_F(PerformanceTest, SelectingMovesTheBlueLetterBackground)
{
    performance.selectSlot(2);
    performance.selectSlot(7);
    performance.selectSlot(17); // ignored
    using Call = test::RecordingUserInterface::SlotColourCall;
    const std::vector<Call> expected { { 2, SlotColour::Blue }, { 2, SlotColour::Black },
        { 7, SlotColour::Blue } };
    EXPECT_EQ(ui.letterBackgrounds, expected);
    EXPECT_EQ(performance.globals().selectedSlot, 7);
}

TEST_F(PerformanceTest, StatusColoursFollowTheStateAndTheLoopOption)
{
    performance.SlotStatusColour(1, SlotState::Stopped);
    performance.SlotStatusColour(1, SlotState::Playing);
    performance.globals().Loop = false;
    performance.SlotStatusColour(1, SlotState::Playing);
    performance.SlotStatusColour(1, SlotState::SyncMuted);
    performance.SlotStatusColour(1, SlotState::SyncShown);
    using Call = test::RecordingUserInterface::SlotColourCall;
    const std::vector<Call> expected { { 1, SlotColour::Black }, { 1, SlotColour::Green },
        { 1, SlotColour::Red }, { 1, SlotColour::White }, { 1, SlotColour::Lime } };
    EXPECT_EQ(ui.statusColours, expected);
}

TEST_F(PerformanceTest, CentringSendsAMoveForEveryLoadedSlot)
{
    RecordingEvents events;
    performance.setEventSink(&events);
    TPlayAvistruct& slot = load(2);
    slot.Left = 10;
    slot.Top = 20;
    slot.Right = 110;
    slot.Bottom = 70;
    load(9);
    performance.CentreAllSlots();
    ASSERT_EQ(events.events.size(), 2u);
    EXPECT_EQ(events.events[0].Code, 16);
    EXPECT_EQ(events.events[0].Slot, 2);
    EXPECT_EQ(events.events[0].Value, 142);
    EXPECT_EQ(events.events[0].Value2, 119);
    EXPECT_EQ(events.events[1].Slot, 9);
    EXPECT_EQ(events.events[1].Value, 0);
}

TEST_F(PerformanceTest, SnapshotSharesStringsAndHandlesWithTheLiveRecords)
{
    TPlayAvistruct& slot = load(6);
    slot.Volume = -123;
    slot.CurrentFrame = 17;
    performance.copyLiveToSnapshot();
    const TPlayAvistruct& copy = performance.snapshot()[6];
    EXPECT_EQ(copy.Volume, -123);
    EXPECT_EQ(copy.CurrentFrame, 17);
    EXPECT_EQ(copy.Source, slot.Source);
    EXPECT_EQ(&copy.FileName.str(), &slot.FileName.str()) << "the text is shared, not copied";
}

class StencilTest : public PerformanceTest {
protected:
    std::filesystem::path writeBmp(const std::string& name, int bits,
        const std::vector<std::uint8_t>& pixels, int width, int height)
    {
        const auto path = folder / name;
        test::writeBytesToFile(path, test::makeBmp(width, height, bits, pixels));
        return path;
    }
    test::TempDir folder;
};

TEST_F(StencilTest, RefusedFilesGiveTheirMessageAndLeaveTheSlotAlone)
{
    load(1);
    const auto text = folder / "mask.png";
    test::writeBytesToFile(text, std::vector<std::uint8_t>(10, 0));
    const auto truncated = folder / "short.BMP";
    auto bytes = test::makeBmp(4, 2, 8, std::vector<std::uint8_t>(8, 1));
    bytes.resize(bytes.size() - 3);
    test::writeBytesToFile(truncated, bytes);
    const auto colour = writeBmp("colour.bmp", 24, std::vector<std::uint8_t>(24, 1), 4, 2);

    struct Case {
        std::filesystem::path path;
        std::string message;
    };
    for (const Case& c : std::vector<Case> { { text, "Sorry - only Bitmap(*.bmp) files allowed" },
             { truncated, "Failed to Load Bitmap" },
             { folder / "missing.bmp", "Failed to Load Bitmap" },
             { colour, "Sorry - only greyscale bitmaps allowed" } }) {
        ui.messages.clear();
        EXPECT_FALSE(performance.LoadStencil(1, c.path)) << c.path;
        EXPECT_EQ(ui.messages, std::vector<std::string> { c.message }) << c.path;
    }
    EXPECT_EQ(performance.slot(1).StencilMask, nullptr);
    EXPECT_TRUE(performance.slot(1).StencilFileName.empty());
}

TEST_F(StencilTest, AGreyBitmapBecomesTheMaskAtTheClipSize)
{
    load(1); // 4 x 2 frames
    const std::vector<std::uint8_t> pixels { 0, 10, 20, 30, 40, 50, 60, 70 };
    const auto sameSize = writeBmp("same.bmp", 8, pixels, 4, 2);
    ASSERT_TRUE(performance.LoadStencil(1, sameSize));
    const TPlayAvistruct& slot = performance.slot(1);
    ASSERT_NE(slot.StencilMask, nullptr);
    EXPECT_EQ(*slot.StencilMask, pixels);
    EXPECT_EQ(slot.StencilWidth, 4);
    EXPECT_EQ(slot.StencilHeight, 2);
    EXPECT_EQ(slot.StencilFileName, sameSize.string());
    ASSERT_EQ(ui.controls.size(), 1u);
    EXPECT_EQ(ui.controls[0].control, kStencilNameControl);

    // Twice the clip's size: every mask byte is the mean of a 2 x 2 block.
    std::vector<std::uint8_t> big(8 * 4);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>((i / 8 < 2 ? 100 : 200) + (i % 8 < 4 ? 0 : 20));
    }
    ASSERT_TRUE(performance.LoadStencil(1, writeBmp("big.bmp", 8, big, 8, 4)));
    const std::vector<std::uint8_t> expected { 100, 100, 120, 120, 200, 200, 220, 220 };
    EXPECT_EQ(*slot.StencilMask, expected);
}

TEST_F(StencilTest, AnEmptySlotTakesNoStencil)
{
    const auto path = writeBmp("same.bmp", 8, std::vector<std::uint8_t>(8, 3), 4, 2);
    EXPECT_FALSE(performance.LoadStencil(1, path));
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace oskel
