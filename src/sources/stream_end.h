#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "sources/ffmpeg_handles.h"

namespace oskel {

// What is known of a stream before looking for its end. Time stamps in its time base.
struct StreamEndQuery {
    int streamIndex = -1;
    std::int64_t claimedLast = 0; // the last frame's time stamp, as the header has it
    std::int64_t frameTicks = 1; // one frame: the length of a packet that states none
    // Added to the decoding time stamp of a packet without a presentation one (an AVI file's
    // B-frames): how far its pictures come out later.
    std::int64_t decodingLead = 0;
    std::chrono::milliseconds budget { 0 };
};

// Where a stream really ends in its file, which may be sooner than its header says: a file cut
// short, or a header that claims more than was written. The presentation time stamp just after
// the stream's last whole packet; nothing when no packet of it could be read or the search
// outlasted its budget (the header's word then stands).
//
// Reads packets without decoding them: from the keyframe before the claimed last frame, which
// costs a group of pictures; when the file does not reach that far, from the last packet the
// index places inside the file, or from the start when there is no index. Moves the demuxer:
// give it a file opened for the search alone.
std::optional<std::int64_t> findStreamEnd(AVFormatContext& format, const StreamEndQuery& query);

// True when the stream's index reaches the claimed last frame and the file holds the packet it
// names there: the header's frame count can be taken as it is.
bool indexVouchesFor(AVFormatContext& format, const StreamEndQuery& query);

} // namespace oskel
