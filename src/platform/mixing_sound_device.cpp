#include "platform/mixing_sound_device.h"

#include "platform/mixed_sound_buffer.h"

namespace oskel {

MixingSoundDevice::MixingSoundDevice(int outputRate)
    : m_mixer(std::make_shared<SoundMixer>(outputRate))
{
}

int MixingSoundDevice::outputRate() const
{
    return m_mixer->outputRate();
}

std::shared_ptr<SoundBuffer> MixingSoundDevice::createBuffer(
    const WaveFormat& format, std::int64_t lengthBytes)
{
    return std::make_shared<MixedSoundBuffer>(m_mixer, format, lengthBytes);
}

void MixingSoundDevice::setMasterVolume(int level)
{
    m_mixer->setMasterVolume(level);
}

void MixingSoundDevice::setMixListener(MixListener* listener)
{
    m_mixer->setListener(listener);
}

int MixingSoundDevice::masterVolume() const
{
    return m_mixer->masterVolume();
}

} // namespace oskel
