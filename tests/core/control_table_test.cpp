#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

#include "core/control_table.h"
#include "core/event_processor.h"
#include "support/fake_effects.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

constexpr int kLoaded = 1;
constexpr int kEmpty = 5;

// Every entry of the table, set through the real event processor on a loaded slot.
class ControlTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPlayAvistruct& slot = performance.slot(kLoaded);
        slot.Loaded = true;
        slot.FrameCount = 250;
        slot.FrameRate = 25;
        slot.BlockAlign = 4;
        slot.BaseFrequency = 44100;
        slot.Length = 882000;
        slot.OutPoint = 882000;
        slot.ClipWidth = 640;
        slot.ClipHeight = 480;
        slot.StencilMask = std::make_shared<const std::vector<std::uint8_t>>(640 * 480);
        slot.StencilWidth = 640;
        slot.StencilHeight = 480;
        slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(882000, 44100);
        slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(882000, 44100);
    }
    // The slot entries first: a master option set afterwards (constrained movement) would
    // limit the rectangles.
    static std::vector<ControlAddress> everyControl(int slot)
    {
        std::vector<ControlAddress> controls;
        for (const ControlScope scope : { ControlScope::Slot, ControlScope::Master }) {
            for (std::size_t index = 0; index < controlTable().size(); ++index) {
                if (controlTable()[index].scope == scope) {
                    controls.push_back({ index, scope == ControlScope::Slot ? slot : 0 });
                }
            }
        }
        return controls;
    }
    // A value inside the range that is not the one the control holds.
    std::int32_t otherValue(const ControlAddress& control)
    {
        const ControlEntry& entry = control.entry();
        if (entry.kind == ControlKind::Toggle) {
            return readControl(performance, control).value_or(0) != 0 ? 0 : 1;
        }
        // Even, so that a rectangle resized about its centre keeps it exactly.
        const std::int64_t high = std::min(entry.range.high, entry.range.low + 1000);
        std::int64_t value = entry.range.low + (high - entry.range.low) / 2;
        if (value % 2 != 0 && value - 1 >= entry.range.low) {
            --value;
        }
        return static_cast<std::int32_t>(value);
    }
    void set(const ControlAddress& control, std::int32_t value)
    {
        setControl(processor, performance, control, value);
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    test::FakeEffects effects { performance };
};

TEST_F(ControlTableTest, EveryValueSetThroughTheEventProcessorReadsBack)
{
    for (const ControlAddress& control : everyControl(kLoaded)) {
        SCOPED_TRACE(controlName(control));
        if (control.entry().read == nullptr) {
            set(control,
                otherValue(control)); // actions and controller moves: carried out, not read
            continue;
        }
        const std::int32_t value = otherValue(control);
        set(control, value);
        if (control.entry().item == "Right" || control.entry().item == "Bottom") {
            continue; // an edge must lie beyond the opposite one: below
        }
        EXPECT_EQ(readControl(performance, control), value);
    }
}

// The right and bottom edges move on their own, and never onto or past the opposite edge.
TEST_F(ControlTableTest, TheRightAndBottomEdgesKeepTheLeftAndTop)
{
    const auto& record = performance.slots()[1];
    set(*findControl("[Slot1]", "Left"), 40);
    set(*findControl("[Slot1]", "Top"), 30);
    set(*findControl("[Slot1]", "Right"), 141);
    set(*findControl("[Slot1]", "Bottom"), 97);
    EXPECT_EQ(std::tuple(record.Left, record.Top, record.Right, record.Bottom),
        std::tuple(40, 30, 141, 97));
    set(*findControl("[Slot1]", "Right"), 40);
    set(*findControl("[Slot1]", "Bottom"), 12);
    EXPECT_EQ(std::tuple(record.Right, record.Bottom), std::tuple(141, 97)) << "refused";
}

