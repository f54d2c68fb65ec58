#include "recording/aac_encoder.h"

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
}

#include "recording/output_file.h"

namespace oskel::ffmpeg {

namespace {

constexpr std::int64_t kBitRate = 192000;

} // namespace

AacEncoder::AacEncoder(int sampleRate, int channels, bool globalHeader)
    : m_channels(channels)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (codec == nullptr) {
        throw OutputError("The sound compressor AAC is not available in this FFmpeg");
    }
    m_context.reset(avcodec_alloc_context3(codec));
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_context || !m_frame || !m_packet) {
        fail("could not be set up", AVERROR(ENOMEM));
    }
    AVCodecContext& context = *m_context;
    context.sample_fmt = AV_SAMPLE_FMT_FLTP;
    context.sample_rate = sampleRate;
    context.bit_rate = kBitRate;
    context.time_base = AVRational { 1, sampleRate };
    context.thread_count = 1;
    context.flags |= AV_CODEC_FLAG_BITEXACT;
    av_channel_layout_default(&context.ch_layout, channels);
    if (globalHeader) {
        context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (const int opened = avcodec_open2(&context, codec, nullptr); opened < 0) {
        fail("refused the settings", opened);
    }
    m_frame->format = context.sample_fmt;
    m_frame->nb_samples = context.frame_size;
    m_frame->sample_rate = sampleRate;
    av_channel_layout_copy(&m_frame->ch_layout, &context.ch_layout);
    if (const int buffered = av_frame_get_buffer(m_frame.get(), 0); buffered < 0) {
        fail("could not be set up", buffered);
    }
}

void AacEncoder::fail(const char* what, int code) const
{
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text {};
    av_strerror(code, text.data(), text.size());
    throw OutputError(std::string("The sound compressor AAC ") + what + ": " + text.data());
}

void AacEncoder::encode(std::span<const std::int16_t> samples, const PacketHandler& deliver)
{
    m_waiting.insert(m_waiting.end(), samples.begin(), samples.end());
    const auto frameSamples = static_cast<std::size_t>(m_context->frame_size * m_channels);
    std::size_t used = 0;
    while (m_waiting.size() - used >= frameSamples) {
        encodeFrame(m_waiting.data() + used, m_context->frame_size, deliver);
        used += frameSamples;
    }
    m_waiting.erase(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(used));
}

void AacEncoder::flush(const PacketHandler& deliver)
{
    if (!m_waiting.empty()) {
        encodeFrame(m_waiting.data(), static_cast<int>(m_waiting.size()) / m_channels, deliver);
        m_waiting.clear();
    }
    if (const int sent = avcodec_send_frame(m_context.get(), nullptr); sent < 0) {
        fail("could not finish", sent);
    }
    drain(deliver);
}

void AacEncoder::encodeFrame(
    const std::int16_t* interleaved, int sampleFrames, const PacketHandler& deliver)
{
    if (const int writable = av_frame_make_writable(m_frame.get()); writable < 0) {
        fail("could not be set up", writable);
    }
    m_frame->nb_samples = sampleFrames;
    for (int channel = 0; channel < m_channels; ++channel) {
        auto* plane = reinterpret_cast<float*>(m_frame->extended_data[channel]);
        for (int k = 0; k < sampleFrames; ++k) {
            plane[k] = static_cast<float>(interleaved[k * m_channels + channel]) / 32768.0F;
        }
    }
    m_frame->pts = m_next;
    m_next += sampleFrames;
    if (const int sent = avcodec_send_frame(m_context.get(), m_frame.get()); sent < 0) {
        fail("could not compress the sound", sent);
    }
    drain(deliver);
}

void AacEncoder::drain(const PacketHandler& deliver)
{
    if (const int received = receivePackets(*m_context, *m_packet, deliver); received < 0) {
        fail("could not compress the sound", received);
    }
}

} // namespace oskel::ffmpeg
