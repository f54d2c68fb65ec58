#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace oskel {

// The render engine's settings, with the rules of their setters. The frame count and the
// frame size are also written to the render settings file "OskelRender.ini" ([Frames]
// "Total", "Width", "Height") as they are set. Main thread.
class TRenderEngine {
public:
    static constexpr const char* kSettingsFileName = "OskelRender.ini";

    // The settings file lives in `settingsFolder`.
    explicit TRenderEngine(const std::filesystem::path& settingsFolder);

    std::int32_t NumFrames() const { return m_numFrames; }
    void setNumFrames(std::int32_t frames);
    std::int32_t FramesPerSecond() const { return m_framesPerSecond; }
    void setFramesPerSecond(std::int32_t rate) { m_framesPerSecond = rate; }
    // Data rate limit in KB/sec; 0 for none.
    std::int32_t BitRate() const { return m_bitRate; }
    void setBitRate(std::int32_t rate) { m_bitRate = rate; }
    // A sound file to use instead of the instrument's own sound: taken only when empty or
    // when the file exists; otherwise the old value stays.
    const std::string& AudioSource() const { return m_audioSource; }
    void setAudioSource(const std::string& path);
    // 0..100; values outside are clamped.
    std::int32_t Quality() const { return m_quality; }
    void setQuality(std::int32_t quality);
    // A key frame every n frames; values below 1 become 1.
    std::int32_t KeyFrame() const { return m_keyFrame; }
    void setKeyFrame(std::int32_t interval);
    std::int32_t SrcWidth() const { return m_srcWidth; }
    void setSrcWidth(std::int32_t width);
    std::int32_t SrcHeight() const { return m_srcHeight; }
    void setSrcHeight(std::int32_t height);
    // Width x height x 3.
    std::int64_t frameSizeBytes() const { return m_frameSizeBytes; }

    const std::filesystem::path& settingsFile() const { return m_settingsFile; }
    // The last failure to write the settings file, if any; the settings hold all the same.
    const std::optional<std::string>& settingsProblem() const { return m_settingsProblem; }

private:
    void writeFrames(const char* key, std::int32_t value);
    void updateFrameSize();

    std::filesystem::path m_settingsFile;
    std::optional<std::string> m_settingsProblem;
    std::int32_t m_numFrames = 0;
    std::int32_t m_framesPerSecond = 0;
    std::int32_t m_bitRate = 0;
    std::string m_audioSource;
    std::int32_t m_quality = 0;
    std::int32_t m_keyFrame = 1;
    std::int32_t m_srcWidth = 0;
    std::int32_t m_srcHeight = 0;
    std::int64_t m_frameSizeBytes = 0;
};

} // namespace oskel
