#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "host_fixture.h"

namespace oskel::test {
namespace {

constexpr int kW = 16;
constexpr int kH = 8;

// Each of our plug-ins, loaded through the real host from the program's plug-ins folder,
// on a 16 x 8 frame.
class OurPluginsTest : public HostFixture {
protected:
    void SetUp() override
    {
        makeHost({ kOurPlugins });
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            performance.slot(slot).ClipWidth = kW;
            performance.slot(slot).ClipHeight = kH;
        }
    }
    std::vector<std::uint8_t> run(
        const std::string& file, std::vector<float> values, const std::vector<std::uint8_t>& frame)
    {
        load(file, 1);
        EXPECT_TRUE(host->shown(1).active) << file;
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_TRUE(host->setParameter(1, static_cast<int>(i), values[i])) << file << i;
        }
        return process(1, frame, kW, kH);
    }
    static std::uint8_t at(const std::vector<std::uint8_t>& frame, int x, int y, int c)
    {
        return frame.at(static_cast<std::size_t>((y * kW + x) * 3 + c));
    }
    const std::vector<std::uint8_t> picture = pattern(kW, kH);
};

TEST_F(OurPluginsTest, EveryPluginIsListedAndNamesItsParameters)
{
    for (const char* file :
        { "Blur.so", "Colour.so", "ColourCycle.so", "EdgeGlow.so", "Feedback.so", "Invert.so",
            "Kaleidoscope.so", "Mirror.so", "Pixelate.so", "Posterize.so", "RgbShift.so" }) {
        SCOPED_TRACE(file);
        ASSERT_GT(host->plugins().indexOf(file), 0);
        load(file, 2);
        const EffectShown shown = host->shown(2);
        ASSERT_TRUE(shown.active);
        ASSERT_GT(shown.parameterCount, 0);
        for (int i = 0; i < shown.parameterCount; ++i) {
            EXPECT_GT(shown.names.at(i).size(), 4u) << shown.names.at(i);
            EXPECT_FALSE(shown.displays.at(i).empty());
        }
        EXPECT_EQ(process(2, picture, kW, kH).size(), picture.size());
    }
    EXPECT_EQ(host->plugins().indexOf("TarnMixer.so"), 0) << "the mixer is no effect";
}

// At their neutral settings the effects leave the picture as it is.
TEST_F(OurPluginsTest, NeutralSettingsLeaveThePicture)
{
    struct Case {
        const char* file;
        std::vector<float> values;
    };
    for (const Case& c :
        { Case { "Invert.so", { 0.0f } }, Case { "Colour.so", { 0.5f, 0.5f, 0.5f } },
            Case { "RgbShift.so", { 0.0f } }, Case { "Pixelate.so", { 0.0f } },
            Case { "Blur.so", { 0.0f } }, Case { "Feedback.so", { 0.0f } },
            Case { "EdgeGlow.so", { 0.0f, 0.0f } }, Case { "ColourCycle.so", { 0.0f, 0.0f } } }) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(run(c.file, c.values, picture), picture);
    }
}

TEST_F(OurPluginsTest, InvertGivesTheInvertedPixels)
{
    EXPECT_EQ(run("Invert.so", { 1.0f }, picture), inverted(picture));
}

TEST_F(OurPluginsTest, PosterizeAtTwoLevelsLeavesOnlyBlackAndFull)
{
    for (const std::uint8_t byte : run("Posterize.so", { 0.0f }, picture)) {
        EXPECT_TRUE(byte == 0 || byte == 255) << int { byte };
    }
}

TEST_F(OurPluginsTest, NoSaturationLeavesGreys)
{
    const auto out = run("Colour.so", { 0.5f, 0.5f, 0.0f }, picture);
    for (std::size_t i = 0; i < out.size(); i += 3) {
        EXPECT_EQ(out[i], out[i + 1]);
        EXPECT_EQ(out[i], out[i + 2]);
    }
}

