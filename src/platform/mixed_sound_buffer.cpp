#include "platform/mixed_sound_buffer.h"

#include <algorithm>
#include <new>
#include <utility>

namespace oskel {

namespace {

constexpr int kMinFrequency = 100;
constexpr int kMaxFrequency = 200000;
constexpr int kSilentVolume = -10000;
constexpr int kFullPan = 10000;
const char* const kCreateFailed = "Could not create secondary sound buffer";

bool isValidLength(const WaveFormat& format, std::int64_t lengthBytes)
{
    const std::int64_t blockAlign = format.blockAlign();
    return lengthBytes > 0 && lengthBytes % blockAlign == 0
        && lengthBytes / blockAlign < VoiceState::kFrameLimit;
}

std::unique_ptr<std::uint8_t[]> silence(const WaveFormat& format, std::int64_t lengthBytes)
{
    try {
        auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(lengthBytes));
        const std::uint8_t zero = format.bitsPerSample == 8 ? 0x80 : 0x00;
        std::fill_n(bytes.get(), lengthBytes, zero);
        return bytes;
    } catch (const std::bad_alloc&) {
        throw SoundError(kCreateFailed);
    }
}

} // namespace

MixedSoundBuffer::MixedSoundBuffer(
    std::shared_ptr<SoundMixer> mixer, const WaveFormat& format, std::int64_t lengthBytes)
    : m_mixer(std::move(mixer))
    , m_length(lengthBytes)
{
    if (!format.isSupported() || !isValidLength(format, lengthBytes)) {
        throw SoundError(kCreateFailed);
    }
    m_bytes = silence(format, lengthBytes);
    m_voice.format = format;
    m_voice.bytes = m_bytes.get();
    m_voice.lengthFrames = lengthBytes / format.blockAlign();
    m_voice.frequency.store(static_cast<int>(format.samplesPerSecond));
    m_entry = m_mixer->addVoice(m_voice);
    if (m_entry < 0) {
        throw SoundError(kCreateFailed);
    }
}

MixedSoundBuffer::~MixedSoundBuffer()
{
    m_mixer->removeVoice(m_entry);
}

template <class Change> void MixedSoundBuffer::changeState(Change change)
{
    std::uint64_t bits = m_voice.state.load();
    for (;;) {
        VoiceState next = VoiceState::unpack(bits);
        change(next);
        if (m_voice.state.compare_exchange_weak(bits, next.pack())) {
            return;
        }
    }
}

std::span<std::uint8_t> MixedSoundBuffer::lock()
{
    changeState([](VoiceState& state) {
        if (state.playing) {
            throw SoundError("Could not lock secondary sound buffer");
        }
        state.locked = true;
    });
    // A mix that began before the stop may still be reading the bytes.
    m_mixer->waitForMixInProgress();
    return { m_bytes.get(), std::size_t(m_length) };
}

void MixedSoundBuffer::unlock()
{
    changeState([](VoiceState& state) { state.locked = false; });
}

void MixedSoundBuffer::play(bool looping)
{
    changeState([looping](VoiceState& state) {
        if (state.locked) {
            throw SoundError("Could not play");
        }
        state.playing = true;
        state.looping = looping;
    });
}

void MixedSoundBuffer::stop()
{
    changeState([](VoiceState& state) { state.playing = false; });
}

bool MixedSoundBuffer::isPlaying() const
{
    return VoiceState::unpack(m_voice.state.load()).playing;
}

std::int64_t MixedSoundBuffer::playCursor() const
{
    return VoiceState::unpack(m_voice.state.load()).frame * m_voice.format.blockAlign();
}

void MixedSoundBuffer::setPosition(std::int64_t bytes)
{
    if (bytes < 0 || bytes > m_length) {
        throw SoundError("Could not set position");
    }
    const std::int64_t frame = bytes / m_voice.format.blockAlign();
    changeState([frame](VoiceState& state) {
        state.frame = frame;
        state.fraction = 0;
    });
}

int MixedSoundBuffer::frequency() const
{
    return m_voice.frequency.load();
}

void MixedSoundBuffer::setFrequency(int hertz)
{
    if (hertz < kMinFrequency || hertz > kMaxFrequency) {
        throw SoundError("Could not set frequency");
    }
    m_voice.frequency.store(hertz);
}

int MixedSoundBuffer::volume() const
{
    return m_voice.volume.load();
}

void MixedSoundBuffer::setVolume(int hundredthsOfDecibel)
{
    if (hundredthsOfDecibel < kSilentVolume || hundredthsOfDecibel > 0) {
        throw SoundError("Could not set volume");
    }
    m_voice.volume.store(hundredthsOfDecibel);
}

int MixedSoundBuffer::pan() const
{
    return m_voice.pan.load();
}

void MixedSoundBuffer::setPan(int pan)
{
    if (pan < -kFullPan || pan > kFullPan) {
        throw SoundError("Could not set DS Pan");
    }
    m_voice.pan.store(pan);
}

bool MixedSoundBuffer::carryLiveSound(std::shared_ptr<LiveSoundFeed> feed)
{
    if (feed && feed->rate() != m_mixer->outputRate()) {
        return false;
    }
    m_voice.feed.store(feed.get(), std::memory_order_release);
    m_mixer->waitForMixInProgress(); // the old feed is no longer read
    m_feed = std::move(feed);
    return true;
}

} // namespace oskel
