#include "recording/encoder_options.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
}

#include "recording/ffmpeg_writer.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

struct DictionaryFree {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

std::string defaultOf(const AVOption& option)
{
    switch (option.type) {
    case AV_OPT_TYPE_INT:
    case AV_OPT_TYPE_INT64:
    case AV_OPT_TYPE_BOOL:
        return std::to_string(option.default_val.i64);
    case AV_OPT_TYPE_FLOAT:
    case AV_OPT_TYPE_DOUBLE:
        return std::to_string(option.default_val.dbl);
    case AV_OPT_TYPE_STRING:
        return option.default_val.str != nullptr ? option.default_val.str : "";
    default:
        return "";
    }
}

} // namespace

std::vector<EncoderOption> encoderOptions(VideoCompression compression)
{
    std::vector<EncoderOption> options;
    const AVCodec* codec = ffmpeg::encoderFor(compression);
    if (codec == nullptr || codec->priv_class == nullptr) {
        return options;
    }
    const AVClass* owner = codec->priv_class;
    const AVOption* option = nullptr;
    while ((option = av_opt_next(&owner, option)) != nullptr) {
        if (option->type == AV_OPT_TYPE_CONST
            || (option->flags & AV_OPT_FLAG_ENCODING_PARAM) == 0) {
            continue;
        }
        EncoderOption shown { option->name, option->help != nullptr ? option->help : "",
            defaultOf(*option), {} };
        if (option->unit != nullptr) {
            const AVOption* value = nullptr;
            while ((value = av_opt_next(&owner, value)) != nullptr) {
                if (value->type == AV_OPT_TYPE_CONST && value->unit != nullptr
                    && std::string_view(value->unit) == option->unit) {
                    shown.choices.emplace_back(value->name);
                }
            }
        }
        options.push_back(std::move(shown));
    }
    return options;
}

std::string encoderOptionsProblem(VideoCompression compression, std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const AVCodec* codec = ffmpeg::encoderFor(compression);
    if (codec == nullptr) {
        return "This FFmpeg has no " + std::string(videoCompressor(compression).friendlyName);
    }
    AVDictionary* parsed = nullptr;
    const std::string settings(text);
    const int split = av_dict_parse_string(&parsed, settings.c_str(), "=", ":", 0);
    const std::unique_ptr<AVDictionary, DictionaryFree> owned(parsed);
    if (split < 0) {
        return "The settings \"" + settings + "\" are not name=value pairs separated by \":\"";
    }
    const ffmpeg::CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || context->priv_data == nullptr) {
        return {};
    }
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(parsed, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        if (av_opt_set(context->priv_data, entry->key, entry->value, 0) < 0) {
            return std::string(videoCompressor(compression).friendlyName) + " does not take "
                + entry->key + "=" + entry->value;
        }
    }
    // Some values are only looked at when the encoder opens (a preset's name): try it.
    VideoEncoding trial;
    trial.compression = compression;
    trial.width = 64;
    trial.height = 64;
    trial.options = settings;
    try {
        const ffmpeg::PictureEncoder encoder(trial, false);
    } catch (const OutputError& refused) {
        return refused.what();
    }
    return {};
}

} // namespace oskel
