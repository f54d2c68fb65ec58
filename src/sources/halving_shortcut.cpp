#include "sources/halving_shortcut.h"

#include <algorithm>
#include <cstring>

#include "sources/swscale_rows.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace oskel {

namespace {

bool hasWholeSamples(const AVPixFmtDescriptor& format)
{
    constexpr auto kUnpickable
        = AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_PAL;
    if ((format.flags & kUnpickable) != 0 || format.nb_components == 0) {
        return false;
    }
    for (int c = 0; c < format.nb_components; ++c) {
        if (format.comp[c].step <= 0 || format.comp[c].shift != 0) {
            return false;
        }
    }
    return format.log2_chroma_w == 0 && format.log2_chroma_h == 0;
}

// The 4:2:2 format whose rows read like the kept rows of `format`, or NONE.
AVPixelFormat keptRowsFormat(AVPixelFormat format)
{
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUV422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUVJ422P;
    default:
        return AV_PIX_FMT_NONE;
    }
}

// Bytes a pixel takes in `plane` (the largest step of its components).
int pixelBytes(const AVPixFmtDescriptor& format, int plane)
{
    int bytes = 0;
    for (int c = 0; c < format.nb_components; ++c) {
        if (format.comp[c].plane == plane) {
            bytes = std::max(bytes, format.comp[c].step);
        }
    }
    return bytes;
}

template <int Bytes> void pickRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x, in += 2 * Bytes, out += Bytes) {
        std::memcpy(out, in, Bytes);
    }
}

void pickRow(const std::uint8_t* in, std::uint8_t* out, int width, int bytes)
{
    switch (bytes) {
    case 1:
        return pickRow<1>(in, out, width);
    case 2:
        return pickRow<2>(in, out, width);
    case 3:
        return pickRow<3>(in, out, width);
    case 4:
        return pickRow<4>(in, out, width);
    default:
        for (int x = 0; x < width; ++x) {
            std::memcpy(out + x * bytes, in + 2 * x * bytes, static_cast<std::size_t>(bytes));
        }
    }
}

ffmpeg::FramePtr emptyPicture(AVPixelFormat format, FrameSize size)
{
    ffmpeg::FramePtr picture(av_frame_alloc());
    if (!picture) {
        return nullptr;
    }
    picture->format = format;
    picture->width = size.width;
    picture->height = size.height;
    if (av_frame_get_buffer(picture.get(), 0) < 0) {
        return nullptr;
    }
    return picture;
}

} // namespace

