#include <csignal>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "media_probe.h"
#include "recording/frame_folder_output.h"
#include "recording/output_file.h"
#include "recording/render_output.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

constexpr std::size_t kPictureBytes = 384 * 288 * 3;

// Picture k: every byte its own, so that a swapped channel, a flipped row or a lost frame
// shows.
std::vector<std::uint8_t> picture(int k)
{
    std::vector<std::uint8_t> bgr(kPictureBytes);
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        bgr[i] = static_cast<std::uint8_t>(i * 7 / 3 + static_cast<std::size_t>(k) * 29);
    }
    return bgr;
}

// Stereo sound frames, left and right apart.
std::vector<std::int16_t> sound(std::size_t frames, int offset)
{
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>((static_cast<int>(i) * 37 + offset) % 60000 - 30000);
    }
    return samples;
}

std::vector<std::uint8_t> bytesOf(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

// Writes `frames` pictures at 25 fps with their 1764 sound frames each; returns the sound.
std::vector<std::int16_t> writeRender(RenderOutput& output, int frames)
{
    std::vector<std::int16_t> all;
    for (int k = 0; k < frames; ++k) {
        const std::vector<std::uint8_t> bgr = picture(k);
        output.writeFrame(bgr.data());
        const std::vector<std::int16_t> block = sound(1764, k);
        output.writeSound(block);
        all.insert(all.end(), block.begin(), block.end());
    }
    output.finish();
    return all;
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class RenderOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
    }

    test::TempDir folder;
};

TEST_F(RenderOutputTest, AnUncompressedAviHoldsEveryPictureAndTheSoundExactly)
{
    const std::filesystem::path file = folder / "take.avi";
    const std::vector<std::int16_t> written = writeRender(*openRenderOutput(file, {}), 7);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::filesystem::path> { "take.avi" });

    EXPECT_TRUE(test::holdsAvi(file, { "rawvideo", 384, 288, "25/1", 7, 0.28 }));

    std::vector<std::uint8_t> expected;
    for (int k = 0; k < 7; ++k) {
        const std::vector<std::uint8_t> bgr = picture(k);
        expected.insert(expected.end(), bgr.begin(), bgr.end());
    }
    EXPECT_TRUE(test::decodeWithFfmpeg(file) == expected) << "the pictures differ";
    EXPECT_TRUE(test::decodeSoundWithFfmpeg(file, 2) == bytesOf(written)) << "the sound differs";
}

TEST_F(RenderOutputTest, CompressorsTakeTheSizeQualityAndKeyFrameInterval)
{
    struct Case {
        VideoCompression compression;
        const char* codec;
        int keyFrame;
        std::vector<bool> keys; // the first six pictures
    };
    for (const Case& c : std::vector<Case> {
             { VideoCompression::Mjpeg, "mjpeg", 4, { true, true, true, true, true, true } },
             { VideoCompression::Mpeg4, "mpeg4", 4, { true, false, false, false, true, false } },
         }) {
        SCOPED_TRACE(c.codec);
        const std::filesystem::path file = folder / (std::string(c.codec) + ".avi");
        VideoEncoding encoding;
        encoding.compression = c.compression;
        encoding.width = 192;
        encoding.height = 144;
        encoding.keyFrame = c.keyFrame;
        encoding.quality = 100;
        writeRender(*openRenderOutput(file, encoding), 6);
        const auto video = test::probeStream(file, "v:0");
        EXPECT_EQ(video.at("codec_name"), c.codec);
        EXPECT_EQ(video.at("width"), "192");
        EXPECT_EQ(video.at("height"), "144");
        EXPECT_EQ(video.at("nb_read_frames"), "6");
        EXPECT_EQ(test::probeKeyFrames(file), c.keys);

        encoding.quality = 0;
        const std::filesystem::path coarse = folder / (std::string(c.codec) + "-coarse.avi");
        writeRender(*openRenderOutput(coarse, encoding), 6);
        EXPECT_LT(std::filesystem::file_size(coarse), std::filesystem::file_size(file))
            << "a lower quality makes a smaller file";
    }
}

