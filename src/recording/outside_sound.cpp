#include "recording/outside_sound.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "core/shown_text.h"
#include "recording/output_file.h"
#include "sources/decoded_media.h"
#include "sources/ffmpeg_handles.h"

namespace oskel {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// 16-bit interleaved sound at any rate, mono or stereo, as stereo at 44100 Hz.
std::vector<std::int16_t> toRenderSound(
    const std::vector<std::uint8_t>& pcm, const AudioStreamInfo& info, const std::string& name)
{
    AVChannelLayout from {};
    AVChannelLayout to {};
    av_channel_layout_default(&from, info.channels);
    av_channel_layout_default(&to, kChannels);
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &to, AV_SAMPLE_FMT_S16, kRate, &from, AV_SAMPLE_FMT_S16,
            info.sampleRate, 0, nullptr)
            < 0
        || swr_init(made) < 0) {
        swr_free(&made);
        throw OutputError("The sound of " + name + " cannot be converted to 44100 Hz stereo");
    }
    const ffmpeg::SwrContextPtr converter(made);
    const int inFrames
        = static_cast<int>(pcm.size() / (2 * static_cast<std::size_t>(info.channels)));
    const int room = swr_get_out_samples(converter.get(), inFrames) + 64;
    std::vector<std::int16_t> out(static_cast<std::size_t>(room) * kChannels);
    const std::uint8_t* in[] = { pcm.data() };
    auto* outPlanes = reinterpret_cast<std::uint8_t*>(out.data());
    int done = swr_convert(converter.get(), &outPlanes, room, in, inFrames);
    if (done < 0) {
        throw OutputError("The sound of " + name + " cannot be converted to 44100 Hz stereo");
    }
    auto* rest
        = reinterpret_cast<std::uint8_t*>(out.data() + static_cast<std::size_t>(done) * kChannels);
    const int flushed = swr_convert(converter.get(), &rest, room - done, nullptr, 0);
    done += std::max(flushed, 0);
    out.resize(static_cast<std::size_t>(done) * kChannels);
    return out;
}

class OutsideSoundOutput final : public RenderOutput {
public:
    OutsideSoundOutput(std::unique_ptr<RenderOutput> output, std::unique_ptr<OutsideSound> sound)
        : m_output(std::move(output))
        , m_sound(std::move(sound))
    {
    }
    void writeFrame(const std::uint8_t* bgr) override { m_output->writeFrame(bgr); }
    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_block.resize(samples.size());
        m_sound->take(m_block);
        m_output->writeSound(m_block);
    }
    void finish() override { m_output->finish(); }

private:
    std::unique_ptr<RenderOutput> m_output;
    std::unique_ptr<OutsideSound> m_sound;
    std::vector<std::int16_t> m_block;
};

} // namespace

OutsideSound::OutsideSound(const std::filesystem::path& file)
{
    AudioStreamInfo info;
    std::vector<std::uint8_t> pcm;
    std::string error;
    const std::string name = shownText(file);
    if (!decodeAllAudio(
            file, {}, info, pcm, [] { return true; }, error)) {
        throw OutputError("The sound of " + name + " cannot be read"
            + (error.empty() ? std::string() : ": " + error));
    }
    if (info.sampleRate == kRate && info.channels == kChannels) {
        m_pcm.resize(pcm.size() / 2);
        std::memcpy(m_pcm.data(), pcm.data(), m_pcm.size() * 2);
    } else {
        m_pcm = toRenderSound(pcm, info, name);
    }
}

void OutsideSound::take(std::span<std::int16_t> into)
{
    const std::size_t available = std::min(into.size(), m_pcm.size() - m_next);
    std::copy_n(m_pcm.begin() + static_cast<std::ptrdiff_t>(m_next), available, into.begin());
    std::fill(into.begin() + static_cast<std::ptrdiff_t>(available), into.end(), 0);
    m_next += available;
}

std::unique_ptr<RenderOutput> withOutsideSound(
    std::unique_ptr<RenderOutput> output, std::unique_ptr<OutsideSound> sound)
{
    return std::make_unique<OutsideSoundOutput>(std::move(output), std::move(sound));
}

} // namespace oskel
