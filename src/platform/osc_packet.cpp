#include "platform/osc_packet.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include <lo/lo.h>

namespace oskel {

namespace {

constexpr std::size_t kMaxMessages = 64;
constexpr int kMaxBundleDepth = 4;
constexpr std::string_view kBundleTag { "#bundle\0", 8 };
constexpr std::size_t kTimeTagBytes = 8;

struct MessageFree {
    void operator()(lo_message message) const { lo_message_free(message); }
};
using OwnedMessage = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageFree>;

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return (std::uint32_t { bytes[0] } << 24) | (std::uint32_t { bytes[1] } << 16)
        | (std::uint32_t { bytes[2] } << 8) | std::uint32_t { bytes[3] };
}

bool isBundle(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kBundleTag.size()
        && std::memcmp(bytes.data(), kBundleTag.data(), kBundleTag.size()) == 0;
}

// A value of type T at `bytes`, which liblo leaves aligned only to four bytes.
template <typename T> T valueAt(const void* bytes)
{
    T value {};
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// liblo gives no value for the types that carry none (true, false).
std::optional<OscArgument> argumentOf(char type, const void* value)
{
    if (type == LO_TRUE || type == LO_FALSE) {
        return type == LO_TRUE;
    }
    if (value == nullptr) {
        return std::nullopt;
    }
    switch (type) {
    case LO_INT32:
        return std::int64_t { valueAt<std::int32_t>(value) };
    case LO_INT64:
        return std::int64_t { valueAt<std::int64_t>(value) };
    case LO_CHAR: // a character in the low byte of a 32-bit word
        return std::int64_t { valueAt<std::int32_t>(value) & 0xFF };
    case LO_FLOAT:
        return double { valueAt<float>(value) };
    case LO_DOUBLE:
        return valueAt<double>(value);
    case LO_STRING:
    case LO_SYMBOL:
        return std::string(static_cast<const char*>(value));
    default:
        return std::nullopt;
    }
}

class PacketReader {
public:
    OscPacket packet;

    void read(std::span<const std::uint8_t> bytes, int depth)
    {
        if (isBundle(bytes)) {
            readBundle(bytes, depth);
        } else {
            readMessage(bytes);
        }
    }

private:
    void readBundle(std::span<const std::uint8_t> bytes, int depth)
    {
        if (depth >= kMaxBundleDepth) {
            packet.problems.emplace_back("bundles nested too deeply");
            return;
        }
        std::size_t at = kBundleTag.size() + kTimeTagBytes;
        if (bytes.size() < at) {
            packet.problems.emplace_back("a bundle without its time tag");
            return;
        }
        while (at < bytes.size()) {
            if (bytes.size() - at < 4) {
                packet.problems.emplace_back("a bundle element without its size");
                return;
            }
            const std::uint32_t size = bigEndian32(bytes.data() + at);
            at += 4;
            if (size == 0 || size % 4 != 0 || size > bytes.size() - at) {
                packet.problems.emplace_back("a bundle element whose size does not fit");
                return;
            }
            read(bytes.subspan(at, size), depth + 1);
            at += size;
        }
    }

    void readMessage(std::span<const std::uint8_t> bytes)
    {
        if (packet.messages.size() >= kMaxMessages) {
            packet.problems.emplace_back("more messages than one packet may hold");
            return;
        }
        // liblo reads from a buffer of its own, aligned and writable.
        std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
        int result = 0;
        const OwnedMessage message {
            copy.empty() ? nullptr : lo_message_deserialise(copy.data(), copy.size(), &result)
        };
        const char* path
            = message ? lo_get_path(copy.data(), static_cast<ssize_t>(copy.size())) : nullptr;
        if (!message || path == nullptr) {
            packet.problems.emplace_back("a message that is not OSC");
            return;
        }
        OscMessage taken { path, {} };
        const char* types = lo_message_get_types(message.get());
        lo_arg** values = lo_message_get_argv(message.get());
        const int count = lo_message_get_argc(message.get());
        for (int k = 0; k < count; ++k) {
            const auto argument = argumentOf(types[k], values[k]);
            if (!argument) {
                packet.problems.push_back(
                    "an argument of type '" + std::string(1, types[k]) + "' at " + taken.address);
                return;
            }
            taken.arguments.push_back(*argument);
        }
        packet.messages.push_back(std::move(taken));
    }
};

bool addArgument(lo_message message, const OscArgument& argument)
{
    if (const auto* whole = std::get_if<std::int64_t>(&argument)) {
        if (*whole >= std::numeric_limits<std::int32_t>::min()
            && *whole <= std::numeric_limits<std::int32_t>::max()) {
            return lo_message_add_int32(message, static_cast<std::int32_t>(*whole)) == 0;
        }
        return lo_message_add_int64(message, *whole) == 0;
    }
    if (const auto* number = std::get_if<double>(&argument)) {
        return lo_message_add_float(message, static_cast<float>(*number)) == 0;
    }
    if (const auto* text = std::get_if<std::string>(&argument)) {
        return text->find('\0') == std::string::npos
            && lo_message_add_string(message, text->c_str()) == 0;
    }
    return (std::get<bool>(argument) ? lo_message_add_true(message) : lo_message_add_false(message))
        == 0;
}

} // namespace

OscPacket decodeOscPacket(std::span<const std::uint8_t> bytes)
{
    PacketReader reader;
    if (bytes.size() > kMaxOscPacket) {
        reader.packet.problems.emplace_back(
            "a packet larger than " + std::to_string(kMaxOscPacket) + " bytes");
        return std::move(reader.packet);
    }
    reader.read(bytes, 0);
    return std::move(reader.packet);
}

std::vector<std::uint8_t> encodeOscMessage(const OscMessage& message)
{
    if (message.address.empty() || message.address.front() != '/'
        || message.address.find('\0') != std::string::npos) {
        return {};
    }
    const OwnedMessage built { lo_message_new() };
    for (const OscArgument& argument : message.arguments) {
        if (!built || !addArgument(built.get(), argument)) {
            return {};
        }
    }
    std::size_t size = 0;
    void* wire = lo_message_serialise(built.get(), message.address.c_str(), nullptr, &size);
    if (wire == nullptr) {
        return {};
    }
    const auto* begin = static_cast<const std::uint8_t*>(wire);
    std::vector<std::uint8_t> bytes(begin, begin + size);
    std::free(wire);
    return bytes;
}

} // namespace oskel
