#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/event_processor.h"
#include "playback/tempo.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Keeps the frequency events (code 3) the tempo sends, as (slot, hertz).
class RecordingEventSink : public EventSink {
public:
    struct Frequency {
        int slot;
        std::int32_t hertz;
        bool operator==(const Frequency&) const = default;
    };
    std::vector<Frequency> frequencies;
    int otherEvents = 0;
    EventSink* controls = nullptr; // where settings of the control table go

    void ProcessEvent(const TSlotEvent& event) override
    {
        if (event.Code == event_code::kSetControl && controls != nullptr) {
            controls->ProcessEvent(event);
        } else if (event.Code == 3) {
            frequencies.push_back({ event.Slot, event.Value });
        } else {
            ++otherEvents;
        }
    }
};

std::ostream& operator<<(std::ostream& out, const RecordingEventSink::Frequency& f)
{
    return out << "slot " << f.slot << " at " << f.hertz << " Hz";
}

class TempoTest : public ::testing::Test {
protected:
    // A loaded slot whose selection of 2 s at 44100 Hz 16-bit stereo holds 4 beats: 120 BPM
    // once computed.
    TPlayAvistruct& clip(int number)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.BaseFrequency = 44100;
        slot.BytesPerSecond = 176400;
        slot.Length = 705600;
        slot.InPoint = 0;
        slot.OutPoint = 352800;
        slot.NumberOfBeats = 4;
        slot.FrameRate = 25;
        return slot;
    }
    TPlayAvistruct& follower(int number, int baseFrequency, double clipBpm)
    {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.FollowBPM = true;
        slot.BaseFrequency = baseFrequency;
        slot.ClipBPM = clipBpm;
        return slot;
    }
    std::string shown(std::string_view control) const
    {
        const ControlValue* value = ui.lastShown(control);
        if (value == nullptr || !std::holds_alternative<std::string>(*value)) {
            return "<none>";
        }
        return std::get<std::string>(*value);
    }
    std::vector<std::string> captions() const
    {
        std::vector<std::string> texts;
        for (const auto& call : ui.controls) {
            if (call.control == control::kTapButton) {
                texts.push_back(std::get<std::string>(call.value));
            }
        }
        return texts;
    }
    void tapEvery(std::uint32_t start, std::uint32_t interval, int taps)
    {
        for (int i = 0; i < taps; ++i) {
            tempo.Tap(start + static_cast<std::uint32_t>(i) * interval);
        }
    }
    double& bpm() { return performance.globals().BPM; }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    RecordingEventSink events;
    Tempo tempo { performance, events };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };

    void SetUp() override
    {
        events.controls = &processor;
        processor.setControlChangedHandler(
            [this](const ControlEntry& entry, int slot) { tempo.controlChanged(entry, slot); });
    }
};

using Frequencies = std::vector<RecordingEventSink::Frequency>;