TEST_F(OurPluginsTest, MirrorReflectsTheLeftHalf)
{
    const auto out = run("Mirror.so", { 0.0f }, picture);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(at(out, x, y, 1), at(out, kW - 1 - x, y, 1));
            if (x < kW / 2) {
                EXPECT_EQ(at(out, x, y, 1), at(picture, x, y, 1));
            }
        }
    }
}

TEST_F(OurPluginsTest, PixelateFillsEachBlockWithItsCorner)
{
    const auto out = run("Pixelate.so", { 3.0f / 31.0f }, picture); // blocks of 4
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(at(out, x, y, 0), at(picture, x - x % 4, y - y % 4, 0));
        }
    }
}

TEST_F(OurPluginsTest, RgbShiftMovesRedAndBlueApartAndKeepsGreen)
{
    const auto out = run("RgbShift.so", { 2.0f / 32.0f }, picture);
    EXPECT_EQ(at(out, 5, 3, 2), at(picture, 7, 3, 2));
    EXPECT_EQ(at(out, 5, 3, 0), at(picture, 3, 3, 0));
    EXPECT_EQ(at(out, 5, 3, 1), at(picture, 5, 3, 1));
}

TEST_F(OurPluginsTest, BlurKeepsAnEvenPictureAndSpreadsAPoint)
{
    const std::vector<std::uint8_t> even(picture.size(), 90);
    EXPECT_EQ(run("Blur.so", { 1.0f }, even), even);
    std::vector<std::uint8_t> point(picture.size(), 0);
    point[static_cast<std::size_t>((4 * kW + 8) * 3)] = 255;
    const auto out = run("Blur.so", { 1.0f / 16.0f }, point); // radius 1: 3 x 3 boxes
    EXPECT_EQ(at(out, 8, 4, 0), 255 / 9);
    EXPECT_EQ(at(out, 7, 3, 0), 255 / 9);
    EXPECT_EQ(at(out, 10, 4, 0), 0);
}

// The blur is a box average across, rounded to bytes, then down, with the edge pixels
// repeated beyond the picture: checked against that plain sum on a picture wider than the
// fast passes' vectors, for a small radius and one larger than the picture is high.
TEST_F(OurPluginsTest, BlurIsTheBoxAverageAcrossThenDown)
{
    constexpr int kWide = 75;
    constexpr int kHigh = 9;
    performance.slot(3).ClipWidth = kWide;
    performance.slot(3).ClipHeight = kHigh;
    const auto boxPass = [](const std::vector<std::uint8_t>& in, int radius, bool across) {
        const int window = radius * 2 + 1;
        const int scale = (65536 + window / 2) / window;
        std::vector<std::uint8_t> out(in.size());
        for (int y = 0; y < kHigh; ++y) {
            for (int x = 0; x < kWide; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int k = -radius; k <= radius; ++k) {
                        const int sx = across ? std::clamp(x + k, 0, kWide - 1) : x;
                        const int sy = across ? y : std::clamp(y + k, 0, kHigh - 1);
                        sum += in.at(static_cast<std::size_t>((sy * kWide + sx) * 3 + c));
                    }
                    out.at(static_cast<std::size_t>((y * kWide + x) * 3 + c))
                        = static_cast<std::uint8_t>((sum * scale + 32768) >> 16);
                }
            }
        }
        return out;
    };
    const std::vector<std::uint8_t> busy = pattern(kWide, kHigh);
    for (const int radius : { 3, 16 }) {
        SCOPED_TRACE(radius);
        load("Blur.so", 3);
        ASSERT_TRUE(host->setParameter(3, 0, static_cast<float>(radius) / 16.0f));
        EXPECT_EQ(
            process(3, busy, kWide, kHigh), boxPass(boxPass(busy, radius, true), radius, false));
    }
}

