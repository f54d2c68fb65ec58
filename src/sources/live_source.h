#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sources/ffmpeg_handles.h"
#include "sources/live_frames.h"
#include "sources/live_input.h"
#include "sources/live_source_control.h"
#include "sources/live_source_name.h"
#include "sources/media_source.h"

namespace oskel {

struct LiveTimings {
    // How long a source may send nothing before it counts as lost.
    std::chrono::milliseconds stall { 10000 };
    // The waits between attempts to reach a lost source: doubled after each failure.
    std::chrono::milliseconds firstRetry { 500 };
    std::chrono::milliseconds longestRetry { 8000 };
    // How long loading waits for the first picture before the slot takes the source as lost
    // and goes on reaching for it in the background.
    std::chrono::milliseconds firstWait { 3000 };
};

// A clip without a length: a camera or a network stream, read on a decode thread of its own
// that keeps the newest picture for the slot's worker and pushes the sound into the slot's
// live sound feed. When the source is lost the slot keeps its last picture while the thread
// reaches for the source again, waiting longer after each failure; it is told once when
// the source is lost and once when it is back. A source that cannot be reached when it is
// opened (nothing sent, refused, no picture in what comes) opens all the same, lost, with a
// black picture of kWaitingWidth x kWaitingHeight into which its pictures are later fitted.
//
// The clip it makes holds kSpanSeconds of silence that loops, so the slot plays like any
// other; the frame it is asked for does not matter: the newest picture is the frame.
// open, prepare, stop and close run on the main thread, getFrame on the slot's worker; the
// pixels of the last fetch stay readable until the next open or the destruction.
class LiveSource final : public MediaSource, public LiveSourceControl {
public:
    static constexpr int kSpanSeconds = 10;
    static constexpr int kLargestWidth = 1920;
    static constexpr int kLargestHeight = 1080;
    static constexpr int kWaitingWidth = 384;
    static constexpr int kWaitingHeight = 288;
    using CameraLister = std::function<std::vector<CameraDevice>()>;

    explicit LiveSource(
        LiveTimings timings = {}, CameraLister cameras = [] { return listCameras(); });
    ~LiveSource() override;
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    // Opens the source named by `path` (a URL or "camera:NAME") and waits for its first
    // picture, at most the first wait. Fails only for a name that is refused.
    int open(const std::filesystem::path& path, TSourceInfo& info) override;
    int prepare(TSourceInfo& info) override;
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override;
    int getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound) override;
    void stop(TSourceInfo& info) override;
    int close(TSourceInfo& info) override;
    LiveSourceControl* live() override { return this; }

    void carrySound(std::shared_ptr<LiveSoundFeed> feed) override;
    void onStateChange(StateHandler handler) override;
    LiveState state() const override { return m_state.load(); }

    // Any thread: pictures received since the open.
    std::uint64_t picturesReceived() const { return m_frames ? m_frames->published() : 0; }

private:
    std::vector<CameraDevice> camerasFor(const std::string& name) const;
    bool connectFirst(std::string& problem);
    bool waitForFirstPicture(std::string& problem);
    void run();
    void readUntilLost();
    void reconnect();
    void changeState(LiveState state, const std::string& why);
    bool sleepFor(std::chrono::milliseconds wait);
    void takePicture(const AVFrame& frame);
    void takeSound(const AVFrame& frame);
    void fillInfo(TSourceInfo& info, double frameRate) const;
    void shutDown();

    const LiveTimings m_timings;
    CameraLister m_cameras;
    std::string m_name;
    LiveSourceChoice m_choice;
    std::unique_ptr<LiveInput> m_input; // the decode thread's once it runs
    std::unique_ptr<LiveFrames> m_frames;
    std::thread m_thread;
    std::atomic<bool> m_closing { false };
    std::atomic<LiveState> m_state { LiveState::Playing };

    std::mutex m_mutex; // the handler, the feed and the closing wake-up
    std::condition_variable m_wake;
    StateHandler m_handler;
    std::string m_lostMessage;
    std::shared_ptr<LiveSoundFeed> m_feed;

    // Decode thread's.
    ffmpeg::SwsContextPtr m_scaler;
    ffmpeg::SwrContextPtr m_resampler;
    int m_resamplerRate = 0;
    std::vector<float> m_sound;
};

} // namespace oskel
