#include "sources/frame_converter.h"

#include <cstddef>
#include <cstring>

#include "sources/swscale_rows.h"

namespace oskel {

namespace {

constexpr int kMaxPictureSide = 16384;

std::size_t bytesOf(FrameSize size)
{
    return std::size_t(size.width) * std::size_t(size.height) * 3;
}

} // namespace

FrameConverter::FrameConverter(FrameSize clip, FrameLimits limits)
    : m_clip(clip)
    , m_delivered(deliveredSize(clip, limits))
    , m_halve(needsHalving(clip, limits))
    , m_fullSize(m_halve ? clip : m_delivered)
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
    m_fullStride = paddedRowBytes(m_fullSize.width);
    m_full.resize(std::size_t(m_fullStride) * std::size_t(m_fullSize.height) + kSwscaleTailPadding);
    std::uint8_t* const planes[4] = { m_full.data(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(m_fullStride), 0, 0, 0 };
    return sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, planes, strides)
        == m_fullSize.height;
}

SwsContext* FrameConverter::scalerFor(const AVFrame& picture)
{
    if (m_scaler && picture.width == m_scalerWidth && picture.height == m_scalerHeight
        && picture.format == m_scalerFormat) {
        return m_scaler.get();
    }
    // The same default scaling method as the ffmpeg tool, so that frames match its output.
    m_scaler.reset(sws_getContext(picture.width, picture.height,
        static_cast<AVPixelFormat>(picture.format), m_fullSize.width, m_fullSize.height,
        AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    m_scalerWidth = picture.width;
    m_scalerHeight = picture.height;
    m_scalerFormat = picture.format;
    return m_scaler.get();
}

bool FrameConverter::convert(const AVFrame& picture, std::vector<std::uint8_t>& target)
{
    target.resize(bytesOf(m_delivered));
    if (m_halve) {
        if (m_fitter) {
            m_halved.resize(bytesOf(m_fitter->from()));
        }
        std::uint8_t* const halved = m_fitter ? m_halved.data() : target.data();
        if (!halve(picture, halved)) {
            return false;
        }
        if (m_fitter) {
            m_fitter->scale(m_halved.data(), target.data());
        }
        return true;
    }
    if (!toFullSize(picture)) {
        return false;
    }
    // At its delivered size already: only turned bottom-up.
    const auto rowBytes = static_cast<std::ptrdiff_t>(m_fullSize.width) * 3;
    const std::uint8_t* lastRow = m_full.data() + (m_fullSize.height - 1) * m_fullStride;
    for (int row = 0; row < m_fullSize.height; ++row) {
        std::memcpy(target.data() + row * rowBytes, lastRow - row * m_fullStride,
            static_cast<std::size_t>(rowBytes));
    }
    return true;
}

bool FrameConverter::halve(const AVFrame& picture, std::uint8_t* halved)
{
    if (HalvingShortcut* shortcut = shortcutFor(picture)) {
        return shortcut->convert(picture, halved);
    }
    return halveWhole(picture, halved);
}

bool FrameConverter::halveWhole(const AVFrame& picture, std::uint8_t* halved)
{
    if (!toFullSize(picture)) {
        return false;
    }
    const std::uint8_t* lastRow = m_full.data() + (m_clip.height - 1) * m_fullStride;
    halveFrame(lastRow, -m_fullStride, m_clip, halved);
    return true;
}

HalvingShortcut* FrameConverter::shortcutFor(const AVFrame& picture)
{
    if (picture.width != m_clip.width || picture.height != m_clip.height) {
        return nullptr;
    }
    if (picture.format != m_shortcutFormat) {
        m_shortcutFormat = picture.format;
        m_shortcut = checkedShortcut(static_cast<AVPixelFormat>(picture.format));
    }
    return m_shortcut.get();
}

std::unique_ptr<HalvingShortcut> FrameConverter::checkedShortcut(AVPixelFormat format)
{
    std::unique_ptr<HalvingShortcut> shortcut = HalvingShortcut::makeFor(format, m_clip);
    const ffmpeg::FramePtr noise = shortcut ? noisePicture(format, m_clip) : nullptr;
    if (!noise) {
        return nullptr;
    }
    const std::size_t bytes = bytesOf(halvedSize(m_clip));
    std::vector<std::uint8_t> whole(bytes);
    std::vector<std::uint8_t> quick(bytes);
    if (!halveWhole(*noise, whole.data()) || !shortcut->convert(*noise, quick.data())
        || whole != quick) {
        return nullptr;
    }
    std::vector<std::uint8_t>().swap(m_full); // the whole picture is not made again
    return shortcut;
}

} // namespace oskel
