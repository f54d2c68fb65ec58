#include "app/render_arguments.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "core/rounding.h"
#include "core/shown_text.h"
#include "recording/whole_number.h"

namespace oskel {

namespace {

constexpr int kLargestSide = 8192;
constexpr int kHighestFrameRate = 1000;
constexpr std::int64_t kMostFrames = 100'000'000;

std::optional<double> decimalNumber(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool parseSize(std::string_view text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string_view::npos) {
        return false;
    }
    const auto w = wholeNumber<int>(text.substr(0, x));
    const auto h = wholeNumber<int>(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > kLargestSide || *h > kLargestSide) {
        return false;
    }
    width = *w;
    height = *h;
    return true;
}

// The options' readers: each takes the option's value and says whether it was good.
struct Parsing {
    RenderRequest request;
    std::optional<std::int64_t> frames;
    std::optional<double> seconds;
};

using OptionReader = std::function<bool(Parsing& parsing, std::string_view value)>;

template <typename Field, typename Number>
OptionReader numberIn(Field RenderRequest::*field, Number low, Number high)
{
    return [=](Parsing& parsing, std::string_view value) {
        const auto number = wholeNumber<Number>(value);
        if (!number || *number < low || *number > high) {
            return false;
        }
        parsing.request.*field = *number;
        return true;
    };
}

const std::map<std::string_view, OptionReader>& optionReaders()
{
    static const std::map<std::string_view, OptionReader> readers {
        { "--script",
            [](Parsing& p, std::string_view v) {
                p.request.script = std::filesystem::path(v);
                return !v.empty();
            } },
        { "--patch",
            [](Parsing& p, std::string_view v) {
                p.request.patch = std::filesystem::path(v);
                return !v.empty();
            } },
        { "--load",
            [](Parsing& p, std::string_view v) {
                ClipToLoad clip;
                if (!parseClipArgument(v, clip)) {
                    return false;
                }
                p.request.clips.push_back(clip);
                return true;
            } },
        { "--fps", numberIn(&RenderRequest::framesPerSecond, 1, kHighestFrameRate) },
        { "--frames",
            [](Parsing& p, std::string_view v) {
                p.frames = wholeNumber<std::int64_t>(v);
                return p.frames && *p.frames >= 1 && *p.frames <= kMostFrames;
            } },
        { "--seconds",
            [](Parsing& p, std::string_view v) {
                p.seconds = decimalNumber(v);
                return p.seconds && *p.seconds > 0.0;
            } },
        { "--size",
            [](Parsing& p, std::string_view v) {
                return parseSize(v, p.request.width, p.request.height);
            } },
        { "--out",
            [](Parsing& p, std::string_view v) {
                p.request.output = std::filesystem::path(v);
                return !v.empty();
            } },
        { "--compressor",
            [](Parsing& p, std::string_view v) {
                const VideoCompressor* compressor = findVideoCompressor(v);
                if (compressor != nullptr) {
                    p.request.compressor = std::string(compressor->friendlyName);
                    p.request.compressorChosen = true;
                }
                return compressor != nullptr;
            } },
        { "--quality", numberIn(&RenderRequest::quality, 0, 100) },
        { "--key-frame", numberIn(&RenderRequest::keyFrame, 1, 100000) },
        { "--data-rate", numberIn(&RenderRequest::dataRateKBps, 0, 1000000) },
        { "--audio",
            [](Parsing& p, std::string_view v) {
                p.request.audio = std::filesystem::path(v);
                return !v.empty();
            } },
        { "--stream",
            [](Parsing& p, std::string_view v) {
                p.request.stream = std::string(v);
                return !v.empty();
            } },
    };
    return readers;
}

std::optional<std::string> frameCount(Parsing& parsing)
{
    if (parsing.frames.has_value() == parsing.seconds.has_value()) {
        return "give either --frames or --seconds";
    }
    if (parsing.seconds) {
        const double exact = *parsing.seconds * parsing.request.framesPerSecond;
        if (exact > static_cast<double>(kMostFrames) || roundHalfEven(exact) < 1) {
            return "--seconds gives no frames, or too many, at this frame rate";
        }
        parsing.frames = roundHalfEven(exact);
    }
    parsing.request.frames = *parsing.frames;
    return std::nullopt;
}

} // namespace

std::string renderUsage()
{
    return std::string(kRenderUsage) + videoCompressorNames() + R"(
                     (default: the compression settings in force, those of "Video
                     Compression Settings"; without any, "Uncompressed Video", or H.264
                     for a file that cannot hold it)
  --quality Q        the compressor's quality, 0..100 (default: the settings in force, or 100)
  --key-frame N      a key frame every N frames (default: the settings in force, or 1)
  --data-rate KB     limit the data rate to KB kilobytes a second (0: no limit; default: the
                     settings in force, or no limit)
  --audio FILE       the sound of FILE (any sound or video file) instead of the clips' own,
                     from the render's start (default: the render settings' AudioSource,
                     when it names a file)
  --stream URL       also send the picture and the sound, as they are made, to URL:
                     udp://HOST:PORT or srt://HOST:PORT (MPEG-TS), rtmp://SERVER/APP/KEY
                     (FLV); the render then runs no faster than its frame rate, and a
                     stream that fails is reported without stopping the render

A progress line on standard error shows the frames done and the speed. Exit status: 0 when
the render is written, 2 for bad arguments or a performance file that cannot be read, 1 when
the render fails (nothing is left that looks complete).
)";
}

RenderArguments parseRenderArguments(std::span<const std::string_view> arguments)
{
    RenderArguments result;
    Parsing parsing;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        if (option == "--help" || option == "-h") {
            result.help = true;
            return result;
        }
        const auto reader = optionReaders().find(option);
        if (reader == optionReaders().end()) {
            result.problem = "unknown option " + quotedText(option);
            return result;
        }
        if (i + 1 >= arguments.size() || !reader->second(parsing, arguments[i + 1])) {
            result.problem = "bad or missing value for " + std::string(option)
                + (i + 1 < arguments.size() ? ": " + quotedText(arguments[i + 1]) : "");
            return result;
        }
        ++i;
    }
    if (parsing.request.script.empty()) {
        result.problem = "--script is required";
        return result;
    }
    if (auto problem = frameCount(parsing)) {
        result.problem = *problem;
        return result;
    }
    const VideoCompressor& compressor = *findVideoCompressor(parsing.request.compressor);
    const int multiple = compressor.sizeMultiple;
    if (parsing.request.width % multiple != 0 || parsing.request.height % multiple != 0) {
        result.problem = std::string(compressor.friendlyName)
            + (multiple == 2 ? " needs an even width and height"
                             : " needs a width and height that are multiples of "
                        + std::to_string(multiple));
        return result;
    }
    result.request = std::move(parsing.request);
    return result;
}

} // namespace oskel
