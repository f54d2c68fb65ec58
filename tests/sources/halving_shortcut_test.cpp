#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "sources/frame_converter.h"
#include "sources/halving_shortcut.h"
#include "sources/swscale_rows.h"

namespace oskel {
namespace {

// Noise with a gradient over it, so that it is not the picture the converter checks itself on.
ffmpeg::FramePtr testPicture(AVPixelFormat format, FrameSize size)
{
    ffmpeg::FramePtr picture = noisePicture(format, size);
    for (int plane = 0; plane < 4 && picture && picture->data[plane] != nullptr; ++plane) {
        for (int row = 0; row < size.height / 2; ++row) {
            std::uint8_t* bytes = picture->data[plane] + row * picture->linesize[plane];
            for (int x = 0; x < picture->linesize[plane] / 2; ++x) {
                bytes[x] = static_cast<std::uint8_t>(x + 3 * row);
            }
        }
    }
    return picture;
}

// The picture converted whole at its size as the converter does, then halved: what every shortcut
// must give.
std::vector<std::uint8_t> wholeThenHalved(const AVFrame& picture, FrameSize size)
{
    ffmpeg::SwsContextPtr scaler(
        sws_getContext(size.width, size.height, static_cast<AVPixelFormat>(picture.format),
            size.width, size.height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    // Rows padded as the converter pads them: swscale's vector loops stop short of the end of a
    // row where the padding is too narrow for another vector, and finish it another way.
    const auto stride = static_cast<int>(paddedRowBytes(size.width));
    std::vector<std::uint8_t> whole(std::size_t(stride) * size.height + 256);
    std::uint8_t* const planes[4] = { whole.data(), nullptr, nullptr, nullptr };
    const int strides[4] = { stride, 0, 0, 0 };
    sws_scale(scaler.get(), picture.data, picture.linesize, 0, size.height, planes, strides);
    const FrameSize half = halvedSize(size);
    std::vector<std::uint8_t> halved(std::size_t(half.width) * half.height * 3);
    halveFrame(
        whole.data() + std::ptrdiff_t(size.height - 1) * stride, -stride, size, halved.data());
    return halved;
}

struct ShortcutCase {
    AVPixelFormat format;
    FrameSize size;
};

TEST(HalvingShortcut, GivesTheWholePathsPixelsForEveryFormatItTakes)
{
    const ShortcutCase cases[] = {
        { AV_PIX_FMT_YUVJ420P, { 640, 480 } }, // motion JPEG
        { AV_PIX_FMT_YUVJ422P, { 640, 480 } },
        { AV_PIX_FMT_YUVJ444P, { 640, 480 } },
        { AV_PIX_FMT_YUV420P, { 1280, 720 } },
        { AV_PIX_FMT_YUV422P, { 722, 576 } },
        { AV_PIX_FMT_YUV444P, { 401, 291 } }, // odd sides: the kept rows start at row 2
        { AV_PIX_FMT_GBRP, { 640, 360 } },
        { AV_PIX_FMT_RGB24, { 500, 300 } },
        { AV_PIX_FMT_BGRA, { 500, 301 } },
        { AV_PIX_FMT_GRAY8, { 390, 100 } },
    };
    for (const ShortcutCase& c : cases) {
        SCOPED_TRACE(av_get_pix_fmt_name(c.format) + std::string(" ") + std::to_string(c.size.width)
            + "x" + std::to_string(c.size.height));
        auto shortcut = HalvingShortcut::makeFor(c.format, c.size);
        ASSERT_NE(shortcut, nullptr);
        const ffmpeg::FramePtr picture = testPicture(c.format, c.size);
        const FrameSize half = halvedSize(c.size);
        std::vector<std::uint8_t> quick(std::size_t(half.width) * half.height * 3);
        ASSERT_TRUE(shortcut->convert(*picture, quick.data()));
        EXPECT_EQ(quick, wholeThenHalved(*picture, c.size));
    }
}

TEST(HalvingShortcut, IsNotOfferedWhereItCannotHold)
{
    const ShortcutCase cases[] = {
        { AV_PIX_FMT_YUV420P, { 384, 288 } }, // not halved at all
        { AV_PIX_FMT_NV12, { 640, 480 } }, // interleaved chroma
        { AV_PIX_FMT_YUV410P, { 640, 480 } },
        { AV_PIX_FMT_PAL8, { 640, 480 } },
        { AV_PIX_FMT_MONOWHITE, { 640, 480 } },
        { AV_PIX_FMT_NONE, { 640, 480 } },
    };
    for (const ShortcutCase& c : cases) {
        EXPECT_EQ(HalvingShortcut::makeFor(c.format, c.size), nullptr) << c.format;
    }
}

TEST(HalvingShortcut, ConverterDeliversTheWholePathsPixelsWhicheverPathItTakes)
{
    // Odd heights are converted whole by a different swscale path than their kept rows, so
    // the converter's own check must turn the shortcut down there.
    const ShortcutCase cases[] = {
        { AV_PIX_FMT_YUVJ444P, { 640, 480 } },
        { AV_PIX_FMT_YUVJ420P, { 640, 480 } },
        { AV_PIX_FMT_YUV420P, { 641, 481 } },
        { AV_PIX_FMT_YUV422P, { 722, 577 } },
        { AV_PIX_FMT_NV12, { 640, 480 } },
    };
    for (const ShortcutCase& c : cases) {
        SCOPED_TRACE(av_get_pix_fmt_name(c.format) + std::string(" ") + std::to_string(c.size.width)
            + "x" + std::to_string(c.size.height));
        FrameConverter converter(c.size);
        std::vector<std::uint8_t> delivered;
        const ffmpeg::FramePtr picture = testPicture(c.format, c.size);
        ASSERT_TRUE(converter.convert(*picture, delivered));
        EXPECT_EQ(delivered, wholeThenHalved(*picture, c.size));
    }
}

TEST(HalvingShortcut, ConverterScalesAPictureOfAnotherSizeThenGoesBackToTheShortcut)
{
    const FrameSize clip { 640, 480 };
    FrameConverter converter(clip);
    std::vector<std::uint8_t> delivered;
    const ffmpeg::FramePtr picture = testPicture(AV_PIX_FMT_YUVJ444P, clip);
    const ffmpeg::FramePtr smaller = testPicture(AV_PIX_FMT_YUVJ420P, { 320, 240 });
    ASSERT_TRUE(converter.convert(*picture, delivered));
    ASSERT_TRUE(converter.convert(*smaller, delivered));
    EXPECT_EQ(delivered.size(), std::size_t(320) * 240 * 3);
    ASSERT_TRUE(converter.convert(*picture, delivered));
    EXPECT_EQ(delivered, wholeThenHalved(*picture, clip));
}

} // namespace
} // namespace oskel
