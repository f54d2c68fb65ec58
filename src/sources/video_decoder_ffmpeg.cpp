// The picture side of a clip on FFmpeg: frames by index, exactly, with the decoder's state
// kept between requests so that play in either direction stays cheap.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/mathematics.h>
}

#include "sources/decoded_media.h"
#include "sources/ffmpeg_handles.h"
#include "sources/frame_converter.h"
#include "sources/gop_cache.h"
#include "sources/media_file.h"
#include "sources/stream_end.h"

namespace oskel {

namespace {

constexpr int kMaxPictureSide = 16384;
constexpr double kMaxFrameRate = 1000.0;
constexpr std::int64_t kMaxFrameCount = 10'000'000; // two days at 60 frames a second
// A step forwards up to this far decodes on from the decoder's position instead of seeking.
constexpr std::int64_t kDecodeOnFrames = 48;
// Frames kept for a clip of keyframes only (see GopCache::setBudget).
constexpr std::size_t kIntraOnlyCachedFrames = 8;
// Packets in a row that fail to decode before the stream counts as broken.
constexpr int kMaxDecodeErrors = 64;
// Looking for the end of a file that has no index reads all of it; a file too large to read in
// this time keeps the frame count of its header.
constexpr std::chrono::milliseconds kEndSearchBudget { 2000 };

// Hostile files may carry time stamps near the ends of the range.
std::int64_t saturatingAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<std::int64_t>::max()
                     : std::numeric_limits<std::int64_t>::min();
    }
    return sum;
}

bool validRate(AVRational rate)
{
    return rate.num > 0 && rate.den > 0 && av_q2d(rate) <= kMaxFrameRate
        && av_q2d(rate) >= 1.0 / 1000.0;
}

bool isStillPictureFormat(const AVFormatContext& format)
{
    const std::string name = format.iformat->name;
    return name == "image2" || (name.size() > 5 && name.ends_with("_pipe"));
}

std::string codecTagOf(const AVCodecParameters& parameters)
{
    std::string tag;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto c = static_cast<char>((parameters.codec_tag >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            return avcodec_get_name(parameters.codec_id);
        }
        tag += c;
    }
    return tag;
}

class FfmpegVideoDecoder final : public VideoDecoder {
public:
    static std::unique_ptr<VideoDecoder> open(const MediaInput& input,
        const std::string& containerOnly, MediaOpenError& reason, std::string& error);

    const VideoStreamInfo& info() const override { return m_info; }
    const DecodedFrame* frameAt(std::int64_t index) override;
    void decodeAhead(std::int64_t index) override;
    const DecodedFrame* nextFrame() override;
    bool seek(double seconds) override;
    Statistics statistics() const override { return m_statistics; }

private:
    enum class Step { Picture, End, Failed };

    FfmpegVideoDecoder(
        std::unique_ptr<MediaFile> file, ffmpeg::CodecContextPtr codec, int streamIndex);
    bool describe(const MediaInput& input, const std::string& containerOnly, std::string& error);
    bool describePicture(FrameLimits limits, std::string& error);
    bool describeTiming(const std::string& containerOnly, std::string& error);
    void setOrigin();
    void countFramesPresent(const MediaInput& input, const std::string& containerOnly);
    const DecodedFrame* fetch(std::int64_t index);
    bool decodesOnTo(std::int64_t index) const;
    bool seekBefore(std::int64_t index);
    const DecodedFrame* decodeForwardTo(std::int64_t index, bool& startedTooLate);
    Step decodeNext();
    std::int64_t indexOf(const AVFrame& picture) const;
    std::int64_t timestampOf(std::int64_t index) const;
    const DecodedFrame* store(std::int64_t index);
    const DecodedFrame* repeat(std::int64_t shownIndex, std::int64_t asIndex);

    std::unique_ptr<MediaFile> m_file;
    ffmpeg::CodecContextPtr m_codec;
    int m_streamIndex;
    AVStream* m_stream;
    ffmpeg::PacketPtr m_packet;
    ffmpeg::FramePtr m_picture;
    std::unique_ptr<FrameConverter> m_converter;
    GopCache m_cache;
    VideoStreamInfo m_info;
    AVRational m_rate { 0, 1 }; // frames per second
    std::int64_t m_origin = 0; // time stamp of frame 0, in the stream's time base
    // How far decoding time stamps run ahead of presentation ones (B-frames): an MP4 file's
    // index goes by the former, our frames and seeks by the latter.
    std::int64_t m_decodingLead = 0;
    std::int64_t m_firstDecodingStamp = AV_NOPTS_VALUE;
    std::int64_t m_position = -1; // index of the decoder's last picture; -1 after a seek
    bool m_drained = false; // the decoder has given out everything up to the end
    std::int64_t m_lastRequest = 0;
    int m_direction = 1;
    std::int64_t m_next = 0; // nextFrame's frame
    Statistics m_statistics;
};

