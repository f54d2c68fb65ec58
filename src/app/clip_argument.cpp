#include "app/clip_argument.h"

#include <charconv>

#include "core/slot_number.h"

namespace oskel {

bool parseClipArgument(std::string_view text, ClipToLoad& clip)
{
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals + 1 >= text.size()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + equals, clip.slot);
    clip.file = std::filesystem::path(text.substr(equals + 1));
    return error == std::errc() && end == text.data() + equals && isValidSlot(clip.slot);
}

} // namespace oskel