TEST_F(TempoTest, EightTapsSetTheMeanOfTheSevenCumulativeTempos)
{
    struct Case {
        const char* name;
        std::vector<std::uint32_t> times;
        double expected; // NaN: the tempo stays
    };
    const std::uint32_t nearWrap = std::numeric_limits<std::uint32_t>::max() - 1000;
    for (const Case& c :
        std::vector<Case> {
            { "500 ms apart", { 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500 }, 120.0 },
            { "across the tick counter's wrap",
                { nearWrap, nearWrap + 500, nearWrap + 1000, nearWrap + 1500, nearWrap + 2000,
                    nearWrap + 2500, nearWrap + 3000, nearWrap + 3500 },
                120.0 },
            // (60 + 80 + 90 + 96 + 100 + 102.857... + 105) / 7, not 7 beats in 4 s (105).
            { "slowing down", { 0, 1000, 1500, 2000, 2500, 3000, 3500, 4000 },
                633.8571428571429 / 7 },
            { "1200 ms is not yet a pause", { 0, 1200, 2400, 3600, 4800, 6000, 7200, 8400 }, 50.0 },
            { "7 ms apart: 8571 BPM", { 0, 7, 14, 21, 28, 35, 42, 49 }, 60000.0 / 7 },
            { "6 ms apart: 10000 BPM is too fast", { 0, 6, 12, 18, 24, 30, 36, 42 }, kNaN },
            { "all at once", { 5, 5, 5, 5, 5, 5, 5, 5 }, kNaN },
            { "first interval zero", { 5, 5, 505, 1005, 1505, 2005, 2505, 3005 }, kNaN },
        }) {
        Tempo taps(performance, events);
        ui.controls.clear();
        bpm() = 150.0;
        for (const std::uint32_t time : c.times) {
            taps.Tap(time);
        }
        if (std::isnan(c.expected)) {
            EXPECT_EQ(bpm(), 150.0) << c.name;
            EXPECT_EQ(shown(control::kTempo), "<none>") << c.name;
        } else {
            // The tempo is carried to the event processor in thousandths of a beat per minute.
            EXPECT_NEAR(bpm(), c.expected, 0.0005) << c.name;
        }
        EXPECT_EQ(captions(),
            (std::vector<std::string> {
                "Tap 1", "Tap 2", "Tap 3", "Tap 4", "Tap 5", "Tap 6", "Tap 7", "Tap 0" }))
            << c.name;
    }
}

TEST_F(TempoTest, EightTapsHalfASecondApartGiveExactly120AndRetuneTheFollowers)
{
    follower(2, 44100, 150.0);
    tapEvery(1000, 500, 8);
    EXPECT_EQ(bpm(), 120.0);
    EXPECT_EQ(shown(control::kTempo), "120");
    EXPECT_EQ(events.frequencies, (Frequencies { { 2, 35280 } }));
}

TEST_F(TempoTest, APauseOfMoreThan1200MsRestartsTheCount)
{
    bpm() = 150.0;
    tapEvery(0, 500, 5);
    tempo.Tap(2000 + 1300);
    EXPECT_EQ(shown(control::kTapButton), "Tap 1");

    // Had the first five counted, the eighth tap would have come two taps ago.
    tapEvery(3300 + 300, 300, 6);
    EXPECT_EQ(shown(control::kTapButton), "Tap 7");
    EXPECT_EQ(bpm(), 150.0);
    tempo.Tap(3300 + 7 * 300);
    EXPECT_EQ(bpm(), 200.0);
    EXPECT_EQ(shown(control::kTapButton), "Tap 0");
}

TEST_F(TempoTest, FourBeatsOverTwoSecondsAre120AndAFollowerAt150PlaysAt55125Hz)
{
    TPlayAvistruct& slot = clip(3);
    slot.FollowBPM = true;
    performance.globals().selectedSlot = 3;
    bpm() = 150.0;

    ASSERT_TRUE(tempo.ComputeClipTempo(3));
    EXPECT_EQ(slot.ClipBPM, 120.0);
    EXPECT_EQ(slot.ClipDuration, 4.0);
    EXPECT_EQ(slot.SelectionDuration, 2.0);
    EXPECT_EQ(shown(control::kCalculatedBpm), "120");
    EXPECT_EQ(shown(control::kSelectionDuration), "2");
    EXPECT_EQ(shown(control::kFramesPerBeat), "12.5");

    tempo.ApplyFollowTempo(3);
    EXPECT_EQ(events.frequencies, (Frequencies { { 3, 55125 } }));
}

