#include "playback/slot_previews.h"

#include <utility>

#include "sources/thumbnail.h"

namespace oskel {

SlotPreviews::SlotPreviews()
{
    // Both pictures get their storage now, so that the workers' swaps never allocate.
    for (Latest& latest : m_slots) {
        stretchIntoThumbnail(nullptr, 0, 0, latest.shown);
        stretchIntoThumbnail(nullptr, 0, 0, latest.scratch);
    }
}

void SlotPreviews::post(int slot, const std::uint8_t* pixels, int width, int height)
{
    if (!m_enabled || !isValidSlot(slot) || pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    Latest& latest = m_slots.at(static_cast<std::size_t>(slot));
    stretchIntoThumbnail(pixels, width, height, latest.scratch);
    const std::unique_lock guard(latest.lock, std::try_to_lock);
    if (!guard.owns_lock()) {
        return;
    }
    std::swap(latest.shown.pixels, latest.scratch.pixels);
    latest.fresh = true;
}

std::optional<ThumbnailPicture> SlotPreviews::takeNew(int slot)
{
    if (!isValidSlot(slot)) {
        return std::nullopt;
    }
    Latest& latest = m_slots.at(static_cast<std::size_t>(slot));
    const std::lock_guard guard(latest.lock);
    if (!latest.fresh) {
        return std::nullopt;
    }
    latest.fresh = false;
    return latest.shown;
}

void SlotPreviews::clear(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    Latest& latest = m_slots.at(static_cast<std::size_t>(slot));
    const std::lock_guard guard(latest.lock);
    latest.fresh = false;
}

} // namespace oskel
