// The sound side of a clip on FFmpeg: the whole sound as 16-bit PCM at the stream's own rate,
// mono or stereo (more channels are mixed down to two).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "sources/decoded_media.h"
#include "sources/ffmpeg_handles.h"
#include "sources/media_file.h"

namespace oskel {

namespace {

constexpr int kMaxSampleRate = 768000;
constexpr int kMaxChannels = 64;
// A sound this long in memory (over three hours of stereo at 48 kHz) is refused.
constexpr std::int64_t kMaxPcmBytes = std::int64_t(2) * 1024 * 1024 * 1024;
// Room reserved up front at most, whatever the header promises.
constexpr std::int64_t kMaxReserveBytes = std::int64_t(32) * 1024 * 1024;
constexpr int kMaxDecodeErrors = 64;

struct OpenSound {
    std::unique_ptr<MediaFile> file;
    ffmpeg::CodecContextPtr codec;
    int streamIndex = -1;
};

bool openSound(const MediaInput& input, const std::string& containerOnly, OpenSound& sound,
    AudioStreamInfo& info, std::string& error)
{
    MediaOpenError reason = MediaOpenError::None;
    sound.file = MediaFile::open(input, containerOnly, reason, error);
    if (!sound.file) {
        return false;
    }
    sound.codec = sound.file->openDecoder(AVMEDIA_TYPE_AUDIO, sound.streamIndex, reason, error);
    if (!sound.codec) {
        return false;
    }
    const AVCodecContext& codec = *sound.codec;
    const int channels = codec.ch_layout.nb_channels;
    if (codec.sample_rate <= 0 || codec.sample_rate > kMaxSampleRate || channels <= 0
        || channels > kMaxChannels) {
        error = "absurd sound format";
        return false;
    }
    info.sampleRate = codec.sample_rate;
    info.channels = std::min(channels, 2);

    const AVStream& stream = *sound.file->format()->streams[sound.streamIndex];
    double seconds = 0.0;
    if (stream.duration > 0 && stream.time_base.num > 0 && stream.time_base.den > 0) {
        seconds = double(stream.duration) * av_q2d(stream.time_base);
    } else if (sound.file->format()->duration > 0) {
        seconds = double(sound.file->format()->duration) / AV_TIME_BASE;
    }
    const double frames = std::clamp(seconds * info.sampleRate, 0.0, double(kMaxPcmBytes));
    info.expectedBytes = std::min<std::int64_t>(
        static_cast<std::int64_t>(std::llround(frames)) * info.channels * 2, kMaxPcmBytes);
    return true;
}

// Converts decoded sound to the delivered format; set up again when the stream changes its
// format on the way.
class SoundConverter {
public:
    SoundConverter(int rate, int channels)
        : m_rate(rate)
    {
        av_channel_layout_default(&m_target, channels);
    }
    ~SoundConverter()
    {
        av_channel_layout_uninit(&m_target);
        av_channel_layout_uninit(&m_sourceLayout);
    }
    SoundConverter(const SoundConverter&) = delete;
    SoundConverter& operator=(const SoundConverter&) = delete;

    bool add(const AVFrame& frame, std::vector<std::uint8_t>& pcm)
    {
        if (!matches(frame) && !(flush(pcm) && setUp(frame))) {
            return false;
        }
        return convert(frame.extended_data, frame.nb_samples, pcm);
    }
    bool flush(std::vector<std::uint8_t>& pcm) { return !m_resampler || convert(nullptr, 0, pcm); }

private:
    bool matches(const AVFrame& frame) const
    {
        return m_resampler && frame.format == m_sourceFormat && frame.sample_rate == m_sourceRate
            && av_channel_layout_compare(&frame.ch_layout, &m_sourceLayout) == 0;
    }
    bool setUp(const AVFrame& frame)
    {
        m_resampler.reset();
        av_channel_layout_uninit(&m_sourceLayout);
        const int channels = frame.ch_layout.nb_channels;
        if (frame.sample_rate <= 0 || frame.sample_rate > kMaxSampleRate || channels <= 0
            || channels > kMaxChannels || frame.format < 0) {
            return false;
        }
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&m_sourceLayout, channels);
        } else if (av_channel_layout_copy(&m_sourceLayout, &frame.ch_layout) < 0) {
            return false;
        }
        SwrContext* resampler = nullptr;
        if (swr_alloc_set_opts2(&resampler, &m_target, AV_SAMPLE_FMT_S16, m_rate, &m_sourceLayout,
                static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr)
            < 0) {
            swr_free(&resampler);
            return false;
        }
        m_resampler.reset(resampler);
        if (swr_init(resampler) < 0) {
            m_resampler.reset();
            return false;
        }
        m_sourceFormat = frame.format;
        m_sourceRate = frame.sample_rate;
        av_channel_layout_uninit(&m_sourceLayout);
        return av_channel_layout_copy(&m_sourceLayout, &frame.ch_layout) >= 0;
    }
    bool convert(const std::uint8_t* const* input, int samples, std::vector<std::uint8_t>& pcm)
    {
        const int room = swr_get_out_samples(m_resampler.get(), samples);
        if (room < 0) {
            return false;
        }
        const std::size_t frameBytes = std::size_t(m_target.nb_channels) * 2;
        const std::size_t used = pcm.size();
        if (std::int64_t(used + std::size_t(room) * frameBytes) > kMaxPcmBytes) {
            return false;
        }
        pcm.resize(used + std::size_t(room) * frameBytes);
        std::uint8_t* output = pcm.data() + used;
        const int converted = swr_convert(
            m_resampler.get(), &output, room, const_cast<const std::uint8_t**>(input), samples);
        pcm.resize(used + std::size_t(std::max(converted, 0)) * frameBytes);
        return converted >= 0;
    }

