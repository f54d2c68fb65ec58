#include "sources/live_source.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "platform/live_sound_feed.h"

namespace oskel {

namespace {

// The delivered size: the picture's own, made to fit the largest size, in even numbers.
std::pair<int, int> deliveredSize(int width, int height)
{
    const double scale = std::min({ 1.0, double(LiveSource::kLargestWidth) / width,
        double(LiveSource::kLargestHeight) / height });
    return { std::max(2, int(width * scale) & ~1), std::max(2, int(height * scale) & ~1) };
}

} // namespace

std::vector<CameraDevice> LiveSource::camerasFor(const std::string& name) const
{
    return name.starts_with(kCameraPrefix) ? m_cameras() : std::vector<CameraDevice> {};
}

LiveSource::LiveSource(LiveTimings timings, CameraLister cameras)
    : m_timings(timings)
    , m_cameras(std::move(cameras))
{
}

LiveSource::~LiveSource()
{
    shutDown();
}

void LiveSource::shutDown()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_input.reset();
}

int LiveSource::open(const std::filesystem::path& path, TSourceInfo& info)
{
    shutDown();
    m_closing = false;
    m_state = LiveState::Playing;
    m_frames.reset();
    onStateChange(nullptr);
    m_name = path.native();
    m_choice = chooseLiveSource(m_name, camerasFor(m_name));
    info.hasVideo = false;
    info.hasAudio = false;
    if (!m_choice.ok()) {
        info.openProblem = m_choice.problem;
        return kSourceFailed;
    }
    std::string problem;
    if (!connectFirst(problem)) {
        m_frames = std::make_unique<LiveFrames>(kWaitingWidth, kWaitingHeight);
        changeState(LiveState::Lost, problem);
    }
    fillInfo(info, m_input ? m_input->frameRate() : 25.0);
    m_thread = std::thread([this] { run(); });
    return kSourceOk;
}

bool LiveSource::connectFirst(std::string& problem)
{
    m_input = LiveInput::open(m_choice, m_timings.firstWait, m_closing, problem);
    if (!m_input || !waitForFirstPicture(problem)) {
        m_input.reset();
        m_frames.reset();
        return false;
    }
    m_input->setStall(m_timings.stall);
    return true;
}

bool LiveSource::waitForFirstPicture(std::string& problem)
{
    const auto first = [this](const AVFrame& frame) {
        if (!m_frames && frame.width > 0 && frame.height > 0) {
            const auto [width, height] = deliveredSize(frame.width, frame.height);
            m_frames = std::make_unique<LiveFrames>(width, height);
            takePicture(frame);
        }
    };
    const auto ignore = [](const AVFrame&) {};
    const auto giveUp = std::chrono::steady_clock::now() + m_timings.firstWait;
    while (!m_frames) {
        if (!m_input->readOnce(first, ignore, problem)) {
            return false;
        }
        if (std::chrono::steady_clock::now() > giveUp) {
            problem = "no picture came";
            return false;
        }
    }
    return true;
}

void LiveSource::fillInfo(TSourceInfo& info, double frameRate) const
{
    info.hasVideo = true;
    info.hasAudio = false; // the sound comes live, through the feed
    info.width = info.clipWidth = m_frames->width();
    info.height = info.clipHeight = m_frames->height();
    info.frameRate = info.exactFrameRate = frameRate;
    info.frameDuration = 1.0 / frameRate;
    info.duration = info.seekLimit = kSpanSeconds;
    info.frameCount = info.claimedFrameCount
        = std::max<std::int64_t>(1, std::int64_t(frameRate * kSpanSeconds));
    info.videoInfo.compression = m_choice.camera ? "CAM " : "NET ";
    info.frameHeader.width = m_frames->width();
    info.frameHeader.height = m_frames->height();
    info.frameHeader.bitCount = 24;
    info.frameHeader.sizeImage = static_cast<std::uint32_t>(m_frames->frameBytes());
}

int LiveSource::prepare(TSourceInfo& /*info*/)
{
    return m_frames ? kSourceOk : kSourceFailed;
}

int LiveSource::getFrame(std::int64_t /*index*/, TSourceInfo& /*info*/, const std::uint8_t*& pixels)
{
    if (!m_frames) {
        pixels = nullptr;
        return kSourceFailed;
    }
    pixels = m_frames->take();
    return kSourceOk;
}

int LiveSource::getAudio(TSourceInfo& /*info*/, std::vector<std::uint8_t>& /*sound*/)
{
    return kSourceFailed; // it has no whole sound: it comes through the feed
}

