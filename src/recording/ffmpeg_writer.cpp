#include "recording/ffmpeg_writer.h"

#include <cstring>
#include <string>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include "core/shown_text.h"
#include "core/slot_geometry.h"
#include "recording/output_file.h"
#include "sources/ffmpeg_log.h"

namespace oskel::ffmpeg {

namespace {

// How long, in microseconds, a live stream's packet may wait for one of the other stream.
constexpr std::int64_t kLiveInterleaving = 500'000;

std::string reason(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

[[noreturn]] void failEncoder(const AVCodecContext* context, const std::string& what, int code)
{
    const char* name = context != nullptr && context->codec != nullptr ? context->codec->name : "";
    throw OutputError("The video compressor " + std::string(name) + " " + what
        + (code != 0 ? ": " + reason(code) : std::string()));
}

// Quality 100 is the finest quantiser step, 0 the coarsest.
int quantiserFor(int quality)
{
    return 1 + (100 - quality) * 30 / 100;
}

struct CodecChoice {
    const char* encoder;
    AVPixelFormat format; // none: the encoder's best for blue-green-red pictures
};

CodecChoice codecFor(VideoCompression compression)
{
    switch (compression) {
    case VideoCompression::Mjpeg:
        return { "mjpeg", AV_PIX_FMT_YUVJ420P };
    case VideoCompression::Mpeg4:
        return { "mpeg4", AV_PIX_FMT_YUV420P };
    case VideoCompression::Ffv1:
        return { "ffv1", AV_PIX_FMT_NONE };
    case VideoCompression::HuffYuv:
        return { "huffyuv", AV_PIX_FMT_NONE };
    case VideoCompression::UtVideo:
        return { "utvideo", AV_PIX_FMT_NONE };
    case VideoCompression::H264: // 4:2:0, which every player plays
        return { "libx264", AV_PIX_FMT_YUV420P };
    case VideoCompression::ProRes:
        return { "prores_ks", AV_PIX_FMT_NONE };
    case VideoCompression::Hap:
        return { "hap", AV_PIX_FMT_NONE };
    case VideoCompression::Uncompressed:
        break;
    }
    return { "rawvideo", AV_PIX_FMT_BGR24 };
}

// Quality 100 is the finest step of the encoder's own quality scale, 0 the coarsest.
void setQuality(AVCodecContext& context, const VideoEncoding& encoding)
{
    if (encoding.compression == VideoCompression::H264) {
        const int crf = (100 - encoding.quality) * 51 / 100;
        av_opt_set_int(context.priv_data, "crf", crf, 0);
        return;
    }
    context.flags |= AV_CODEC_FLAG_QSCALE;
    context.global_quality = quantiserFor(encoding.quality) * FF_QP2LAMBDA;
    context.qmin = 1;
    context.qmax = 31;
}

} // namespace

Muxer::Muxer(const char* format, const std::filesystem::path& file)
    : m_failure("Could not write " + shownText(file))
    , m_packet(av_packet_alloc())
{
    open(format, file.string(), nullptr);
}

Muxer::Muxer(const char* format, const NetworkTarget& target)
    : m_failure("Could not stream to " + target.shownName)
    , m_packet(av_packet_alloc())
{
    open(format, target.url, &target.interrupt);
    // A live stream leaves no packet waiting in a buffer of ours.
    m_context->flags |= AVFMT_FLAG_FLUSH_PACKETS;
    m_context->max_interleave_delta = kLiveInterleaving;
}

void Muxer::open(const char* format, const std::string& location, const AVIOInterruptCB* interrupt)
{
    routeFfmpegLogByDefault();
    const int created
        = avformat_alloc_output_context2(&m_context, nullptr, format, location.c_str());
    if (created < 0 || m_context == nullptr || !m_packet) {
        avformat_free_context(m_context); // a constructor that throws runs no destructor
        m_context = nullptr;
        fail(created < 0 ? created : AVERROR(ENOMEM));
    }
    if (interrupt != nullptr) {
        m_context->interrupt_callback = *interrupt;
    }
    if ((m_context->oformat->flags & AVFMT_NOFILE) == 0) {
        const int opened
            = avio_open2(&m_context->pb, location.c_str(), AVIO_FLAG_WRITE, interrupt, nullptr);
        if (opened < 0) {
            avformat_free_context(m_context);
            m_context = nullptr;
            fail(opened);
        }
    }
}

Muxer::~Muxer()
{
    if (m_context != nullptr) {
        avio_closep(&m_context->pb);
        avformat_free_context(m_context);
    }
}

void Muxer::fail(int code) const
{
    throw OutputError(m_failure + ": " + reason(code));
}

bool Muxer::wantsGlobalHeaders() const
{
    return (m_context->oformat->flags & AVFMT_GLOBALHEADER) != 0;
}

AVStream& Muxer::addStream(const AVCodecContext& encoder)
{
    AVStream* stream = avformat_new_stream(m_context, nullptr);
    if (stream == nullptr) {
        fail(AVERROR(ENOMEM));
    }
    const int copied = avcodec_parameters_from_context(stream->codecpar, &encoder);
    if (copied < 0) {
        fail(copied);
    }
    stream->time_base = encoder.time_base;
    if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) {
        stream->avg_frame_rate = encoder.framerate;
    }
    return *stream;
}

AVStream& Muxer::addPcmSound(int sampleRate, int channels)
{
    AVStream* stream = avformat_new_stream(m_context, nullptr);
    if (stream == nullptr) {
        fail(AVERROR(ENOMEM));
    }
    AVCodecParameters& parameters = *stream->codecpar;
    parameters.codec_type = AVMEDIA_TYPE_AUDIO;
    parameters.codec_id = AV_CODEC_ID_PCM_S16LE;
    parameters.format = AV_SAMPLE_FMT_S16;
    parameters.sample_rate = sampleRate;
    av_channel_layout_default(&parameters.ch_layout, channels);
    parameters.bits_per_coded_sample = 16;
    parameters.block_align = 2 * channels;
    parameters.bit_rate = std::int64_t { sampleRate } * 16 * channels;
    stream->time_base = AVRational { 1, sampleRate };
    return *stream;
}

void Muxer::begin()
{
    const int written = avformat_write_header(m_context, nullptr);
    if (written < 0) {
        fail(written);
    }
    m_begun = true;
}

void Muxer::write(AVPacket& packet, AVStream& stream, AVRational from)
{
    packet.stream_index = stream.index;
    av_packet_rescale_ts(&packet, from, stream.time_base);
    const int written = av_interleaved_write_frame(m_context, &packet);
    if (written < 0) {
        fail(written);
    }
}

void Muxer::writePcm(std::span<const std::int16_t> samples, AVStream& stream, std::int64_t first)
{
    if (samples.empty()) {
        return;
    }
    const int channels = stream.codecpar->ch_layout.nb_channels;
    const auto bytes = static_cast<int>(samples.size_bytes());
    const int made = av_new_packet(m_packet.get(), bytes);
    if (made < 0) {
        fail(made);
    }
    std::memcpy(m_packet->data, samples.data(), samples.size_bytes());
    m_packet->pts = first;
    m_packet->dts = first;
    m_packet->duration = static_cast<std::int64_t>(samples.size()) / channels;
    m_packet->flags |= AV_PKT_FLAG_KEY;
    // Counted in sample frames: the muxer may have chosen another time base for the stream.
    write(*m_packet, stream, AVRational { 1, stream.codecpar->sample_rate });
}

void Muxer::end()
{
    int result = av_interleaved_write_frame(m_context, nullptr);
    if (result >= 0) {
        result = av_write_trailer(m_context);
    }
    if (result >= 0 && m_context->pb != nullptr && m_context->pb->error < 0) {
        result = m_context->pb->error;
    }
    const int closed = avio_closep(&m_context->pb);
    if (result >= 0) {
        result = closed;
    }
    if (result < 0) {
        fail(result);
    }
}

PictureEncoder::PictureEncoder(const VideoEncoding& encoding, bool globalHeader)
    : m_picture(encoding.picture)
{
    const CodecChoice choice = codecFor(encoding.compression);
    const AVCodec* codec = encoderFor(encoding.compression);
    if (codec == nullptr) {
        throw OutputError("The video compressor " + std::string(choice.encoder)
            + " is not available in this FFmpeg");
    }
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context) {
        failEncoder(nullptr, "could not be set up", AVERROR(ENOMEM));
    }
    AVCodecContext& context = *m_context;
    if (globalHeader) {
        context.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    context.gop_size = encoding.keyFrame;
    context.max_b_frames = 0;
    const VideoCompressor& settings = videoCompressor(encoding.compression);
    if (encoding.dataRateKBps > 0 && settings.takesDataRate) {
        context.bit_rate = std::int64_t { encoding.dataRateKBps } * 8000;
        context.rc_max_rate = context.bit_rate;
        context.rc_buffer_size
            = static_cast<int>(std::min<std::int64_t>(context.bit_rate, 1 << 30));
    } else if (settings.takesQuality) {
        setQuality(context, encoding);
    }
    const AVPixelFormat format = choice.format != AV_PIX_FMT_NONE
        ? choice.format
        : avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_BGR24, 0, nullptr);
    open(format, encoding.width, encoding.height, encoding.framesPerSecond, encoding.options);
}

