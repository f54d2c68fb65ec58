#include "recording/sound_rate_converter.h"

#include <stdexcept>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace oskel {

namespace {

constexpr int kChannels = 2;

} // namespace

SoundRateConverter::SoundRateConverter(int fromRate, int toRate)
{
    AVChannelLayout stereo {};
    av_channel_layout_default(&stereo, kChannels);
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_S16, toRate, &stereo, AV_SAMPLE_FMT_S16,
            fromRate, 0, nullptr)
            < 0
        || swr_init(made) < 0) {
        swr_free(&made);
        throw std::runtime_error("The sound cannot be converted from " + std::to_string(fromRate)
            + " Hz to " + std::to_string(toRate) + " Hz");
    }
    m_converter.reset(made);
}

std::span<const std::int16_t> SoundRateConverter::convert(std::span<const std::int16_t> samples)
{
    const int inFrames = static_cast<int>(samples.size() / kChannels);
    const int room = swr_get_out_samples(m_converter.get(), inFrames) + 64;
    m_out.resize(std::size_t(room) * kChannels);
    const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data());
    auto* out = reinterpret_cast<std::uint8_t*>(m_out.data());
    const int done = swr_convert(m_converter.get(), &out, room, &in, inFrames);
    return std::span<const std::int16_t>(m_out.data(), std::size_t(std::max(done, 0)) * kChannels);
}

} // namespace oskel
