#include "sources/frame_converter.h"

#include <cstddef>
#include <cstring>

namespace oskel {

namespace {

constexpr int kMaxPictureSide = 16384;
// swscale writes whole vectors: it may run past the end of a row, and of the last one.
constexpr std::ptrdiff_t kRowAlignment = 64;
constexpr std::size_t kTailPadding = 256;

std::size_t bytesOf(FrameSize size)
{
    return std::size_t(size.width) * std::size_t(size.height) * 3;
}

} // namespace

FrameConverter::FrameConverter(FrameSize clip)
    : m_clip(clip)
    , m_delivered(deliveredSize(clip))
    , m_halve(needsHalving(clip))
{
    const FrameSize before = m_halve ? halvedSize(clip) : clip;
    if (!(before == m_delivered)) {
        m_fitter.emplace(before, m_delivered);
    }
}

bool FrameConverter::toFullSize(const AVFrame& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPictureSide
        || picture.height > kMaxPictureSide || picture.format < 0) {
        return false;
    }
    SwsContext* scaler = scalerFor(picture);
    if (scaler == nullptr) {
        return false;
    }
    // Allocated with the first picture, not when a header merely claims a size.
    m_fullStride
        = (std::ptrdiff_t(m_clip.width) * 3 + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    m_full.resize(std::size_t(m_fullStride) * std::size_t(m_clip.height) + kTailPadding);
    if (m_fitter) {
        m_halved.resize(bytesOf(m_fitter->from()));
    }
    std::uint8_t* const planes[4] = { m_full.data(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(m_fullStride), 0, 0, 0 };
    return sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, planes, strides)
        == m_clip.height;
}

SwsContext* FrameConverter::scalerFor(const AVFrame& picture)
{
    if (m_scaler && picture.width == m_scalerWidth && picture.height == m_scalerHeight
        && picture.format == m_scalerFormat) {
        return m_scaler.get();
    }
    // The same default scaling method as the ffmpeg tool, so that frames match its output.
    m_scaler.reset(
        sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
            m_clip.width, m_clip.height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    m_scalerWidth = picture.width;
    m_scalerHeight = picture.height;
    m_scalerFormat = picture.format;
    return m_scaler.get();
}

bool FrameConverter::convert(const AVFrame& picture, std::vector<std::uint8_t>& target)
{
    if (!toFullSize(picture)) {
        return false;
    }
    target.resize(bytesOf(m_delivered));
    const auto rowBytes = static_cast<std::ptrdiff_t>(m_clip.width) * 3;
    const std::uint8_t* lastRow = m_full.data() + (m_clip.height - 1) * m_fullStride;
    if (!m_halve) {
        // Small enough as it is (and so never fitted): only turned bottom-up.
        for (int row = 0; row < m_clip.height; ++row) {
            std::memcpy(target.data() + row * rowBytes, lastRow - row * m_fullStride,
                static_cast<std::size_t>(rowBytes));
        }
        return true;
    }
    halveFrame(lastRow, -m_fullStride, m_clip, m_fitter ? m_halved.data() : target.data());
    if (m_fitter) {
        m_fitter->scale(m_halved.data(), target.data());
    }
    return true;
}

} // namespace oskel