// Each kind of video file holds the pictures in the compressor asked for and the sound in the
// container's usual format, lasting as long as the pictures.
TEST_F(RenderOutputTest, EachContainerHoldsThePicturesAndTheSound)
{
    struct Case {
        const char* name;
        VideoCompression compression;
        const char* codec;
        const char* soundCodec;
    };
    for (const Case& c : std::vector<Case> {
             { "take.avi", VideoCompression::UtVideo, "utvideo", "pcm_s16le" },
             { "take.mov", VideoCompression::ProRes, "prores", "pcm_s16le" },
             { "hap.mov", VideoCompression::Hap, "hap", "pcm_s16le" },
             { "take.mp4", VideoCompression::H264, "h264", "aac" },
             { "take.MKV", VideoCompression::Ffv1, "ffv1", "pcm_s16le" },
         }) {
        SCOPED_TRACE(c.name);
        VideoEncoding encoding;
        encoding.compression = c.compression;
        writeRender(*openRenderOutput(folder / c.name, encoding), 10);
        const auto video = test::probeStream(folder / c.name, "v:0");
        EXPECT_EQ(video.at("codec_name"), c.codec);
        EXPECT_EQ(video.at("width"), "384");
        EXPECT_EQ(video.at("height"), "288");
        EXPECT_EQ(video.at("nb_read_frames"), "10");
        EXPECT_EQ(video.at("r_frame_rate"), "25/1");
        const auto sound = test::probeStream(folder / c.name, "a:0");
        EXPECT_EQ(sound.at("codec_name"), c.soundCodec);
        EXPECT_EQ(sound.at("sample_rate"), "44100");
        EXPECT_EQ(sound.at("channels"), "2");
        const auto format = test::probeStream(folder / c.name, "format");
        EXPECT_NEAR(std::stod(format.at("duration")), 0.4, 0.05);
    }
}

// A compressor the file cannot hold is refused before anything is written, with the ones it
// can.
TEST_F(RenderOutputTest, ACompressorTheFileCannotHoldIsRefusedWithTheOnesItCan)
{
    VideoEncoding encoding;
    encoding.compression = VideoCompression::Hap;
    try {
        openRenderOutput(folder / "take.mp4", encoding);
        ADD_FAILURE() << "no refusal";
    } catch (const OutputError& error) {
        EXPECT_STREQ(error.what(),
            "The video compressor HAP cannot be written into a .mp4 file; these can: MJPEG, "
            "MPEG-4, H.264");
    }
    encoding.compression = VideoCompression::Uncompressed;
    EXPECT_THROW(openRenderOutput(folder / "take.mkv", encoding), OutputError);
    EXPECT_TRUE(filesIn(folder.path()).empty());
}

TEST_F(RenderOutputTest, AFolderReceivesOnePictureFileAFrameAndTheSound)
{
    const std::filesystem::path out = folder / "frames";
    std::filesystem::create_directory(out);
    // Left over from a longer render: frames 3 and 4 must go, other files stay.
    for (const char* old : { "frame-000003.png", "frame-000004.png", "notes.txt" }) {
        test::writeFileBytes(out / old, { 1, 2, 3 });
    }
    const std::vector<std::int16_t> written = writeRender(*openRenderOutput(out, {}), 3);
    EXPECT_EQ(filesIn(out),
        (std::vector<std::filesystem::path> { "frame-000000.png", "frame-000001.png",
            "frame-000002.png", "notes.txt", "sound.wav" }));
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(test::decodeWithFfmpeg(out / frameFileName(k)) == picture(k)) << k;
    }
    const auto audio = test::probeStream(out / "sound.wav", "a:0");
    EXPECT_EQ(audio.at("sample_rate"), "44100");
    EXPECT_EQ(audio.at("channels"), "2");
    EXPECT_TRUE(test::decodeSoundWithFfmpeg(out / "sound.wav", 2) == bytesOf(written));
}

