#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/clip_inspector.h"
#include "playback/tempo.h"
#include "support/performance_with_controls.h"

namespace oskel {
namespace {

using Fader = ClipInspector::Fader;
using Box = ClipInspector::Box;
using Switch = ClipInspector::Switch;
using Action = ClipInspector::Action;

class RecordingView : public ClipInspectorView {
public:
    std::vector<clip_inspector::Contents> shown;
    std::vector<int> inspected;
    int hidden = 0;

    void showContents(const clip_inspector::Contents& contents, bool) override
    {
        shown.push_back(contents);
    }
    void showInspectedSlot(int slot) override { inspected.push_back(slot); }
    void hideInspector() override { ++hidden; }
};

constexpr int kSlot = 3;
constexpr int kBlockAlign = 4;
constexpr std::int64_t kLengthFrames = 1000;

class ClipInspectorTest : public ::testing::Test, public test::PerformanceWithControls {
protected:
    ClipInspectorTest()
    {
        TPlayAvistruct& slot = record();
        slot.Loaded = true;
        slot.FileName = RefString("/clips/dancer.avi");
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        slot.BlockAlign = kBlockAlign;
        slot.Length = kLengthFrames * kBlockAlign;
        slot.OutPoint = kLengthFrames * kBlockAlign;
        slot.BaseFrequency = 44100;
        inspector.showAVIinfo(kSlot);
        events.take();
    }

    TPlayAvistruct& record() { return performance.slot(kSlot); }
    const clip_inspector::Contents& lastShown() const { return view.shown.back(); }

