#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "recording/video_compressor.h"

namespace oskel {

// A compressor's own settings, as FFmpeg's encoder offers them ("crf", "preset", "profile"),
// for the compression dialog's "Configure" form; and those settings written as text,
// "crf=18:preset=fast", which presets keep as the compressor's state.
struct EncoderOption {
    std::string name;
    std::string help;
    std::string defaultValue;
    std::vector<std::string> choices; // the named values, when the option has them
};

std::vector<EncoderOption> encoderOptions(VideoCompression compression);

// Why the text is not settings this compressor takes (an unknown name, a value out of its
// range); empty when it is, or when the text is empty.
std::string encoderOptionsProblem(VideoCompression compression, std::string_view text);

} // namespace oskel
