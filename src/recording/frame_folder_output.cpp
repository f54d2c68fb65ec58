#include "recording/frame_folder_output.h"

#include <cstdio>
#include <system_error>

#include "recording/ffmpeg_writer.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

constexpr const char* kSoundFile = "sound.wav";

std::filesystem::path freshStagingFolder(const std::filesystem::path& folder)
{
    const std::filesystem::path staging = folder / ".oskel-render.partial";
    std::error_code error;
    std::filesystem::remove_all(staging, error);
    std::filesystem::create_directories(staging, error);
    if (error) {
        throw OutputError(fileProblem("write into", folder, error.value()));
    }
    return staging;
}

class FrameFolder final : public RenderOutput {
public:
    FrameFolder(const std::filesystem::path& folder, int width, int height, FrameSize picture)
        : m_folder(folder)
        , m_staging(freshStagingFolder(folder))
        , m_encoder(AV_CODEC_ID_PNG, AV_PIX_FMT_RGB24, width, height, picture)
        , m_muxer("wav", m_staging.path() / kSoundFile)
        , m_sound(m_muxer.addPcmSound(kSoundRate, kSoundChannels))
    {
        m_muxer.begin();
    }

    void writeFrame(const std::uint8_t* bgr) override
    {
        m_encoder.encode(bgr, [this](AVPacket& packet) {
            const std::span<const std::uint8_t> bytes(
                packet.data, static_cast<std::size_t>(packet.size));
            writeFileBytes(m_staging.path() / frameFileName(m_frames++), bytes);
        });
    }

    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_muxer.writePcm(samples, m_sound, m_soundFrames);
        m_soundFrames += static_cast<std::int64_t>(samples.size()) / kSoundChannels;
    }

    void finish() override
    {
        m_muxer.end();
        for (std::int64_t frame = 0; frame < m_frames; ++frame) {
            moveIntoPlace(frameFileName(frame));
        }
        moveIntoPlace(kSoundFile);
        syncFolderOf(m_folder / kSoundFile);
        std::error_code ignored;
        for (std::int64_t stale = m_frames;
             std::filesystem::remove(m_folder / frameFileName(stale), ignored); ++stale) { }
    }

private:
    void moveIntoPlace(const std::string& name)
    {
        const std::filesystem::path from = m_staging.path() / name;
        syncFile(from);
        renameInto(from, m_folder / name);
    }

    std::filesystem::path m_folder;
    PartialOutput m_staging; // declared before the muxer: removed after it closed the file
    ffmpeg::PictureEncoder m_encoder;
    ffmpeg::Muxer m_muxer;
    AVStream& m_sound;
    std::int64_t m_frames = 0;
    std::int64_t m_soundFrames = 0;
};

} // namespace

std::string frameFileName(std::int64_t frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frame));
    return name;
}

std::unique_ptr<RenderOutput> openFrameFolder(
    const std::filesystem::path& folder, int width, int height, FrameSize picture)
{
    return std::make_unique<FrameFolder>(folder, width, height, picture);
}

} // namespace oskel
