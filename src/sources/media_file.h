#pragma once

#include <memory>
#include <string>

#include "sources/decoded_media.h"
#include "sources/ffmpeg_handles.h"

namespace oskel {

// One open clip as the demuxer sees it, read from a file or from memory. The picture and the
// sound side each open their own, so that each keeps its own read position.
class MediaFile {
public:
    // `containerOnly` names the one demuxer allowed ("avi"); empty lets FFmpeg guess. Without
    // `probeStreams` the streams are only what the header describes, which saves decoding a
    // few packets: enough for reading packets of a file whose header names every stream.
    static std::unique_ptr<MediaFile> open(const MediaInput& input,
        const std::string& containerOnly, MediaOpenError& reason, std::string& error,
        bool probeStreams = true);
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    AVFormatContext* format() const { return m_format.get(); }

    // The best stream of `type` with a decoder opened for it. Null with `reason` NoStream when
    // there is none, Undecodable when it cannot be decoded.
    ffmpeg::CodecContextPtr openDecoder(
        AVMediaType type, int& streamIndex, MediaOpenError& reason, std::string& error) const;

    struct MemoryReader {
        std::span<const std::uint8_t> bytes;
        std::size_t position = 0;
    };

private:
    MediaFile() = default;

    // Declared in this order so that the demuxer is closed before its reader goes.
    std::unique_ptr<MemoryReader> m_reader;
    ffmpeg::IoContextPtr m_io;
    ffmpeg::FormatContextPtr m_format;
};

// The number of decoding threads a clip's picture decoder uses.
int decodingThreads();

} // namespace oskel