TEST_F(TempoTest, ClipTempoIsOnlyComputedFromBeatsASelectionAndAnAudioRate)
{
    struct Case {
        const char* name;
        std::int32_t beats;
        std::int32_t in;
        std::int64_t out;
        std::int32_t bytesPerSecond;
        bool computed;
        double clipBpm; // 99 when kept
    };
    for (const Case& c : std::vector<Case> {
             { "one beat", 1, 0, 352800, 176400, true, 30.0 },
             { "in point moved", 4, 176400, 352800, 176400, true, 240.0 },
             { "100000 beats", 100000, 0, 176400000, 176400, true, 6000.0 },
             { "100001 beats", 100001, 0, 176400000, 176400, false, 99 },
             { "no beats", 0, 0, 352800, 176400, false, 99 },
             { "negative beats", -4, 0, 352800, 176400, false, 99 },
             { "empty selection", 4, 1000, 1000, 176400, false, 99 },
             { "out before in", 4, 1000, 500, 176400, false, 99 },
             { "out point unset", 4, 0, -1, 176400, false, 99 },
             { "no audio rate", 4, 0, 352800, 0, false, 99 },
             { "negative audio rate", 4, 0, 352800, -176400, false, 99 },
             // Computed, but 10000 BPM or more is not a tempo: the durations still change.
             { "10000 BPM", 10000, 0, 10584000, 176400, true, 99 },
             { "one byte", 4, 0, 1, 176400, true, 99 },
         }) {
        TPlayAvistruct& slot = clip(1);
        slot.NumberOfBeats = c.beats;
        slot.InPoint = c.in;
        slot.OutPoint = c.out;
        slot.BytesPerSecond = c.bytesPerSecond;
        slot.ClipBPM = 99;
        slot.SelectionDuration = -1;
        EXPECT_EQ(tempo.ComputeClipTempo(1), c.computed) << c.name;
        EXPECT_EQ(slot.ClipBPM, c.clipBpm) << c.name;
        if (c.computed) {
            EXPECT_EQ(slot.SelectionDuration, static_cast<double>(c.out - c.in) / c.bytesPerSecond)
                << c.name;
        } else {
            EXPECT_EQ(slot.SelectionDuration, -1) << c.name;
        }
    }
    EXPECT_FALSE(tempo.ComputeClipTempo(0));
    EXPECT_FALSE(tempo.ComputeClipTempo(17));
    EXPECT_TRUE(ui.controls.empty()) << "slot 1 is not the inspected one";
}

TEST_F(TempoTest, OnlyTheWholeSetIsRetunedAtAMillionHertzOrMore)
{
    struct Case {
        double bpm;
        bool single;
        std::int32_t hertz;
    };
    // Base 50000 Hz at 100 BPM: the frequency is 500 Hz per BPM.
    for (const Case& c : std::vector<Case> {
             { 1999.998, true, 999999 },
             { 2000.0, false, 1000000 },
             { 3000.0, false, 1500000 },
             { 1e7, false, std::numeric_limits<std::int32_t>::max() },
         }) {
        follower(1, 50000, 100.0);
        bpm() = c.bpm;
        events.frequencies.clear();
        tempo.ApplyFollowTempo(1);
        EXPECT_EQ(events.frequencies, (c.single ? Frequencies { { 1, c.hertz } } : Frequencies {}))
            << c.bpm;
        events.frequencies.clear();
        tempo.ApplyFollowTempoAll();
        EXPECT_EQ(events.frequencies, (Frequencies { { 1, c.hertz } })) << c.bpm;
    }
}

TEST_F(TempoTest, OnlyLoadedFollowingSlotsWithATempoAreRetuned)
{
    bpm() = 150.0;
    follower(1, 44100, 120.0);
    follower(2, 44100, 120.0).FollowBPM = false;
    follower(3, 44100, 120.0).Loaded = false;
    follower(4, 44100, 0.0);
    follower(5, 100, 0.5); // a tempo below 1 BPM: retuned alone, not with the set
    follower(6, 48000, 150.0);
    follower(7, 44100, 240.0).BaseFrequency = 0;

    tempo.ApplyFollowTempoAll();
    EXPECT_EQ(events.frequencies, (Frequencies { { 1, 55125 }, { 6, 48000 } }));

    events.frequencies.clear();
    for (int slot = 0; slot <= 17; ++slot) {
        tempo.ApplyFollowTempo(slot);
    }
    EXPECT_EQ(events.frequencies, (Frequencies { { 1, 55125 }, { 5, 30000 }, { 6, 48000 } }));
}

