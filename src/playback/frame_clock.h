#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/engine_ports.h"
#include "core/performance.h"
#include "effects/effect_host.h"
#include "playback/audio_thread.h"
#include "playback/frame_renderer.h"
#include "playback/null_frame_renderer.h"
#include "playback/slot_previews.h"
#include "playback/slot_worker.h"
#include "playback/transport.h"
#include "sources/source_interface.h"

namespace oskel {

// The frame thread: runs ticks as fast as the output allows. Each tick copies the live slot
// records into the snapshot (on the main thread), reads every playing slot's play cursor,
// lets the transport rules act on it (on the main thread), turns it into a frame number, has
// the slots' workers decode those frames in parallel and hands them to the renderer in
// layer-stack order. The sound buffer's play cursor is thus the clock of the picture.
// The audio command thread starts and stops it.
class FrameClock : public PlaybackCompanion {
public:
    // How a tick waits for the slots' workers. The running frame thread waits a short while
    // only: a worker late after that (a slow effect, a slow source) leaves its slot showing
    // the picture it showed before, and what it makes is drawn on a later tick, so one slow
    // slot never slows the output. Ticks stepped by hand (offline renders, tests) wait for
    // every worker, so that each frame shows exactly the frames chosen for it.
    enum class WorkerWait { EveryWorker, Bounded };
    static constexpr auto kWorkerTimeout = std::chrono::milliseconds(3000);
    // How long a tick waits for the workers it started, from its first wait: well inside a
    // tick of 40 ms. A worker late on an earlier tick is not waited for again.
    static constexpr auto kLateWorkerBound = std::chrono::milliseconds(10);

    FrameClock(Performance& performance, SourceInterface& sources, FrameRenderer& renderer,
        Transport& transport, PlaybackMonitor& monitor);
    ~FrameClock() override;

    // Audio command thread.
    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }

    // Where the slots' workers leave their live pictures; none by default. Set before the
    // thread starts.
    void setPreviews(SlotPreviews* previews) { m_previews = previews; }
    // What runs each slot's effect on its frames; none by default. Set before the thread
    // starts.
    void setEffects(EffectHost* effects) { m_effects = effects; }
    // Before begin(): the slot workers decode the next frame while the tick draws. Taken
    // where every tick waits for every worker (an offline render), since a worker decoding
    // ahead is busy until it is done.
    void setDecodeAhead(bool decodeAhead) { m_decodeAhead = decodeAhead; }

    // Any thread: show this picture on the output at the next tick (a patch is loading).
    void requestLoadingPicture(const std::filesystem::path& bitmap);

    // The steps of the thread, for stepping it by hand (tests, offline rendering): the
    // start-up, one tick, and the end that leaves the output blank. Any thread but the main
    // thread's own calls run at once when called on the main thread. When the renderer
    // cannot set up its output, the ticks still run without drawing: loads finish, frames are
    // acknowledged and the slots move on.
    bool begin();
    void tick(WorkerWait wait = WorkerWait::EveryWorker);
    void end();

    // The frame chosen for each slot by the last tick; -1 before any.
    std::int32_t shownFrame(int slot) const
    {
        return m_shownFrame.at(static_cast<std::size_t>(slot));
    }

private:
    struct SlotPass {
        bool playing = false; // the snapshot says so
        bool bufferPlaying = false;
        bool drawn = false;
        bool finished = false; // its buffer stopped by itself
        bool started = false; // its worker was started on this tick's frame
        std::int64_t cursor = 0;
    };
    using Passes = std::array<SlotPass, kSlotCount + 1>;

    void run();
    void makePendingTextures();
    void showLoadingPicture();
    SlotPass readCursor(int slot);
    void applyTransportRules(const LayerStack::Order& order, Passes& passes);
    void chooseFrame(int slot, SlotPass& pass);
    std::int64_t frameFor(int slot, std::int64_t cursor, bool& drawn) const;
    void drawSlots(const LayerStack::Order& order, const Passes& passes, WorkerWait wait);
    void acknowledgeFrames();
    void onMainThread(const std::function<void()>& task);
    void copyEngineFields(int slot);

    Performance& m_performance;
    SourceInterface& m_sources;
    FrameRenderer& m_output;
    // What the ticks draw with: the output, or nothing while the output cannot be drawn.
    // Frame thread, chosen by begin().
    FrameRenderer* m_renderer = &m_output;
    NullFrameRenderer m_noOutput;
    Transport& m_transport;
    PlaybackMonitor& m_monitor;
    SlotPreviews* m_previews = nullptr;
    EffectHost* m_effects = nullptr;
    bool m_decodeAhead = false;

    std::array<std::unique_ptr<SlotWorker>, kSlotCount + 1> m_workers;
    std::array<std::int32_t, kSlotCount + 1> m_shownFrame {};
    std::array<std::int64_t, kSlotCount + 1> m_lastCursor {};
    std::atomic<bool> m_runEnabled = false;
    std::atomic<bool> m_terminate = false;
    std::atomic<bool> m_running = false;
    std::atomic<bool> m_showLoadingPicture = false;
    std::shared_ptr<std::atomic<bool>> m_refreshPending
        = std::make_shared<std::atomic<bool>>(false);
    std::filesystem::path m_loadingPicture;
    std::mutex m_pictureLock;
    std::thread m_thread;
};

} // namespace oskel
