#include "sources/stream_end.h"

#include <algorithm>

namespace oskel {

namespace {

// Reads in a row that fail before the file counts as ended: a demuxer may report a damaged
// packet and go on with the next.
constexpr int kMaxReadErrors = 64;
// The clock is looked at once per this many packets.
constexpr int kPacketsPerClockCheck = 64;

bool inFile(std::int64_t position, std::int64_t size, std::int64_t fileSize)
{
    std::int64_t end = 0;
    return position >= 0 && !__builtin_add_overflow(position, size, &end)
        && (fileSize < 0 || end <= fileSize);
}

class EndSearch {
public:
    EndSearch(AVFormatContext& format, const StreamEndQuery& query)
        : m_format(format)
        , m_stream(*format.streams[query.streamIndex])
        , m_streamIndex(query.streamIndex)
        , m_frameTicks(std::max<std::int64_t>(query.frameTicks, 1))
        , m_decodingLead(query.decodingLead)
        , m_fileSize(avio_size(format.pb))
        , m_deadline(std::chrono::steady_clock::now() + query.budget)
        , m_packet(av_packet_alloc())
    {
    }

    // The end found reading on from the keyframe before `stamp` to the end of the file.
    std::optional<std::int64_t> readOnFrom(std::int64_t stamp)
    {
        if (!m_packet || av_seek_frame(&m_format, m_streamIndex, stamp, AVSEEK_FLAG_BACKWARD) < 0) {
            return std::nullopt;
        }
        std::optional<std::int64_t> end;
        int errors = 0;
        for (int packets = 1;; ++packets) {
            const int read = av_read_frame(&m_format, m_packet.get());
            if (read == AVERROR_EOF || (read < 0 && ++errors > kMaxReadErrors)) {
                break;
            }
            if (read >= 0) {
                errors = 0;
                take(end);
                av_packet_unref(m_packet.get());
            }
            if (packets % kPacketsPerClockCheck == 0 && overtime()) {
                return std::nullopt;
            }
        }
        return end;
    }

    // The time stamp of the last packet the index places wholly inside the file.
    std::optional<std::int64_t> lastIndexedInFile()
    {
        for (int k = avformat_index_get_entries_count(&m_stream) - 1; k >= 0; --k) {
            const AVIndexEntry* entry = avformat_index_get_entry(&m_stream, k);
            if (entry != nullptr && inFile(entry->pos, entry->size, m_fileSize)) {
                return entry->timestamp;
            }
        }
        return std::nullopt;
    }

    bool overtime() const { return std::chrono::steady_clock::now() > m_deadline; }

private:
    void take(std::optional<std::int64_t>& end) const
    {
        const AVPacket& packet = *m_packet;
        const bool whole = (packet.flags & AV_PKT_FLAG_CORRUPT) == 0
            && (packet.pos < 0 || inFile(packet.pos, packet.size, m_fileSize));
        if (packet.stream_index != m_streamIndex || !whole) {
            return;
        }
        std::int64_t stamp = packet.pts;
        if (stamp == AV_NOPTS_VALUE
            && (packet.dts == AV_NOPTS_VALUE
                || __builtin_add_overflow(packet.dts, m_decodingLead, &stamp))) {
            return;
        }
        std::int64_t after = 0;
        if (__builtin_add_overflow(
                stamp, packet.duration > 0 ? packet.duration : m_frameTicks, &after)) {
            return;
        }
        end = std::max(end.value_or(after), after);
    }

    AVFormatContext& m_format;
    AVStream& m_stream;
    int m_streamIndex;
    std::int64_t m_frameTicks;
    std::int64_t m_decodingLead;
    std::int64_t m_fileSize;
    std::chrono::steady_clock::time_point m_deadline;
    ffmpeg::PacketPtr m_packet;
};

} // namespace

std::optional<std::int64_t> findStreamEnd(AVFormatContext& format, const StreamEndQuery& query)
{
    if (query.streamIndex < 0 || query.streamIndex >= int(format.nb_streams)) {
        return std::nullopt;
    }
    EndSearch search(format, query);
    // A whole file ends where it says, and a cut one often has no index to seek by: the
    // demuxer then reads from the start, and this first pass finds the end all the same.
    if (const auto end = search.readOnFrom(query.claimedLast)) {
        return end;
    }
    // The claimed end lay beyond the file: the index (intact at the front of the file) named
    // packets the file no longer holds.
    const auto from = search.lastIndexedInFile();
    if (!from || search.overtime()) {
        return std::nullopt;
    }
    return search.readOnFrom(*from);
}

bool indexVouchesFor(AVFormatContext& format, const StreamEndQuery& query)
{
    if (query.streamIndex < 0 || query.streamIndex >= int(format.nb_streams)) {
        return false;
    }
    AVStream* stream = format.streams[query.streamIndex];
    const int entries = avformat_index_get_entries_count(stream);
    const AVIndexEntry* last
        = entries > 0 ? avformat_index_get_entry(stream, entries - 1) : nullptr;
    // Index entries go by decoding time stamps.
    std::int64_t reaches = 0;
    return last != nullptr && inFile(last->pos, last->size, avio_size(format.pb))
        && !__builtin_add_overflow(last->timestamp, query.decodingLead, &reaches)
        && reaches >= query.claimedLast;
}

} // namespace oskel
