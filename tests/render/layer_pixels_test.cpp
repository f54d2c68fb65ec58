#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render/layer_pixels.h"

namespace {

using namespace oskel;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUntouched = 0xCD;

std::array<std::uint8_t, 3> framePixel(int x, int y)
{
    return { static_cast<std::uint8_t>(x * 7 + y * 3),
        static_cast<std::uint8_t>(x * 5 + y * 11 + 1),
        static_cast<std::uint8_t>(x * 3 + y * 13 + 2) };
}

std::uint8_t maskByte(int x, int y)
{
    return static_cast<std::uint8_t>(x * 17 + y * 29 + 5);
}

struct TestFrame {
    TBitmapInfoHeader header;
    Bytes pixels;
    FrameView view() const { return { pixels.data(), &header }; }
};

// A bottom-up 24-bit frame of width x height with packed rows, as the sources deliver.
TestFrame makeFrame(int width, int height)
{
    TestFrame frame;
    frame.header.width = width;
    frame.header.height = height;
    frame.header.sizeImage = static_cast<std::uint32_t>(3 * width * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto pixel = framePixel(x, y);
            frame.pixels.insert(frame.pixels.end(), pixel.begin(), pixel.end());
        }
    }
    return frame;
}

ByteBlock makeMask(int width, int height)
{
    auto mask = std::make_shared<Bytes>();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            mask->push_back(maskByte(x, y));
        }
    }
    return mask;
}

struct Region {
    int x;
    int y;
    int width;
    int height;
};

std::array<std::uint8_t, 3> swapped(std::array<std::uint8_t, 3> bgr, int mode)
{
    const auto [b, g, r] = bgr;
    switch (mode) {
    case 1:
        return { b, r, g };
    case 2:
        return { r, g, b };
    case 3:
        return { g, b, r };
    default:
        return bgr;
    }
}

enum class Alpha { None, Luma, Stencil, LumaTimesStencil };

// The pixels a region should come out as, worked out pixel by pixel from the rules.
Bytes expectedPixels(
    Region region, int mode, Alpha alpha, const LumaTable& luma, const ProductTable& product)
{
    Bytes out;
    for (int y = region.y; y < region.y + region.height; ++y) {
        for (int x = region.x; x < region.x + region.width; ++x) {
            const auto pixel = swapped(framePixel(x, y), mode);
            out.insert(out.end(), pixel.begin(), pixel.end());
            const std::uint8_t lumaAlpha
                = luma.alpha[std::size_t { pixel[0] } + pixel[1] + pixel[2]];
            switch (alpha) {
            case Alpha::None:
                break;
            case Alpha::Luma:
                out.push_back(lumaAlpha);
                break;
            case Alpha::Stencil:
                out.push_back(maskByte(x, y));
                break;
            case Alpha::LumaTimesStencil:
                out.push_back(product(lumaAlpha, maskByte(x, y)));
                break;
            }
        }
    }
    return out;
}

class PrepareLayerPixels : public ::testing::Test {
protected:
    PrepareLayerPixels()
    {
        for (std::uint8_t* buffer :
            { buffers.rgb.get(), buffers.rgba.get(), buffers.rgba2.get() }) {
            std::fill_n(buffer, WorkBuffers::kPixels * 3, kUntouched);
        }
        std::fill_n(buffers.rgba.get(), WorkBuffers::kPixels * 4, kUntouched);
        std::fill_n(buffers.rgba2.get(), WorkBuffers::kPixels * 4, kUntouched);
        lumaCache.update(300, 100, false);
    }

    // A clip of width x height whose frames are as large, drawn flat.
    void useClip(int width, int height)
    {
        frame = makeFrame(width, height);
        snapshot.ClipWidth = width;
        snapshot.ClipHeight = height;
        layout = textureLayoutFor(width, height);
    }

    void useStencil(int width, int height)
    {
        snapshot.StencilEnabled = true;
        snapshot.StencilMask = makeMask(width, height);
        snapshot.StencilWidth = width;
        snapshot.StencilHeight = height;
    }

    PreparedLayer prepare(bool softSwap = false)
    {
        return prepareLayerPixels(
            snapshot, frame.view(), layout, lumaCache.table, product, softSwap, buffers);
    }

