#include "sources/live_input.h"

#include <algorithm>
#include <mutex>

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

namespace oskel {

namespace {

std::string ffmpegText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

ffmpeg::CodecContextPtr openDecoder(const AVStream& stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    return decoder;
}

} // namespace

LiveInput::LiveInput(std::chrono::milliseconds stall, const std::atomic<bool>& cancel)
    : m_stall(stall)
    , m_deadline { {}, &cancel }
    , m_packet(av_packet_alloc())
    , m_frame(av_frame_alloc())
{
}

LiveInput::~LiveInput() = default;

int LiveInput::interrupted(void* opaque)
{
    const auto* deadline = static_cast<const Deadline*>(opaque);
    return deadline->cancel->load() || std::chrono::steady_clock::now() > deadline->at ? 1 : 0;
}

std::string LiveInput::why(int error) const
{
    if (m_deadline.cancel->load()) {
        return "it was closed";
    }
    if (error == AVERROR_EXIT || std::chrono::steady_clock::now() > m_deadline.at) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_stall).count();
        return "nothing came for " + std::to_string(seconds)
            + (seconds == 1 ? " second" : " seconds");
    }
    if (error == AVERROR_EOF) {
        return "the stream ended";
    }
    return ffmpegText(error);
}

std::unique_ptr<LiveInput> LiveInput::open(const LiveSourceChoice& choice,
    std::chrono::milliseconds stall, const std::atomic<bool>& cancel, std::string& problem)
{
    std::unique_ptr<LiveInput> input(new LiveInput(stall, cancel));
    if (!input->m_packet || !input->m_frame || !input->openStreams(choice, problem)) {
        if (problem.empty()) {
            problem = "there is not enough memory";
        }
        return nullptr;
    }
    return input;
}

bool LiveInput::openStreams(const LiveSourceChoice& choice, std::string& problem)
{
    static std::once_flag devices;
    std::call_once(devices, [] { avdevice_register_all(); });
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr) {
        return false;
    }
    context->interrupt_callback = { &LiveInput::interrupted, &m_deadline };
    context->flags |= AVFMT_FLAG_NOBUFFER;
    AVDictionary* options = nullptr;
    // A UDP receiver that falls behind loses packets rather than the connection.
    av_dict_set(&options, "overrun_nonfatal", "1", 0);
    av_dict_set(&options, "fifo_size", "100000", 0);
    const std::unique_ptr<AVDictionary*, void (*)(AVDictionary**)> optionsOwner(
        &options, [](AVDictionary** dictionary) { av_dict_free(dictionary); });
    const AVInputFormat* format = choice.camera ? av_find_input_format("v4l2") : nullptr;
    if (choice.camera && format == nullptr) {
        avformat_free_context(context);
        problem = "this FFmpeg cannot read cameras";
        return false;
    }
    restartDeadline();
    int result = avformat_open_input(&context, choice.input.c_str(), format, &options);
    if (result < 0) {
        problem = why(result); // FFmpeg freed the context
        return false;
    }
    m_format.reset(context);
    restartDeadline();
    if ((result = avformat_find_stream_info(context, nullptr)) < 0) {
        problem = why(result);
        return false;
    }
    m_pictureStream = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_pictureStream < 0 || !(m_picture = openDecoder(*context->streams[m_pictureStream]))) {
        problem = "it has no picture";
        return false;
    }
    m_soundStream = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (m_soundStream >= 0) {
        m_sound = openDecoder(*context->streams[m_soundStream]);
    }
    return true;
}

double LiveInput::frameRate() const
{
    const AVStream& stream = *m_format->streams[m_pictureStream];
    AVRational rate = stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
    const double perSecond = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 25.0;
    return std::clamp(perSecond, 1.0, 120.0);
}

void LiveInput::decode(AVCodecContext& decoder, const AVPacket* packet, const FrameSink& sink)
{
    if (avcodec_send_packet(&decoder, packet) < 0) {
        return; // a damaged packet: the next key frame mends the picture
    }
    while (avcodec_receive_frame(&decoder, m_frame.get()) >= 0) {
        sink(*m_frame);
        av_frame_unref(m_frame.get());
    }
}

bool LiveInput::readOnce(const FrameSink& picture, const FrameSink& sound, std::string& problem)
{
    restartDeadline();
    const int result = av_read_frame(m_format.get(), m_packet.get());
    if (result < 0) {
        problem = why(result);
        return false;
    }
    if (m_packet->stream_index == m_pictureStream) {
        decode(*m_picture, m_packet.get(), picture);
    } else if (m_sound && m_packet->stream_index == m_soundStream) {
        decode(*m_sound, m_packet.get(), sound);
    }
    av_packet_unref(m_packet.get());
    return true;
}

} // namespace oskel
