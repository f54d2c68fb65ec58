#include "recording/osc_commands.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "core/ascii.h"

namespace oskel {

namespace {

constexpr std::string_view kMaster = "master";
constexpr std::string_view kSlot = "slot";

// The address's parts after the root, split at "/"; nothing when the root is not ours.
std::optional<std::vector<std::string_view>> partsOf(std::string_view address)
{
    if (!address.starts_with(kOscRoot) || address.size() <= kOscRoot.size()
        || address[kOscRoot.size()] != '/') {
        return std::nullopt;
    }
    std::vector<std::string_view> parts;
    std::string_view rest = address.substr(kOscRoot.size() + 1);
    while (true) {
        const std::size_t slash = rest.find('/');
        parts.push_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) {
            return parts;
        }
        rest.remove_prefix(slash + 1);
    }
}

// A number as the entry takes it, before the table's range: whole numbers for toggles and
// integers, thousandths for decimals.
std::optional<std::int64_t> numberOf(const OscArgument& argument, ControlKind kind)
{
    const double scale = kind == ControlKind::Decimal ? kDecimalScale : 1.0;
    double value = 0;
    if (const auto* whole = std::get_if<std::int64_t>(&argument)) {
        value = static_cast<double>(*whole);
    } else if (const auto* number = std::get_if<double>(&argument)) {
        value = *number;
    } else if (const auto* truth = std::get_if<bool>(&argument)) {
        value = *truth ? 1 : 0;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int64_t>(std::llround(std::clamp(value * scale, -kLimit, kLimit)));
}

OscRequest setRequest(const OscMessage& message, std::string_view group, std::string_view item)
{
    const std::optional<ControlAddress> control = findControl(group, item);
    if (!control) {
        return OscRefusal { "no control at " + message.address };
    }
    const ControlEntry& entry = control->entry();
    const auto& arguments = message.arguments;
    if (entry.kind == ControlKind::Action) {
        if (arguments.size() > 1) {
            return OscRefusal { message.address + " takes no value or one" };
        }
        if (arguments.size() == 1) {
            const auto pressed = numberOf(arguments.front(), ControlKind::Integer);
            if (!pressed) {
                return OscRefusal { message.address + " takes a number" };
            }
            if (*pressed == 0) {
                return OscNothing {};
            }
        }
        return ScriptCommand { SetAction { *control, 0 } };
    }
    if (arguments.size() != 1) {
        return OscRefusal { message.address + " takes one value" };
    }
    const auto value = numberOf(arguments.front(), entry.kind);
    if (!value) {
        return OscRefusal { message.address + " takes a number" };
    }
    return ScriptCommand { SetAction { *control, static_cast<std::int32_t>(*value) } };
}

OscRequest keyRequest(const OscMessage& message, std::string_view name)
{
    const Key key = keyNamed(name);
    if (key == Key::None) {
        return OscRefusal { "no key named \"" + std::string(name) + "\"" };
    }
    const auto down = message.arguments.size() == 1
        ? numberOf(message.arguments.front(), ControlKind::Integer)
        : std::nullopt;
    if (!down) {
        return OscRefusal { message.address + " takes 1 (pressed) or 0 (released)" };
    }
    return ScriptCommand { KeyAction { *down != 0, key, {} } };
}

OscRequest patchRequest(const OscMessage& message)
{
    const auto* file = message.arguments.size() == 1
        ? std::get_if<std::string>(&message.arguments.front())
        : nullptr;
    if (file == nullptr || file->empty()) {
        return OscRefusal { message.address + " takes the patch file's name" };
    }
    return ScriptCommand { PatchAction { std::filesystem::path(*file), false } };
}

OscRequest plainRequest(const OscMessage& message, std::string_view name)
{
    if (!message.arguments.empty()) {
        return OscRefusal { message.address + " takes no value" };
    }
    if (name == "list") {
        return OscListRequest {};
    }
    if (name == "subscribe" || name == "unsubscribe") {
        return OscSubscription { name == "subscribe" };
    }
    return OscRefusal { "no control at " + message.address };
}

} // namespace

OscRequest translateOscMessage(const OscMessage& message)
{
    const auto parts = partsOf(message.address);
    if (!parts) {
        return OscRefusal { "no control at " + message.address };
    }
    const std::vector<std::string_view>& p = *parts;
    if (p.size() == 2 && sameWithoutCase(p[0], kMaster)) {
        return setRequest(message, "Master", p[1]);
    }
    if (p.size() == 3 && sameWithoutCase(p[0], kSlot)) {
        return setRequest(message, "Slot" + std::string(p[1]), p[2]);
    }
    if (p.size() == 2 && p[0] == "key") {
        return keyRequest(message, p[1]);
    }
    if (p.size() == 2 && p[0] == "patch" && p[1] == "load") {
        return patchRequest(message);
    }
    if (p.size() == 1) {
        return plainRequest(message, p[0]);
    }
    return OscRefusal { "no control at " + message.address };
}

std::string oscAddress(const ControlEntry& entry, std::string_view slot)
{
    std::string address(kOscRoot);
    if (entry.scope == ControlScope::Master) {
        address += "/master/";
    } else {
        address += "/slot/" + std::string(slot) + "/";
    }
    for (const char c : entry.item) {
        address += asciiLower(c);
    }
    return address;
}

std::string oscAddress(const ControlAddress& control)
{
    return oscAddress(control.entry(), std::to_string(control.slot));
}

} // namespace oskel
