#include "recording/stream_output.h"

#include <cstring>
#include <exception>
#include <optional>

#include "recording/encoded_streams.h"
#include "recording/sound_rate_converter.h"

namespace oskel {

namespace {

std::size_t pictureBytes(FrameSize picture)
{
    return std::size_t(picture.width) * std::size_t(picture.height) * 3;
}

} // namespace

// The muxer and the encoders of one connection, made and used on the stream's thread.
class StreamOutput::Connection {
public:
    Connection(
        const StreamTarget& target, const AVIOInterruptCB& interrupt, bool withSound, int soundRate)
        : m_muxer(target.muxer, ffmpeg::NetworkTarget { target.url, target.shownName, interrupt })
        , m_streams(m_muxer, target.encoding,
              withSound ? ffmpeg::SoundFormat::Aac : ffmpeg::SoundFormat::None)
    {
        if (withSound && soundRate != ffmpeg::EncodedStreams::kSoundRate) {
            m_converter.emplace(soundRate, ffmpeg::EncodedStreams::kSoundRate);
        }
    }
    ffmpeg::EncodedStreams& streams() { return m_streams; }
    void writeSound(std::span<const std::int16_t> samples)
    {
        m_streams.writeSound(m_converter ? m_converter->convert(samples) : samples);
    }

private:
    ffmpeg::Muxer m_muxer;
    ffmpeg::EncodedStreams m_streams;
    std::optional<SoundRateConverter> m_converter;
};

StreamOutput::StreamOutput(StreamTarget target, bool withSound, StreamProblemHandler problem,
    std::chrono::milliseconds stallLimit, int soundRate)
    : m_target(std::move(target))
    , m_withSound(withSound)
    , m_problem(std::move(problem))
    , m_stallLimit(stallLimit)
    , m_soundRate(soundRate)
    , m_pictures(pictureBytes(m_target.encoding.picture), m_wakes)
    , m_soundBlock(kSoundSamples)
{
    m_thread = std::thread([this] { run(); });
}

StreamOutput::~StreamOutput()
{
    State running = State::Running;
    m_state.compare_exchange_strong(running, State::Abandoned);
    State finishing = State::Finishing;
    m_state.compare_exchange_strong(finishing, State::Abandoned);
    wake();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void StreamOutput::wake() noexcept
{
    m_wakes.fetch_add(1, std::memory_order_release);
    m_wakes.notify_one();
}

bool StreamOutput::offerFrame(const std::uint8_t* bgr) noexcept
{
    return offerFrameAt(m_nextFrame++, [bgr](std::uint8_t* slot, std::size_t size) {
        std::memcpy(slot, bgr, size);
        return true;
    });
}

void StreamOutput::offerSound(std::span<const std::int16_t> samples) noexcept
{
    if (!m_withSound || m_state.load(std::memory_order_relaxed) != State::Running) {
        return;
    }
    const std::size_t frames = samples.size() / 2;
    if (m_sound.capacity() - m_sound.size() < frames) {
        return;
    }
    for (std::size_t k = 0; k < frames; ++k) {
        m_sound.push(SampleFrame { samples[2 * k], samples[2 * k + 1] });
    }
    wake();
}

void StreamOutput::finish()
{
    State running = State::Running;
    m_state.compare_exchange_strong(running, State::Finishing);
    wake();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

int StreamOutput::interrupted(void* self)
{
    auto& output = *static_cast<StreamOutput*>(self);
    if (output.m_state.load() == State::Abandoned) {
        return 1;
    }
    if (std::chrono::steady_clock::now() - output.m_waitBegan > output.m_stallLimit) {
        output.m_stalled = true;
        return 1;
    }
    return 0;
}

void StreamOutput::run()
{
    try {
        stream();
    } catch (const std::exception& error) {
        if (m_stalled) {
            fail("The stream to " + m_target.shownName + " stopped: the network took nothing for "
                + std::to_string(m_stallLimit.count()) + " ms");
        } else {
            fail(error.what());
        }
    }
}

void StreamOutput::fail(const std::string& message)
{
    for (State from : { State::Running, State::Finishing }) {
        if (m_state.compare_exchange_strong(from, State::Failed)) {
            m_problem(message);
            return;
        }
    }
    // Abandoned: given up on purpose, nothing to tell.
}

void StreamOutput::stream()
{
    m_waitBegan = std::chrono::steady_clock::now();
    Connection connection(
        m_target, AVIOInterruptCB { interrupted, this }, m_withSound, m_soundRate);
    for (;;) {
        const std::uint32_t seen = m_wakes.load(std::memory_order_acquire);
        const State state = m_state.load();
        if (state == State::Abandoned) {
            return;
        }
        const bool sent = sendWaiting(connection);
        if (state == State::Finishing && !sent) {
            // Whatever was handed over before finish() has been seen: the state was read
            // before these last rounds.
            m_waitBegan = std::chrono::steady_clock::now();
            connection.streams().finish();
            return;
        }
        if (!sent) {
            m_wakes.wait(seen, std::memory_order_acquire);
        }
    }
}

bool StreamOutput::sendWaiting(Connection& connection)
{
    m_waitBegan = std::chrono::steady_clock::now();
    std::size_t samples = 0;
    for (SampleFrame frame; samples + 2 <= m_soundBlock.size() && m_sound.pop(frame);) {
        m_soundBlock[samples++] = frame.left;
        m_soundBlock[samples++] = frame.right;
    }
    if (samples > 0) {
        connection.writeSound(std::span(m_soundBlock.data(), samples));
    }
    const PictureHandover::Picture* picture = m_pictures.waiting();
    if (picture == nullptr) {
        return samples > 0;
    }
    connection.streams().writeFrameAt(picture->bytes.data(), picture->frame);
    m_pictures.release();
    m_sent.fetch_add(1, std::memory_order_relaxed);
    return true;
}

} // namespace oskel