FfmpegVideoDecoder::FfmpegVideoDecoder(
    std::unique_ptr<MediaFile> file, ffmpeg::CodecContextPtr codec, int streamIndex)
    : m_file(std::move(file))
    , m_codec(std::move(codec))
    , m_streamIndex(streamIndex)
    , m_stream(m_file->format()->streams[streamIndex])
    , m_packet(av_packet_alloc())
    , m_picture(av_frame_alloc())
{
}

std::unique_ptr<VideoDecoder> FfmpegVideoDecoder::open(const MediaInput& input,
    const std::string& containerOnly, MediaOpenError& reason, std::string& error)
{
    std::unique_ptr<MediaFile> file = MediaFile::open(input, containerOnly, reason, error);
    if (!file) {
        return nullptr;
    }
    int streamIndex = -1;
    ffmpeg::CodecContextPtr codec
        = file->openDecoder(AVMEDIA_TYPE_VIDEO, streamIndex, reason, error);
    if (!codec) {
        return nullptr;
    }
    std::unique_ptr<FfmpegVideoDecoder> decoder(
        new FfmpegVideoDecoder(std::move(file), std::move(codec), streamIndex));
    if (!decoder->m_packet || !decoder->m_picture
        || !decoder->describe(input, containerOnly, error)) {
        reason = MediaOpenError::Undecodable;
        return nullptr;
    }
    reason = MediaOpenError::None;
    return decoder;
}

// Fills the stream information; decodes frame 0, whose time stamp counts as the start.
bool FfmpegVideoDecoder::describe(
    const MediaInput& input, const std::string& containerOnly, std::string& error)
{
    if (!describePicture(input.limits, error) || !describeTiming(containerOnly, error)) {
        return false;
    }
    if (decodeNext() != Step::Picture) {
        error = "no decodable picture";
        return false;
    }
    setOrigin();
    if (store(0) == nullptr) {
        error = "cannot convert the picture";
        return false;
    }
    m_position = 0;
    countFramesPresent(input, containerOnly);
    return true;
}

bool FfmpegVideoDecoder::describePicture(FrameLimits limits, std::string& error)
{
    const AVCodecParameters& parameters = *m_stream->codecpar;
    if (parameters.width <= 0 || parameters.height <= 0 || parameters.width > kMaxPictureSide
        || parameters.height > kMaxPictureSide) {
        error = "absurd picture size";
        return false;
    }
    m_info.clipWidth = parameters.width;
    m_info.clipHeight = parameters.height;
    m_info.codecTag = codecTagOf(parameters);
    m_converter = std::make_unique<FrameConverter>(
        FrameSize { parameters.width, parameters.height }, limits);
    m_info.width = m_converter->delivered().width;
    m_info.height = m_converter->delivered().height;
    const AVCodecDescriptor* codec = avcodec_descriptor_get(parameters.codec_id);
    if (codec != nullptr && (codec->props & AV_CODEC_PROP_INTRA_ONLY) != 0) {
        m_cache.setBudget(
            kIntraOnlyCachedFrames * std::size_t(m_info.width) * std::size_t(m_info.height) * 3);
    }
    return true;
}

