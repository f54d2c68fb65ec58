#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "recording/render_output.h"

namespace oskel {

// The sound of a file recorded beside the performance (a DJ's mix, the room), put into a
// render in place of the clips' own sound: decoded whole, at 44100 Hz stereo, sample for
// sample from the render's start; silence after its end.
class OutsideSound {
public:
    // Throws OutputError naming the file when its sound cannot be read.
    explicit OutsideSound(const std::filesystem::path& file);

    // Fills `into` (interleaved stereo) with the next samples.
    void take(std::span<std::int16_t> into);
    std::size_t samples() const { return m_pcm.size(); }

private:
    std::vector<std::int16_t> m_pcm; // interleaved stereo at 44100 Hz
    std::size_t m_next = 0;
};

// A render output that writes the outside sound in place of the sound it is given, as much
// of it as it is given.
std::unique_ptr<RenderOutput> withOutsideSound(
    std::unique_ptr<RenderOutput> output, std::unique_ptr<OutsideSound> sound);

} // namespace oskel
