#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sources/ffmpeg_handles.h"
#include "sources/frame_fitting.h"

namespace oskel {

// Halving keeps every second pixel of every second row of the converted picture. Where
// swscale converts each kept pixel from its own samples alone, converting only what halving
// keeps gives the very same pixels at a fraction of the work:
//  - a picture without chroma subsampling has its kept samples picked first, then converted
//    at half size, to planes (swscale's planar writer is several times faster than its
//    24-bit one, and gives the same values), which are then interleaved;
//  - a 4:2:0 or 4:2:2 picture is converted on its kept rows only, read as a 4:2:2 picture
//    with twice the row stride.
// Whether this swscale really works that way is for the caller to check, on a noisePicture.
class HalvingShortcut {
public:
    // Null when no shortcut suits pictures of this format and size.
    static std::unique_ptr<HalvingShortcut> makeFor(AVPixelFormat format, FrameSize clip);

    // The halved picture, 24-bit blue-green-red, packed rows, bottom-up; false when swscale
    // refuses it.
    bool convert(const AVFrame& picture, std::uint8_t* target);

private:
    enum class Kind { PickFirst, KeptRows };
    HalvingShortcut(Kind kind, AVPixelFormat format, FrameSize clip, SwsContext* scaler);
    int firstKeptRow() const;
    void pickSamples(const AVFrame& picture);
    bool convertKeptRows(const AVFrame& picture);
    bool convertPicked();
    void interleavePlanes(std::uint8_t* target) const;

    Kind m_kind;
    AVPixelFormat m_format;
    FrameSize m_clip;
    FrameSize m_half;
    ffmpeg::SwsContextPtr m_scaler;
    ffmpeg::FramePtr m_picked; // the kept samples, for Kind::PickFirst
    ffmpeg::FramePtr m_planes; // and them converted, green, blue and red planes, top-down
    std::vector<std::uint8_t> m_converted; // the kept rows converted, top-down, padded rows
    std::ptrdiff_t m_convertedStride = 0;
};

// A picture of `format` and `size` whose every byte is pseudo-random (the same on every call);
// null when FFmpeg cannot make one.
ffmpeg::FramePtr noisePicture(AVPixelFormat format, FrameSize size);

} // namespace oskel
