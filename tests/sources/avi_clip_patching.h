#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace oskel::test {

// Overwrites a 32-bit little-endian field of the first stream header ("strh") of the given
// type ("vids" or "auds") in an AVI file's bytes, or of the format chunk ("strf") after it.
// `offset` counts from the start of the chunk's data. False when there is no such stream.
inline bool patchAviStream(std::vector<std::uint8_t>& bytes, const char* type, bool format,
    std::size_t offset, std::uint32_t value)
{
    for (std::size_t at = 0; at + 12 <= bytes.size(); ++at) {
        if (std::memcmp(bytes.data() + at, "strh", 4) != 0
            || std::memcmp(bytes.data() + at + 8, type, 4) != 0) {
            continue;
        }
        std::uint32_t headerSize = 0;
        std::memcpy(&headerSize, bytes.data() + at + 4, 4);
        std::size_t chunk = at;
        if (format) {
            chunk = at + 8 + headerSize;
            if (chunk + 8 > bytes.size() || std::memcmp(bytes.data() + chunk, "strf", 4) != 0) {
                return false;
            }
        }
        const std::size_t field = chunk + 8 + offset;
        if (field + 4 > bytes.size()) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            bytes[field + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return true;
    }
    return false;
}

// Fills the data of the chunks named `id` ("00dc": the first stream's pictures) with zeros:
// from the one numbered `first` (from 0, in file order) on, `count` of them. Returns how many
// it filled.
inline int zeroAviChunks(std::vector<std::uint8_t>& bytes, const char* id, int first = 0,
    int count = std::numeric_limits<int>::max())
{
    int seen = 0;
    int filled = 0;
    // Up to the index, whose entries name the chunks too.
    for (std::size_t at = 0; at + 8 <= bytes.size() && filled < count; ++at) {
        if (std::memcmp(bytes.data() + at, "idx1", 4) == 0) {
            break;
        }
        if (std::memcmp(bytes.data() + at, id, 4) != 0) {
            continue;
        }
        std::uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (size == 0 || at + 8 + size > bytes.size()) {
            continue;
        }
        if (seen++ >= first) {
            std::fill(bytes.begin() + std::ptrdiff_t(at + 8),
                bytes.begin() + std::ptrdiff_t(at + 8 + size), 0);
            ++filled;
        }
        at += 7 + size;
    }
    return filled;
}

// Field offsets in a stream header and in a picture stream's format.
inline constexpr std::size_t kStreamRate = 24;
inline constexpr std::size_t kStreamLength = 32;
inline constexpr std::size_t kBitmapWidth = 4;

inline std::uint32_t aviStreamField(
    const std::vector<std::uint8_t>& bytes, const char* type, std::size_t offset)
{
    for (std::size_t at = 0; at + 12 <= bytes.size(); ++at) {
        if (std::memcmp(bytes.data() + at, "strh", 4) == 0
            && std::memcmp(bytes.data() + at + 8, type, 4) == 0
            && at + 12 + offset <= bytes.size()) {
            std::uint32_t value = 0;
            std::memcpy(&value, bytes.data() + at + 8 + offset, 4);
            return value;
        }
    }
    return 0;
}

} // namespace oskel::test
