#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "recording/ffmpeg_writer.h"

namespace oskel::ffmpeg {

// Compresses the render's 16-bit interleaved sound as AAC, for the containers whose players
// expect it (MP4). Sound comes in pieces of any length; the encoder takes whole frames of
// its own size, so the rest waits for the next piece, and flush sends the last part frame.
class AacEncoder {
public:
    AacEncoder(int sampleRate, int channels, bool globalHeader);

    const AVCodecContext& context() const { return *m_context; }
    void encode(std::span<const std::int16_t> samples, const PacketHandler& deliver);
    void flush(const PacketHandler& deliver);

private:
    void encodeFrame(
        const std::int16_t* interleaved, int sampleFrames, const PacketHandler& deliver);
    void drain(const PacketHandler& deliver);
    [[noreturn]] void fail(const char* what, int code) const;

    CodecContextPtr m_context;
    FramePtr m_frame;
    PacketPtr m_packet;
    int m_channels = 2;
    std::vector<std::int16_t> m_waiting; // interleaved, less than a frame
    std::int64_t m_next = 0;
};

} // namespace oskel::ffmpeg