PictureEncoder::PictureEncoder(
    AVCodecID codec, AVPixelFormat format, int width, int height, FrameSize picture)
    : m_picture(picture)
{
    const AVCodec* encoder = avcodec_find_encoder(codec);
    if (encoder == nullptr) {
        throw OutputError("The picture encoder " + std::string(avcodec_get_name(codec))
            + " is not available in this FFmpeg");
    }
    m_context.reset(avcodec_alloc_context3(encoder));
    if (!m_context) {
        failEncoder(nullptr, "could not be set up", AVERROR(ENOMEM));
    }
    open(format, width, height, 25);
}

void PictureEncoder::open(
    AVPixelFormat format, int width, int height, int framesPerSecond, const std::string& options)
{
    AVCodecContext& context = *m_context;
    context.width = width;
    context.height = height;
    context.pix_fmt = format;
    context.time_base = AVRational { 1, framesPerSecond };
    context.framerate = AVRational { framesPerSecond, 1 };
    context.thread_count = 1; // the same bytes on every run
    context.flags |= AV_CODEC_FLAG_BITEXACT;
    if (format == AV_PIX_FMT_YUVJ420P) {
        context.color_range = AVCOL_RANGE_JPEG;
    }
    AVDictionary* settings = nullptr;
    if (!options.empty() && av_dict_parse_string(&settings, options.c_str(), "=", ":", 0) < 0) {
        av_dict_free(&settings);
        failEncoder(&context, "cannot read the settings \"" + options + "\"", 0);
    }
    const int opened = avcodec_open2(&context, context.codec, &settings);
    const AVDictionaryEntry* unused = av_dict_get(settings, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    const std::string unknown = unused != nullptr ? unused->key : "";
    av_dict_free(&settings);
    if (opened < 0) {
        failEncoder(&context, "refused the settings", opened);
    }
    if (!unknown.empty()) {
        failEncoder(&context, "has no setting " + unknown, 0);
    }
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_frame || !m_packet) {
        failEncoder(&context, "could not be set up", AVERROR(ENOMEM));
    }
    m_frame->format = format;
    m_frame->width = width;
    m_frame->height = height;
    const int buffered = av_frame_get_buffer(m_frame.get(), 0);
    if (buffered < 0) {
        failEncoder(&context, "could not be set up", buffered);
    }
    m_source.reset(av_frame_alloc());
    if (!m_source) {
        failEncoder(&context, "could not be set up", AVERROR(ENOMEM));
    }
    m_source->format = AV_PIX_FMT_BGR24;
    m_source->width = m_picture.width;
    m_source->height = m_picture.height;
    const int padded = av_frame_get_buffer(m_source.get(), 0);
    if (padded < 0) {
        failEncoder(&context, "could not be set up", padded);
    }
    m_scaler.reset(sws_getContext(m_picture.width, m_picture.height, AV_PIX_FMT_BGR24, width,
        height, format, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr));
    if (!m_scaler) {
        failEncoder(&context, "cannot take pictures of this size", 0);
    }
}

