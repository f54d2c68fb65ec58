#include "recording/stream_target.h"

#include <algorithm>
#include <array>

extern "C" {
#include <libavformat/avio.h>
}

#include "core/network_address.h"
#include "recording/ffmpeg_writer.h"

namespace oskel {

namespace {

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

const Protocol& protocolOf(std::string_view scheme)
{
    return *std::ranges::find_if(
        kProtocols, [scheme](const Protocol& protocol) { return scheme == protocol.scheme; });
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
    constexpr std::array<std::string_view, 4> kSchemes { "udp", "srt", "rtmp", "rtmps" };
    const NetworkAddressCheck check = checkNetworkAddress(url, kSchemes, "stream address");
    if (!check.address) {
        choice.problem = check.problem;
        return choice;
    }
    const std::string& text = check.address->url;
    const Protocol& protocol = protocolOf(check.address->scheme);
    if (avio_find_protocol_name(text.c_str()) == nullptr) {
        choice.problem = "This FFmpeg cannot stream over " + std::string(protocol.friendlyName)
            + " (it was built without it)";
        return choice;
    }
    const std::optional<VideoEncoding> encoding = encodingFor(protocol.muxer, framesPerSecond);
    if (!encoding) {
        choice.problem = "This FFmpeg has no video compressor for a stream over "
            + std::string(protocol.friendlyName);
        return choice;
    }
    choice.target = StreamTarget { text, protocol.muxer, check.address->shownName, *encoding };
    return choice;
}

} // namespace oskel
