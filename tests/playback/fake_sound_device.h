#pragma once

#include "platform/sound_device.h"
#include "support/fake_sound_buffer.h"

namespace oskel::test {

// Makes fake buffers, refusing what a real device refuses.
class FakeSoundDevice : public SoundDevice {
public:
    std::string description() const override { return "fake"; }
    int outputRate() const override { return 48000; }
    std::shared_ptr<SoundBuffer> createBuffer(
        const WaveFormat& format, std::int64_t length) override
    {
        if (!format.isSupported() || length <= 0 || length % format.blockAlign() != 0) {
            throw SoundError("Could not create secondary sound buffer");
        }
        return std::make_shared<FakeSoundBuffer>(length, static_cast<int>(format.samplesPerSecond));
    }
    void setMasterVolume(int level) override { m_master = level; }
    int masterVolume() const override { return m_master; }
    void start() override { }
    void stop() override { }
    void setMixListener(MixListener*) override { } // nothing is mixed

private:
    int m_master = 255;
};

} // namespace oskel::test