    Bytes pixelsOf(const PreparedLayer& prepared) const
    {
        const std::size_t bytesPerPixel = prepared.pixels.format == PixelFormat::BGRA ? 4 : 3;
        const std::size_t size = std::size_t(prepared.pixels.width)
            * std::size_t(prepared.pixels.height) * bytesPerPixel;
        return Bytes(prepared.pixels.data, prepared.pixels.data + size);
    }

    Bytes expected(Region region, int mode, Alpha alpha) const
    {
        return expectedPixels(region, mode, alpha, lumaCache.table, product);
    }

    bool nothingWritten() const
    {
        const auto untouched = [](const std::uint8_t* buffer, std::size_t size) {
            return std::all_of(
                buffer, buffer + size, [](std::uint8_t byte) { return byte == kUntouched; });
        };
        return untouched(buffers.rgb.get(), WorkBuffers::kPixels * 3)
            && untouched(buffers.rgba.get(), WorkBuffers::kPixels * 4)
            && untouched(buffers.rgba2.get(), WorkBuffers::kPixels * 4);
    }

    void expectRefused(FrameRefusal refusal)
    {
        const PreparedLayer prepared = prepare();
        EXPECT_EQ(prepared.refusal, refusal);
        EXPECT_EQ(prepared.pixels.data, nullptr);
        EXPECT_TRUE(nothingWritten());
    }

    TPlayAvistruct snapshot;
    TestFrame frame;
    TextureLayout layout;
    LumaCache lumaCache;
    const ProductTable product;
    WorkBuffers buffers;
};

TEST_F(PrepareLayerPixels, FlatLayerCopiesTheClipWithTheSlotsSwap)
{
    useClip(12, 6);
    snapshot.ColourSwapMode = 1;
    const PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.refusal, FrameRefusal::None);
    EXPECT_EQ(prepared.pixels.data, buffers.rgb.get());
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGR);
    EXPECT_EQ(prepared.pixels.width, 12);
    EXPECT_EQ(prepared.pixels.height, 6);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 12, 6 }, 1, Alpha::None));
}

// The clip's region is taken from a frame with longer rows: rows step by the frame's width.
TEST_F(PrepareLayerPixels, FlatRegionStepsByTheFramesRowLength)
{
    useClip(10, 5);
    frame = makeFrame(14, 7);
    const PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.refusal, FrameRefusal::None);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 10, 5 }, 0, Alpha::None));
}

TEST_F(PrepareLayerPixels, LumaKeyGivesEachPixelTheAlphaOfItsSum)
{
    useClip(9, 5);
    snapshot.LumaKey = true;
    snapshot.ColourSwapMode = 3;
    const PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.pixels.data, buffers.rgba.get());
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGRA);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 9, 5 }, 3, Alpha::Luma));
}

TEST_F(PrepareLayerPixels, StencilGivesEachPixelItsMaskByte)
{
    useClip(9, 5);
    useStencil(9, 5);
    const PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.pixels.data, buffers.rgba.get());
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGRA);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 9, 5 }, 0, Alpha::Stencil));
}

TEST_F(PrepareLayerPixels, LumaKeyAndStencilMultiplyIntoTheSecondBuffer)
{
    useClip(9, 5);
    useStencil(9, 5);
    snapshot.LumaKey = true;
    const PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.pixels.data, buffers.rgba2.get());
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGRA);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 9, 5 }, 0, Alpha::LumaTimesStencil));
}

struct SoftSwapCase {
    const char* name;
    bool lumaKey;
    bool softSwap;
    bool tiled;
    int expectedMode;
};

class SoftSwap : public PrepareLayerPixels, public ::testing::WithParamInterface<SoftSwapCase> { };

TEST_P(SoftSwap, RedBlueSwapsLumaKeyedFlatLayersOnly)
{
    const SoftSwapCase& c = GetParam();
    useClip(16, 8);
    snapshot.ColourSwapMode = 3;
    snapshot.LumaKey = c.lumaKey;
    snapshot.BillBoard = c.tiled;
    const PreparedLayer prepared = prepare(c.softSwap);
    const Region region
        = c.tiled ? Region { layout.tileX, layout.tileY, 8, 8 } : Region { 0, 0, 16, 8 };
    EXPECT_EQ(pixelsOf(prepared),
        expected(region, c.expectedMode, c.lumaKey ? Alpha::Luma : Alpha::None));
}

