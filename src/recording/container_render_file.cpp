#include "recording/container_render_file.h"

#include <optional>

#include "recording/aac_encoder.h"
#include "recording/ffmpeg_writer.h"
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
        , m_encoder(encoding, m_muxer.wantsGlobalHeaders())
        , m_video(m_muxer.addStream(m_encoder.context()))
        , m_sound(openSound(container))
    {
        m_muxer.begin();
    }

    void writeFrame(const std::uint8_t* bgr) override
    {
        m_encoder.encode(bgr, toFile(m_video, m_encoder.context()));
    }

    void writeSound(std::span<const std::int16_t> samples) override
    {
        if (m_aac) {
            m_aac->encode(samples, toFile(m_sound, m_aac->context()));
            return;
        }
        m_muxer.writePcm(samples, m_sound, m_soundFrames);
        m_soundFrames += static_cast<std::int64_t>(samples.size()) / kSoundChannels;
    }

    void finish() override
    {
        m_encoder.flush(toFile(m_video, m_encoder.context()));
        if (m_aac) {
            m_aac->flush(toFile(m_sound, m_aac->context()));
        }
        m_muxer.end();
        syncFile(m_partial.path());
        renameInto(m_partial.path(), m_file);
        m_partial.keep();
        syncFolderOf(m_file);
    }

private:
    AVStream& openSound(const RenderContainer& container)
    {
        if (!container.aacSound) {
            return m_muxer.addPcmSound(kSoundRate, kSoundChannels);
        }
        m_aac.emplace(kSoundRate, kSoundChannels, m_muxer.wantsGlobalHeaders());
        return m_muxer.addStream(m_aac->context());
    }

    ffmpeg::PacketHandler toFile(AVStream& stream, const AVCodecContext& from)
    {
        return [this, &stream, &from](
                   AVPacket& packet) { m_muxer.write(packet, stream, from.time_base); };
    }

    std::filesystem::path m_file;
    PartialOutput m_partial; // declared before the muxer: removed after it closed the file
    ffmpeg::Muxer m_muxer;
    ffmpeg::PictureEncoder m_encoder;
    std::optional<ffmpeg::AacEncoder> m_aac;
    AVStream& m_video;
    AVStream& m_sound;
    std::int64_t m_soundFrames = 0;
};

} // namespace

std::unique_ptr<RenderOutput> openContainerRenderFile(const std::filesystem::path& file,
    const RenderContainer& container, const VideoEncoding& encoding)
{
    return std::make_unique<ContainerRenderFile>(file, container, encoding);
}

} // namespace oskel
