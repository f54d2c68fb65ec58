#include "recording/encoded_streams.h"

namespace oskel::ffmpeg {

EncodedStreams::EncodedStreams(Muxer& muxer, const VideoEncoding& encoding, SoundFormat sound)
    : m_muxer(muxer)
    , m_pictures(encoding, muxer.wantsGlobalHeaders())
    , m_video(muxer.addStream(m_pictures.context()))
    , m_sound(openSound(sound))
{
    m_muxer.begin();
}

AVStream* EncodedStreams::openSound(SoundFormat sound)
{
    switch (sound) {
    case SoundFormat::None:
        return nullptr;
    case SoundFormat::Pcm:
        return &m_muxer.addPcmSound(kSoundRate, kSoundChannels);
    case SoundFormat::Aac:
        m_aac.emplace(kSoundRate, kSoundChannels, m_muxer.wantsGlobalHeaders());
        return &m_muxer.addStream(m_aac->context());
    }
    return nullptr;
}

PacketHandler EncodedStreams::into(AVStream& stream, const AVCodecContext& from)
{
    return
        [this, &stream, &from](AVPacket& packet) { m_muxer.write(packet, stream, from.time_base); };
}

void EncodedStreams::writeFrame(const std::uint8_t* bgr)
{
    m_pictures.encode(bgr, into(m_video, m_pictures.context()));
}

void EncodedStreams::writeFrameAt(const std::uint8_t* bgr, std::int64_t frame)
{
    m_pictures.encodeAt(bgr, frame, into(m_video, m_pictures.context()));
}

void EncodedStreams::writeSound(std::span<const std::int16_t> samples)
{
    if (m_sound == nullptr) {
        return;
    }
    if (m_aac) {
        m_aac->encode(samples, into(*m_sound, m_aac->context()));
        return;
    }
    m_muxer.writePcm(samples, *m_sound, m_soundFrames);
    m_soundFrames += static_cast<std::int64_t>(samples.size()) / kSoundChannels;
}

void EncodedStreams::finish()
{
    m_pictures.flush(into(m_video, m_pictures.context()));
    if (m_aac) {
        m_aac->flush(into(*m_sound, m_aac->context()));
    }
    m_muxer.end();
}

} // namespace oskel::ffmpeg
