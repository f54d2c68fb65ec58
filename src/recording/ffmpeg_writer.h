#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "recording/video_compressor.h"
#include "sources/ffmpeg_handles.h"

// The FFmpeg side of writing a render: picture encoders and container files. Every failure
// is thrown as an OutputError naming the file and FFmpeg's reason.
namespace oskel::ffmpeg {

using PacketHandler = std::function<void(AVPacket& packet)>;

// Where a muxer sends a live stream: a URL of one of FFmpeg's protocols, and the callback
// FFmpeg asks, while it waits on the network, whether to give up.
struct NetworkTarget {
    std::string url;
    std::string shownName; // for messages: the URL without its secrets (a stream key)
    AVIOInterruptCB interrupt {};
};

// One container written by an FFmpeg muxer: a file ("avi", "wav") or a live stream ("mpegts"
// over UDP, "flv" over RTMP).
class Muxer {
public:
    Muxer(const char* format, const std::filesystem::path& file);
    Muxer(const char* format, const NetworkTarget& target);
    // Without end(), the file is closed as it stands; the caller removes it.
    ~Muxer();
    Muxer(const Muxer&) = delete;
    Muxer& operator=(const Muxer&) = delete;

    // Whether encoders must put their headers in the stream parameters.
    bool wantsGlobalHeaders() const;
    // A stream of what the encoder makes.
    AVStream& addStream(const AVCodecContext& encoder);
    // 16-bit interleaved PCM.
    AVStream& addPcmSound(int sampleRate, int channels);

    void begin();
    // A packet whose times count in `from` units.
    void write(AVPacket& packet, AVStream& stream, AVRational from);
    // PCM samples (all channels of each sample frame, interleaved) starting at sample frame
    // `first`.
    void writePcm(std::span<const std::int16_t> samples, AVStream& stream, std::int64_t first);
    // Flushes the interleaving queue, writes the trailer and closes the file.
    void end();

private:
    void open(const char* format, const std::string& location, const AVIOInterruptCB* interrupt);
    [[noreturn]] void fail(int code) const;

    std::string m_failure; // "Could not write <file>"
    AVFormatContext* m_context = nullptr;
    PacketPtr m_packet;
    bool m_begun = false;
};

// Encodes the composed blue-green-red pictures (384 x 288, or the encoding's picture size),
// top row first, scaled to the encoding's size, one after the other.
class PictureEncoder {
public:
    // With one of the render's compressors.
    PictureEncoder(const VideoEncoding& encoding, bool globalHeader);
    // With any FFmpeg encoder (PNG pictures, for instance).
    PictureEncoder(AVCodecID codec, AVPixelFormat format, int width, int height,
        FrameSize picture = { kAreaWidth, kAreaHeight });

    const AVCodecContext& context() const { return *m_context; }
    void encode(const std::uint8_t* bgr, const PacketHandler& deliver);
    // The picture shown at `frame` (counted in frames of the encoding's rate), for a stream
    // whose dropped pictures leave gaps.
    void encodeAt(const std::uint8_t* bgr, std::int64_t frame, const PacketHandler& deliver);
    // The pictures the encoder still holds.
    void flush(const PacketHandler& deliver);

private:
    void open(AVPixelFormat format, int width, int height, int framesPerSecond,
        const std::string& options = {});
    void drain(const PacketHandler& deliver);

    CodecContextPtr m_context;
    FrameSize m_picture { kAreaWidth, kAreaHeight }; // the size of the pictures handed in
    SwsContextPtr m_scaler;
    FramePtr m_frame;
    // The picture copied into rows that FFmpeg padded: the scaler reads past the end of its
    // source rows, which a packed picture of our own does not allow.
    FramePtr m_source;
    PacketPtr m_packet;
    std::int64_t m_next = 0;
};

// The encoder this FFmpeg has for the compressor; null when it has none.
const AVCodec* encoderFor(VideoCompression compression);

// Hands every packet the encoder has ready to `deliver`; 0, or FFmpeg's error code.
int receivePackets(AVCodecContext& encoder, AVPacket& packet, const PacketHandler& deliver);

// Whether a file of that muxer ("avi", "mp4") can hold pictures of the compressor, and this
// FFmpeg has the compressor's encoder.
bool muxerTakes(const char* muxer, VideoCompression compression);

} // namespace oskel::ffmpeg
