#include "sources/media_file.h"

#include <algorithm>
#include <cstring>
#include <thread>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

#include "sources/ffmpeg_log.h"
#include "sources/readable_file.h"

namespace oskel {

namespace {

constexpr int kReadBufferBytes = 32 * 1024;
// The largest single block FFmpeg may allocate: enough for a plane of an 8K picture, but a
// header that claims a gigabyte-long tag or picture is refused instead of served.
constexpr std::size_t kMaxFfmpegBlock = std::size_t(256) * 1024 * 1024;

int readFromMemory(void* opaque, std::uint8_t* buffer, int size)
{
    auto* reader = static_cast<MediaFile::MemoryReader*>(opaque);
    const std::size_t left = reader->bytes.size() - reader->position;
    if (left == 0 || size <= 0) {
        return AVERROR_EOF;
    }
    const std::size_t count = std::min(left, static_cast<std::size_t>(size));
    std::memcpy(buffer, reader->bytes.data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

std::int64_t seekInMemory(void* opaque, std::int64_t offset, int whence)
{
    auto* reader = static_cast<MediaFile::MemoryReader*>(opaque);
    const auto size = static_cast<std::int64_t>(reader->bytes.size());
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) {
        return size;
    }
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<std::int64_t>(reader->position);
    } else if (whence == SEEK_END) {
        base = size;
    } else if (whence != SEEK_SET) {
        return AVERROR(EINVAL);
    }
    if (offset < -base || offset > size - base) {
        return AVERROR(EINVAL);
    }
    reader->position = static_cast<std::size_t>(base + offset);
    return base + offset;
}

// FFmpeg's words for an error code, after what failed: "what (FFmpeg's words)".
std::string withReason(const std::string& what, int code)
{
    char words[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, words, sizeof words);
    return what + " (" + words + ")";
}

} // namespace

MediaFile::~MediaFile() = default;

std::unique_ptr<MediaFile> MediaFile::open(const MediaInput& input,
    const std::string& containerOnly, MediaOpenError& reason, std::string& error, bool probeStreams)
{
    // A broken file would otherwise fill the terminal with FFmpeg's complaints.
    routeFfmpegLogByDefault();
    av_max_alloc(kMaxFfmpegBlock);
    const bool fromMemory = input.path.empty();
    if (const std::string why = fromMemory ? std::string() : whyUnreadable(input.path);
        !why.empty()) {
        reason = MediaOpenError::CannotRead;
        error = why;
        return nullptr;
    }
    const AVInputFormat* forced = nullptr;
    if (!containerOnly.empty()) {
        forced = av_find_input_format(containerOnly.c_str());
        if (forced == nullptr) {
            reason = MediaOpenError::NotRecognised;
            error = "no demuxer for " + containerOnly;
            return nullptr;
        }
    }

    std::unique_ptr<MediaFile> file(new MediaFile());
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr) {
        reason = MediaOpenError::Undecodable;
        error = "out of memory";
        return nullptr;
    }
    if (fromMemory) {
        file->m_reader = std::make_unique<MemoryReader>(MemoryReader { input.bytes, 0 });
        auto* buffer = static_cast<std::uint8_t*>(av_malloc(kReadBufferBytes));
        AVIOContext* io = buffer == nullptr
            ? nullptr
            : avio_alloc_context(buffer, kReadBufferBytes, 0, file->m_reader.get(), readFromMemory,
                nullptr, seekInMemory);
        if (io == nullptr) {
            av_free(buffer);
            avformat_free_context(context);
            reason = MediaOpenError::Undecodable;
            error = "out of memory";
            return nullptr;
        }
        file->m_io.reset(io);
        context->pb = io;
        context->flags |= AVFMT_FLAG_CUSTOM_IO;
    }

    // Playlists and concatenation files must not lead the demuxer to other files or the
    // network; a clip in memory may open nothing at all.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", fromMemory ? "none" : "file", 0);
    const std::string url = fromMemory ? std::string() : input.path.string();
    const int opened
        = avformat_open_input(&context, fromMemory ? nullptr : url.c_str(), forced, &options);
    av_dict_free(&options);
    if (opened < 0) {
        // avformat_open_input frees the context itself when it fails.
        reason = MediaOpenError::NotRecognised;
        error = withReason(
            "not a readable " + (containerOnly.empty() ? "media" : containerOnly) + " file",
            opened);
        return nullptr;
    }
    file->m_format.reset(context);
    if (const int found = probeStreams ? avformat_find_stream_info(context, nullptr) : 0;
        found < 0) {
        reason = MediaOpenError::NotRecognised;
        error = withReason("cannot read the streams", found);
        return nullptr;
    }
    return file;
}

ffmpeg::CodecContextPtr MediaFile::openDecoder(
    AVMediaType type, int& streamIndex, MediaOpenError& reason, std::string& error) const
{
    const AVCodec* codec = nullptr;
    const int found = av_find_best_stream(m_format.get(), type, -1, -1, &codec, 0);
    if (found == AVERROR_STREAM_NOT_FOUND) {
        reason = MediaOpenError::NoStream;
        error = type == AVMEDIA_TYPE_VIDEO ? "no picture stream" : "no sound stream";
        return nullptr;
    }
    if (found < 0 || codec == nullptr) {
        reason = MediaOpenError::Undecodable;
        const int stream = av_find_best_stream(m_format.get(), type, -1, -1, nullptr, 0);
        error = stream < 0 ? std::string("no decoder for the stream")
                           : "no decoder for its "
                + std::string(avcodec_get_name(m_format->streams[stream]->codecpar->codec_id))
                + (type == AVMEDIA_TYPE_VIDEO ? " picture" : " sound");
        return nullptr;
    }
    ffmpeg::CodecContextPtr context(avcodec_alloc_context3(codec));
    if (context == nullptr
        || avcodec_parameters_to_context(context.get(), m_format->streams[found]->codecpar) < 0) {
        reason = MediaOpenError::Undecodable;
        error = "cannot set up the decoder";
        return nullptr;
    }
    context->pkt_timebase = m_format->streams[found]->time_base;
    if (type == AVMEDIA_TYPE_VIDEO) {
        context->thread_count = decodingThreads();
    }
    if (const int opened = avcodec_open2(context.get(), codec, nullptr); opened < 0) {
        reason = MediaOpenError::Undecodable;
        error = withReason("cannot open the " + std::string(codec->name) + " decoder", opened);
        return nullptr;
    }
    streamIndex = found;
    return context;
}

int decodingThreads()
{
    // One more than the cores, as FFmpeg's own choice, so that a frame is being decoded while
    // the last one is converted; capped, since every slot has a decoder of its own.
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    return static_cast<int>(std::min(cores + 1, 8U));
}

} // namespace oskel
