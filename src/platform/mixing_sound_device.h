#pragma once

#include <memory>

#include "platform/sound_device.h"
#include "platform/sound_mixer.h"

namespace oskel {

// What every sound device shares: buffers played by one software mixer at the output rate,
// and its master volume. Subclasses decide who calls the mixer and when.
class MixingSoundDevice : public SoundDevice {
public:
    int outputRate() const override;
    // Any thread. The buffers keep the mixer alive, so they may outlive the device.
    std::shared_ptr<SoundBuffer> createBuffer(
        const WaveFormat& format, std::int64_t lengthBytes) override;
    void setMasterVolume(int level) override;
    int masterVolume() const override;
    void setMixListener(MixListener* listener) override;

protected:
    explicit MixingSoundDevice(int outputRate);
    SoundMixer& mixer() const { return *m_mixer; }

private:
    std::shared_ptr<SoundMixer> m_mixer;
};

} // namespace oskel