TEST_F(ControlTableTest, ValuesBeyondTheRangeAreTakenAsItsEnd)
{
    for (const ControlAddress& control : everyControl(kLoaded)) {
        const ControlEntry& entry = control.entry();
        // In and out points beyond the clip are refused by the clip's length instead; a
        // rectangle resized about its centre comes out in whole pixels; an edge is held by
        // the opposite one.
        const bool bytePosition = entry.item == "InPoint" || entry.item == "OutPoint";
        const bool extent = entry.item == "Width" || entry.item == "Height" || entry.item == "Right"
            || entry.item == "Bottom" || entry.item == "LeftEdge" || entry.item == "TopEdge";
        if (entry.read == nullptr || bytePosition || extent
            || (entry.kind != ControlKind::Integer && entry.kind != ControlKind::Decimal)) {
            continue;
        }
        SCOPED_TRACE(controlName(control));
        set(control, static_cast<std::int32_t>(entry.range.high + 1000));
        EXPECT_EQ(readControl(performance, control), entry.range.high);
        set(control, static_cast<std::int32_t>(entry.range.low - 1000));
        EXPECT_EQ(readControl(performance, control), entry.range.low);
    }
}

TEST_F(ControlTableTest, AnEmptySlotAndAToggleOutsideZeroAndOneAreRefused)
{
    for (const ControlAddress& control : everyControl(kEmpty)) {
        const ControlEntry& entry = control.entry();
        if (entry.read == nullptr) {
            continue;
        }
        SCOPED_TRACE(controlName(control));
        const auto before = readControl(performance, control);
        if (entry.scope == ControlScope::Slot) {
            set(control, otherValue(control));
            EXPECT_EQ(readControl(performance, control), before) << "the slot holds no clip";
        }
        if (entry.kind == ControlKind::Toggle && entry.write != nullptr) {
            processor.ProcessEvent(
                { event_code::kSetControl, 2, static_cast<std::int32_t>(control.index), kLoaded });
            EXPECT_EQ(readControl(performance, control), before) << "2 is no toggle value";
        }
    }
}

TEST_F(ControlTableTest, ARefusedToggleShowsItsButtonOutAgain)
{
    performance.selectSlot(kLoaded);
    performance.slot(kLoaded).ClipWidth = 200; // too small for 3D
    set(slotControl(controlIndex(ControlScope::Slot, "ThreeD"), kLoaded), 1);
    EXPECT_FALSE(performance.slot(kLoaded).BillBoard);
    ASSERT_NE(ui.lastShown(control::kEnable3D), nullptr);
    EXPECT_EQ(std::get<bool>(*ui.lastShown(control::kEnable3D)), false);
}

// Restarting the beat restarts the playing slots that follow the tempo, and no others.
TEST(SyncBeat, RestartsThePlayingSlotsThatFollowTheTempo)
{
    struct Case {
        int slot;
        bool loaded;
        bool playing;
        bool follows;
        bool restarted;
    };
    const std::vector<Case> cases {
        { 2, true, true, true, true },
        { 4, true, false, true, false },
        { 6, true, true, false, false },
        { 9, false, true, true, false },
        { 16, true, true, true, true },
    };
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    for (const Case& c : cases) {
        TPlayAvistruct& slot = performance.slot(c.slot);
        slot.Loaded = c.loaded;
        slot.Playing = c.playing;
        slot.FollowBPM = c.follows;
    }
    struct Sink : EventSink {
        std::vector<TSlotEvent> events;
        void ProcessEvent(const TSlotEvent& event) override { events.push_back(event); }
    } sink;
    const ControlAddress syncBeat = masterControl("SyncBeat");
    ASSERT_TRUE(syncBeat.entry().write(performance, sink, 0, 0));
    std::vector<int> restarted;
    for (const TSlotEvent& event : sink.events) {
        EXPECT_EQ(event.Code, event_code::kRestart);
        restarted.push_back(event.Slot);
    }
    EXPECT_EQ(restarted, (std::vector<int> { 2, 16 }));
}

// Without an effect host, or before a plug-in is chosen, the effect entries change nothing.
TEST_F(ControlTableTest, TheEffectEntriesGoThroughTheEffectHost)
{
    const auto effect = *findControl("[Slot1]", "Effect");
    const auto parameter = *findControl("[Slot1]", "EffectParameter3");
    const auto wetDry = *findControl("[Slot1]", "EffectWetDry");
    const auto plugin = *findControl("[Slot1]", "EffectPlugin");
    set(plugin, 1);
    set(parameter, 250);
    set(wetDry, 500);
    set(effect, 1);
    EXPECT_EQ(performance.slot(kLoaded).FFfilename.str(), "Fake.so");
    EXPECT_EQ(performance.slot(kLoaded).FFparams[2], 0.25f);
    EXPECT_EQ(performance.slot(kLoaded).FFwetDry, 0.5f);
    EXPECT_EQ(readControl(performance, parameter), 250);

    performance.setEffects(nullptr);
    set(parameter, 750);
    set(effect, 0);
    set(plugin, 0);
    EXPECT_EQ(performance.slot(kLoaded).FFparams[2], 0.25f);
    EXPECT_TRUE(performance.slot(kLoaded).FFenable) << "no host: refused";
    EXPECT_EQ(readControl(performance, plugin), 0);
}

