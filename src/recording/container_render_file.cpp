#include "recording/container_render_file.h"

#include "recording/encoded_streams.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

class ContainerRenderFile final : public RenderOutput {
public:
    ContainerRenderFile(const std::filesystem::path& file, const RenderContainer& container,
        const VideoEncoding& encoding)
        : m_file(file)
        , m_partial(partialName(file))
        , m_muxer(container.muxer, m_partial.path())
        , m_streams(m_muxer, encoding,
              container.aacSound ? ffmpeg::SoundFormat::Aac : ffmpeg::SoundFormat::Pcm)
    {
    }

    void writeFrame(const std::uint8_t* bgr) override { m_streams.writeFrame(bgr); }

    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_streams.writeSound(samples);
    }

    void finish() override
    {
        m_streams.finish();
        m_partial.publishAs(m_file);
    }

private:
    std::filesystem::path m_file;
    PartialOutput m_partial; // declared before the muxer: removed after it closed the file
    ffmpeg::Muxer m_muxer;
    ffmpeg::EncodedStreams m_streams;
};

} // namespace

std::unique_ptr<RenderOutput> openContainerRenderFile(const std::filesystem::path& file,
    const RenderContainer& container, const VideoEncoding& encoding)
{
    return std::make_unique<ContainerRenderFile>(file, container, encoding);
}

} // namespace oskel
