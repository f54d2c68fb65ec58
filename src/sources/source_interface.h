#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/slot_handles.h"
#include "core/slot_number.h"
#include "sources/media_source.h"
#include "sources/source_info.h"

namespace oskel {

// The one door to the media systems, indexed by slot number: it keeps each slot's
// TSourceInfo and the reader of the system chosen for the slot. A result of 999 means that
// there is no such source or that the call failed.
class SourceInterface {
public:
    using ReaderFactory = std::function<std::unique_ptr<MediaSource>(SourceSystemKind system)>;

    explicit SourceInterface(ReaderFactory makeReader);
    ~SourceInterface();
    SourceInterface(const SourceInterface&) = delete;
    SourceInterface& operator=(const SourceInterface&) = delete;

    // Main thread: how large the frames of the clips opened from now on are delivered.
    void setFrameLimits(FrameLimits limits) { m_frameLimits = limits; }
    FrameLimits frameLimits() const { return m_frameLimits; }

    int SourceInit(int slot, SourceSystemKind system, int depth);
    int SourceOpen(int slot, const std::filesystem::path& file);
    int SourcePrepare(int slot);
    // Slot's worker thread, or the main thread for thumbnails. Frames past the last one the
    // file holds are that last one.
    int SourceGetFrame(int slot, std::int64_t index, const std::uint8_t*& pixels);
    // Slot's worker thread, after SourceGetFrame: frame `index` decoded ahead where cheap.
    void SourceDecodeAhead(int slot, std::int64_t index);
    // The whole sound, as a new block; `length` is its size in bytes.
    int SourceGetAudio(int slot, ByteBlock& sound, std::int64_t& length);
    int SourceStop(int slot);
    int SourceClose(int slot);

    // The slot's source state; an empty record for a slot without one.
    const TSourceInfo& info(int slot) const;

    // The live source's own calls for a slot holding one; null otherwise.
    LiveSourceControl* live(int slot);

    // A handle that closes the slot's source, for the slot record.
    std::shared_ptr<ClipSource> closer(int slot);

private:
    struct Entry {
        TSourceInfo info;
        std::unique_ptr<MediaSource> reader;
        bool prepared = false;
    };
    Entry* entry(int slot);

    ReaderFactory m_makeReader;
    FrameLimits m_frameLimits;
    std::array<Entry, kSlotCount + 1> m_entries; // index = slot number; 0 unused
};

} // namespace oskel
