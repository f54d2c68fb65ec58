#include "recording/sound_recorder.h"

#include <chrono>
#include <vector>

#include "recording/ffmpeg_writer.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr std::size_t kRingSamples = std::size_t { kRate } * kChannels * 10;
constexpr auto kWriteEvery = std::chrono::milliseconds(20);

} // namespace

// The WAV file being written.
class RecordedWave {
public:
    explicit RecordedWave(const std::filesystem::path& file)
        : m_file(file)
        , m_partial(partialName(file))
        , m_muxer("wav", m_partial.path())
        , m_stream(m_muxer.addPcmSound(kRate, kChannels))
    {
        m_muxer.begin();
    }
    void write(std::span<const std::int16_t> samples)
    {
        m_muxer.writePcm(samples, m_stream, m_frames);
        m_frames += static_cast<std::int64_t>(samples.size()) / kChannels;
    }
    void finish()
    {
        m_muxer.end();
        m_partial.publishAs(m_file);
    }

private:
    std::filesystem::path m_file;
    PartialOutput m_partial;
    ffmpeg::Muxer m_muxer;
    AVStream& m_stream;
    std::int64_t m_frames = 0;
};

tSoundRecorder::tSoundRecorder(SoundCapture& capture)
    : m_capture(capture)
    , m_ring(kRingSamples)
{
}

tSoundRecorder::~tSoundRecorder()
{
    stop();
}

std::string tSoundRecorder::start(const std::filesystem::path& file)
{
    stop();
    try {
        m_wave = std::make_unique<RecordedWave>(file);
    } catch (const OutputError& error) {
        return error.what();
    }
    m_writeProblem.clear();
    m_received = 0;
    m_running = true;
    m_writer = std::thread([this] { writeWhileRecording(); });
    if (std::string problem
        = m_capture.start([this](std::span<const std::int16_t> samples) { receive(samples); });
        !problem.empty()) {
        m_running = false;
        m_writer.join();
        m_wave.reset(); // the partial file goes with it
        return problem;
    }
    return {};
}

std::string tSoundRecorder::stop()
{
    if (!m_wave) {
        return {};
    }
    m_capture.stop();
    m_running = false;
    m_writer.join();
    std::string problem = m_writeProblem;
    if (problem.empty()) {
        try {
            writeWaiting();
            m_wave->finish();
        } catch (const OutputError& error) {
            problem = error.what();
        }
    }
    m_wave.reset();
    return problem;
}

// The device's thread: copies only.
void tSoundRecorder::receive(std::span<const std::int16_t> samples) noexcept
{
    m_received.fetch_add(samples.size());
    for (const std::int16_t sample : samples) {
        if (!m_ring.push(sample)) {
            m_dropped.fetch_add(1);
        }
    }
}

void tSoundRecorder::writeWhileRecording()
{
    while (m_running) {
        std::this_thread::sleep_for(kWriteEvery);
        try {
            writeWaiting();
        } catch (const OutputError& error) {
            m_writeProblem = error.what();
            return;
        }
    }
}

// Whole stereo frames only: an odd sample waits for its partner.
void tSoundRecorder::writeWaiting()
{
    std::vector<std::int16_t> waiting;
    const std::size_t whole = m_ring.size() / kChannels * kChannels;
    waiting.resize(whole);
    for (std::int16_t& sample : waiting) {
        m_ring.pop(sample);
    }
    if (!waiting.empty()) {
        m_wave->write(waiting);
    }
}

std::string soundInputShortfall(std::uint64_t receivedFrames, std::int64_t elapsedMs)
{
    // A device delivers in blocks and starts a little late: up to a second missing is normal.
    constexpr std::int64_t kSlackMs = 1000;
    const auto receivedMs = static_cast<std::int64_t>(receivedFrames * 1000 / kRate);
    if (elapsedMs - receivedMs <= kSlackMs) {
        return {};
    }
    const auto seconds = [](std::int64_t ms) { return std::to_string((ms + 500) / 1000); };
    return "The sound input delivered only " + seconds(receivedMs) + " s of the "
        + seconds(elapsedMs)
        + " s recorded: the device stopped or went away, and the rest of the recording of it "
          "is missing";
}

} // namespace oskel
