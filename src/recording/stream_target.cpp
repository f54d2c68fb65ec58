#include "recording/stream_target.h"

#include <algorithm>
#include <array>

extern "C" {
#include <libavformat/avio.h>
}

#include "core/ascii.h"
#include "core/shown_text.h"
#include "recording/ffmpeg_writer.h"

namespace oskel {

namespace {

constexpr std::size_t kLongestUrl = 2048;

struct Protocol {
    std::string_view scheme;
    const char* muxer;
    std::string_view friendlyName;
};

constexpr std::array kProtocols {
    Protocol { "udp", "mpegts", "UDP" },
    Protocol { "srt", "mpegts", "SRT" },
    Protocol { "rtmp", "flv", "RTMP" },
    Protocol { "rtmps", "flv", "RTMPS" },
};

const Protocol* protocolOf(std::string_view scheme)
{
    const auto found = std::ranges::find_if(kProtocols,
        [scheme](const Protocol& protocol) { return sameWithoutCase(scheme, protocol.scheme); });
    return found != kProtocols.end() ? &*found : nullptr;
}

// The machine and port, without a user name or password before them.
std::string_view hostAndPort(std::string_view rest)
{
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    const auto at = authority.rfind('@');
    return at == std::string_view::npos ? authority : authority.substr(at + 1);
}

bool printable(std::string_view text)
{
    return std::ranges::all_of(text, [](char c) { return c > ' ' && c != '\x7f'; });
}

// A muxer that cannot say which codecs it holds (MPEG-TS) is taken to hold them all.
bool streamTakes(const char* muxer, VideoCompression compression)
{
    const AVOutputFormat* format = av_guess_format(muxer, nullptr, nullptr);
    const AVCodec* codec = ffmpeg::encoderFor(compression);
    return format != nullptr && codec != nullptr
        && avformat_query_codec(format, codec->id, FF_COMPLIANCE_NORMAL) != 0;
}

// Low latency: no frames held back, a key frame every half second so that a receiver joining
// late shows pictures soon.
std::optional<VideoEncoding> encodingFor(const char* muxer, int framesPerSecond)
{
    VideoEncoding encoding;
    encoding.framesPerSecond = framesPerSecond;
    encoding.keyFrame = std::max(1, framesPerSecond / 2);
    encoding.quality = 60;
    if (streamTakes(muxer, VideoCompression::H264)) {
        encoding.compression = VideoCompression::H264;
        encoding.options = "preset=ultrafast:tune=zerolatency";
        return encoding;
    }
    if (streamTakes(muxer, VideoCompression::Mpeg4)) {
        encoding.compression = VideoCompression::Mpeg4;
        return encoding;
    }
    return std::nullopt;
}

} // namespace

StreamTargetChoice chooseStreamTarget(std::string_view url, int framesPerSecond)
{
    StreamTargetChoice choice;
    if (url.empty()) {
        choice.problem = "No stream address is set";
        return choice;
    }
    if (url.size() > kLongestUrl || !printable(url)) {
        choice.problem = "The stream address " + quotedText(url) + " is not an address";
        return choice;
    }
    const auto separator = url.find("://");
    const Protocol* protocol
        = separator == std::string_view::npos ? nullptr : protocolOf(url.substr(0, separator));
    if (protocol == nullptr) {
        choice.problem = "The stream address " + quotedText(url)
            + " must start with udp://, srt://, rtmp:// or rtmps://";
        return choice;
    }
    const std::string_view host = hostAndPort(url.substr(separator + 3));
    if (host.empty()) {
        choice.problem = "The stream address " + quotedText(url) + " names no machine";
        return choice;
    }
    // FFmpeg knows its protocols by their names in small letters.
    std::string text(url);
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(separator),
        text.begin(), asciiLower);
    if (avio_find_protocol_name(text.c_str()) == nullptr) {
        choice.problem = "This FFmpeg cannot stream over " + std::string(protocol->friendlyName)
            + " (it was built without it)";
        return choice;
    }
    const std::optional<VideoEncoding> encoding = encodingFor(protocol->muxer, framesPerSecond);
    if (!encoding) {
        choice.problem = "This FFmpeg has no video compressor for a stream over "
            + std::string(protocol->friendlyName);
        return choice;
    }
    choice.target = StreamTarget { text, protocol->muxer,
        std::string(protocol->scheme) + "://" + std::string(host), *encoding };
    return choice;
}

} // namespace oskel
