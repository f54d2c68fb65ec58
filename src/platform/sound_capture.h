#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace oskel {

// The sound card's input: 16-bit stereo sample frames at 44100 Hz, interleaved, handed to the
// receiver on the device's own thread, in real time (the receiver must not wait).
class SoundCapture {
public:
    using Receiver = std::function<void(std::span<const std::int16_t> samples)>;

    virtual ~SoundCapture() = default;
    // The problem in the performer's words, or an empty text.
    virtual std::string start(Receiver receiver) = 0;
    virtual void stop() = 0;
};

// The default input of the first sound system that has one (ALSA, PulseAudio, JACK); null
// with the reason when there is none.
std::unique_ptr<SoundCapture> openSystemSoundCapture(std::string& whyNot);

} // namespace oskel