    Tempo tempo { performance, events };
    RecordingView view;
    ClipInspector inspector { { performance, events, tempo, view } };
};

TEST_F(ClipInspectorTest, ShowingASlotSelectsItFillsTheControlsAndSetsTheLayerBars)
{
    record().LumaKeyLevel = 300;
    record().AlphaLevel = 40;
    ui.lumaBars.clear();
    inspector.showAVIinfo(kSlot);
    EXPECT_EQ(inspector.inspectedSlot(), kSlot);
    EXPECT_EQ(performance.globals().selectedSlot, kSlot);
    EXPECT_EQ(view.inspected.back(), kSlot);
    EXPECT_EQ(lastShown().heading, "Clip W - dancer.avi");
    EXPECT_EQ(lastShown().actualSize, "320 x 240");
    EXPECT_EQ(ui.lumaBars.back(), std::make_pair(kSlot, 300));
    EXPECT_EQ(ui.opacityBars.back(), std::make_pair(kSlot, 40));
}

TEST_F(ClipInspectorTest, EmptyOrInvalidSlotsAreNotShown)
{
    const std::size_t before = view.shown.size();
    for (const int slot : { 0, -1, 17, 5 }) { // slot 5 holds no clip
        inspector.showAVIinfo(slot);
    }
    EXPECT_EQ(inspector.inspectedSlot(), kSlot);
    EXPECT_EQ(view.shown.size(), before);
}

// Every control: what its change sends (an event the engine carries out) or writes (a setting
// of the control table, carried out at once), with the converted value.
TEST_F(ClipInspectorTest, EachControlSendsItsEventOrSetsItsValueConverted)
{
    struct Case {
        const char* control;
        std::function<void()> change;
        std::optional<TSlotEvent> sent; // the event, when the control sends one
        std::function<bool()> written; // else: the record holds the value
    };
    TPlayAvistruct& slot = record();
    const Case cases[] = {
        { "width fader", [&] { inspector.faderMoved(Fader::Width, 200); },
            TSlotEvent { 23, 200, 0, kSlot }, {} },
        { "height fader", [&] { inspector.faderMoved(Fader::Height, 100); },
            TSlotEvent { 24, 100, 0, kSlot }, {} },
        { "size fader", [&] { inspector.faderMoved(Fader::Size, 900); },
            TSlotEvent { 18, 900, 0, kSlot }, {} },
        { "luma fader", [&] { inspector.faderMoved(Fader::LumaKey, 500); },
            TSlotEvent { 20, 500, 0, kSlot }, {} },
        { "luma blend fader", [&] { inspector.faderMoved(Fader::LumaBlend, 120); },
            TSlotEvent { 35, 120, 0, kSlot }, {} },
        { "opacity fader", [&] { inspector.faderMoved(Fader::Opacity, 128); },
            TSlotEvent { 34, 128, 0, kSlot }, {} },
        { "volume fader at 50", [&] { inspector.faderMoved(Fader::Volume, 50); },
            TSlotEvent { 31, -602, 0, kSlot }, {} },
        { "volume fader at 0", [&] { inspector.faderMoved(Fader::Volume, 0); },
            TSlotEvent { 31, -10000, 0, kSlot }, {} },
        { "volume box", [&] { inspector.boxEntered(Box::Volume, "1200"); },
            TSlotEvent { 31, -1200, 0, kSlot }, {} },
        { "volume box, letters", [&] { inspector.boxEntered(Box::Volume, "loud"); },
            TSlotEvent { 31, 0, 0, kSlot }, {} },
        { "width box", [&] { inspector.boxEntered(Box::Width, "250"); },
            TSlotEvent { 23, 250, 0, kSlot }, {} },
        { "width box, huge", [&] { inspector.boxEntered(Box::Width, "99999999999"); },
            TSlotEvent { 23, 1, 0, kSlot }, {} }, // not a number: 0, which the range makes 1
        { "speed fader", [&] { inspector.faderMoved(Fader::Speed, 22050); },
            TSlotEvent { 3, 22050, 0, kSlot }, {} },
        { "frequency box", [&] { inspector.boxEntered(Box::Frequency, "30000"); },
            TSlotEvent { 3, 30000, 0, kSlot }, {} },
        { "in point box", [&] { inspector.boxEntered(Box::InPoint, "10"); },
            TSlotEvent { 7, 10 * kBlockAlign, 0, kSlot }, {} },
        { "out point box", [&] { inspector.boxEntered(Box::OutPoint, "999"); },
            TSlotEvent { 8, 999 * kBlockAlign, 0, kSlot }, {} },
        { "mute on", [&] { inspector.switchClicked(Switch::Mute, true); },
            TSlotEvent { 32, 0, 0, kSlot }, {} },
        { "mute off", [&] { inspector.switchClicked(Switch::Mute, false); },
            TSlotEvent { 33, 0, 0, kSlot }, {} },
        { "pan fader", [&] { inspector.faderMoved(Fader::Pan, 0); },
            TSlotEvent { 41, -10000, 0, kSlot }, {} },
        { "3D size fader at -40", [&] { inspector.faderMoved(Fader::Size3D, -40); }, std::nullopt,
            [&] { return slot.Size3D == 0.025; } },
        { "3D size fader at 40", [&] { inspector.faderMoved(Fader::Size3D, 40); }, std::nullopt,
            [&] { return slot.Size3D == 6.0; } },
        { "3D size fader at 0", [&] { inspector.faderMoved(Fader::Size3D, 0); }, std::nullopt,
            [&] { return slot.Size3D == 1.0; } },
        { "Y rotation fader", [&] { inspector.faderMoved(Fader::YRotation, -155); }, std::nullopt,
            [&] { return slot.YRotSpeed == -15.5; } },
        { "tiles across", [&] { inspector.faderMoved(Fader::HorizontalTiles, 5); }, std::nullopt,
            [&] { return slot.HorzTiles == 5; } },
        { "spacing fader", [&] { inspector.faderMoved(Fader::Spacing, 35); }, std::nullopt,
            [&] { return slot.ArraySpacing == 3.5; } },
        { "additive", [&] { inspector.actionClicked(Action::AdditiveOn); }, std::nullopt,
            [&] { return slot.Burn; } },
        { "colour swap R/B", [&] { inspector.actionClicked(Action::SwapRedBlue); }, std::nullopt,
            [&] { return slot.ColourSwapMode == 2; } },
        { "chop", [&] { inspector.switchClicked(Switch::Chop, true); }, std::nullopt,
            [&] { return slot.Chop; } },
        { "re-sync", [&] { inspector.switchClicked(Switch::ReSync, true); }, std::nullopt,
            [&] { return slot.ReSync; } },
        { "disable MIDI", [&] { inspector.switchClicked(Switch::DisableMidi, true); }, std::nullopt,
            [&] { return slot.DisableMIDI; } },
        { "follow BPM", [&] { inspector.switchClicked(Switch::FollowBpm, true); }, std::nullopt,
            [&] { return slot.FollowBPM; } },
        { "beats box", [&] { inspector.boxEntered(Box::Beats, "16"); }, std::nullopt,
            [&] { return slot.NumberOfBeats == 16; } },
        { "left box", [&] { inspector.boxEntered(Box::Left, "-20"); }, std::nullopt,
            [&] { return slot.Left == -20 && slot.Right == 384; } },
        { "bottom box", [&] { inspector.boxEntered(Box::Bottom, "250"); }, std::nullopt,
            [&] { return slot.Bottom == 250 && slot.Top == 0; } },
        { "3D on, for a clip too small", [&] { inspector.switchClicked(Switch::ThreeD, true); },
            std::nullopt, [&] { return !slot.BillBoard; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        events.take();
        c.change();
        if (c.sent) {
            ASSERT_FALSE(events.events.empty());
            EXPECT_EQ(events.events.front(), *c.sent);
        } else {
            EXPECT_TRUE(c.written());
        }
    }
}

TEST_F(ClipInspectorTest, BoxesRefuseWhatTheyDoNotTakeAndShowTheValueInForce)
{
    struct Case {
        const char* text;
        Box box;
    };
    const Case refused[] = {
        { "12a", Box::InPoint }, { "-5", Box::InPoint },
        { "1000", Box::OutPoint }, // the clip's full length
        { "1.2.3", Box::OutPoint }, { "800", Box::Luma }, { "-3", Box::Luma },
        { "fast", Box::Frequency }, { "-1", Box::Frequency }, { "x", Box::Beats },
        { "700", Box::Right }, // left of the left edge, which is put at 800 below
    };
    record().Left = 800;
    record().Right = 900;
    for (const Case& c : refused) {
        SCOPED_TRACE(c.text);
        events.take();
        const std::size_t before = view.shown.size();
        inspector.boxEntered(c.box, c.text);
        EXPECT_TRUE(events.events.empty());
        EXPECT_EQ(view.shown.size(), before + 1) << "the box shows the stored value again";
        EXPECT_EQ(record().Right, 900);
    }
}

TEST_F(ClipInspectorTest, TheLumaBoxSetsTheLevelWithTheInverseButtonsDirection)
{
    record().InverseLuma = true;
    inspector.boxEntered(Box::Luma, "400");
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 20, 400, 0, kSlot } }));
    EXPECT_TRUE(record().InverseLuma);

