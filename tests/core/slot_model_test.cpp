#include <gtest/gtest.h>

#include "core/copy_params.h"
#include "core/key_letter_map.h"
#include "core/layer_stack.h"
#include "core/rounding.h"
#include "core/slot_reset.h"
#include "core/slot_rules.h"
#include "support/fake_sound_buffer.h"

namespace oskel {
namespace {

TPlayAvistruct loadedClip(std::int64_t length)
{
    TPlayAvistruct slot;
    slot.Loaded = true;
    slot.FrameCount = 100;
    slot.Length = length;
    slot.OutPoint = length;
    return slot;
}

TEST(ResetSlot, FreshResetRestoresEveryDefaultButLeavesSizeAt600)
{
    TPlayAvistruct slot = loadedClip(1000);
    slot.Left = 10;
    slot.Right = 100;
    slot.InPoint = 40;
    slot.Volume = -300;
    slot.LumaKeyLevel = 200;
    slot.FFfilename = "effect.so";
    slot.FFparams[3] = 0.5f;
    slot.InstallationMode = true;
    slot.Playing = true;
    slot.ReverseFrame = 42;

    ResetSlot(slot, false, 7);

    EXPECT_FALSE(slot.Loaded);
    EXPECT_FALSE(slot.Playing);
    EXPECT_EQ(slot.FrameCount, -1);
    EXPECT_EQ(slot.Length, 0);
    EXPECT_EQ(slot.ReverseFrame, 1);
    EXPECT_EQ(slot.Left, 0);
    EXPECT_EQ(slot.Right, 384);
    EXPECT_EQ(slot.Bottom, 288);
    EXPECT_EQ(slot.Size, 600) << "the size is only recomputed by the next geometry change";
    EXPECT_EQ(slot.InPoint, 0);
    EXPECT_EQ(slot.OutPoint, -1);
    EXPECT_EQ(slot.Volume, 0);
    EXPECT_EQ(slot.LumaKeyLevel, 0);
    EXPECT_TRUE(slot.FFfilename.empty());
    EXPECT_EQ(slot.FFparams[3], -1.0f);
    EXPECT_EQ(slot.NumberOfBeats, 7);
    EXPECT_TRUE(slot.InstallationMode) << "sync mode is kept by every reset";
    EXPECT_FALSE(slot.Mute);
}

TEST(ResetSlot, KeepingSettingsClearsOnlyTheLoadStateAndMutesSyncModeSlots)
{
    TPlayAvistruct slot = loadedClip(1000);
    slot.InPoint = 40;
    slot.OutPoint = 900;
    slot.Volume = -300;
    slot.NumberOfBeats = 16;
    slot.InstallationMode = true;
    slot.Started = true;
    slot.Reversing = true;

    ResetSlot(slot, true, 4);

    EXPECT_FALSE(slot.Loaded);
    EXPECT_FALSE(slot.Started);
    EXPECT_FALSE(slot.Reversing);
    EXPECT_EQ(slot.Length, 0);
    EXPECT_EQ(slot.InPoint, 40);
    EXPECT_EQ(slot.OutPoint, 900);
    EXPECT_EQ(slot.Volume, -300);
    EXPECT_EQ(slot.NumberOfBeats, 16);
    EXPECT_TRUE(slot.Mute);

    TPlayAvistruct normal = loadedClip(1000);
    ResetSlot(normal, true, 4);
    EXPECT_FALSE(normal.Mute) << "only a sync-mode slot is muted";
}

TEST(SlotRules, SizeIsTheMeanOfWidthAndHeightRoundedHalfToEven)
{
    struct Case {
        std::int32_t left, top, right, bottom, size;
    };
    for (const Case& c : std::vector<Case> {
             { 0, 0, 384, 288, 336 },
             { 0, 0, 1, 0, 0 }, // 0.5 -> 0
             { 0, 0, 3, 0, 2 }, // 1.5 -> 2
             { 0, 0, 5, 0, 2 }, // 2.5 -> 2
             { -10, -10, 0, 1, 10 }, // 10.5 -> 10
             { 100, 100, 50, 50, -50 },
         }) {
        EXPECT_EQ(rectangleSize(c.left, c.top, c.right, c.bottom), c.size)
            << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
}

TEST(SlotRules, LumaKeyAndTransparencyFlags)
{
    struct Case {
        std::int32_t level;
        bool inverse;
        bool on;
    };
    for (const Case& c : std::vector<Case> { { 0, false, false }, { 1, false, true },
             { 765, false, true }, { 0, true, true }, { 764, true, true }, { 765, true, false } }) {
        EXPECT_EQ(lumaKeyInForce(c.level, c.inverse), c.on) << c.level << " inverse " << c.inverse;
    }
    EXPECT_FALSE(alphaInForce(9));
    EXPECT_TRUE(alphaInForce(10));
    EXPECT_FALSE(alphaInForce(0));
}

TEST(SlotRules, SilentSoundLengthCoversTheClipInWholeSampleFrames)
{
    EXPECT_EQ(silentSoundLength(25, 25), 88200);
    EXPECT_EQ(silentSoundLength(250, 25), 882000);
    EXPECT_EQ(silentSoundLength(1, 23) % 2, 0) << "never half a 16-bit sample";
    EXPECT_EQ(silentSoundLength(1, 23), 3834);
    EXPECT_EQ(silentSoundLength(10, 0), 0);
}

TEST(SlotRules, CentredPositionKeepsTheSize)
{
    TPlayAvistruct slot;
    slot.Left = 0;
    slot.Top = 0;
    slot.Right = 100;
    slot.Bottom = 51;
    const MovePosition moved = centredPosition(slot);
    EXPECT_EQ(moved.x, 142);
    EXPECT_EQ(moved.y, 118); // (288 - 51) / 2 = 118.5 -> 118
}

class CopyParamsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        slots[1] = loadedClip(10000);
        slots[2] = loadedClip(4000);
        slots[1].ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(10000, 22050);
        slots[2].ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(4000, 44100);
    }
    TPlayAviStructArray slots;
};

TEST_F(CopyParamsTest, PositionsAreFittedToAShorterTarget)
{
    struct Case {
        std::int32_t sourceIn;
        std::int64_t sourceOut;
        std::int32_t targetIn;
        std::int64_t targetOut;
    };
    for (const Case& c : std::vector<Case> {
             { 5000, 8000, 0, 4000 }, // both beyond the target
             { 1000, 3000, 1000, 3000 }, // inside: kept
             { 4000, 10000, 4000, 4000 }, // in point at the very end stays; out at source end
             { 100, 4001, 100, 4000 }, // not below the target's length
         }) {
        slots[1].InPoint = c.sourceIn;
        slots[1].OutPoint = c.sourceOut;
        ASSERT_TRUE(CopyParams(slots, 1, 2));
        EXPECT_EQ(slots[2].InPoint, c.targetIn) << c.sourceIn;
        EXPECT_EQ(slots[2].OutPoint, c.targetOut) << c.sourceOut;
    }
    // A source whose out point is its end makes the target run to its own end.
    slots[2].Length = 20000;
    slots[1].OutPoint = slots[1].Length;
    ASSERT_TRUE(CopyParams(slots, 1, 2));
    EXPECT_EQ(slots[2].OutPoint, 20000);
}

TEST_F(CopyParamsTest, CopiesSettingsButNotChopSizeOrEffect)
{
    auto mask = std::make_shared<const std::vector<std::uint8_t>>(4, std::uint8_t { 9 });
    TPlayAvistruct& source = slots[1];
    source.Left = 5;
    source.Right = 50;
    source.Direction = 2;
    source.LumaKeyLevel = 300;
    source.Volume = -2000;
    source.Balance = 10;
    source.AlphaLevel = 128;
    source.Alpha = true;
    source.Burn = true;
    source.InstallationMode = true;
    source.StencilMask = mask;
    source.StencilFileName = "mask.bmp";
    source.HorzTiles = 3;
    source.NumberOfBeats = 12;
    source.FollowBPM = true;
    source.Chop = true;
    source.Size = 27;
    source.FFenable = true;
    source.FFfilename = "effect.so";

    ASSERT_TRUE(CopyParams(slots, 1, 2));
    const TPlayAvistruct& target = slots[2];
    EXPECT_EQ(target.Left, 5);
    EXPECT_EQ(target.Right, 50);
    EXPECT_EQ(target.Direction, 2);
    EXPECT_EQ(target.LumaKeyLevel, 300);
    EXPECT_EQ(target.Volume, -2000);
    EXPECT_EQ(target.Balance, 10);
    EXPECT_TRUE(target.Alpha);
    EXPECT_TRUE(target.Burn);
    EXPECT_TRUE(target.InstallationMode);
    EXPECT_EQ(target.StencilMask, mask);
    EXPECT_EQ(target.StencilFileName, "mask.bmp");
    EXPECT_EQ(target.HorzTiles, 3);
    EXPECT_EQ(target.NumberOfBeats, 12);
    EXPECT_TRUE(target.FollowBPM);
    EXPECT_TRUE(target.Looping);
    EXPECT_EQ(target.ForwardBuffer->frequency(), 22050);
    EXPECT_FALSE(target.Chop);
    EXPECT_EQ(target.Size, 600);
    EXPECT_FALSE(target.FFenable);
    EXPECT_TRUE(target.FFfilename.empty());
}

TEST_F(CopyParamsTest, AnEmptyTargetOrABadSlotNumberIsLeftAlone)
{
    slots[3].Volume = -50;
    slots[1].Volume = -2000;
    EXPECT_FALSE(CopyParams(slots, 1, 3));
    EXPECT_EQ(slots[3].Volume, -50);
    EXPECT_FALSE(CopyParams(slots, 0, 2));
    EXPECT_FALSE(CopyParams(slots, 1, 17));
}

TEST(KeyLetterMap, QwertyAndAzertyDifferOnlyInTheFirstThreeSlots)
{
    const KeyLetterMap qwerty(KeyboardLayout::Qwerty);
    const KeyLetterMap azerty(KeyboardLayout::Azerty);
    EXPECT_EQ(qwerty.letter(1), 'q');
    EXPECT_EQ(qwerty.letter(2), 'a');
    EXPECT_EQ(qwerty.letter(3), 'w');
    EXPECT_EQ(qwerty.letter(16), 'k');
    EXPECT_EQ(azerty.letter(1), 'a');
    EXPECT_EQ(azerty.letter(2), 'q');
    EXPECT_EQ(azerty.letter(3), 'z');
    for (int slot = 4; slot <= 16; ++slot) {
        EXPECT_EQ(azerty.letter(slot), qwerty.letter(slot)) << slot;
    }
    EXPECT_EQ(azerty.upperLetter(3), 'Z');
    EXPECT_EQ(azerty.slotOf('Z'), 3);
    EXPECT_EQ(qwerty.slotOf('z'), -1);
    EXPECT_EQ(qwerty.letter(0), '\0');
    EXPECT_EQ(qwerty.letter(17), '\0');
}

TEST(LayerStack, BringToFrontMovesTheLayersAboveDownOnePlace)
{
    LayerStack stack;
    std::vector<LayerStack::Order> pushed;
    stack.setListener([&](const LayerStack::Order& order) { pushed.push_back(order); });

    EXPECT_TRUE(stack.bringToFront(3));
    const LayerStack::Order expected { 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 3 };
    EXPECT_EQ(stack.order(), expected);
    ASSERT_EQ(pushed.size(), 1u);
    EXPECT_EQ(pushed[0], expected);

    EXPECT_FALSE(stack.bringToFront(3)) << "already on top";
    EXPECT_FALSE(stack.bringToFront(0));
    EXPECT_EQ(stack.order(), expected);
    EXPECT_EQ(pushed.size(), 1u) << "an unchanged stack is not pushed again";
}

// A layer moved to another place takes it; the layers between move one place towards the
// moved layer's old place.
TEST(LayerStack, MovingALayerShiftsTheLayersBetween)
{
    struct Case {
        const char* what;
        int slot;
        int position;
        LayerStack::Order expected;
    };
    const Case cases[] = {
        { "the top onto the bottom", 16, 1,
            { 16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 } },
        { "the bottom onto the top", 1, 16,
            { 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1 } },
        { "onto a neighbour", 5, 6, { 1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 } },
        { "down a few", 9, 3, { 1, 2, 9, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LayerStack stack;
        EXPECT_TRUE(stack.moveTo(c.slot, c.position));
        EXPECT_EQ(stack.order(), c.expected);
        EXPECT_EQ(stack.positionOf(c.slot), c.position);
    }
    LayerStack stack;
    for (const auto& [slot, position] : { std::pair { 3, 3 }, std::pair { 0, 1 },
             std::pair { 17, 1 }, std::pair { 3, 0 }, std::pair { 3, 17 } }) {
        EXPECT_FALSE(stack.moveTo(slot, position)) << slot << " to " << position;
    }
    EXPECT_EQ(stack.order(), LayerStack::initialOrder());
}

TEST(LayerStack, OnlyAPermutationOfTheSlotsIsAccepted)
{
    LayerStack stack;
    LayerStack::Order reversed {};
    for (int i = 0; i < kSlotCount; ++i) {
        reversed.at(static_cast<std::size_t>(i)) = kSlotCount - i;
    }
    EXPECT_TRUE(stack.setOrder(reversed));
    EXPECT_EQ(stack.order(), reversed);

    LayerStack::Order duplicate = reversed;
    duplicate[0] = duplicate[1];
    LayerStack::Order outOfRange = reversed;
    outOfRange[0] = 17;
    EXPECT_FALSE(stack.setOrder(duplicate));
    EXPECT_FALSE(stack.setOrder(outOfRange));
    EXPECT_EQ(stack.order(), reversed);
}

} // namespace
} // namespace oskel
