#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "sources/decoded_media.h"
#include "sources/media_source.h"

namespace oskel {

// Reads AVI files only: frames by index, decoded and delivered as 24-bit bottom-up rows in the
// delivered size, and the whole sound as 16-bit PCM. The loader's first choice for ".avi"
// files; when it cannot open one, the loader tries the streaming source.
class AviSource final : public MediaSource {
public:
    // Open results besides 0 and 999.
    static constexpr int kCannotOpen = -1; // the file is missing or unreadable
    static constexpr int kNotAvi = -2; // no AVI file results
    static constexpr int kException = -5;
    static constexpr int kNoPicture = -6; // the file has no picture stream

    AviSource() = default;
    ~AviSource() override;
    AviSource(const AviSource&) = delete;
    AviSource& operator=(const AviSource&) = delete;

    int open(const std::filesystem::path& path, TSourceInfo& info) override;
    int prepare(TSourceInfo& info) override;
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override;
    void decodeAhead(std::int64_t index) override;
    int getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound) override;
    void stop(TSourceInfo& info) override;
    int close(TSourceInfo& info) override;

private:
    int openPicture(const std::filesystem::path& path, TSourceInfo& info);
    void openSound(TSourceInfo& info);

    std::filesystem::path m_path;
    std::unique_ptr<VideoDecoder> m_video;
    bool m_hasSound = false;
};

} // namespace oskel
