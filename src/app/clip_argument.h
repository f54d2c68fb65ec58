#pragma once

#include <filesystem>
#include <string_view>

namespace oskel {

// A clip named on the command line: --load SLOT=FILE.
struct ClipToLoad {
    int slot = 0;
    std::filesystem::path file;
};

// "3=clip.avi": true with the slot (1..16) and the file.
bool parseClipArgument(std::string_view text, ClipToLoad& clip);

} // namespace oskel
