#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace oskel {

class SoundBuffer;
class SlotTextures; // the renderer's per-slot texture state

// The decoded picture source of a loaded slot. Closing may fail; the slot then records it.
class ClipSource {
public:
    virtual ~ClipSource() = default;
    virtual void close() = 0;
};

// An immutable block of bytes shared between the live record and its snapshot copies.
using ByteBlock = std::shared_ptr<const std::vector<std::uint8_t>>;

} // namespace oskel
