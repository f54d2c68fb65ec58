#include <RtAudio.h>

#include "platform/rtaudio_systems.h"
#include "platform/sound_capture.h"

namespace oskel {

namespace {

constexpr unsigned int kRate = 44100;
constexpr unsigned int kChannels = 2;
constexpr unsigned int kBufferFrames = 1024;

int takeInput(void*, void* input, unsigned int frames, double, RtAudioStreamStatus, void* receiver)
{
    if (input != nullptr) {
        (*static_cast<SoundCapture::Receiver*>(receiver))(
            { static_cast<const std::int16_t*>(input), std::size_t { frames } * kChannels });
    }
    return 0;
}

void ignoreStreamError(RtAudioError::Type, const std::string&)
{
}

class RtAudioCapture final : public SoundCapture {
public:
    RtAudioCapture(std::unique_ptr<RtAudio> audio, unsigned int deviceId)
        : m_audio(std::move(audio))
        , m_deviceId(deviceId)
    {
    }
    ~RtAudioCapture() override { stop(); }

    std::string start(Receiver receiver) override
    {
        QuietAlsaErrors quiet;
        stop();
        m_receiver = std::move(receiver);
        RtAudio::StreamParameters input;
        input.deviceId = m_deviceId;
        input.nChannels = kChannels;
        RtAudio::StreamOptions options;
        options.streamName = "oskel3 input";
        unsigned int bufferFrames = kBufferFrames;
        try {
            m_audio->openStream(nullptr, &input, RTAUDIO_SINT16, kRate, &bufferFrames, &takeInput,
                &m_receiver, &options, &ignoreStreamError);
            m_audio->startStream();
        } catch (const RtAudioError& error) {
            return "The sound input could not be started: " + error.getMessage();
        }
        return m_audio->isStreamRunning() ? std::string()
                                          : std::string("The sound input could not be started");
    }

    void stop() override
    {
        QuietAlsaErrors quiet;
        if (m_audio->isStreamRunning()) {
            m_audio->stopStream();
        }
        if (m_audio->isStreamOpen()) {
            m_audio->closeStream();
        }
    }

private:
    std::unique_ptr<RtAudio> m_audio;
    unsigned int m_deviceId;
    Receiver m_receiver;
};

} // namespace

std::unique_ptr<SoundCapture> openSystemSoundCapture(std::string& whyNot)
{
    const auto open = [](RtAudio::Api api, std::string&) -> std::unique_ptr<SoundCapture> {
        auto audio = std::make_unique<RtAudio>(api);
        audio->showWarnings(false);
        if (audio->getDeviceCount() == 0) {
            return nullptr;
        }
        const unsigned int deviceId = audio->getDefaultInputDevice();
        const RtAudio::DeviceInfo info = audio->getDeviceInfo(deviceId);
        if (!info.probed || info.inputChannels < 1) {
            return nullptr;
        }
        return std::make_unique<RtAudioCapture>(std::move(audio), deviceId);
    };
    return openOnFirstSoundSystem(open, "no sound input found", whyNot);
}

} // namespace oskel