INSTANTIATE_TEST_SUITE_P(Cases, SoftSwap,
    ::testing::Values(SoftSwapCase { "KeyedFlatLayer", true, true, false, 2 },
        SoftSwapCase { "SettingOff", true, false, false, 3 },
        SoftSwapCase { "NotKeyed", false, true, false, 3 },
        SoftSwapCase { "KeyedTiles", true, true, true, 3 }),
    [](const ::testing::TestParamInfo<SoftSwapCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(PrepareLayerPixels, TileIsTheCentreSquareWithTheStencilReadAtTheSamePlace)
{
    useClip(40, 24); // tile edge 16 at (12, 4)
    useStencil(40, 24);
    snapshot.BillBoard = true;
    snapshot.ColourSwapMode = 2;
    ASSERT_EQ(layout.tileEdge, 16);
    ASSERT_EQ(layout.tileX, 12);
    ASSERT_EQ(layout.tileY, 4);
    PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.pixels.width, 16);
    EXPECT_EQ(prepared.pixels.height, 16);
    EXPECT_EQ(prepared.pixels.data, buffers.rgba.get());
    EXPECT_EQ(pixelsOf(prepared), expected({ 12, 4, 16, 16 }, 2, Alpha::Stencil));

    snapshot.LumaKey = true;
    prepared = prepare();
    EXPECT_EQ(prepared.pixels.data, buffers.rgba2.get());
    EXPECT_EQ(pixelsOf(prepared), expected({ 12, 4, 16, 16 }, 2, Alpha::LumaTimesStencil));

    snapshot.LumaKey = false;
    snapshot.StencilEnabled = false;
    prepared = prepare();
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGR);
    EXPECT_EQ(pixelsOf(prepared), expected({ 12, 4, 16, 16 }, 2, Alpha::None));
}

struct StencilMismatchCase {
    const char* name;
    int stencilWidth;
    int stencilHeight;
    int maskWidth; // the mask's real size
    int maskHeight;
};

class StencilMismatch : public PrepareLayerPixels,
                        public ::testing::WithParamInterface<StencilMismatchCase> { };

TEST_P(StencilMismatch, IsLeftOutRatherThanReadPastItsEnd)
{
    const StencilMismatchCase& c = GetParam();
    useClip(20, 10);
    useStencil(c.maskWidth, c.maskHeight);
    snapshot.StencilWidth = c.stencilWidth;
    snapshot.StencilHeight = c.stencilHeight;

    PreparedLayer prepared = prepare();
    EXPECT_EQ(prepared.refusal, FrameRefusal::None);
    EXPECT_EQ(prepared.pixels.format, PixelFormat::BGR);
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 20, 10 }, 0, Alpha::None));

    snapshot.LumaKey = true;
    prepared = prepare();
    EXPECT_EQ(prepared.pixels.data, buffers.rgba.get());
    EXPECT_EQ(pixelsOf(prepared), expected({ 0, 0, 20, 10 }, 0, Alpha::Luma));
}

