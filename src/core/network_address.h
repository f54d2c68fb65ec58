#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace oskel {

// A network address from outside the program (a settings file, a command line, a patch, a
// dialog), checked before FFmpeg sees it: FFmpeg would open "file:" or "pipe:" as readily.
struct NetworkAddress {
    std::string url; // the scheme in small letters, as FFmpeg knows its protocols
    std::string scheme; // "udp"
    // "udp://10.0.0.2:5000": the scheme, machine and port only, without a user name,
    // password, path or stream key, for every message that names the address.
    std::string shownName;
};

struct NetworkAddressCheck {
    std::optional<NetworkAddress> address;
    std::string problem; // in the performer's words, when there is no address
};

inline constexpr std::size_t kLongestNetworkAddress = 2048;

// Takes an address of at most kLongestNetworkAddress printable characters whose scheme is
// one of `schemes` and that names a machine. `what` names the address in messages ("stream
// address"); a problem never repeats more of the address than its shown name.
NetworkAddressCheck checkNetworkAddress(
    std::string_view url, std::span<const std::string_view> schemes, std::string_view what);

// The scheme, machine and port of a "scheme://..." text; the text cut before anything
// secret otherwise.
std::string shownAddress(std::string_view url);

} // namespace oskel
