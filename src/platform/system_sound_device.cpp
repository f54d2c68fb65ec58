#include "platform/system_sound_device.h"

#include <span>
#include <vector>

#include <RtAudio.h>

#include "platform/mixing_sound_device.h"
#include "platform/rtaudio_systems.h"

namespace oskel {

namespace {

constexpr unsigned int kBufferFrames = 256;
constexpr unsigned int kFallbackRate = 48000;
constexpr unsigned int kLowestRate = 8000;
constexpr unsigned int kHighestRate = 384000;

// The RtAudio thread, real time: fills the next block of output from the mixer. The output
// buffer is valid only during the call.
int fillOutput(void* output, void*, unsigned int frames, double, RtAudioStreamStatus, void* mixer)
{
    static_cast<SoundMixer*>(mixer)->mix(
        std::span<float>(static_cast<float*>(output), std::size_t(frames) * 2));
    return 0;
}

// The RtAudio thread or the caller of a stream operation, after the stream is open. Failures
// are seen as a stream that is not running, so there is nothing to do here; without this
// callback RtAudio would throw on its own thread.
void ignoreStreamError(RtAudioError::Type, const std::string&)
{
}

unsigned int chooseRate(const RtAudio::DeviceInfo& info)
{
    const unsigned int preferred = info.preferredSampleRate;
    return preferred >= kLowestRate && preferred <= kHighestRate ? preferred : kFallbackRate;
}

class RtAudioSoundDevice final : public MixingSoundDevice {
public:
    RtAudioSoundDevice(
        std::unique_ptr<RtAudio> audio, unsigned int deviceId, const RtAudio::DeviceInfo& info)
        : MixingSoundDevice(static_cast<int>(chooseRate(info)))
        , m_audio(std::move(audio))
    {
        RtAudio::StreamParameters output;
        output.deviceId = deviceId;
        output.nChannels = 2;
        RtAudio::StreamOptions options;
        options.flags = RTAUDIO_SCHEDULE_REALTIME | RTAUDIO_ALSA_USE_DEFAULT;
        options.streamName = "oskel3";
        unsigned int bufferFrames = kBufferFrames;
        m_audio->openStream(&output, nullptr, RTAUDIO_FLOAT32,
            static_cast<unsigned int>(outputRate()), &bufferFrames, &fillOutput, &mixer(), &options,
            &ignoreStreamError);
        m_description = RtAudio::getApiDisplayName(m_audio->getCurrentApi()) + ": " + info.name
            + ", " + std::to_string(outputRate()) + " Hz";
    }

    ~RtAudioSoundDevice() override
    {
        QuietAlsaErrors quiet;
        if (m_audio->isStreamRunning()) {
            m_audio->abortStream();
        }
        if (m_audio->isStreamOpen()) {
            m_audio->closeStream();
        }
    }

    std::string description() const override { return m_description; }

    // The thread that owns the device (the main thread or the audio command thread).
    void start() override
    {
        QuietAlsaErrors quiet;
        if (!m_audio->isStreamRunning()) {
            m_audio->startStream();
        }
        if (!m_audio->isStreamRunning()) {
            throw SoundError("Could not start the sound output");
        }
    }

    void stop() override
    {
        QuietAlsaErrors quiet;
        if (m_audio->isStreamRunning()) {
            m_audio->stopStream();
        }
    }

private:
    std::unique_ptr<RtAudio> m_audio;
    std::string m_description;
};

// The default output device of one sound system, or null with the reason.
std::unique_ptr<SoundDevice> openWith(RtAudio::Api api, std::string& whyNot)
{
    auto audio = std::make_unique<RtAudio>(api);
    audio->showWarnings(false);
    if (audio->getDeviceCount() == 0) {
        whyNot = "no output device found";
        return nullptr;
    }
    const unsigned int deviceId = audio->getDefaultOutputDevice();
    const RtAudio::DeviceInfo info = audio->getDeviceInfo(deviceId);
    if (!info.probed || info.outputChannels < 2) {
        whyNot = RtAudio::getApiDisplayName(api) + ": no stereo output device";
        return nullptr;
    }
    return std::make_unique<RtAudioSoundDevice>(std::move(audio), deviceId, info);
}

} // namespace

std::unique_ptr<SoundDevice> openSystemSoundDevice(std::string& whyNot)
{
    return openOnFirstSoundSystem(openWith, "no sound system available", whyNot);
}

} // namespace oskel
