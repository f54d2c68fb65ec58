#pragma once

#include <memory>

#include "platform/sound_buffer.h"
#include "platform/sound_mixer.h"
#include "platform/sound_voice.h"

namespace oskel {

// A sound buffer played by the software mixer. Its bytes start as silence.
// After a buffer that does not loop plays to its end it stops by itself with the play cursor
// at the end (length()), so a reader of the cursor after the stop sees where the sound ended;
// playing it again without a setPosition ends it at once.
// setPosition accepts 0 .. length(), rounded down to a whole frame.
// Play, stop, position, frequency, volume and pan are atomic and may be called from any
// thread; lock() waits for a mix in progress so the bytes are free to change once it returns.
class MixedSoundBuffer final : public SoundBuffer {
public:
    // Throws SoundError("Could not create secondary sound buffer") for an unsupported format,
    // a length that is not a positive whole number of frames, or a full voice table.
    MixedSoundBuffer(
        std::shared_ptr<SoundMixer> mixer, const WaveFormat& format, std::int64_t lengthBytes);
    // Leaves the mixer, waiting for a mix in progress to end.
    ~MixedSoundBuffer() override;
    MixedSoundBuffer(const MixedSoundBuffer&) = delete;
    MixedSoundBuffer& operator=(const MixedSoundBuffer&) = delete;

    const WaveFormat& format() const override { return m_voice.format; }
    std::int64_t length() const override { return m_length; }

    // Refused while playing: SoundError("Could not lock secondary sound buffer").
    std::span<std::uint8_t> lock() override;
    void unlock() override;

    // Refused while locked: SoundError("Could not play").
    void play(bool looping) override;
    void stop() override;
    bool isPlaying() const override;
    std::int64_t playCursor() const override;
    // Beyond 0 .. length(): SoundError("Could not set position").
    void setPosition(std::int64_t bytes) override;

    int frequency() const override;
    void setFrequency(int hertz) override;
    int volume() const override;
    void setVolume(int hundredthsOfDecibel) override;
    int pan() const override;
    void setPan(int pan) override;
    bool carryLiveSound(std::shared_ptr<LiveSoundFeed> feed) override;

private:
    template <class Change> void changeState(Change change);

    std::shared_ptr<SoundMixer> m_mixer;
    std::int64_t m_length;
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::shared_ptr<LiveSoundFeed> m_feed;
    SoundVoice m_voice;
    int m_entry = -1;
};

} // namespace oskel