TEST_F(TempoTest, ABadTempoRetunesNothingAndShowsAsZero)
{
    struct Case {
        double bpm;
        double shownBpm;
        const char* text;
    };
    for (const Case& c : std::vector<Case> {
             { 0.0, 0.0, "0" },
             { -0.0, 0.0, "0" },
             { -5.0, 0.0, "0" },
             { kNaN, 0.0, "0" },
             { kInf, 0.0, "0" },
             { -kInf, 0.0, "0" },
         }) {
        follower(1, 44100, 120.0);
        follower(2, 44100, 0.5);
        events.frequencies.clear();
        bpm() = c.bpm;
        tempo.ApplyFollowTempo(1);
        tempo.ApplyFollowTempo(2);
        tempo.ApplyFollowTempoAll();
        EXPECT_TRUE(events.frequencies.empty()) << c.bpm;

        tempo.ShowTempo();
        EXPECT_EQ(bpm(), c.shownBpm) << c.bpm;
        EXPECT_FALSE(std::signbit(bpm())) << c.bpm;
        EXPECT_EQ(shown(control::kTempo), c.text) << c.bpm;
        EXPECT_TRUE(events.frequencies.empty()) << c.bpm;
    }
}

TEST_F(TempoTest, AHugeTempoIsShownWholeAndSentAsTheLargestFrequency)
{
    follower(1, 44100, 120.0);
    bpm() = 1e300;
    tempo.ShowTempo();
    EXPECT_EQ(bpm(), 1e300);
    const std::string text = shown(control::kTempo);
    EXPECT_EQ(text.size(), 301u);
    EXPECT_EQ(text.substr(0, 4), "1000");
    EXPECT_EQ(
        events.frequencies, (Frequencies { { 1, std::numeric_limits<std::int32_t>::max() } }));
}

TEST_F(TempoTest, TheTempoFieldShowsWholeNumbersOrFourDecimals)
{
    struct Case {
        double bpm;
        const char* text;
    };
    for (const Case& c : std::vector<Case> {
             { 120.0, "120" },
             { 1000000.0, "1000000" },
             { 120.5, "120.5000" },
             { 2.0 / 3.0, "0.6667" },
             { 99.99999, "100.0000" },
             { 0.00004, "0.0000" },
             // Exact binary halves go to the even neighbour.
             { 120.03125, "120.0312" },
             { 120.09375, "120.0938" },
         }) {
        bpm() = c.bpm;
        tempo.ShowTempo();
        EXPECT_EQ(shown(control::kTempo), c.text) << c.bpm;
        EXPECT_EQ(bpm(), c.bpm);
    }
}

TEST_F(TempoTest, HoldingTheJogKeyMovesTheTempoOnceUntilItIsReleased)
{
    follower(1, 44100, 120.0);
    bpm() = 120.0;
    performance.globals().JogAmount = 5.0;

    tempo.NudgeTempo(NudgeDirection::Up);
    EXPECT_EQ(bpm(), 125.0);
    EXPECT_EQ(shown(control::kTempo), "125");
    tempo.NudgeTempo(NudgeDirection::Up, true); // key repeat
    tempo.NudgeTempo(NudgeDirection::Up); // a repeat the caller did not mark
    tempo.NudgeTempo(NudgeDirection::Down); // the other key while one is held
    tempo.ReleaseNudge(true); // a key repeat's release
    EXPECT_EQ(bpm(), 125.0);

    tempo.ReleaseNudge();
    EXPECT_EQ(bpm(), 120.0);
    EXPECT_EQ(shown(control::kTempo), "120");
    EXPECT_EQ(events.frequencies, (Frequencies { { 1, 45938 }, { 1, 44100 } }));

    // A release with nothing held leaves a tempo set since.
    tapEvery(10000, 600, 8);
    tempo.ReleaseNudge();
    EXPECT_EQ(bpm(), 100.0);
}

TEST_F(TempoTest, NudgingDownBelowZeroStopsAtZeroAndTheReleaseRestores)
{
    bpm() = 3.0;
    tempo.NudgeTempo(NudgeDirection::Down);
    EXPECT_EQ(bpm(), 0.0);
    EXPECT_EQ(shown(control::kTempo), "0");
    tempo.ReleaseNudge();
    EXPECT_EQ(bpm(), 3.0);
}