std::unique_ptr<HalvingShortcut> HalvingShortcut::makeFor(AVPixelFormat format, FrameSize clip)
{
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (descriptor == nullptr || !needsHalving(clip) || clip.width < 2 || clip.height < 2) {
        return nullptr;
    }
    const FrameSize half = halvedSize(clip);
    Kind kind = Kind::PickFirst;
    SwsContext* scaler = nullptr;
    if (hasWholeSamples(*descriptor)) {
        scaler = sws_getContext(half.width, half.height, format, half.width, half.height,
            AV_PIX_FMT_GBRP, SWS_BICUBIC, nullptr, nullptr, nullptr);
    } else if (const AVPixelFormat rows = keptRowsFormat(format); rows != AV_PIX_FMT_NONE) {
        kind = Kind::KeptRows;
        scaler = sws_getContext(clip.width, half.height, rows, clip.width, half.height,
            AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    }
    if (scaler == nullptr) {
        return nullptr;
    }
    std::unique_ptr<HalvingShortcut> shortcut(new HalvingShortcut(kind, format, clip, scaler));
    if (kind == Kind::PickFirst && (!shortcut->m_picked || !shortcut->m_planes)) {
        return nullptr;
    }
    return shortcut;
}

HalvingShortcut::HalvingShortcut(
    Kind kind, AVPixelFormat format, FrameSize clip, SwsContext* scaler)
    : m_kind(kind)
    , m_format(format)
    , m_clip(clip)
    , m_half(halvedSize(clip))
    , m_scaler(scaler)
{
    if (kind == Kind::PickFirst) {
        m_picked = emptyPicture(format, m_half);
        m_planes = emptyPicture(AV_PIX_FMT_GBRP, m_half);
        return;
    }
    m_convertedStride = paddedRowBytes(clip.width);
    m_converted.resize(
        std::size_t(m_convertedStride) * std::size_t(m_half.height) + kSwscaleTailPadding);
}

// Halving keeps the last row and every second one above it, counted from the top.
int HalvingShortcut::firstKeptRow() const
{
    return m_clip.height - 1 - 2 * (m_half.height - 1);
}

bool HalvingShortcut::convert(const AVFrame& picture, std::uint8_t* target)
{
    if (picture.width != m_clip.width || picture.height != m_clip.height
        || picture.format != m_format) {
        return false;
    }
    const bool converted = m_kind == Kind::KeptRows ? convertKeptRows(picture)
                                                    : (pickSamples(picture), convertPicked());
    if (!converted) {
        return false;
    }
    if (m_kind == Kind::PickFirst) {
        interleavePlanes(target);
        return true;
    }
    const std::uint8_t* lastRow
        = m_converted.data() + std::ptrdiff_t(m_half.height - 1) * m_convertedStride;
    pickEverySecondPixel(lastRow, -m_convertedStride, m_half, target);
    return true;
}

void HalvingShortcut::interleavePlanes(std::uint8_t* target) const
{
    for (int row = m_half.height - 1; row >= 0; --row) {
        const auto at = [&](int plane) {
            return m_planes->data[plane] + std::ptrdiff_t(row) * m_planes->linesize[plane];
        };
        const std::uint8_t* __restrict green = at(0);
        const std::uint8_t* __restrict blue = at(1);
        const std::uint8_t* __restrict red = at(2);
        for (int x = 0; x < m_half.width; ++x, target += 3) {
            target[0] = blue[x];
            target[1] = green[x];
            target[2] = red[x];
        }
    }
}

void HalvingShortcut::pickSamples(const AVFrame& picture)
{
    const AVPixFmtDescriptor& descriptor = *av_pix_fmt_desc_get(m_format);
    const int planes = av_pix_fmt_count_planes(m_format);
    const int first = firstKeptRow();
    for (int plane = 0; plane < planes; ++plane) {
        const int bytes = pixelBytes(descriptor, plane);
        for (int row = 0; row < m_half.height; ++row) {
            const std::uint8_t* in
                = picture.data[plane] + std::ptrdiff_t(first + 2 * row) * picture.linesize[plane];
            std::uint8_t* out
                = m_picked->data[plane] + std::ptrdiff_t(row) * m_picked->linesize[plane];
            pickRow(in, out, m_half.width, bytes);
        }
    }
}

bool HalvingShortcut::convertPicked()
{
    return sws_scale(m_scaler.get(), m_picked->data, m_picked->linesize, 0, m_half.height,
               m_planes->data, m_planes->linesize)
        == m_half.height;
}

bool HalvingShortcut::convertKeptRows(const AVFrame& picture)
{
    const int first = firstKeptRow();
    const bool quarterChroma = m_format == AV_PIX_FMT_YUV420P || m_format == AV_PIX_FMT_YUVJ420P;
    // 4:2:0 keeps a chroma row for every two picture rows, so kept row r reads chroma row r / 2.
    const int chromaFirst = quarterChroma ? first / 2 : first;
    const int chromaStep = quarterChroma ? 1 : 2;
    const std::uint8_t* const sources[4] = {
        picture.data[0] + std::ptrdiff_t(first) * picture.linesize[0],
        picture.data[1] + std::ptrdiff_t(chromaFirst) * picture.linesize[1],
        picture.data[2] + std::ptrdiff_t(chromaFirst) * picture.linesize[2],
        nullptr,
    };
    const int sourceStrides[4] = { 2 * picture.linesize[0], chromaStep * picture.linesize[1],
        chromaStep * picture.linesize[2], 0 };
    std::uint8_t* const planes[4] = { m_converted.data(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(m_convertedStride), 0, 0, 0 };
    return sws_scale(m_scaler.get(), sources, sourceStrides, 0, m_half.height, planes, strides)
        == m_half.height;
}

ffmpeg::FramePtr noisePicture(AVPixelFormat format, FrameSize size)
{
    ffmpeg::FramePtr picture = emptyPicture(format, size);
    if (!picture) {
        return nullptr;
    }
    std::size_t sizes[4] = {};
    const std::ptrdiff_t linesizes[4] = { picture->linesize[0], picture->linesize[1],
        picture->linesize[2], picture->linesize[3] };
    if (av_image_fill_plane_sizes(sizes, format, size.height, linesizes) < 0) {
        return nullptr;
    }
    std::uint32_t state = 0x9e3779b9U;
    for (int plane = 0; plane < 4 && picture->data[plane] != nullptr; ++plane) {
        for (std::size_t i = 0; i < sizes[plane]; ++i) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            picture->data[plane][i] = static_cast<std::uint8_t>(state >> 24);
        }
    }
    return picture;
}

} // namespace oskel
