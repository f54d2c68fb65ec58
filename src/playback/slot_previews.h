#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "core/slot_number.h"
#include "core/user_interface_port.h"

namespace oskel {

// The live pictures of the playing slots, handed from the slot workers to the windows: each
// worker leaves its slot's latest frame here, shrunk to thumbnail size, and the windows take
// it when they next paint. A worker never waits for the windows: while they are taking a
// slot's picture, that slot's new frame is dropped.
class SlotPreviews {
public:
    SlotPreviews();

    // Off: workers leave nothing (the "animatedThumbs" option). Any thread.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool enabled() const { return m_enabled; }

    // Slot worker thread, real-time path: keeps the frame (24-bit BGR, rows bottom-up and
    // packed, `pixels` valid during the call) as the slot's latest picture. Only the slot's
    // own worker calls it for that slot. Allocation-free once the slot has had a picture.
    void post(int slot, const std::uint8_t* pixels, int width, int height);

    // Windows thread: the slot's latest picture when one came since the last take.
    std::optional<ThumbnailPicture> takeNew(int slot);

    // Windows thread: forget the slot's picture (it was unloaded or stopped).
    void clear(int slot);

private:
    struct Latest {
        std::mutex lock;
        ThumbnailPicture shown; // under the lock
        bool fresh = false; // under the lock
        ThumbnailPicture scratch; // the slot's worker only
    };

    std::atomic<bool> m_enabled = true;
    std::array<Latest, kSlotCount + 1> m_slots;
};

} // namespace oskel
