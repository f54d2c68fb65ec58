#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/slot_record.h"
#include "core/user_interface_port.h"
#include "platform/sound_device.h"

namespace oskel {

// Builds and drives the sound buffers of the slots. Every clip's sound sits in two buffers,
// forwards and reversed; their play cursors are the clock of the picture.
// Failures throw SoundError with the message the performer sees.
class AudioEngine {
public:
    using MemoryProbe = std::function<std::optional<std::int64_t>()>;

    AudioEngine(SoundDevice& device, UserInterfacePort& ui, MemoryProbe freeMemory);

    SoundDevice& device() { return m_device; }

    // True when that much memory is free, or when the performer chooses to go on anyway.
    bool CheckMemory(std::int64_t bytes);

    // The forward buffer holds AudioData as it is; the backward buffer its sample frames in
    // reverse order, and AudioData is released after it. Data that is empty, not a whole
    // number of sample frames, or in a format the buffers cannot play is refused.
    void BuildForwardBuffer(TPlayAvistruct& slot, const WaveFormat& format);
    void BuildBackwardBuffer(TPlayAvistruct& slot, const WaveFormat& format);
    // Two silent buffers of the clip's duration (mono 16-bit 44100 Hz). Returns false when
    // the performer declines the memory check.
    bool BuildSilentBuffers(TPlayAvistruct& slot);

    // Main thread: the master volume, 0..255.
    void setMasterVolume(int level) { m_device.setMasterVolume(level); }

    static WaveFormat silentFormat() { return WaveFormat { 1, 44100, 16 }; }

    // The sample rate of the sound most recently set up for a clip: the normal speed of the
    // speed keys. Main thread.
    int referenceRate() const { return m_referenceRate; }

private:
    std::shared_ptr<SoundBuffer> createBuffer(const WaveFormat& format, std::int64_t length);

    SoundDevice& m_device;
    UserInterfacePort& m_ui;
    MemoryProbe m_freeMemory;
    int m_referenceRate = static_cast<int>(silentFormat().samplesPerSecond);
};

} // namespace oskel
