#include <set>

#include <gtest/gtest.h>

#include "playback/transport.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

class RecordingEvents : public EventSink {
public:
    std::vector<TSlotEvent> events;
    void ProcessEvent(const TSlotEvent& event) override { events.push_back(event); }
};

class TransportTest : public ::testing::Test {
protected:
    TPlayAvistruct& load(int number)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.Playing = true;
        slot.Length = 100000;
        slot.BaseFrequency = 44100; // margin 4410 bytes
        slot.InPoint = 20000;
        slot.OutPoint = 80000;
        slot.Looping = true;
        slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(100000, 44100);
        slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(100000, 44100);
        slot.ForwardBuffer->play(true);
        slot.BackwardBuffer->play(true);
        return slot;
    }
    // Runs the rules on a snapshot of the live record, as the frame clock does.
    std::int64_t apply(int number, std::int64_t cursor, bool* ok = nullptr)
    {
        const TPlayAvistruct snapshot = performance.slot(number);
        const bool result = transport.ApplyTransport(snapshot, cursor, number);
        if (ok != nullptr) {
            *ok = result;
        }
        return cursor;
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    RecordingEvents events;
    int syncRestarts = 0;
    std::uint32_t now = 5000;
    Transport transport { performance, events, [this](bool) { ++syncRestarts; },
        [this] { return now; }, 42 };
};

TEST_F(TransportTest, NormalRulesInBothDirections)
{
    struct Case {
        int direction;
        bool looping;
        std::int64_t cursor;
        std::int64_t expected;
        bool stops;
    };
    for (const Case& c : std::vector<Case> {
             { 1, true, 50000, 50000, false }, // inside the selection
             { 1, true, 75589, 75589, false }, // just short of the margin
             { 1, true, 75590, 20000, false }, // out point reached: back to the in point
             { 1, false, 75590, 75590, true }, // played once: stopped
             { 1, true, 15589, 20000, false }, // before the in point: jump in
             { 1, true, 15590, 15590, false },
             { 2, true, 75590, 20000, false }, // in point seen backwards reached: to the out point
             { 2, false, 75590, 75590, true },
             { 2, true, 15589, 20000, false }, // before the out point seen backwards
             { 2, true, 40000, 40000, false },
         }) {
        TPlayAvistruct& slot = load(1);
        slot.Direction = c.direction;
        slot.Looping = c.looping;
        EXPECT_EQ(apply(1, c.cursor), c.expected) << c.direction << " " << c.cursor;
        const auto& buffer = c.direction == 1 ? slot.ForwardBuffer : slot.BackwardBuffer;
        EXPECT_EQ(!buffer->isPlaying(), c.stops) << c.direction << " " << c.cursor;
        if (c.expected != c.cursor) {
            EXPECT_EQ(buffer->playCursor(), c.expected);
        }
    }
    EXPECT_EQ(syncRestarts, 0);
}

TEST_F(TransportTest, AWholeClipSelectionAndAPausedSlotAreLeftAlone)
{
    TPlayAvistruct& slot = load(2);
    slot.InPoint = 0;
    slot.OutPoint = 100000;
    slot.Looping = false;
    EXPECT_EQ(apply(2, 99998), 99998);
    EXPECT_TRUE(slot.ForwardBuffer->isPlaying()) << "the buffer's own end does the work";
    slot.InPoint = 20000;
    slot.Paused = true;
    EXPECT_EQ(apply(2, 1000), 1000);
}

TEST_F(TransportTest, ReSyncRestartsTheSyncSlotsOnEveryJump)
{
    TPlayAvistruct& slot = load(3);
    slot.ReSync = true;
    apply(3, 79000);
    apply(3, 100);
    apply(3, 50000);
    EXPECT_EQ(syncRestarts, 2);
}

TEST_F(TransportTest, AutoAdvanceAtTheOutPointOrWhenTheBufferWrapped)
{
    performance.globals().AutoAdvance = true;
    load(4);
    load(6);
    apply(4, 79000);
    ASSERT_EQ(events.events.size(), 2u);
    EXPECT_EQ(events.events[0].Code, 10);
    EXPECT_EQ(events.events[0].Slot, 4);
    EXPECT_EQ(events.events[1].Code, 0);
    EXPECT_EQ(events.events[1].Slot, 6) << "the next loaded slot";

    events.events.clear();
    now += 300;
    performance.slot(4).AudioPosition = 60000;
    apply(4, 30000); // smaller than last tick's cursor: wrapped
    EXPECT_EQ(events.events.size(), 2u);

    events.events.clear();
    performance.slot(4).Direction = 2;
    now += 300;
    apply(4, 79000);
    EXPECT_TRUE(events.events.empty()) << "backwards play never advances";
}

