#include "recording/avi_render_file.h"

#include "recording/ffmpeg_writer.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

class AviRenderFile final : public RenderOutput {
public:
    AviRenderFile(const std::filesystem::path& file, const VideoEncoding& encoding)
        : m_file(file)
        , m_partial(partialName(file))
        , m_muxer("avi", m_partial.path())
        , m_encoder(encoding, m_muxer.wantsGlobalHeaders())
        , m_video(m_muxer.addVideo(m_encoder.context()))
        , m_sound(m_muxer.addPcmSound(kSoundRate, kSoundChannels))
    {
        m_muxer.begin();
    }

    void writeFrame(const std::uint8_t* bgr) override { m_encoder.encode(bgr, toFile()); }

    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_muxer.writePcm(samples, m_sound, m_soundFrames);
        m_soundFrames += static_cast<std::int64_t>(samples.size()) / kSoundChannels;
    }

    void finish() override
    {
        m_encoder.flush(toFile());
        m_muxer.end();
        syncFile(m_partial.path());
        renameInto(m_partial.path(), m_file);
        m_partial.keep();
        syncFolderOf(m_file);
    }

private:
    ffmpeg::PacketHandler toFile()
    {
        return [this](AVPacket& packet) {
            m_muxer.write(packet, m_video, m_encoder.context().time_base);
        };
    }

    std::filesystem::path m_file;
    PartialOutput m_partial; // declared before the muxer: removed after it closed the file
    ffmpeg::Muxer m_muxer;
    ffmpeg::PictureEncoder m_encoder;
    AVStream& m_video;
    AVStream& m_sound;
    std::int64_t m_soundFrames = 0;
};

} // namespace

std::unique_ptr<RenderOutput> openAviRenderFile(
    const std::filesystem::path& file, const VideoEncoding& encoding)
{
    return std::make_unique<AviRenderFile>(file, encoding);
}

} // namespace oskel