TEST_F(OurPluginsTest, FeedbackEchoesTheFramesBefore)
{
    const std::vector<std::uint8_t> black(picture.size(), 0);
    const std::vector<std::uint8_t> white(picture.size(), 255);
    EXPECT_EQ(run("Feedback.so", { 1.0f }, black), black);
    const auto echoed = process(1, white, kW, kH);
    EXPECT_EQ(echoed[0], 16) << "1/16 of the new frame, 15/16 of the echo";
}

// Four segments: every quarter shows the quarter above and right of the centre, mirrored
// across the axes; two: the upper half mirrored onto the lower.
TEST_F(OurPluginsTest, KaleidoscopeMirrorsTheFirstWedge)
{
    const auto mirrored = [](int v, int size) { return v >= size / 2 ? v : size - 1 - v; };
    const auto four = run("Kaleidoscope.so", { 2.0f / 14.0f, 0.0f }, picture);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(at(four, x, y, c), at(picture, mirrored(x, kW), mirrored(y, kH), c))
                    << x << "," << y;
            }
        }
    }
    const auto two = run("Kaleidoscope.so", { 0.0f, 0.0f }, picture);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(at(two, x, y, 1), at(picture, x, mirrored(y, kH), 1)) << x << "," << y;
        }
    }
}

TEST_F(OurPluginsTest, EdgeGlowLightsTheEdgesOnly)
{
    const std::vector<std::uint8_t> even(picture.size(), 90);
    EXPECT_EQ(run("EdgeGlow.so", { 1.0f, 0.0f }, even), even);
    // Black on the left, grey 100 on the right: the two columns at the step glow to white,
    // the columns away from it stay.
    std::vector<std::uint8_t> step(picture.size(), 0);
    for (int y = 0; y < kH; ++y) {
        for (int x = kW / 2; x < kW; ++x) {
            std::fill_n(step.begin() + (y * kW + x) * 3, 3, std::uint8_t { 100 });
        }
    }
    const auto out = process(1, step, kW, kH);
    for (int y = 0; y < kH; ++y) {
        EXPECT_EQ(at(out, kW / 2 - 1, y, 0), 255);
        EXPECT_EQ(at(out, kW / 2, y, 2), 255);
        EXPECT_EQ(at(out, 2, y, 1), 0);
        EXPECT_EQ(at(out, kW - 3, y, 1), 100);
    }
    EXPECT_EQ(run("EdgeGlow.so", { 1.0f, 1.0f }, step), step) << "nothing above the threshold";
}

// Where the processor has them, per-pixel effects take 64 pixels at a time, and the rest of a
// frame, like any frame of fewer pixels, the plain way: a long row run at once gives the bytes
// of the same row run in pieces too short for the fast way.
TEST_F(OurPluginsTest, LongRowsGiveTheBytesOfShortPieces)
{
    constexpr int kLong = 700;
    constexpr int kPiece = 50;
    performance.slot(3).ClipWidth = kLong;
    performance.slot(3).ClipHeight = 1;
    performance.slot(4).ClipWidth = kPiece;
    performance.slot(4).ClipHeight = 1;
    const std::vector<std::uint8_t> row = pattern(kLong, 1);
    struct Case {
        const char* file;
        std::vector<float> values;
    };
    for (const Case& c : { Case { "Colour.so", { 0.3f, 0.7f, 0.9f } },
             Case { "Colour.so", { 0.5f, 0.5f, 0.2f } }, Case { "Colour.so", { 0.8f, 0.5f, 1.0f } },
             Case { "Colour.so", { 0.6f, 0.3f, 0.5f } }, Case { "Posterize.so", { 0.4f } },
             Case { "Invert.so", { 0.3f } }, Case { "ColourCycle.so", { 0.0f, 0.3f } } }) {
        SCOPED_TRACE(::testing::Message() << c.file << " " << c.values.at(0));
        for (const int slot : { 3, 4 }) {
            load(c.file, slot);
            for (std::size_t i = 0; i < c.values.size(); ++i) {
                ASSERT_TRUE(host->setParameter(slot, static_cast<int>(i), c.values[i]));
            }
        }
        const auto whole = process(3, row, kLong, 1);
        std::vector<std::uint8_t> pieces;
        for (std::size_t at = 0; at < row.size(); at += kPiece * 3) {
            const std::vector<std::uint8_t> piece(row.begin() + static_cast<std::ptrdiff_t>(at),
                row.begin() + static_cast<std::ptrdiff_t>(at + kPiece * 3));
            const auto done = process(4, piece, kPiece, 1);
            pieces.insert(pieces.end(), done.begin(), done.end());
        }
        EXPECT_EQ(whole, pieces);
    }
}

