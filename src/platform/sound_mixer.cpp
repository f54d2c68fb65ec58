#include "platform/sound_mixer.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/sound_gains.h"
#include "platform/voice_renderer.h"

namespace oskel {

namespace {

// Another thread may play, stop or move the voice while it is mixed. A move wins: the block was
// mixed from where the voice was. A play or stop counts as coming just after the block, so the
// advance is kept under the new flags.
void commitAdvance(
    SoundVoice& voice, std::uint64_t expected, const VoiceState& before, VoiceState after) noexcept
{
    while (!voice.state.compare_exchange_weak(expected, after.pack())) {
        const VoiceState now = VoiceState::unpack(expected);
        if (!now.samePosition(before)) {
            return;
        }
        after.playing = now.playing;
        after.looping = now.looping;
        after.locked = now.locked;
    }
}

} // namespace

SoundMixer::SoundMixer(int outputRate)
    : m_outputRate(outputRate)
{
    if (outputRate < 1 || std::uint32_t(outputRate) >= VoiceState::kFractionLimit) {
        throw std::invalid_argument("output rate out of range");
    }
}

int SoundMixer::addVoice(SoundVoice& voice)
{
    for (int entry = 0; entry < kVoiceCapacity; ++entry) {
        SoundVoice* empty = nullptr;
        if (m_voices[entry].compare_exchange_strong(empty, &voice)) {
            return entry;
        }
    }
    return -1;
}

void SoundMixer::removeVoice(int entry)
{
    m_voices[entry].store(nullptr);
    waitForMixInProgress();
}

void SoundMixer::waitForMixInProgress() const
{
    // A mix lasts one block (a few milliseconds at most), so a short poll is enough.
    const std::uint64_t seen = m_mixPasses.load();
    if (seen % 2 == 0) {
        return;
    }
    while (m_mixPasses.load() == seen) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

void SoundMixer::setMasterVolume(int level)
{
    m_masterVolume.store(std::clamp(level, 0, 255));
}

void SoundMixer::setListener(MixListener* listener)
{
    m_listener.store(listener);
    waitForMixInProgress();
}

int SoundMixer::masterVolume() const
{
    return m_masterVolume.load();
}

void SoundMixer::mix(std::span<float> interleavedStereo) noexcept
{
    m_mixPasses.fetch_add(1);
    std::fill(interleavedStereo.begin(), interleavedStereo.end(), 0.0f);
    for (const auto& entry : m_voices) {
        if (SoundVoice* voice = entry.load()) {
            mixVoice(*voice, interleavedStereo);
        }
    }
    const float master = masterGain(m_masterVolume.load(std::memory_order_relaxed));
    for (float& sample : interleavedStereo) {
        sample = std::clamp(sample * master, -1.0f, 1.0f);
    }
    if (MixListener* listener = m_listener.load()) {
        listener->mixed(interleavedStereo);
    }
    m_mixPasses.fetch_add(1);
}

void SoundMixer::mixVoice(SoundVoice& voice, std::span<float> interleavedStereo) const noexcept
{
    const std::uint64_t bits = voice.state.load();
    const VoiceState before = VoiceState::unpack(bits);
    if (!before.playing) {
        return;
    }
    const StereoGains gains = voiceGains(
        voice.volume.load(std::memory_order_relaxed), voice.pan.load(std::memory_order_relaxed));
    const VoiceRender render { voice.bytes, voice.format, voice.lengthFrames,
        static_cast<std::uint32_t>(voice.frequency.load(std::memory_order_relaxed)),
        static_cast<std::uint32_t>(m_outputRate), before.looping, gains.left, gains.right };
    const VoicePosition end
        = renderVoice(render, { before.frame, before.fraction, false }, interleavedStereo);
    if (LiveSoundFeed* feed = voice.feed.load(std::memory_order_acquire)) {
        feed->mixInto(
            interleavedStereo.data(), interleavedStereo.size() / 2, gains.left, gains.right);
    }

    VoiceState after = before;
    after.frame = end.frame;
    after.fraction = end.fraction;
    after.playing = !end.ended;
    commitAdvance(voice, bits, before, after);
}

} // namespace oskel