    record().LumaKeyLevel = 250;
    inspector.switchClicked(Switch::InverseLuma, false);
    EXPECT_FALSE(record().InverseLuma);
}

TEST_F(ClipInspectorTest, TheRecordShowsInTheControlsConverted)
{
    TPlayAvistruct& slot = record();
    slot.Volume = -602;
    slot.Size3D = 0.025;
    slot.XRotSpeed = 2.5;
    slot.ArraySpacing = 1.5;
    slot.InPoint = 40;
    slot.Left = 10;
    slot.Right = 110;
    inspector.UpdateValues("set");
    const clip_inspector::Contents& shown = lastShown();
    EXPECT_EQ(shown.volumeFader, 50);
    EXPECT_EQ(shown.attenuation, 602);
    EXPECT_EQ(shown.size3D, -40);
    EXPECT_EQ(shown.xRotation, 25);
    EXPECT_EQ(shown.spacing, 15);
    EXPECT_EQ(shown.inPoint, 10);
    EXPECT_EQ(shown.outPoint, kLengthFrames);
    EXPECT_EQ(shown.width, 100);
    EXPECT_EQ(clip_inspector::size3DPosition(6.0), 40);
    EXPECT_EQ(clip_inspector::size3DPosition(1.0), 0);
}

TEST_F(ClipInspectorTest, SizeButtonsAndPresetsSetWidthHeightAndPlace)
{
    inspector.actionClicked(Action::ActualSize);
    EXPECT_EQ(
        events.take(), (std::vector<TSlotEvent> { { 23, 320, 0, kSlot }, { 24, 240, 0, kSlot } }));
    inspector.actionClicked(Action::Quarter4);
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> {
            { 23, 192, 0, kSlot }, { 24, 144, 0, kSlot }, { 16, 192, 144, kSlot } }));
    inspector.presetChosen(13);
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> { { 23, 1920, 0, kSlot }, { 24, 1080, 0, kSlot } }));
    for (const int item : { 0, 14, -1 }) {
        inspector.presetChosen(item);
    }
    EXPECT_TRUE(events.take().empty()) << "the title and items beyond the list do nothing";
}

