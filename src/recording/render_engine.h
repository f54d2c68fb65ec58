#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace oskel {

class IniProfile;

// The render engine's settings, with the rules of their setters. The frame count and the
// frame size are also written to the render settings file "OskelRender.ini" ([Frames]
// "Total", "Width", "Height") as they are set. The sound a render carries is [Render]
// "AudioSource" of that file: empty for the clips' own, "SoundInput" for the sound card's
// input recorded with the performance, or a sound file's path. One thread at a time.
class TRenderEngine {
public:
    static constexpr const char* kSettingsFileName = "OskelRender.ini";
    static constexpr const char* kSoundInput = "SoundInput";

    // The settings file lives in `settingsFolder`; its AudioSource is read.
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
    // Whether the settings file asks for the sound card's input.
    bool wantsSoundInput() const { return m_soundInput; }
    // Asks for the sound card's input, or for the clips' own sound, in the settings file.
    void chooseSoundInput(bool on);
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
    void update(const std::function<void(IniProfile&)>& change);
    void updateFrameSize();

    std::filesystem::path m_settingsFile;
    std::optional<std::string> m_settingsProblem;
    std::int32_t m_numFrames = 0;
    std::int32_t m_framesPerSecond = 0;
    std::int32_t m_bitRate = 0;
    std::string m_audioSource;
    bool m_soundInput = false;
    std::int32_t m_quality = 0;
    std::int32_t m_keyFrame = 1;
    std::int32_t m_srcWidth = 0;
    std::int32_t m_srcHeight = 0;
    std::int64_t m_frameSizeBytes = 0;
};

} // namespace oskel