// The glow of edges is the same across and down: on the transposed picture it gives the
// transposed glow. Rows of 100 pixels take the fast way where there is one; rows of 7 never do.
TEST_F(OurPluginsTest, EdgeGlowGivesTheTransposedGlowOfTheTransposedPicture)
{
    constexpr int kWide = 100;
    constexpr int kNarrow = 7;
    performance.slot(3).ClipWidth = kWide;
    performance.slot(3).ClipHeight = kNarrow;
    performance.slot(4).ClipWidth = kNarrow;
    performance.slot(4).ClipHeight = kWide;
    const auto transposed = [](const std::vector<std::uint8_t>& frame, int width, int height) {
        std::vector<std::uint8_t> out(frame.size());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    out.at(static_cast<std::size_t>((x * height + y) * 3 + c))
                        = frame.at(static_cast<std::size_t>((y * width + x) * 3 + c));
                }
            }
        }
        return out;
    };
    const std::vector<std::uint8_t> edges = pattern(kWide, kNarrow);
    for (const int slot : { 3, 4 }) {
        load("EdgeGlow.so", slot);
        ASSERT_TRUE(host->setParameter(slot, 0, 0.7f));
        ASSERT_TRUE(host->setParameter(slot, 1, 0.05f));
    }
    const auto wide = process(3, edges, kWide, kNarrow);
    const auto narrow = process(4, transposed(edges, kWide, kNarrow), kNarrow, kWide);
    ASSERT_NE(wide, edges) << "the picture has edges to glow";
    EXPECT_EQ(transposed(wide, kWide, kNarrow), narrow);
}

// A third of a turn moves red to green and keeps greys; the turn moves on by the speed with
// each frame processed, the same for every instance.
TEST_F(OurPluginsTest, ColourCycleTurnsHuesFrameByFrame)
{
    std::vector<std::uint8_t> red(picture.size(), 0);
    std::vector<std::uint8_t> green(picture.size(), 0);
    std::vector<std::uint8_t> grey(picture.size(), 77);
    for (std::size_t i = 0; i < red.size(); i += 3) {
        red[i + 2] = 255;
        green[i + 1] = 255;
    }
    EXPECT_EQ(run("ColourCycle.so", { 0.0f, 1.0f / 3.0f }, red), green);
    EXPECT_EQ(process(1, grey, kW, kH), grey);

    load("ColourCycle.so", 2);
    for (const int slot : { 1, 2 }) {
        ASSERT_TRUE(host->setParameter(slot, 0, 1.0f / 3.0f)); // 1/30 turn a frame
        ASSERT_TRUE(host->setParameter(slot, 1, 0.0f));
    }
    // Slot 1's frames so far turned by nothing (speed 0): both start from no turn.
    std::vector<std::vector<std::uint8_t>> first;
    std::vector<std::vector<std::uint8_t>> second;
    for (int frame = 0; frame < 11; ++frame) {
        first.push_back(process(1, red, kW, kH));
        second.push_back(process(2, red, kW, kH));
    }
    EXPECT_EQ(second.front(), red);
    EXPECT_EQ(second.back(), green) << "ten frames of 1/30 turn";
    EXPECT_NE(second.at(5), second.at(6));
    EXPECT_EQ(first, second);
}

} // namespace
} // namespace oskel::test
