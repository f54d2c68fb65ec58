#include "platform/voice_renderer.h"

#include <algorithm>

namespace oskel {

namespace {

// Reads sample frames of one PCM layout as floats in the integer range of the format:
// 8-bit unsigned centred on 128, 16-bit signed little-endian.
template <int Channels, int BytesPerSample> struct PcmFrames {
    static constexpr int kChannels = Channels;
    static constexpr int kBlockAlign = Channels * BytesPerSample;
    static constexpr float kScale = BytesPerSample == 2 ? 1.0f / 32768.0f : 1.0f / 128.0f;

    static float sample(const std::uint8_t* bytes, std::int64_t frame, int channel)
    {
        const std::uint8_t* p = bytes + frame * kBlockAlign + channel * BytesPerSample;
        if constexpr (BytesPerSample == 2) {
            return static_cast<float>(static_cast<std::int16_t>(p[0] | p[1] << 8));
        } else {
            return static_cast<float>(p[0] - 128);
        }
    }
};

// The position as a whole frame and a numerator over the output rate; each output frame adds
// frequency / outputRate frames as an exact whole part and remainder, so no error builds up.
struct Cursor {
    std::int64_t frame;
    std::uint32_t fraction;

    void advance(std::uint32_t whole, std::uint32_t remainder, std::uint32_t denominator)
    {
        frame += whole;
        fraction += remainder;
        // Without a branch: when a frame is carried follows no pattern a predictor learns.
        const std::uint32_t carry = fraction >= denominator ? 1 : 0;
        frame += carry;
        fraction -= carry * denominator;
    }
};

// How many output frames, from the cursor on, start on a frame no later than lastFrame.
std::int64_t framesUpTo(
    const Cursor& cursor, std::int64_t lastFrame, std::uint32_t frequency, std::uint32_t outputRate)
{
    if (cursor.frame > lastFrame) {
        return 0;
    }
    const std::int64_t limit = (lastFrame - cursor.frame + 1) * outputRate - cursor.fraction;
    return (limit + frequency - 1) / frequency;
}

// Linear interpolation between two sample frames. It is enough here: voices play a clip's own
// sound at speeds near its recorded rate, where the interpolation's images lie far below the
// material's own noise floor, and the play cursor's timing does not depend on it at all; a
// longer filter would multiply the cost per voice for nothing a performer hears in a live mix.
template <class Frames>
void addFrame(const VoiceRender& voice, std::int64_t frame, std::int64_t next, float t, float* out)
{
    const float left0 = Frames::sample(voice.bytes, frame, 0);
    const float left = left0 + (Frames::sample(voice.bytes, next, 0) - left0) * t;
    float right = left;
    if constexpr (Frames::kChannels == 2) {
        const float right0 = Frames::sample(voice.bytes, frame, 1);
        right = right0 + (Frames::sample(voice.bytes, next, 1) - right0) * t;
    }
    out[0] += left * voice.leftGain;
    out[1] += right * voice.rightGain;
}

template <class Frames>
VoicePosition render(VoiceRender voice, VoicePosition start, float* out, std::int64_t frames)
{
    voice.leftGain *= Frames::kScale;
    voice.rightGain *= Frames::kScale;
    const std::uint32_t rate = voice.outputRate;
    const std::uint32_t whole = voice.frequency / rate;
    const std::uint32_t remainder = voice.frequency % rate;
    const float perFraction = 1.0f / static_cast<float>(rate);
    const std::int64_t length = voice.lengthFrames;

    Cursor cursor { start.frame, start.fraction };
    std::int64_t done = 0;
    while (done < frames) {
        if (cursor.frame >= length) {
            if (!voice.looping) {
                break;
            }
            cursor.frame %= length;
        }
        // The run in which the next frame is inside the buffer needs no checks per frame.
        const std::int64_t run
            = std::min(framesUpTo(cursor, length - 2, voice.frequency, rate), frames - done);
        float* block = out + 2 * done;
        for (std::int64_t i = 0; i < run; ++i) {
            addFrame<Frames>(voice, cursor.frame, cursor.frame + 1,
                static_cast<float>(cursor.fraction) * perFraction, block + 2 * i);
            cursor.advance(whole, remainder, rate);
        }
        done += run;
        if (run == 0) {
            // On the last frame: lead into the first when looping, hold the last otherwise.
            const std::int64_t next = voice.looping ? 0 : cursor.frame;
            addFrame<Frames>(voice, cursor.frame, next,
                static_cast<float>(cursor.fraction) * perFraction, block);
            cursor.advance(whole, remainder, rate);
            ++done;
        }
    }

    if (cursor.frame >= length) {
        if (!voice.looping) {
            return { length, 0, true };
        }
        cursor.frame %= length;
    }
    return { cursor.frame, cursor.fraction, false };
}

} // namespace

VoicePosition renderVoice(
    const VoiceRender& voice, VoicePosition start, std::span<float> interleavedStereo) noexcept
{
    if (voice.lengthFrames <= 0 || voice.outputRate == 0 || voice.frequency == 0) {
        return start;
    }
    float* out = interleavedStereo.data();
    const auto frames = static_cast<std::int64_t>(interleavedStereo.size() / 2);
    const bool stereo = voice.format.channels == 2;
    if (voice.format.bitsPerSample == 16) {
        return stereo ? render<PcmFrames<2, 2>>(voice, start, out, frames)
                      : render<PcmFrames<1, 2>>(voice, start, out, frames);
    }
    return stereo ? render<PcmFrames<2, 1>>(voice, start, out, frames)
                  : render<PcmFrames<1, 1>>(voice, start, out, frames);
}

} // namespace oskel