TEST_F(TempoTest, TypingAnythingButDigitsAndAPointPutsTheTempoBack)
{
    bpm() = 120.5;
    for (const char* accepted : { "", "1", "12.", "120.25", "..", "0123456789" }) {
        tempo.tempoTextChanged(accepted);
        EXPECT_TRUE(ui.controls.empty()) << accepted;
    }
    for (const char* refused : { "12a", "-5", "1e3", " 120", "120,5", "+1" }) {
        ui.controls.clear();
        tempo.tempoTextChanged(refused);
        EXPECT_EQ(shown(control::kTempo), "120.5") << refused;
    }
    EXPECT_EQ(bpm(), 120.5);
}

TEST_F(TempoTest, EnteredTextSetsTheTempoOnlyWhenItIsOne)
{
    struct Case {
        std::string text;
        double bpm; // 0 when refused
    };
    for (const Case& c : std::vector<Case> {
             { "140", 140.0 }, { "87.25", 87.25 }, { "0", 0.0 }, { "", 0 }, { ".", 0 },
             { "1.2.3", 0 }, { "12a", 0 }, { "-5", 0 }, { "nan", 0 }, { "inf", 0 },
             { std::string(400, '9'), 0 }, // beyond any double
         }) {
        follower(1, 44100, 120.0);
        bpm() = 120.5;
        events.frequencies.clear();
        ui.controls.clear();
        const bool refused = c.bpm == 0 && c.text != "0";
        EXPECT_EQ(tempo.tempoTextEntered(c.text), !refused) << c.text;
        if (refused) {
            EXPECT_EQ(bpm(), 120.5) << c.text;
            EXPECT_EQ(shown(control::kTempo), "120.5") << c.text;
            EXPECT_TRUE(events.frequencies.empty()) << c.text;
        } else {
            EXPECT_EQ(bpm(), c.bpm) << c.text;
            EXPECT_EQ(shown(control::kTempo), "<none>") << "the text stays as typed";
            const auto hertz = static_cast<std::int32_t>(std::lround(44100 * c.bpm / 120));
            EXPECT_EQ(
                events.frequencies, (hertz > 0 ? Frequencies { { 1, hertz } } : Frequencies {}))
                << c.text;
        }
    }
}

TEST_F(TempoTest, AControllerSetsTwiceItsValue)
{
    follower(1, 44100, 128.0);
    bpm() = 150.0;
    tempo.setTempoFromController(64);
    EXPECT_EQ(bpm(), 128.0);
    EXPECT_EQ(shown(control::kTempo), "128");
    EXPECT_EQ(events.frequencies, (Frequencies { { 1, 44100 } }));
    tempo.setTempoFromController(128);
    tempo.setTempoFromController(-1);
    EXPECT_EQ(bpm(), 128.0);
}