    int m_rate;
    AVChannelLayout m_target {};
    AVChannelLayout m_sourceLayout {};
    int m_sourceFormat = -1;
    int m_sourceRate = 0;
    ffmpeg::SwrContextPtr m_resampler;
};

// Feeds every packet of the sound stream through the decoder, then drains it.
bool decodeStream(OpenSound& sound, SoundConverter& converter, std::vector<std::uint8_t>& pcm,
    const std::function<bool()>& keepGoing, std::string& error)
{
    ffmpeg::PacketPtr packet(av_packet_alloc());
    ffmpeg::FramePtr frame(av_frame_alloc());
    if (!packet || !frame) {
        error = "out of memory";
        return false;
    }
    int errors = 0;
    bool ended = false;
    while (!ended) {
        if (keepGoing && !keepGoing()) {
            error = "decoding the sound was stopped";
            return false;
        }
        if (av_read_frame(sound.file->format(), packet.get()) < 0) {
            ended = true;
            avcodec_send_packet(sound.codec.get(), nullptr);
        } else if (packet->stream_index != sound.streamIndex) {
            av_packet_unref(packet.get());
            continue;
        } else {
            const int sent = avcodec_send_packet(sound.codec.get(), packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && ++errors > kMaxDecodeErrors) {
                error = "the sound does not decode";
                return false;
            }
        }
        int received = 0;
        while ((received = avcodec_receive_frame(sound.codec.get(), frame.get())) == 0) {
            if (!converter.add(*frame, pcm)) {
                error = "the sound cannot be converted, or is too long";
                return false;
            }
        }
        if (received != AVERROR(EAGAIN) && received != AVERROR_EOF && ++errors > kMaxDecodeErrors) {
            error = "the sound does not decode";
            return false;
        }
    }
    return converter.flush(pcm);
}

} // namespace

bool probeAudio(const MediaInput& input, const std::string& containerOnly, AudioStreamInfo& info,
    std::string& error)
{
    OpenSound sound;
    return openSound(input, containerOnly, sound, info, error);
}

bool probeAudio(const std::filesystem::path& path, const std::string& containerOnly,
    AudioStreamInfo& info, std::string& error)
{
    return probeAudio(MediaInput { path, {} }, containerOnly, info, error);
}

bool decodeAllAudio(const MediaInput& input, const std::string& containerOnly,
    AudioStreamInfo& info, std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
    std::string& error)
{
    pcm.clear();
    OpenSound sound;
    if (!openSound(input, containerOnly, sound, info, error)) {
        return false;
    }
    pcm.reserve(static_cast<std::size_t>(std::min(info.expectedBytes, kMaxReserveBytes)));
    SoundConverter converter(info.sampleRate, info.channels);
    if (!decodeStream(sound, converter, pcm, keepGoing, error)) {
        pcm.clear();
        pcm.shrink_to_fit();
        return false;
    }
    return true;
}

bool decodeAllAudio(const std::filesystem::path& path, const std::string& containerOnly,
    AudioStreamInfo& info, std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
    std::string& error)
{
    return decodeAllAudio(MediaInput { path, {} }, containerOnly, info, pcm, keepGoing, error);
}

} // namespace oskel
