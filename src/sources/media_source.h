#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "sources/live_source_control.h"
#include "sources/source_info.h"

namespace oskel {

// One media system's reader for one slot: the AVI source or the streaming source. The
// source interface owns it and keeps the slot's TSourceInfo, which the reader fills.
// open, prepare, getAudio, stop and close run on the main thread; getFrame on the slot's
// worker thread (or the main thread, for thumbnails), never two at once.
class MediaSource {
public:
    virtual ~MediaSource() = default;

    // 0 on success; a negative code or 999 when the file cannot be read by this system.
    // Fills the picture and sound fields and hasVideo / hasAudio.
    virtual int open(const std::filesystem::path& path, TSourceInfo& info) = 0;
    // Gets the picture side going after opening (only when the clip has video).
    virtual int prepare(TSourceInfo& info) = 0;
    // Frame `index` in the delivered size: 24-bit BGR, bottom-up, packed rows. Updates the
    // frame header. A result below 901 is success; `pixels` then stays valid until the next
    // call. For the streaming source the result tells how the frame was reached.
    virtual int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) = 0;
    // On the worker thread after a getFrame: decodes frame `index` ahead where that is cheap,
    // keeping the pixels getFrame handed out valid. Nothing by default.
    virtual void decodeAhead(std::int64_t /*index*/) { }
    // The whole sound as PCM in info.waveFormat; fills audioLength. 0 or 999.
    virtual int getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound) = 0;
    // Stops decoding ahead (the streaming source's decode thread); may be called more than once.
    virtual void stop(TSourceInfo& info) = 0;
    // Releases everything; no thread of the source runs afterwards. 0, or a negative code.
    virtual int close(TSourceInfo& info) = 0;
    // The live source's own calls, for a reader of one; null for a file.
    virtual LiveSourceControl* live() { return nullptr; }
};

} // namespace oskel