void PictureEncoder::encode(const std::uint8_t* bgr, const PacketHandler& deliver)
{
    encodeAt(bgr, m_next, deliver);
}

void PictureEncoder::encodeAt(
    const std::uint8_t* bgr, std::int64_t frame, const PacketHandler& deliver)
{
    const int writable = av_frame_make_writable(m_frame.get());
    if (writable < 0) {
        failEncoder(m_context.get(), "could not take a picture", writable);
    }
    const int rowBytes = m_picture.width * 3;
    av_image_copy_plane(
        m_source->data[0], m_source->linesize[0], bgr, rowBytes, rowBytes, m_picture.height);
    sws_scale(m_scaler.get(), m_source->data, m_source->linesize, 0, m_picture.height,
        m_frame->data, m_frame->linesize);
    m_frame->pts = frame;
    m_next = frame + 1;
    m_frame->quality = m_context->global_quality;
    const int sent = avcodec_send_frame(m_context.get(), m_frame.get());
    if (sent < 0) {
        failEncoder(m_context.get(), "could not take a picture", sent);
    }
    drain(deliver);
}

void PictureEncoder::flush(const PacketHandler& deliver)
{
    const int sent = avcodec_send_frame(m_context.get(), nullptr);
    if (sent < 0 && sent != AVERROR_EOF) {
        failEncoder(m_context.get(), "could not finish", sent);
    }
    drain(deliver);
}

void PictureEncoder::drain(const PacketHandler& deliver)
{
    if (const int received = receivePackets(*m_context, *m_packet, deliver); received < 0) {
        failEncoder(m_context.get(), "could not compress a picture", received);
    }
}

int receivePackets(AVCodecContext& encoder, AVPacket& packet, const PacketHandler& deliver)
{
    for (;;) {
        const int received = avcodec_receive_packet(&encoder, &packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return 0;
        }
        if (received < 0) {
            return received;
        }
        deliver(packet);
        av_packet_unref(&packet);
    }
}

const AVCodec* encoderFor(VideoCompression compression)
{
    return avcodec_find_encoder_by_name(codecFor(compression).encoder);
}

bool muxerTakes(const char* muxer, VideoCompression compression)
{
    const AVOutputFormat* format = av_guess_format(muxer, nullptr, nullptr);
    const AVCodec* codec = encoderFor(compression);
    return format != nullptr && codec != nullptr
        && avformat_query_codec(format, codec->id, FF_COMPLIANCE_NORMAL) == 1;
}

} // namespace oskel::ffmpeg
