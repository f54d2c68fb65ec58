#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sources/ffmpeg_handles.h"
#include "sources/frame_fitting.h"
#include "sources/halving_shortcut.h"

namespace oskel {

// Turns decoded pictures of one clip into delivered frames: 24-bit blue-green-red, rows
// bottom-up and packed, halved and fitted as deliveredSize() says for the limits. A picture
// whose size differs from the clip's (a stream that changes size) is first scaled to the
// clip's size; without halving, swscale scales it straight to the delivered size.
class FrameConverter {
public:
    explicit FrameConverter(FrameSize clip, FrameLimits limits = kStandardFrameLimits);
    FrameSize delivered() const { return m_delivered; }

    // False when the picture cannot be converted (an unknown pixel format, absurd sizes).
    bool convert(const AVFrame& picture, std::vector<std::uint8_t>& target);

private:
    bool toFullSize(const AVFrame& picture);
    SwsContext* scalerFor(const AVFrame& picture);
    bool halve(const AVFrame& picture, std::uint8_t* halved);
    bool halveWhole(const AVFrame& picture, std::uint8_t* halved);
    HalvingShortcut* shortcutFor(const AVFrame& picture);
    std::unique_ptr<HalvingShortcut> checkedShortcut(AVPixelFormat format);

    FrameSize m_clip;
    FrameSize m_delivered;
    bool m_halve;
    FrameSize m_fullSize; // what swscale makes: the clip's size when halving, else delivered
    ffmpeg::SwsContextPtr m_scaler;
    // What m_scaler was made for. swscale's own cache compares the format it has rewritten
    // (a full-range format becomes its plain twin), so it would rebuild the scaler each frame.
    int m_scalerWidth = 0;
    int m_scalerHeight = 0;
    int m_scalerFormat = -1;
    std::vector<std::uint8_t> m_full; // the picture at the clip's size, top-down, padded rows
    std::ptrdiff_t m_fullStride = 0;
    std::vector<std::uint8_t> m_halved; // bottom-up, only when it must then be fitted
    // Taken only where it gave the whole path's very pixels on a picture of noise.
    std::unique_ptr<HalvingShortcut> m_shortcut;
    int m_shortcutFormat = -1;
    std::optional<AreaScaler> m_fitter;
};

} // namespace oskel