TEST_F(ClipInspectorTest, TheInOutBarsMarkersSetThePointsWithinTheClip)
{
    record().InPoint = 100 * kBlockAlign;
    record().OutPoint = 900 * kBlockAlign;
    struct Case {
        Box marker;
        std::int64_t frames;
        std::optional<TSlotEvent> sent;
    };
    const Case cases[] = {
        { Box::InPoint, 250, TSlotEvent { 7, 250 * kBlockAlign, 0, kSlot } },
        { Box::OutPoint, kLengthFrames, TSlotEvent { 8, kLengthFrames * kBlockAlign, 0, kSlot } },
        { Box::InPoint, 900, std::nullopt }, // onto the out marker
        { Box::OutPoint, 50, std::nullopt }, // before the in marker
        { Box::InPoint, -1, std::nullopt }, { Box::OutPoint, kLengthFrames + 1, std::nullopt },
        { Box::Luma, 10, std::nullopt }, // no marker
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        events.take();
        inspector.markerMoved(c.marker, c.frames);
        const std::vector<TSlotEvent> sent = events.take();
        if (c.sent) {
            EXPECT_EQ(sent, std::vector<TSlotEvent> { *c.sent });
        } else {
            EXPECT_TRUE(sent.empty());
        }
    }
    // Pixels and frames of the bar, both ways, and the ends.
    EXPECT_EQ(clip_inspector::barPixel(500, 1000, 201), 100);
    EXPECT_EQ(clip_inspector::barFrames(100, 1000, 201), 500);
    EXPECT_EQ(clip_inspector::barFrames(-20, 1000, 201), 0);
    EXPECT_EQ(clip_inspector::barFrames(999, 1000, 201), 1000);
    EXPECT_EQ(clip_inspector::barPixel(5, 0, 201), 0) << "an empty clip";
}

TEST_F(ClipInspectorTest, ResetStopsOneAxisOnly)
{
    record().XRot = 90.0;
    record().XRotSpeed = 3.0;
    record().ZRotSpeed = 2.0;
    inspector.actionClicked(Action::ResetX);
    EXPECT_EQ(record().XRot, 0.0);
    EXPECT_EQ(record().XRotSpeed, 0.0);
    EXPECT_EQ(record().ZRotSpeed, 2.0);
}

TEST_F(ClipInspectorTest, DoneHidesAndClearAsksFirst)
{
    inspector.actionClicked(Action::Done);
    EXPECT_EQ(view.hidden, 1);

    inspector.actionClicked(Action::ClearClipslot); // the question is answered Cancel
    EXPECT_EQ(ui.questions.back(), "Clear Clip Slot?");
    EXPECT_TRUE(record().Loaded);
    ui.scriptedAnswers.push_back(DialogAnswer::Ok);
    inspector.actionClicked(Action::ClearClipslot);
    EXPECT_FALSE(record().Loaded);
    EXPECT_EQ(ui.blankedThumbnails.back(), kSlot);

    // The slot stays inspected; changes to the empty slot reach nothing.
    events.take();
    inspector.faderMoved(Fader::Speed, 30000);
    inspector.switchClicked(Switch::Chop, true);
    EXPECT_TRUE(events.take().empty());
    EXPECT_FALSE(record().Chop);
}

TEST(NumericInput, TakesIntegersAndNegativesWhereAllowed)
{
    using clip_inspector::acceptedNumericInput;
    EXPECT_EQ(acceptedNumericInput("42", false), 42);
    EXPECT_EQ(acceptedNumericInput("-42", true), -42);
    for (const char* refused : { "-42", "4.5", "", "abc", "99999999999", "1e3" }) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(acceptedNumericInput(refused, false));
    }
}

} // namespace
} // namespace oskel
