#include "playback/audio_engine.h"

#include <algorithm>
#include <cstring>

#include "core/pan_law.h"
#include "core/slot_rules.h"

namespace oskel {

namespace {

constexpr const char* kCreateFailed = "Could not create secondary sound buffer";
constexpr const char* kLockFailed = "Could not lock secondary sound buffer";
constexpr const char* kNotEnoughMemory
    = "You dont really have enough RAM to load this clip. You can probably squeeze it in, but "
      "Windows might crash. Continue?";

void checkSoundData(const ByteBlock& data, const WaveFormat& format)
{
    if (!data || data->empty() || !format.isSupported()
        || data->size() % format.blockAlign() != 0) {
        throw SoundError(kCreateFailed);
    }
}

void fill(SoundBuffer& buffer, const std::function<void(std::span<std::uint8_t>)>& write)
{
    std::span<std::uint8_t> bytes;
    try {
        bytes = buffer.lock();
    } catch (const SoundError&) {
        throw SoundError(kLockFailed);
    }
    write(bytes);
    buffer.unlock();
}

} // namespace

AudioEngine::AudioEngine(SoundDevice& device, UserInterfacePort& ui, MemoryProbe freeMemory)
    : m_device(device)
    , m_ui(ui)
    , m_freeMemory(std::move(freeMemory))
{
}

bool AudioEngine::CheckMemory(std::int64_t bytes)
{
    const std::optional<std::int64_t> free = m_freeMemory();
    if (!free || *free >= bytes) {
        return true;
    }
    return m_ui.ask(kNotEnoughMemory, DialogButtons::OkCancel) != DialogAnswer::Cancel;
}

std::shared_ptr<SoundBuffer> AudioEngine::createBuffer(
    const WaveFormat& format, std::int64_t length)
{
    m_referenceRate = static_cast<int>(format.samplesPerSecond);
    try {
        return m_device.createBuffer(format, length);
    } catch (const SoundError&) {
        throw SoundError(kCreateFailed);
    }
}

void AudioEngine::BuildForwardBuffer(TPlayAvistruct& slot, const WaveFormat& format)
{
    checkSoundData(slot.AudioData, format);
    const ByteBlock data = slot.AudioData;
    slot.ForwardBuffer.reset();
    auto buffer = createBuffer(format, static_cast<std::int64_t>(data->size()));
    fill(*buffer, [&](std::span<std::uint8_t> bytes) {
        std::copy_n(data->begin(), std::min(bytes.size(), data->size()), bytes.begin());
    });
    slot.ForwardBuffer = std::move(buffer);
}

void AudioEngine::BuildBackwardBuffer(TPlayAvistruct& slot, const WaveFormat& format)
{
    checkSoundData(slot.AudioData, format);
    const ByteBlock data = slot.AudioData;
    slot.BackwardBuffer.reset();
    auto buffer = createBuffer(format, static_cast<std::int64_t>(data->size()));
    fill(*buffer, [&](std::span<std::uint8_t> bytes) {
        const std::size_t frame = format.blockAlign();
        const std::size_t size = std::min(bytes.size(), data->size());
        for (std::size_t i = 0; i + frame <= size; i += frame) {
            std::memcpy(bytes.data() + i, data->data() + size - frame - i, frame);
        }
    });
    slot.AudioData.reset();
    buffer->setVolume(kMutedVolume);
    slot.BackwardBuffer = std::move(buffer);
}

bool AudioEngine::BuildSilentBuffers(TPlayAvistruct& slot)
{
    const WaveFormat format = silentFormat();
    slot.BlockAlign = format.blockAlign();
    slot.BytesPerSecond = static_cast<std::int32_t>(format.bytesPerSecond());
    slot.BaseFrequency = static_cast<std::int32_t>(format.samplesPerSecond);
    const std::int64_t length = silentSoundLength(slot.FrameCount, slot.FrameRate);
    slot.Length = length;
    slot.OutPoint = length;
    if (length <= 0) {
        throw SoundError(kCreateFailed);
    }
    if (!CheckMemory(2 * length)) {
        return false;
    }
    for (auto* target : { &slot.ForwardBuffer, &slot.BackwardBuffer }) {
        target->reset();
        auto buffer = createBuffer(format, length);
        fill(*buffer,
            [](std::span<std::uint8_t> bytes) { std::fill(bytes.begin(), bytes.end(), 0); });
        *target = std::move(buffer);
    }
    return true;
}

} // namespace oskel
