#include "recording/render_engine.h"

#include <algorithm>
#include <functional>
#include <system_error>

#include "persistence/ini_profile.h"

namespace oskel {

namespace {
constexpr const char* kFrames = "Frames";
constexpr const char* kRender = "Render";
constexpr const char* kAudioSource = "AudioSource";
} // namespace

TRenderEngine::TRenderEngine(const std::filesystem::path& settingsFolder)
    : m_settingsFile(settingsFolder / kSettingsFileName)
{
    const IniReadResult current = readIniFile(m_settingsFile);
    const std::string source = current.profile.readString(kRender, kAudioSource, "");
    m_soundInput = source == kSoundInput;
    if (!m_soundInput) {
        setAudioSource(source);
    }
}

void TRenderEngine::update(const std::function<void(IniProfile&)>& change)
{
    IniReadResult current = readIniFile(m_settingsFile);
    if (current.status == IniFileStatus::Unreadable) {
        m_settingsProblem = current.error;
        return;
    }
    change(current.profile);
    m_settingsProblem = writeIniFile(m_settingsFile, current.profile);
}

void TRenderEngine::writeFrames(const char* key, std::int32_t value)
{
    update([&](IniProfile& ini) { ini.writeInteger(kFrames, key, value); });
}

void TRenderEngine::chooseSoundInput(bool on)
{
    m_soundInput = on;
    if (on) {
        m_audioSource.clear();
    }
    update([&](IniProfile& ini) {
        ini.writeString(kRender, kAudioSource, on ? kSoundInput : m_audioSource);
    });
}

void TRenderEngine::setNumFrames(std::int32_t frames)
{
    m_numFrames = frames;
    writeFrames("Total", frames);
}

void TRenderEngine::setAudioSource(const std::string& path)
{
    std::error_code error;
    if (path.empty() || std::filesystem::exists(path, error)) {
        m_audioSource = path;
    }
}

void TRenderEngine::setQuality(std::int32_t quality)
{
    m_quality = std::clamp(quality, 0, 100);
}

void TRenderEngine::setKeyFrame(std::int32_t interval)
{
    m_keyFrame = std::max(interval, 1);
}

void TRenderEngine::setSrcWidth(std::int32_t width)
{
    m_srcWidth = width;
    updateFrameSize();
    writeFrames("Width", width);
}

void TRenderEngine::setSrcHeight(std::int32_t height)
{
    m_srcHeight = height;
    updateFrameSize();
    writeFrames("Height", height);
}

void TRenderEngine::updateFrameSize()
{
    m_frameSizeBytes = std::int64_t { m_srcWidth } * m_srcHeight * 3;
}

} // namespace oskel
