#include "core/network_address.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/shown_text.h"

namespace oskel {

namespace {

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

std::string schemeList(std::span<const std::string_view> schemes)
{
    std::string list;
    std::size_t index = 0;
    for (const std::string_view scheme : schemes) {
        if (index > 0) {
            list += index + 1 == schemes.size() ? " or " : ", ";
        }
        list += std::string(scheme) + "://";
        ++index;
    }
    return list;
}

} // namespace

std::string shownAddress(std::string_view url)
{
    const auto separator = url.find("://");
    if (separator == std::string_view::npos || separator > 16) {
        return shownText(url.substr(0, url.find_first_of("@/?#")));
    }
    return shownText(url.substr(0, separator)) + "://"
        + shownText(hostAndPort(url.substr(separator + 3)));
}

NetworkAddressCheck checkNetworkAddress(
    std::string_view url, std::span<const std::string_view> schemes, std::string_view what)
{
    NetworkAddressCheck check;
    const std::string named = "The " + std::string(what) + " ";
    if (url.empty()) {
        check.problem = "No " + std::string(what) + " is set";
        return check;
    }
    if (url.size() > kLongestNetworkAddress || !printable(url)) {
        check.problem = named + quotedText(shownAddress(url), 64) + " is not an address";
        return check;
    }
    const auto separator = url.find("://");
    const std::string_view scheme
        = separator == std::string_view::npos ? std::string_view() : url.substr(0, separator);
    const auto known = std::ranges::find_if(schemes,
        [scheme](std::string_view candidate) { return sameWithoutCase(scheme, candidate); });
    if (scheme.empty() || known == schemes.end()) {
        check.problem
            = named + quotedText(shownAddress(url), 64) + " must start with " + schemeList(schemes);
        return check;
    }
    const std::string_view host = hostAndPort(url.substr(separator + 3));
    if (host.empty()) {
        check.problem = named + quotedText(shownAddress(url), 64) + " names no machine";
        return check;
    }
    std::string text(url);
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(separator),
        text.begin(), asciiLower);
    check.address = NetworkAddress { text, std::string(*known),
        std::string(*known) + "://" + std::string(host) };
    return check;
}

} // namespace oskel