void LiveSource::stop(TSourceInfo& /*info*/)
{
}

int LiveSource::close(TSourceInfo& /*info*/)
{
    shutDown();
    return kSourceOk;
}

void LiveSource::carrySound(std::shared_ptr<LiveSoundFeed> feed)
{
    const std::lock_guard lock(m_mutex);
    m_feed = std::move(feed);
}

void LiveSource::onStateChange(StateHandler handler)
{
    const std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
    if (m_handler && m_state == LiveState::Lost) {
        m_handler(LiveState::Lost, m_lostMessage);
    }
}

void LiveSource::run()
{
    while (!m_closing) {
        if (m_input) {
            readUntilLost();
        } else {
            reconnect();
        }
    }
}

void LiveSource::readUntilLost()
{
    std::string problem;
    const auto picture = [this](const AVFrame& frame) { takePicture(frame); };
    const auto sound = [this](const AVFrame& frame) { takeSound(frame); };
    while (!m_closing && m_input->readOnce(picture, sound, problem)) { }
    m_input.reset();
    m_resampler.reset(); // the source may come back with other sound
    if (!m_closing) {
        changeState(LiveState::Lost, problem);
    }
}

// Tries again and again, waiting longer each time, until the source answers or it closes.
void LiveSource::reconnect()
{
    std::chrono::milliseconds wait = m_timings.firstRetry;
    while (sleepFor(wait)) {
        std::string problem;
        if (m_choice.camera) {
            m_choice = chooseLiveSource(m_name, m_cameras()); // it may be back elsewhere
        }
        if (m_choice.ok()) {
            m_input = LiveInput::open(m_choice, m_timings.stall, m_closing, problem);
        }
        if (m_input) {
            changeState(LiveState::Playing, {});
            return;
        }
        wait = std::min(wait * 2, m_timings.longestRetry);
    }
}

bool LiveSource::sleepFor(std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, wait, [this] { return m_closing.load(); });
}

void LiveSource::changeState(LiveState state, const std::string& why)
{
    if (m_state.exchange(state) == state) {
        return;
    }
    std::string message = state == LiveState::Lost
        ? "Live source lost: " + m_choice.shownName + " (" + why + "); reconnecting"
        : "Live source back: " + m_choice.shownName;
    const std::lock_guard lock(m_mutex);
    if (state == LiveState::Lost) {
        m_lostMessage = message;
    }
    if (m_handler) {
        m_handler(state, message);
    }
}

void LiveSource::takePicture(const AVFrame& frame)
{
    const int width = m_frames->width();
    const int height = m_frames->height();
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height,
        static_cast<AVPixelFormat>(frame.format), width, height, AV_PIX_FMT_BGR24, SWS_BILINEAR,
        nullptr, nullptr, nullptr));
    if (!m_scaler) {
        return;
    }
    // Bottom-up rows: the last row first, stepping back.
    const int stride = width * 3;
    std::uint8_t* const rows[4] = { m_frames->back() + std::size_t(height - 1) * stride };
    const int strides[4] = { -stride };
    sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height, rows, strides);
    m_frames->publish();
}

void LiveSource::takeSound(const AVFrame& frame)
{
    std::shared_ptr<LiveSoundFeed> feed;
    {
        const std::lock_guard lock(m_mutex);
        feed = m_feed;
    }
    if (!feed || frame.nb_samples <= 0 || frame.sample_rate <= 0) {
        return;
    }
    if (!m_resampler || m_resamplerRate != feed->rate()) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        SwrContext* context = nullptr;
        if (swr_alloc_set_opts2(&context, &stereo, AV_SAMPLE_FMT_FLT, feed->rate(),
                // Only read, though this FFmpeg does not say so.
                const_cast<AVChannelLayout*>(&frame.ch_layout),
                static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr)
                < 0
            || swr_init(context) < 0) {
            swr_free(&context);
            return;
        }
        m_resampler.reset(context);
        m_resamplerRate = feed->rate();
    }
    const int most = swr_get_out_samples(m_resampler.get(), frame.nb_samples);
    m_sound.resize(std::size_t(std::max(most, 0)) * 2);
    auto* out = reinterpret_cast<std::uint8_t*>(m_sound.data());
    const int made = swr_convert(m_resampler.get(), &out, most,
        const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    for (int sample = 0; sample < made; ++sample) {
        feed->push({ m_sound[2 * std::size_t(sample)], m_sound[2 * std::size_t(sample) + 1] });
    }
}

} // namespace oskel
