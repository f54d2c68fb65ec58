#include <cmath>
#include <numbers>
#include <thread>

#include <gtest/gtest.h>

#include "gl/gl_renderer_fixture.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace oskel::test {
namespace {

constexpr int kWidth = kCompositionWidth;
constexpr int kHeight = kCompositionHeight;

class Output : public GlRendererFixture { };

TEST_F(Output, ACustomAspectOf16To9LeavesBlackBarsAboveAndBelow)
{
    performance.options().display.manualPreviewSize = true;
    initDisplay();
    EXPECT_EQ(renderer->viewport().y, 36);
    EXPECT_EQ(renderer->viewport().height, 216);
    loadSlot(1, kWidth, kHeight);
    draw(1, TestFrame(kWidth, kHeight, kWhite));
    const auto picture = presentAndRead();
    for (const int x : { 0, 192, 383 }) {
        EXPECT_EQ(pixelAt(picture, x, 35), kBlack);
        EXPECT_EQ(pixelAt(picture, x, 36), kWhite);
        EXPECT_EQ(pixelAt(picture, x, 251), kWhite);
        EXPECT_EQ(pixelAt(picture, x, 252), kBlack);
    }
}

// Where a point of the tile grid lands in the composition (x right, y down): the 65-degree
// perspective over the 384 x 288 output.
struct Projected {
    int x;
    int y;
};
Projected project(double x, double y, double depth)
{
    const double focal = 1.0 / std::tan(65.0 / 2.0 * std::numbers::pi / 180.0);
    const double aspect = double(kWidth) / kHeight;
    const double ndcX = focal / aspect * x / depth;
    const double ndcY = focal * y / depth;
    return { int(std::lround((ndcX + 1.0) * kWidth / 2.0)),
        int(std::lround(kHeight - (ndcY + 1.0) * kHeight / 2.0)) };
}

TEST_F(Output, ThreeByThreeTilesSitAtTheirProjectedCentres)
{
    // Quadrants tell the tile's corners apart: red bottom left, green bottom right, blue top
    // left, white top right.
    TestFrame frame(256, 256, kRed);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool right = x >= 128;
            const bool top = y >= 128;
            frame.set(x, y, top ? (right ? kWhite : kBlue) : (right ? kGreen : kRed));
        }
    }
    loadSlot(1, 256, 256, [](TPlayAvistruct& s) {
        s.BillBoard = true;
        s.HorzTiles = 3;
        s.VertTiles = 3;
        s.ArraySpacing = 2.0;
        s.Size3D = 0.5;
    });
    draw(1, frame);
    const auto picture = presentAndRead();
    constexpr int offset = 8;
    for (const double y : { -2.0, 0.0, 2.0 }) {
        for (const double x : { -2.0, 0.0, 2.0 }) {
            const Projected centre = project(x, y, 5.0);
            SCOPED_TRACE(::testing::Message() << "tile at " << x << ", " << y);
            EXPECT_EQ(pixelAt(picture, centre.x - offset, centre.y + offset), kRed);
            EXPECT_EQ(pixelAt(picture, centre.x + offset, centre.y + offset), kGreen);
            EXPECT_EQ(pixelAt(picture, centre.x - offset, centre.y - offset), kBlue);
            EXPECT_EQ(pixelAt(picture, centre.x + offset, centre.y - offset), kWhite);
        }
    }
    const Projected between = project(1.0, 0.0, 5.0);
    EXPECT_EQ(pixelAt(picture, between.x, between.y), kBlack);
}

// A single tile of four quadrants turned by the live record's angles: which corner of the
// output the red (bottom left) quadrant ends up in.
struct TurnCase {
    double xRot;
    double yRot;
    double zRot;
    int redRight; // -1 left, 1 right
    int redDown; // -1 up, 1 down
};

class TileTurns : public Output, public ::testing::WithParamInterface<TurnCase> { };

TEST_P(TileTurns, AboutXThenYThenZ)
{
    const TurnCase turn = GetParam();
    TestFrame frame(256, 256, kBlue);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            frame.set(x, y, kRed);
        }
    }
    loadSlot(1, 256, 256, [](TPlayAvistruct& s) {
        s.BillBoard = true;
        s.Size3D = 0.5;
    });
    performance.slot(1).XRot = turn.xRot;
    performance.slot(1).YRot = turn.yRot;
    performance.slot(1).ZRot = turn.zRot;
    draw(1, frame);
    const auto picture = presentAndRead();
    constexpr int offset = 8;
    EXPECT_EQ(pixelAt(picture, 192 + turn.redRight * offset, 144 + turn.redDown * offset), kRed);
    EXPECT_EQ(pixelAt(picture, 192 - turn.redRight * offset, 144 - turn.redDown * offset), kBlue);
}

INSTANTIATE_TEST_SUITE_P(Angles, TileTurns,
    ::testing::Values(TurnCase { 0, 0, 0, -1, 1 }, TurnCase { 0, 0, 90, 1, 1 },
        TurnCase { 180, 0, 90, 1, -1 }, TurnCase { 0, 180, 90, -1, 1 }));

TEST_F(Output, TilesTurnInTheLiveRecordByTheirSpeedsTimesTheStepFactor)
{
    loadSlot(1, 256, 256, [](TPlayAvistruct& s) {
        s.BillBoard = true;
        s.XRotSpeed = 3.0;
        s.ZRotSpeed = -2.0;
    });
    const TestFrame frame(256, 256, kWhite);
    const auto tickAt = [&](std::uint32_t milliseconds) {
        renderer->setTickTime(milliseconds);
        renderer->Present();
        draw(1, frame);
        return performance.slot(1).XRot.load();
    };
    EXPECT_DOUBLE_EQ(tickAt(1000), -3.0);
    EXPECT_DOUBLE_EQ(performance.slot(1).ZRot, 2.0);
    EXPECT_DOUBLE_EQ(tickAt(1020), -3.0) << "half a step does not turn";
    EXPECT_DOUBLE_EQ(tickAt(1080), -9.0) << "two steps turn twice as far";
}