TEST_F(TransportTest, AdvanceClipChoosesTheNextLoadedSlotWithinItsGuard)
{
    load(16);
    load(2);
    performance.slot(2).Mute = true;
    EXPECT_TRUE(transport.AdvanceClip(16));
    EXPECT_EQ(events.events.back().Slot, 2) << "wraps from 16 past the empty slot 1";
    EXPECT_EQ(events.events.back().Value, -8000) << "a muted slot starts muted";
    EXPECT_EQ(performance.slot(2).AdvanceTick, now);

    events.events.clear();
    now += 199;
    EXPECT_FALSE(transport.AdvanceClip(2)) << "advanced less than 200 ms ago";
    now += 1;
    EXPECT_TRUE(transport.AdvanceClip(2));

    TPlayAvistruct& hidden = load(9);
    hidden.InstallationMode = true;
    hidden.Shown = false;
    EXPECT_FALSE(transport.AdvanceClip(9));

    for (int slot : { 2, 9, 16 }) {
        performance.slot(slot).Loaded = false;
    }
    load(5);
    events.events.clear();
    EXPECT_TRUE(transport.AdvanceClip(5));
    EXPECT_EQ(events.events.back().Slot, 5) << "the only loaded slot starts again";

    performance.globals().RandomAdvance = true;
    load(11);
    std::set<int> chosen;
    for (int i = 0; i < 60; ++i) {
        now += 1000;
        events.events.clear();
        performance.slot(5).AdvanceTick = 0;
        transport.AdvanceClip(5);
        chosen.insert(events.events.back().Slot);
    }
    EXPECT_EQ(chosen, (std::set<int> { 5, 11 })) << "random picks only loaded slots, itself too";
}

TEST_F(TransportTest, ChopJumpsBetweenSegmentsNeverToTheLastBackwards)
{
    TPlayAvistruct& slot = load(7);
    slot.Chop = true; // 8 segments of 7500 bytes from 20000
    EXPECT_EQ(apply(7, 36000), 36000);
    EXPECT_EQ(slot.ChopSegment, 3) << "the segment that holds the cursor";

    std::set<int> forwards;
    for (int i = 0; i < 200; ++i) {
        slot.ChopSegment = 3;
        const std::int64_t cursor = apply(7, 3 * 7500 + 20000 - 4410);
        forwards.insert(slot.ChopSegment);
        EXPECT_EQ(cursor, (slot.ChopSegment - 1) * 7500 + 20000);
        EXPECT_EQ(slot.ForwardBuffer->playCursor(), cursor);
    }
    EXPECT_EQ(forwards.size(), 8u);

    slot.Direction = 2;
    slot.ChopSegment = -1;
    apply(7, 100000 - 36000);
    EXPECT_EQ(slot.ChopSegment, 3);
    std::set<int> backwards;
    for (int i = 0; i < 200; ++i) {
        slot.ChopSegment = 2;
        const std::int64_t cursor = apply(7, 100000 - (7500 + 20000) - 4410);
        backwards.insert(slot.ChopSegment);
        EXPECT_EQ(cursor, 100000 - (slot.ChopSegment * 7500 + 20000));
    }
    EXPECT_EQ(backwards, (std::set<int> { 1, 2, 3, 4, 5, 6, 7 }));
}

TEST_F(TransportTest, ChopAutoAdvancesOnTheEighthSegmentForwardsOnly)
{
    performance.globals().AutoAdvance = true;
    TPlayAvistruct& slot = load(8);
    load(12);
    slot.Chop = true;
    slot.ChopSegment = 8;
    apply(8, 80000);
    ASSERT_FALSE(events.events.empty());
    EXPECT_EQ(events.events.back().Slot, 12);
    EXPECT_NE(slot.ChopSegment, -1) << "and carries on chopping";
}

TEST_F(TransportTest, AnEmptySelectionNeverDividesByZero)
{
    TPlayAvistruct& slot = load(10);
    slot.Chop = true;
    slot.OutPoint = slot.InPoint.load();
    EXPECT_EQ(apply(10, 5000), 5000);
    slot.ChopSegments = 0;
    slot.OutPoint = 90000;
    EXPECT_EQ(apply(10, 5000), 5000);
}

} // namespace
} // namespace oskel