TEST_F(TempoTest, TheBeatCounterShowsTheBeatUnderTheCursor)
{
    struct Case {
        std::int32_t in;
        std::int64_t out;
        std::int32_t beats;
        std::int32_t cursor;
        std::int64_t beat; // 0: nothing shown
    };
    // 4 beats over 0..1000: beat b covers (b - 1) x 250 .. b x 250, halves going to even.
    for (const Case& c : std::vector<Case> {
             { 0, 1000, 4, 0, 1 }, { 0, 1000, 4, 125, 1 }, // 1.0
             { 0, 1000, 4, 249, 1 }, { 0, 1000, 4, 250, 2 }, // 1.5
             { 0, 1000, 4, 499, 2 }, { 0, 1000, 4, 500, 2 }, // 2.5: even
             { 0, 1000, 4, 501, 3 }, { 0, 1000, 4, 750, 4 }, // 3.5: even
             { 0, 1000, 4, 1000, 4 }, { 0, 1000, 4, 5000, 4 }, // past the out point
             { 1000, 2000, 4, 500, 1 }, // before the in point
             { 1000, 2000, 8, 1500, 4 }, // 4.5: even
             { 1000, 2000, 0, 1500, 0 }, { 1000, 1000, 4, 1000, 0 }, // no selection: nothing shown
         }) {
        TPlayAvistruct& slot = clip(9);
        slot.InPoint = c.in;
        slot.OutPoint = c.out;
        slot.NumberOfBeats = c.beats;
        slot.AudioPosition = c.cursor;
        performance.globals().selectedSlot = 9;
        ui.controls.clear();
        tempo.showBeatCounter();
        const ControlValue* shownBeat = ui.lastShown(control::kBeatCounter);
        if (c.beat == 0 && c.in == c.out) {
            EXPECT_EQ(shownBeat, nullptr) << c.in << ".." << c.out << " at " << c.cursor;
        } else {
            ASSERT_NE(shownBeat, nullptr);
            EXPECT_EQ(std::get<std::int64_t>(*shownBeat), c.beat)
                << c.in << ".." << c.out << " at " << c.cursor << " of " << c.beats;
        }
    }

    ui.controls.clear();
    performance.slot(9).Loaded = false;
    tempo.showBeatCounter();
    performance.globals().selectedSlot = kNoSlot;
    tempo.showBeatCounter();
    EXPECT_TRUE(ui.controls.empty());
}

TEST_F(TempoTest, FramesPerBeatNeedAClipTempo)
{
    TPlayAvistruct slot;
    slot.FrameRate = 30;
    for (const double clipBpm : { 0.0, -120.0, kNaN }) {
        slot.ClipBPM = clipBpm;
        EXPECT_FALSE(framesPerBeat(slot).has_value()) << clipBpm;
    }
    slot.ClipBPM = 90.0;
    EXPECT_EQ(framesPerBeat(slot), 20.0);
}

TEST_F(TempoTest, ANewClipGetsItsTempoAndFollowsOnlyWithAutoBpm)
{
    bpm() = 150.0;
    clip(4).FollowBPM = true;
    tempo.clipLoaded(4);
    EXPECT_EQ(performance.slot(4).ClipBPM, 120.0);
    EXPECT_TRUE(events.frequencies.empty());

    performance.globals().BPMfollow = true;
    tempo.clipLoaded(4);
    EXPECT_EQ(events.frequencies, (Frequencies { { 4, 55125 } }));
}

// Through the event processor: moving an out point retunes the slot's buffers.
TEST(TempoWithEventProcessor, MovingTheOutPointRetunesEveryFollowingSlot)
{
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    Tempo tempo { performance, processor };
    processor.setSelectionChangedHandler([&tempo](int slot) { tempo.selectionChanged(slot); });
    performance.globals().shuttingDown = false;
    performance.globals().BPM = 150.0;

    auto load = [&](int number, double clipBpm) -> test::FakeSoundBuffer& {
        TPlayAvistruct& slot = performance.slot(number);
        slot.Loaded = true;
        slot.FollowBPM = true;
        slot.BaseFrequency = 44100;
        slot.BytesPerSecond = 176400;
        slot.BlockAlign = 4;
        slot.Length = 705600;
        slot.OutPoint = 705600;
        slot.NumberOfBeats = 4;
        slot.ClipBPM = clipBpm;
        auto forward = std::make_shared<test::FakeSoundBuffer>(705600, 44100);
        slot.ForwardBuffer = forward;
        slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(705600, 44100);
        return *forward;
    };
    test::FakeSoundBuffer& moved = load(1, 60.0);
    test::FakeSoundBuffer& other = load(2, 100.0);

    processor.ProcessEvent(TSlotEvent { 8, 352800, 0, 1 });

    EXPECT_EQ(performance.slot(1).ClipBPM, 120.0);
    EXPECT_EQ(moved.frequency(), 55125);
    EXPECT_EQ(performance.slot(1).BackwardBuffer->frequency(), 55125);
    EXPECT_EQ(other.frequency(), 66150);
}

} // namespace
} // namespace oskel