TEST_F(Output, TheLoadingPictureCoversTheLayersUntilDropped)
{
    TempDir folder;
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        const bool left = (i / 3) % kWidth < kWidth / 2;
        pixels[i] = left ? 255 : 0; // blue on the left, green on the right
        pixels[i + 1] = left ? 0 : 255;
    }
    writeBytesToFile(folder / "Loading.bmp", makeBmp(kWidth, kHeight, 24, pixels));
    writeBytesToFile(folder / "grey.bmp", makeBmp(4, 4, 8, std::vector<std::uint8_t>(16)));

    renderer->ShowPicture(folder / "missing.bmp");
    renderer->ShowPicture(folder / "grey.bmp");
    EXPECT_FALSE(renderer->showingPicture());
    renderer->ShowPicture(folder / "Loading.bmp");
    EXPECT_TRUE(renderer->showingPicture());

    loadSlot(1, kWidth, kHeight);
    const TestFrame red(kWidth, kHeight, kRed);
    draw(1, red);
    auto picture = presentAndRead();
    EXPECT_EQ(pixelAt(picture, 10, 10), kBlue);
    EXPECT_EQ(pixelAt(picture, 370, 280), kGreen);

    renderer->DropPicture();
    EXPECT_FALSE(renderer->showingPicture());
    draw(1, red);
    EXPECT_EQ(pixelAt(presentAndRead(), 10, 10), kRed);
}

TEST_F(Output, TheSecondOutputShowsTheWholeCompositionWithSharedTextures)
{
    GlSurfaceResult second = surface().createSharedSurface(96, 72);
    ASSERT_NE(second.surface, nullptr) << second.error;
    auto& secondary = static_cast<EglSurface&>(*second.surface);
    renderer->setSecondarySurface(&secondary);
    initDisplay();
    TestFrame frame(kWidth, kHeight, kRed);
    frame.fillColumns(kWidth / 2, kWidth, kGreen);
    loadSlot(1, kWidth, kHeight);
    draw(1, frame);
    const auto composed = presentAndRead();

    std::vector<std::uint8_t> onMain(composed.size());
    ASSERT_TRUE(surface().readPicture(onMain.data(), onMain.size()));
    EXPECT_EQ(onMain, composed);

    ASSERT_TRUE(secondary.makeCurrent());
    std::vector<std::uint8_t> onSecond(96 * 72 * 3);
    ASSERT_TRUE(secondary.readPicture(onSecond.data(), onSecond.size()));
    renderer->makeCurrent();
    const auto secondPixel = [&](int x, int y) {
        const std::size_t at = (std::size_t(y) * 96 + std::size_t(x)) * 3;
        return Bgr { onSecond[at], onSecond[at + 1], onSecond[at + 2] };
    };
    EXPECT_EQ(secondPixel(10, 36), kRed);
    EXPECT_EQ(secondPixel(86, 36), kGreen);
    renderer.reset();
}

TEST_F(Output, TheFrameThreadDrawsOnceTheMainThreadHasSetTheDisplayUp)
{
    renderer->releaseContext();
    initDisplay();
    renderer->releaseContext();
    std::vector<std::uint8_t> picture(std::size_t(kWidth) * kHeight * 3);
    bool read = false;
    std::thread frameThread([&] {
        renderer->makeCurrent();
        loadSlot(1, kWidth, kHeight);
        draw(1, TestFrame(kWidth, kHeight, kGreen));
        renderer->Present();
        read = renderer->readOutput(picture.data(), picture.size());
        renderer->releaseContext();
    });
    frameThread.join();
    renderer->makeCurrent();
    ASSERT_TRUE(read);
    EXPECT_EQ(pixelAt(picture, 192, 144), kGreen);
}

// A surface whose context can never be made current.
class UnusableSurface : public GlSurface {
public:
    bool makeCurrent() override { return false; }
    void doneCurrent() override { }
    void swapBuffers() override { }
    int width() const override { return kWidth; }
    int height() const override { return kHeight; }
    Proc procAddress(const char*) const override { return nullptr; }
    GlSurfaceResult createSharedSurface(int, int) override { return { nullptr, "none" }; }
};

TEST(GlRendererWithoutContext, SaysSoAndDrawsNothing)
{
    RecordingUserInterface ui;
    MainThreadDispatcher dispatcher;
    Performance performance(ui, dispatcher);
    UnusableSurface surface;
    GlRenderer renderer(performance, surface, dispatcher);
    EXPECT_FALSE(renderer.InitDisplay());
    ASSERT_EQ(ui.statusTexts.size(), 1u);
    EXPECT_EQ(ui.statusTexts[0], renderer.lastError());
    const TestFrame frame(8, 8, kWhite);
    renderer.DrawSlotFrame(1, performance.snapshot()[1], frame.pixels.data(), frame.header);
    renderer.Present();
    std::vector<std::uint8_t> picture(std::size_t(kWidth) * kHeight * 3);
    EXPECT_FALSE(renderer.readOutput(picture.data(), picture.size()));
}

TEST(EglSurfaceCreation, AnUnusableSizeIsRefusedWithAReason)
{
    for (const auto& [width, height] :
        { std::pair { 0, 288 }, std::pair { 384, -1 }, std::pair { 100000, 288 } }) {
        GlSurfaceResult result = createEglSurface(width, height);
        EXPECT_EQ(result.surface, nullptr);
        EXPECT_FALSE(result.error.empty());
    }
}

} // namespace
} // namespace oskel::test
