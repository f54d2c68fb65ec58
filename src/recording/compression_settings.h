#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/presets_file.h"
#include "recording/video_compressor.h"

namespace oskel {

// The video compression dialog without its widgets: the compressors this FFmpeg has for the
// kind of file the render writes, the settings in force, and the presets. Kept in
// "presets.bin": the first record holds the settings in force, the others the presets.
class CompressionSettings {
public:
    // The compressors that files of the output's kind can hold (every one for a folder of
    // pictures); the first is chosen.
    explicit CompressionSettings(const std::filesystem::path& output);

    const std::vector<std::string>& compressors() const { return m_compressors; }
    // A compressor chosen from the list: its quality, data rate and key frames start as its
    // kind allows (quality 100; a data rate of 1000 KB/s offered but not limited; a key frame
    // every frame), its own settings empty. A name not in the list changes nothing.
    void choose(std::string_view compressor);

    struct Enabled {
        bool quality = false;
        bool dataRate = false;
        bool keyFrame = false;
        bool configure = false; // the compressor has settings of its own
    };
    Enabled enabled() const;

    const std::string& compressor() const { return m_inForce.compressor; }
    int quality() const { return m_inForce.quality; }
    void setQuality(int quality);
    bool dataRateLimited() const { return m_limited; }
    int dataRate() const { return m_rate; }
    void setDataRate(bool limited, int kilobytesPerSecond);
    int keyFrame() const { return m_inForce.keyFrame; }
    void setKeyFrame(int interval);
    const std::string& options() const { return m_inForce.state; }
    // The compressor's own settings as text; the problem when it does not take them.
    std::string setOptions(std::string_view text);

    const std::vector<CompressionPreset>& presets() const { return m_presets; }
    // "Add": the name's problem (kBadName) or nothing; an existing name is replaced only when
    // `overwrite` says so, else kOverwrite asks first.
    std::string add(std::string_view name, bool overwrite);
    // A preset clicked: its settings come in force, or the message that its compressor is
    // no longer installed, and nothing changes.
    std::optional<std::string> apply(std::size_t preset);
    void remove(std::size_t preset);

    // The presets file's problem, or an empty text.
    std::string load(const std::filesystem::path& file);
    std::optional<std::string> save(const std::filesystem::path& file) const;

    // What a render writes with, at the given size and rate.
    VideoEncoding encoding(int width, int height, int framesPerSecond) const;

private:
    const VideoCompressor* chosen() const;

    std::vector<std::string> m_compressors;
    CompressionPreset m_inForce;
    bool m_limited = false;
    int m_rate = 0;
    std::vector<CompressionPreset> m_presets;
};

} // namespace oskel