TEST_F(RenderOutputTest, AFolderIsMadeWhenItsParentExistsAndPicturesAreScaled)
{
    const std::filesystem::path out = folder / "new";
    VideoEncoding encoding;
    encoding.width = 96;
    encoding.height = 72;
    writeRender(*openRenderOutput(out / "", encoding), 1);
    const auto video = test::probeStream(out / frameFileName(0), "v:0");
    EXPECT_EQ(video.at("width"), "96");
    EXPECT_EQ(video.at("height"), "72");
}

TEST_F(RenderOutputTest, NothingIsLeftThatLooksCompleteWhenARenderStopsHalfway)
{
    test::writeFileBytes(folder / "frames-kept.txt", { 1 });
    for (const std::filesystem::path& out : { folder / "half.avi", folder / "half" }) {
        SCOPED_TRACE(out);
        {
            const std::unique_ptr<RenderOutput> output = openRenderOutput(out, {});
            const std::vector<std::uint8_t> bgr = picture(0);
            output->writeFrame(bgr.data());
            output->writeSound(sound(1764, 0));
        }
        if (std::filesystem::is_directory(out)) {
            EXPECT_TRUE(std::filesystem::is_empty(out)) << "the folder itself may stay, empty";
            std::filesystem::remove(out);
        }
        EXPECT_EQ(filesIn(folder.path()), std::vector<std::filesystem::path> { "frames-kept.txt" });
    }
}

TEST_F(RenderOutputTest, AnOutputThatCannotBeWhatItsNameSaysIsRefusedBeforeAnythingIsWritten)
{
    std::filesystem::create_directory(folder / "folder.avi");
    test::writeFileBytes(folder / "file", { 1 });
    for (const auto& [out, message] : std::vector<std::pair<std::filesystem::path, std::string>> {
             { folder / "folder.avi",
                 "The output " + (folder / "folder.avi").string() + " is a folder, not a file" },
             { folder / "file",
                 "Could not make the folder " + (folder / "file").string() + ": File exists" },
         }) {
        try {
            openRenderOutput(out, {});
            ADD_FAILURE() << out;
        } catch (const OutputError& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
    EXPECT_EQ(
        filesIn(folder.path()), (std::vector<std::filesystem::path> { "file", "folder.avi" }));
}

TEST_F(RenderOutputTest, AMissingOutputFolderIsRefusedBeforeAnythingIsWritten)
{
    for (const std::filesystem::path& out :
        { folder / "missing" / "take.avi", folder / "missing" / "frames" }) {
        try {
            openRenderOutput(out, {});
            ADD_FAILURE() << out;
        } catch (const OutputError& error) {
            EXPECT_EQ(std::string(error.what()),
                "The output folder " + (folder / "missing").string() + " does not exist");
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

bool holdsNoFile(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_directory()) {
            return false;
        }
    }
    return true;
}

// A full disk, played by a limit on the size of each file this process may write.
void renderIntoAFullDisk(const std::filesystem::path& out, rlim_t fileSizeLimit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit { fileSizeLimit, fileSizeLimit };
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
        writeRender(*openRenderOutput(out, {}), 25);
    } catch (const OutputError& error) {
        const bool named = std::string(error.what()).find("File too large") != std::string::npos;
        std::exit(named && holdsNoFile(out.parent_path()) ? 0 : 2);
    }
    std::exit(1);
}

TEST_F(RenderOutputTest, AFullDiskEndsTheRenderWithItsReasonAndNoFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Some pictures are written before the disk is full.
    EXPECT_EXIT(
        renderIntoAFullDisk(folder / "big.avi", 2'000'000), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(renderIntoAFullDisk(folder / "frames", 20'000), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace oskel