bool FfmpegVideoDecoder::describeTiming(const std::string& containerOnly, std::string& error)
{
    if (m_stream->time_base.num <= 0 || m_stream->time_base.den <= 0) {
        error = "no time base";
        return false;
    }
    // In an AVI file the time base is the stream's own frame duration.
    const AVRational rate = containerOnly == "avi" ? av_inv_q(m_stream->time_base)
        : validRate(m_stream->avg_frame_rate)      ? m_stream->avg_frame_rate
                                                   : m_stream->r_frame_rate;
    std::int64_t count = m_stream->nb_frames;
    if (count <= 0 && validRate(rate) && m_stream->duration > 0) {
        count = av_rescale_q(m_stream->duration, m_stream->time_base, av_inv_q(rate));
    }
    // The stream's own header makes a claim; the whole file's duration is only an estimate.
    std::int64_t claimed = count;
    const AVFormatContext& format = *m_file->format();
    if (count <= 0 && validRate(rate) && format.duration > 0) {
        count = av_rescale_q(format.duration, AV_TIME_BASE_Q, av_inv_q(rate));
        claimed = 0;
    }
    m_info.isStill = isStillPictureFormat(*m_file->format()) || (!validRate(rate) && count <= 1);
    if (!m_info.isStill && !validRate(rate)) {
        error = "no usable frame rate";
        return false;
    }
    if (count > kMaxFrameCount) {
        error = "absurd frame count";
        return false;
    }
    m_rate = m_info.isStill ? AVRational { 1, 1 } : rate;
    m_info.frameRate = m_info.isStill ? 0.0 : av_q2d(rate);
    m_info.frameCount = m_info.isStill ? 1 : std::max<std::int64_t>(count, 1);
    m_info.claimedFrameCount = m_info.isStill ? 1 : std::max<std::int64_t>(claimed, 0);
    m_info.duration = m_info.isStill ? 0.0 : double(m_info.frameCount) / m_info.frameRate;
    return true;
}

// Frame 0 has just been decoded: its time stamp is the origin of the frame numbers.
void FfmpegVideoDecoder::setOrigin()
{
    const std::int64_t first = m_picture->best_effort_timestamp;
    m_origin = first != AV_NOPTS_VALUE           ? first
        : m_stream->start_time != AV_NOPTS_VALUE ? m_stream->start_time
                                                 : 0;
    m_info.firstFrameTime = double(m_origin) * av_q2d(m_stream->time_base);
    m_decodingLead = 0;
    std::int64_t lead = 0;
    if (m_firstDecodingStamp != AV_NOPTS_VALUE && m_firstDecodingStamp < m_origin
        && !__builtin_sub_overflow(m_origin, m_firstDecodingStamp, &lead)) {
        m_decodingLead = std::min(lead, saturatingAdd(timestampOf(kDecodeOnFrames), -m_origin));
    }
}

