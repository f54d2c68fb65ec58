#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/sound_device.h"
#include "platform/sound_voice.h"

namespace oskel {

// The software mixer behind every sound device: a fixed table of voices that it sums into
// interleaved stereo float output at the output rate, each resampled by its frequency, with
// its volume and pan, then the master gain, clamped to -1..1.
// Voices join and leave from any thread while the sound thread mixes; a voice that leaves is
// no longer read once removeVoice returns.
class SoundMixer {
public:
    // Enough for sixteen slots of two buffers each, with room for previews and replacements.
    static constexpr int kVoiceCapacity = 128;

    // outputRate: 1 .. VoiceState::kFractionLimit - 1 Hz.
    explicit SoundMixer(int outputRate);
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    int outputRate() const { return m_outputRate; }

    // Any thread. Returns the voice's entry, or -1 when the table is full.
    int addVoice(SoundVoice& voice);
    // Any thread but the sound thread inside mix(). Waits for a mix in progress to end.
    void removeVoice(int entry);
    // Any thread but the sound thread inside mix(): returns once no mix that began before the
    // call is still running, so what it read is free to change.
    void waitForMixInProgress() const;

    // Any thread. Level 0..255 (clamped).
    void setMasterVolume(int level);
    int masterVolume() const;

    // Any thread but the sound thread inside mix(): the listener that hears each block mixed
    // from now on; null: none. The one set before is no longer called when this returns.
    void setListener(MixListener* listener);

    // The sound thread, real time: replaces the output with the next block of the mix and
    // moves every playing voice on. No allocation, no locks, no exceptions.
    void mix(std::span<float> interleavedStereo) noexcept;

private:
    void mixVoice(SoundVoice& voice, std::span<float> interleavedStereo) const noexcept;

    const int m_outputRate;
    std::array<std::atomic<SoundVoice*>, kVoiceCapacity> m_voices {};
    std::atomic<int> m_masterVolume { 255 };
    std::atomic<MixListener*> m_listener { nullptr };
    // Odd while a mix is in progress; every mix adds two.
    std::atomic<std::uint64_t> m_mixPasses { 0 };
};

} // namespace oskel