INSTANTIATE_TEST_SUITE_P(Cases, StencilMismatch,
    ::testing::Values(StencilMismatchCase { "NarrowerStencil", 10, 10, 10, 10 },
        StencilMismatchCase { "ShorterStencil", 20, 5, 20, 5 },
        StencilMismatchCase { "LargerStencil", 40, 20, 40, 20 },
        StencilMismatchCase { "SizeRightMaskTooShort", 20, 10, 20, 9 },
        StencilMismatchCase { "SizeRightMaskTooLong", 20, 10, 20, 11 },
        StencilMismatchCase { "NegativeSize", -20, -10, 20, 10 }),
    [](const ::testing::TestParamInfo<StencilMismatchCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(PrepareLayerPixels, StencilSwitchedOffOrMissingIsLeftOut)
{
    useClip(20, 10);
    useStencil(20, 10);
    snapshot.StencilEnabled = false;
    EXPECT_EQ(prepare().pixels.format, PixelFormat::BGR);
    snapshot.StencilEnabled = true;
    snapshot.StencilMask.reset();
    EXPECT_EQ(prepare().pixels.format, PixelFormat::BGR);
}

TEST_F(PrepareLayerPixels, MissingHeaderIsNotDrawable)
{
    useClip(20, 10);
    const PreparedLayer prepared
        = prepareLayerPixels(snapshot, FrameView { frame.pixels.data(), nullptr }, layout,
            lumaCache.table, product, false, buffers);
    EXPECT_EQ(prepared.refusal, FrameRefusal::NotDrawable);
    EXPECT_EQ(prepared.pixels.data, nullptr);
    EXPECT_TRUE(nothingWritten());
}

TEST_F(PrepareLayerPixels, MissingPixelsAreNotDrawable)
{
    useClip(20, 10);
    frame.pixels.clear();
    frame.pixels.shrink_to_fit();
    expectRefused(FrameRefusal::NotDrawable);
}

TEST_F(PrepareLayerPixels, CompressedFrameIsNotDrawable)
{
    useClip(20, 10);
    frame.header.compression = 0x47504A4D; // "MJPG"
    expectRefused(FrameRefusal::NotDrawable);
}

TEST_F(PrepareLayerPixels, OversizeFrameIsRefusedWithNothingWritten)
{
    useClip(600, 400); // the layout caps its texture at 512
    ASSERT_EQ(layout.flatEdge, 512);
    expectRefused(FrameRefusal::LargerThanTexture);
    snapshot.BillBoard = true; // its 256 tile would fit, but the frame does not
    expectRefused(FrameRefusal::LargerThanTexture);
}

// Sizes that do not agree with each other or with the layout: the frame is not touched.
struct BadSizeCase {
    const char* name;
    int clipWidth;
    int clipHeight;
    int frameWidth;
    int frameHeight;
    int layoutWidth; // the clip size the textures were made for
    int layoutHeight;
};

class BadSizes : public PrepareLayerPixels, public ::testing::WithParamInterface<BadSizeCase> { };

TEST_P(BadSizes, AreRefusedWithNothingWritten)
{
    const BadSizeCase& c = GetParam();
    for (const bool tiled : { false, true }) {
        snapshot.ClipWidth = c.clipWidth;
        snapshot.ClipHeight = c.clipHeight;
        snapshot.BillBoard = tiled;
        frame = makeFrame(std::max(c.frameWidth, 1), std::max(c.frameHeight, 1));
        frame.header.width = c.frameWidth;
        frame.header.height = c.frameHeight;
        layout = textureLayoutFor(c.layoutWidth, c.layoutHeight);
        SCOPED_TRACE(tiled ? "tiled" : "flat");
        expectRefused(FrameRefusal::LargerThanTexture);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadSizes,
    ::testing::Values(BadSizeCase { "FrameWiderThanTexture", 320, 240, 600, 240, 320, 240 },
        BadSizeCase { "ClipLargerThanItsTextures", 320, 240, 320, 240, 200, 150 },
        BadSizeCase { "FrameNarrowerThanClip", 320, 240, 300, 240, 320, 240 },
        BadSizeCase { "FrameShorterThanClip", 320, 240, 320, 200, 320, 240 },
        BadSizeCase { "ZeroClipWidth", 0, 240, 320, 240, 320, 240 },
        BadSizeCase { "NegativeClipHeight", 320, -240, 320, 240, 320, 240 },
        BadSizeCase { "ZeroFrameWidth", 320, 240, 0, 240, 320, 240 },
        BadSizeCase { "NegativeFrameHeight", 320, 240, 320, -240, 320, 240 },
        BadSizeCase { "NoTextures", 320, 240, 320, 240, 0, 0 }),
    [](const ::testing::TestParamInfo<BadSizeCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(PrepareLayerPixels, TileOutsideTheFrameIsRefused)
{
    useClip(40, 24);
    snapshot.BillBoard = true;
    for (const TextureLayout bad :
        { TextureLayout { 64, 0.625f, 0.375f, 16, 30, 4 }, // past the right edge
            TextureLayout { 64, 0.625f, 0.375f, 16, 12, 10 }, // past the top
            TextureLayout { 64, 0.625f, 0.375f, 16, -1, 4 }, // before the left edge
            TextureLayout { 64, 0.625f, 0.375f, 0, 12, 4 }, // no tile
            TextureLayout { 64, 0.625f, 0.375f, 1024, 0, 0 } }) { // more than a texture
        layout = bad;
        expectRefused(FrameRefusal::LargerThanTexture);
    }
}

} // namespace
