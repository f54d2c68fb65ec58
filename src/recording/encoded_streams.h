#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "recording/aac_encoder.h"
#include "recording/ffmpeg_writer.h"

namespace oskel::ffmpeg {

// How a muxer's sound is written: not at all, as 16-bit PCM, or compressed as AAC.
enum class SoundFormat { None, Pcm, Aac };

// The composed pictures, compressed, and the 44100 Hz stereo sound, as the streams of one
// muxer (a file or a live stream). The muxer is begun here and ended by finish().
class EncodedStreams {
public:
    static constexpr int kSoundRate = 44100;
    static constexpr int kSoundChannels = 2;

    EncodedStreams(Muxer& muxer, const VideoEncoding& encoding, SoundFormat sound);

    void writeFrame(const std::uint8_t* bgr);
    // The picture shown at `frame`, counted in frames of the encoding's rate.
    void writeFrameAt(const std::uint8_t* bgr, std::int64_t frame);
    // 16-bit stereo sample frames, interleaved; nothing without a sound stream.
    void writeSound(std::span<const std::int16_t> samples);
    // What the encoders still hold, then the muxer's end.
    void finish();

private:
    AVStream* openSound(SoundFormat sound);
    PacketHandler into(AVStream& stream, const AVCodecContext& from);

    Muxer& m_muxer;
    PictureEncoder m_pictures;
    AVStream& m_video;
    std::optional<AacEncoder> m_aac;
    AVStream* m_sound = nullptr;
    std::int64_t m_soundFrames = 0;
};

} // namespace oskel::ffmpeg