// A header may promise more frames than the file holds (a file cut short, or a count written
// wrong): the frame count becomes what the file really holds, up to the header's claim, so
// that every frame below it can be decoded. An index that reaches the last frame inside the
// file vouches for the header; otherwise a second opening of the file is read to its end,
// leaving this one where it is.
void FfmpegVideoDecoder::countFramesPresent(
    const MediaInput& input, const std::string& containerOnly)
{
    if (m_info.isStill) {
        return;
    }
    StreamEndQuery query;
    query.streamIndex = m_streamIndex;
    query.claimedLast = timestampOf(m_info.frameCount - 1);
    query.frameTicks = saturatingAdd(timestampOf(1), -timestampOf(0));
    query.decodingLead = m_decodingLead;
    query.budget = kEndSearchBudget;
    AVFormatContext& format = *m_file->format();
    if (indexVouchesFor(format, query)) {
        return;
    }
    // A header that names every stream gives them the same numbers without probing them.
    const bool probeStreams = (format.ctx_flags & AVFMTCTX_NOHEADER) != 0;
    MediaOpenError reason = MediaOpenError::None;
    std::string ignored;
    const std::unique_ptr<MediaFile> file
        = MediaFile::open(input, containerOnly, reason, ignored, probeStreams);
    if (!file || file->format()->nb_streams != format.nb_streams
        || file->format()->streams[m_streamIndex]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
        return;
    }
    const std::optional<std::int64_t> end = findStreamEnd(*file->format(), query);
    std::int64_t offset = 0;
    if (!end || __builtin_sub_overflow(*end, m_origin, &offset)) {
        return;
    }
    const std::int64_t frames = av_rescale_q_rnd(offset, m_stream->time_base, av_inv_q(m_rate),
        static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    const std::int64_t most
        = m_info.claimedFrameCount > 0 ? m_info.claimedFrameCount : kMaxFrameCount;
    m_info.frameCount = std::clamp<std::int64_t>(frames, 1, most);
    m_info.duration = double(m_info.frameCount) / m_info.frameRate;
}

const DecodedFrame* FfmpegVideoDecoder::frameAt(std::int64_t index)
{
    if (index < 0 || index >= m_info.frameCount) {
        return nullptr;
    }
    return fetch(index);
}

// The cache never evicts the frame last asked for, which is left as it is.
void FfmpegVideoDecoder::decodeAhead(std::int64_t index)
{
    if (index < 0 || index >= m_info.frameCount || m_info.isStill || m_cache.find(index) != nullptr
        || !decodesOnTo(index)) {
        return;
    }
    bool startedTooLate = false;
    decodeForwardTo(index, startedTooLate);
}

const DecodedFrame* FfmpegVideoDecoder::nextFrame()
{
    // Frame counts from a header may fall short; streaming goes on until the stream ends.
    const DecodedFrame* frame = m_info.isStill && m_next > 0 ? nullptr : fetch(m_next);
    if (frame != nullptr) {
        ++m_next;
    }
    return frame;
}

bool FfmpegVideoDecoder::seek(double seconds)
{
    if (!std::isfinite(seconds)) {
        return false;
    }
    const double frames = std::ceil((seconds - m_info.firstFrameTime) * av_q2d(m_rate) - 1e-6);
    m_next = m_info.isStill ? 0 : static_cast<std::int64_t>(std::clamp(frames, 0.0, 1e15));
    return true;
}

const DecodedFrame* FfmpegVideoDecoder::fetch(std::int64_t index)
{
    if (index != m_lastRequest) {
        m_direction = index > m_lastRequest ? 1 : -1;
        m_lastRequest = index;
    }
    if (const DecodedFrame* cached = m_cache.find(index)) {
        return cached;
    }
    if (m_info.isStill) {
        return nullptr;
    }
    // A seek may land after the frame (an inexact index), or where nothing decodes up to the
    // frame (a damaged stretch of the file); each retry starts further back.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!decodesOnTo(index)) {
            const std::int64_t back[] = { 0, 16, 256, index };
            if (!seekBefore(std::max<std::int64_t>(0, index - back[attempt]))) {
                return nullptr;
            }
        }
        bool startedTooLate = false;
        const DecodedFrame* frame = decodeForwardTo(index, startedTooLate);
        if (!startedTooLate) {
            return frame;
        }
        m_position = -1; // the next attempt seeks further back
    }
    return nullptr;
}

// Going on from the decoder's position is cheaper than seeking when the step is short, or
// when no keyframe lies between the position and the frame.
bool FfmpegVideoDecoder::decodesOnTo(std::int64_t index) const
{
    if (m_position < 0 || m_drained || index <= m_position) {
        return false;
    }
    if (index - m_position <= kDecodeOnFrames) {
        return true;
    }
    const int entry = av_index_search_timestamp(
        m_stream, saturatingAdd(timestampOf(index), -m_decodingLead), AVSEEK_FLAG_BACKWARD);
    const AVIndexEntry* keyframe = entry < 0 ? nullptr : avformat_index_get_entry(m_stream, entry);
    return keyframe != nullptr
        && keyframe->timestamp <= saturatingAdd(timestampOf(m_position), -m_decodingLead);
}