TEST(ControlNames, GroupsAndItemsAreFoundWithoutRegardToCase)
{
    struct Case {
        const char* group;
        const char* item;
        bool found;
        int slot;
    };
    for (const Case& c : {
             Case { "[Master]", "Loop", true, 0 },
             Case { "master", "LOOP", true, 0 },
             Case { "[Slot3]", "LumaKeyLevel", true, 3 },
             Case { "[slot16]", "lumakeylevel", true, 16 },
             Case { "[Slot17]", "LumaKeyLevel", false, 0 },
             Case { "[Slot0]", "LumaKeyLevel", false, 0 },
             Case { "[Slot03]", "LumaKeyLevel", false, 0 },
             Case { "[Slot3]", "Loop", false, 0 }, // a master item in a slot group
             Case { "[Master]", "LumaKeyLevel", false, 0 },
             Case { "[Deck1]", "Loop", false, 0 },
         }) {
        const auto control = findControl(c.group, c.item);
        EXPECT_EQ(control.has_value(), c.found) << c.group << " " << c.item;
        if (control) {
            EXPECT_EQ(control->slot, c.slot);
        }
    }
    EXPECT_EQ(controlName(*findControl("[slot3]", "lumakeylevel")), "[Slot3] LumaKeyLevel");
}

TEST(ControlValues, TextsAreTakenByTheEntrysKindAndRange)
{
    const ControlEntry& luma = findControl("[Slot1]", "LumaKeyLevel")->entry();
    const ControlEntry& tempo = findControl("[Master]", "Tempo")->entry();
    const ControlEntry& loop = findControl("[Master]", "Loop")->entry();
    const ControlEntry& stop = findControl("[Master]", "StopAll")->entry();
    struct Case {
        const ControlEntry& entry;
        const char* text;
        std::int32_t value; // when taken
        const char* problem; // a part of the problem, "" when taken
    };
    for (const Case& c : {
             Case { luma, "200", 200, "" },
             Case { luma, "765", 765, "" },
             Case { luma, "766", 0, "out of range (0..765)" },
             Case { luma, "-1", 0, "out of range" },
             Case { luma, "2.5", 0, "not a whole number" },
             Case { luma, "abc", 0, "not a whole number" },
             Case { luma, "", 0, "not a whole number" },
             Case { tempo, "128.5", 128500, "" },
             Case { tempo, "90", 90000, "" },
             Case { tempo, "0.001", 1, "" },
             Case { tempo, "1.0005", 0, "not a number" },
             Case { tempo, "1.", 0, "not a number" },
             Case { tempo, "-3", 0, "out of range" },
             Case { loop, "1", 1, "" },
             Case { loop, "2", 0, "out of range (0 or 1)" },
             Case { stop, "", 0, "" },
             Case { stop, "1", 0, "takes no value" },
         }) {
        const ParsedControlValue parsed = parseControlValue(c.entry, c.text);
        EXPECT_NE(parsed.problem.find(c.problem), std::string::npos)
            << c.text << ": " << parsed.problem;
        EXPECT_EQ(parsed.problem.empty(), std::string_view(c.problem).empty()) << c.text;
        if (parsed.problem.empty()) {
            EXPECT_EQ(parsed.value, c.value) << c.text;
            EXPECT_EQ(parseControlValue(c.entry, formatControlValue(c.entry, parsed.value)).value,
                parsed.value);
        }
    }
    EXPECT_EQ(formatControlValue(tempo, 128500), "128.5");
    EXPECT_EQ(formatControlValue(tempo, -20), "-0.02");
}

} // namespace
} // namespace oskel
