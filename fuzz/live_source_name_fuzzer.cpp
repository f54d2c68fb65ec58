// Reads any bytes as a live source's name (from a patch, a command line or a dialog): what
// must hold is that a name taken opens only a listed camera or an address of the known
// schemes, and that nothing shown carries control characters or what
// follows the machine and port of an address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sources/live_source_name.h"

namespace {

using namespace oskel;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool hasControlCharacters(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f') {
            return true;
        }
    }
    return false;
}

const std::vector<CameraDevice> kCameras { { "Camera", "/dev/video0" } };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const LiveSourceChoice choice = chooseLiveSource(name, kCameras);
    check(!hasControlCharacters(choice.shownName) && !hasControlCharacters(choice.problem));
    check(!hasControlCharacters(shownClipName(name)));
    if (!choice.ok()) {
        check(choice.input.empty());
        return 0;
    }
    check(isLiveSourceName(name));
    if (choice.camera) {
        check(choice.input == "/dev/video0");
        return 0;
    }
    check(choice.input.size() == name.size() && !hasControlCharacters(choice.input));
    const std::string_view shown = choice.shownName;
    const auto rest = shown.substr(shown.find("://") + 3);
    check(rest.find_first_of("/?#@") == std::string_view::npos);
    return 0;
}