bool FfmpegVideoDecoder::seekBefore(std::int64_t index)
{
    const std::int64_t target = timestampOf(index);
    AVFormatContext* format = m_file->format();
    if (av_seek_frame(format, m_streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0
        && avformat_seek_file(
               format, m_streamIndex, std::numeric_limits<std::int64_t>::min(), target, target, 0)
            < 0) {
        return false;
    }
    avcodec_flush_buffers(m_codec.get());
    ++m_statistics.seeks;
    m_position = -1;
    m_drained = false;
    return true;
}

// Decodes until frame `index` comes out. A frame that the stream does not hold or that does
// not decode (a gap in the time stamps, a damaged packet, the end of a stream shorter than its
// header says) shows the picture before it, as a player would. `startedTooLate` tells that
// decoding started after the frame, or after the last picture before it.
const DecodedFrame* FfmpegVideoDecoder::decodeForwardTo(std::int64_t index, bool& startedTooLate)
{
    for (;;) {
        const Step step = decodeNext();
        if (step != Step::Picture) {
            if (step == Step::End) {
                m_drained = true;
            }
            if (m_position >= 0 && m_position < index && index < m_info.frameCount) {
                return repeat(m_position, index);
            }
            startedTooLate = m_position < 0 && index < m_info.frameCount;
            return nullptr;
        }
        const std::int64_t found = indexOf(*m_picture);
        if (found <= m_position) {
            continue; // a second picture for a frame already shown
        }
        if (found > index) {
            if (m_position < 0) {
                startedTooLate = true;
                store(found);
                m_position = found;
                return nullptr;
            }
            const DecodedFrame* shown = repeat(m_position, index);
            store(found);
            m_position = found;
            return shown;
        }
        const DecodedFrame* frame = store(found);
        m_position = found;
        if (found == index) {
            return frame;
        }
    }
}

FfmpegVideoDecoder::Step FfmpegVideoDecoder::decodeNext()
{
    AVFormatContext* format = m_file->format();
    int errors = 0;
    for (;;) {
        const int received = avcodec_receive_frame(m_codec.get(), m_picture.get());
        if (received == 0) {
            ++m_statistics.picturesDecoded;
            return Step::Picture;
        }
        if (received == AVERROR_EOF) {
            return Step::End;
        }
        if (received != AVERROR(EAGAIN) && ++errors > kMaxDecodeErrors) {
            return Step::Failed;
        }
        if (av_read_frame(format, m_packet.get()) < 0) {
            if (avcodec_send_packet(m_codec.get(), nullptr) < 0) {
                return Step::End;
            }
            continue;
        }
        if (m_packet->stream_index != m_streamIndex) {
            av_packet_unref(m_packet.get());
            continue;
        }
        if (m_statistics.picturesDecoded == 0 && m_firstDecodingStamp == AV_NOPTS_VALUE) {
            m_firstDecodingStamp = m_packet->dts;
        }
        const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN) && ++errors > kMaxDecodeErrors) {
            return Step::Failed;
        }
    }
}

std::int64_t FfmpegVideoDecoder::indexOf(const AVFrame& picture) const
{
    const std::int64_t stamp = picture.best_effort_timestamp;
    std::int64_t offset = 0;
    if (stamp == AV_NOPTS_VALUE || __builtin_sub_overflow(stamp, m_origin, &offset)) {
        return m_position + 1;
    }
    const std::int64_t index = av_rescale_q_rnd(offset, m_stream->time_base, av_inv_q(m_rate),
        static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    return std::clamp<std::int64_t>(index, -1, kMaxFrameCount * 16);
}

std::int64_t FfmpegVideoDecoder::timestampOf(std::int64_t index) const
{
    return saturatingAdd(m_origin, av_rescale_q(index, av_inv_q(m_rate), m_stream->time_base));
}

const DecodedFrame* FfmpegVideoDecoder::store(std::int64_t index)
{
    if (const DecodedFrame* cached = m_cache.find(index)) {
        return cached; // the first picture for a frame wins
    }
    DecodedFrame frame;
    frame.pixels = m_cache.takeSpareBuffer();
    if (!m_converter->convert(*m_picture, frame.pixels)) {
        return nullptr;
    }
    frame.width = m_info.width;
    frame.height = m_info.height;
    frame.index = index;
    frame.time = m_info.firstFrameTime + double(index) / av_q2d(m_rate);
    return m_cache.insert(std::move(frame), m_lastRequest, m_direction);
}

const DecodedFrame* FfmpegVideoDecoder::repeat(std::int64_t shownIndex, std::int64_t asIndex)
{
    const DecodedFrame* shown = m_cache.find(shownIndex);
    if (shown == nullptr) {
        return nullptr;
    }
    DecodedFrame copy = *shown;
    copy.index = asIndex;
    copy.time = m_info.firstFrameTime + double(asIndex) / av_q2d(m_rate);
    return m_cache.insert(std::move(copy), m_lastRequest, m_direction);
}

} // namespace

std::unique_ptr<VideoDecoder> openVideoDecoder(const MediaInput& input,
    const std::string& containerOnly, MediaOpenError& reason, std::string& error)
{
    return FfmpegVideoDecoder::open(input, containerOnly, reason, error);
}

std::unique_ptr<VideoDecoder> openVideoDecoder(const std::filesystem::path& path,
    const std::string& containerOnly, std::string& error, FrameLimits limits)
{
    MediaOpenError reason = MediaOpenError::None;
    return openVideoDecoder(MediaInput { path, {}, limits }, containerOnly, reason, error);
}

} // namespace oskel
