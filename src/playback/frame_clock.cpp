#include "playback/frame_clock.h"

#include <system_error>

#include "core/rounding.h"
#include "core/slot_sound.h"
#include "core/status_text.h"
#include "platform/memory_status.h"
#include "platform/millisecond_clock.h"

namespace oskel {

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;
constexpr auto kIdleWait = std::chrono::milliseconds(1);
constexpr auto kShortTick = std::chrono::milliseconds(20);
constexpr auto kSleepAfterShortTick = std::chrono::milliseconds(10);
constexpr auto kSleepAfterLongTick = std::chrono::milliseconds(2);

int meanOf(double sum, int count)
{
    return static_cast<int>(roundHalfEven(sum / count));
}

} // namespace

FrameClock::FrameClock(Performance& performance, SourceInterface& sources, FrameRenderer& renderer,
    Transport& transport, PlaybackMonitor& monitor)
    : m_performance(performance)
    , m_sources(sources)
    , m_output(renderer)
    , m_transport(transport)
    , m_monitor(monitor)
{
    m_shownFrame.fill(-1);
}

FrameClock::~FrameClock()
{
    stop();
}

void FrameClock::start()
{
    if (m_thread.joinable()) {
        return;
    }
    m_terminate = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void FrameClock::stop()
{
    m_terminate = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void FrameClock::requestLoadingPicture(const std::filesystem::path& bitmap)
{
    std::lock_guard guard(m_pictureLock);
    m_loadingPicture = bitmap;
    m_showLoadingPicture = true;
}

void FrameClock::onMainThread(const std::function<void()>& task)
{
    m_performance.mainThread().invoke(task);
}

void FrameClock::run()
{
    try {
        if (begin()) {
            while (!m_terminate) {
                const auto started = std::chrono::steady_clock::now();
                tick(WorkerWait::Bounded);
                const bool shortTick = std::chrono::steady_clock::now() - started < kShortTick;
                std::this_thread::sleep_for(shortTick ? kSleepAfterShortTick : kSleepAfterLongTick);
            }
        }
    } catch (const std::exception& error) {
        // A failing sound buffer ends the frame thread; the output stops moving until
        // playback is restarted.
        const std::string message = error.what();
        m_performance.mainThread().post(
            [this, message] { m_performance.ui().showMessage(message); });
    }
    end();
    m_running = false;
}

bool FrameClock::begin()
{
    m_shownFrame.fill(-1);
    m_lastCursor.fill(0);
    bool initialised = false;
    onMainThread([&] { initialised = m_output.InitDisplay(); });
    // An output that cannot be drawn has said why; everything but the drawing goes on.
    m_renderer = initialised ? &m_output : &m_noOutput;
    m_runEnabled = true;
    m_renderer->makeCurrent();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        m_workers.at(static_cast<std::size_t>(slot)) = std::make_unique<SlotWorker>(
            slot,
            [this](int s, std::int64_t frame, WorkerResult& result) {
                const int code = m_sources.SourceGetFrame(s, frame, result.pixels);
                result.header = m_sources.info(s).frameHeader;
                return code;
            },
            [this](int s, std::int64_t, WorkerResult& result) {
                if (m_previews != nullptr) {
                    m_previews->post(s, result.pixels, result.header.width, result.header.height);
                }
                if (m_effects != nullptr && m_performance.slot(s).FFenable) {
                    result.pixels = m_effects->processFrame(s, result.pixels, result.header.width,
                        result.header.height, result.header.bitCount, result.keep);
                }
            },
            m_decodeAhead ? SlotWorker::DecodeAhead(
                [this](int s, std::int64_t frame) { m_sources.SourceDecodeAhead(s, frame); })
                          : SlotWorker::DecodeAhead());
    }
    return true;
}

void FrameClock::end()
{
    for (auto& worker : m_workers) {
        worker.reset();
    }
    m_renderer->ClearOutput();
    m_renderer->Present();
    m_renderer->releaseContext();
}

void FrameClock::showLoadingPicture()
{
    std::filesystem::path picture;
    {
        std::lock_guard guard(m_pictureLock);
        picture = m_loadingPicture;
    }
    m_showLoadingPicture = false;
    std::error_code error;
    if (std::filesystem::is_regular_file(picture, error)) {
        m_renderer->releaseContext();
        m_renderer->makeCurrent();
        m_renderer->ShowPicture(picture);
    }
}

void FrameClock::makePendingTextures()
{
    GlobalState& globals = m_performance.globals();
    m_renderer->makeCurrent();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        auto& pending = globals.slotTexturePending.at(static_cast<std::size_t>(slot));
        if (!pending) {
            continue;
        }
        int width = 0;
        int height = 0;
        onMainThread([&] {
            const TPlayAvistruct& live = m_performance.slot(slot);
            TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
            snapshot.LumaKey = live.LumaKey;
            snapshot.StencilEnabled = live.StencilEnabled;
            width = live.ClipWidth;
            height = live.ClipHeight;
        });
        m_renderer->DeleteSlotTextures(slot);
        m_renderer->CreateSlotTextures(slot, width, height);
        pending = false;
    }
    m_renderer->releaseContext();
    m_renderer->makeCurrent();
    onMainThread([&] {
        if (m_performance.slot(1).Loaded) {
            m_performance.selectSlot(1);
        }
        m_performance.ui().setStatusText(
            readyStatusText(availableMemoryBytes(), globals.clipNotice));
        globals.texturesPending = false;
        globals.loadingBusy = false;
        m_monitor.newClipsReady();
    });
    if (m_renderer->showingPicture()) {
        m_renderer->DropPicture();
    }
}

void FrameClock::tick(WorkerWait wait)
{
    if (!m_runEnabled) {
        std::this_thread::sleep_for(kIdleWait);
        return;
    }
    if (m_showLoadingPicture) {
        showLoadingPicture();
    }
    if (m_performance.globals().texturesPending) {
        makePendingTextures();
    }
    m_renderer->setTickTime(millisecondTick());

    // The main thread's share of the tick in one call, while this thread waits for it: the
    // snapshot copy, the play cursors read, finished slots shown stopped, and the transport
    // rules acting on every playing slot's cursor.
    const LayerStack::Order order = m_performance.layerStack().order();
    Passes passes {};
    onMainThread([&] {
        m_performance.copyLiveToSnapshot();
        for (int position = 0; position < kSlotCount; ++position) {
            m_performance.slot(position + 1).FrameAck = false;
            const int slot = order.at(static_cast<std::size_t>(position));
            passes.at(static_cast<std::size_t>(slot)) = readCursor(slot);
        }
        applyTransportRules(order, passes);
    });
    for (const int slot : order) {
        SlotPass& pass = passes.at(static_cast<std::size_t>(slot));
        chooseFrame(slot, pass);
        if (pass.drawn) {
            // Started at once, so that decoding overlaps choosing the other slots' frames.
            SlotWorker& worker = *m_workers.at(static_cast<std::size_t>(slot));
            if (wait == WorkerWait::EveryWorker) {
                // A frame still at work from a tick before is not this tick's: it is waited
                // for and dropped, so that this tick shows the frame chosen for it.
                WorkerResult dropped;
                worker.collect(std::chrono::steady_clock::now() + kWorkerTimeout, dropped);
            }
            const TPlayAvistruct& live = m_performance.slot(slot);
            pass.started = worker.start(live.CurrentFrame, live.FFenable);
        }
    }
    drawSlots(order, passes, wait);
    acknowledgeFrames();
    m_renderer->Present();
    if (!m_performance.globals().shuttingDown && !m_refreshPending->exchange(true)) {
        // The windows need not hold up the next tick; one refresh waits at a time.
        std::weak_ptr<std::atomic<bool>> pending = m_refreshPending;
        m_performance.mainThread().post([this, pending] {
            if (const auto alive = pending.lock()) {
                *alive = false;
                m_monitor.refreshGridAndBeatCounter();
            }
        });
    }
}

// The play cursor of a playing slot, from the buffer of its direction. A slot
// whose buffer stopped by itself has finished, unless it is paused, reversing or looping.
FrameClock::SlotPass FrameClock::readCursor(int slot)
{
    SlotPass pass;
    const TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    if (!snapshot.Playing) {
        return pass;
    }
    pass.playing = true;
    m_performance.slot(slot).Started = false;
    const std::shared_ptr<SoundBuffer> buffer = activeBuffer(snapshot);
    pass.bufferPlaying = buffer && buffer->isPlaying();
    auto& cursor = m_lastCursor.at(static_cast<std::size_t>(slot));
    if (pass.bufferPlaying || snapshot.Paused || snapshot.Reversing || snapshot.Looping) {
        pass.drawn = true;
        cursor = buffer ? buffer->playCursor() : 0;
    } else {
        pass.finished = true;
        m_performance.slot(slot).Playing = false;
    }
    pass.cursor = cursor; // a finished slot keeps the cursor of an earlier tick
    return pass;
}

// Main thread: finished slots are shown stopped and the transport rules act on every playing
// slot's cursor, possibly moving it.
void FrameClock::applyTransportRules(const LayerStack::Order& order, Passes& passes)
{
    for (const int slot : order) {
        SlotPass& pass = passes.at(static_cast<std::size_t>(slot));
        if (pass.finished) {
            m_performance.SlotStatusColour(slot, SlotState::Stopped);
        }
        if (pass.playing
            && !m_transport.ApplyTransport(m_performance.snapshot()[slot], pass.cursor, slot)) {
            m_performance.ui().setStatusText("DS buf err on reassess Play Cursor");
        }
    }
}

// Frame thread: the frame a playing slot shows, from its (possibly moved) cursor.
void FrameClock::chooseFrame(int slot, SlotPass& pass)
{
    if (!pass.playing) {
        return;
    }
    const TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    TPlayAvistruct& live = m_performance.slot(slot);
    m_lastCursor.at(static_cast<std::size_t>(slot)) = pass.cursor;
    live.AudioPosition = static_cast<std::int32_t>(pass.cursor);
    if (live.Length <= 0) {
        pass.drawn = false;
    }
    std::int64_t position = pass.cursor;
    if (pass.drawn && snapshot.Direction != 1 && (pass.bufferPlaying || snapshot.Paused)) {
        position = live.Length - pass.cursor; // the backward buffer holds the sound reversed
    }
    const std::int64_t frame = pass.drawn ? frameFor(slot, position, pass.drawn) : 0;
    live.Started = false;
    if (!snapshot.Shown) {
        pass.drawn = false;
    }
    if (pass.drawn) {
        live.CurrentFrame = static_cast<std::int32_t>(frame);
    }
}

std::int64_t FrameClock::frameFor(int slot, std::int64_t cursor, bool& drawn) const
{
    const TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    const TPlayAvistruct& live = m_performance.slot(slot);
    const std::int64_t frameCount = snapshot.FrameCount;
    const long double length = static_cast<long double>(live.Length);
    if (frameCount <= 0) {
        drawn = false;
        return 0;
    }
    std::int64_t frame = roundHalfEven(static_cast<double>(frameCount * cursor / length));
    if (frame > frameCount || frame < 0) {
        if (snapshot.Reversing) {
            frame = std::max<std::int32_t>(live.ReverseFrame, 1);
        } else if (snapshot.Started) {
            // Just started outside the clip: the frame of the in point.
            frame = roundHalfEven(static_cast<double>(frameCount * snapshot.InPoint / length));
            frame = std::clamp<std::int64_t>(frame, 0, frameCount - 1);
        } else {
            drawn = false;
            return 0;
        }
    }
    if (frame >= frameCount) {
        frame = frameCount - 1;
    }
    const_cast<FrameClock*>(this)->m_shownFrame.at(static_cast<std::size_t>(slot))
        = static_cast<std::int32_t>(frame);
    return frame;
}

// A slot is acknowledged once no worker of it is still at work: what closes its source or
// frees its effect waits for that.
void FrameClock::acknowledgeFrames()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const auto& worker = m_workers.at(static_cast<std::size_t>(slot));
        m_performance.slot(slot).FrameAck = !worker || !worker->busy();
    }
}

void FrameClock::copyEngineFields(int slot)
{
    const TPlayAvistruct& live = m_performance.slot(slot);
    TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
    snapshot.CurrentFrame = live.CurrentFrame;
    snapshot.Playing = live.Playing;
    snapshot.Started = live.Started;
    snapshot.Direction = live.Direction;
    snapshot.Looping = live.Looping;
    snapshot.ChopSegment = live.ChopSegment;
    snapshot.TextureDirty = live.TextureDirty;
    snapshot.Reversing = live.Reversing;
    snapshot.ReverseFrame = live.ReverseFrame;
    snapshot.AudioPosition = live.AudioPosition;
    snapshot.AdvanceTick = live.AdvanceTick;
}

// A slot whose worker is late is drawn with the picture it showed before; a result that
// comes late is drawn when it has come, and its worker goes on at once with this tick's frame.
void FrameClock::drawSlots(const LayerStack::Order& order, const Passes& passes, WorkerWait wait)
{
    const auto firstWait = std::chrono::steady_clock::now();
    double decode = 0.0;
    double processing = 0.0;
    double upload = 0.0;
    int count = 0;
    for (const int slot : order) {
        const SlotPass& pass = passes.at(static_cast<std::size_t>(slot));
        SlotWorker& worker = *m_workers.at(static_cast<std::size_t>(slot));
        // A worker late already on a tick before is not waited for at all: its result is
        // taken if it has come.
        auto deadline = firstWait;
        if (pass.started) {
            deadline = wait == WorkerWait::EveryWorker
                ? std::chrono::steady_clock::now() + kWorkerTimeout
                : firstWait + kLateWorkerBound;
        }
        WorkerResult result;
        // A slot no longer drawn still has a late result collected (and dropped) once it has
        // come, so that its worker is free and the slot can be acknowledged.
        const bool collected = worker.collect(deadline, result);
        copyEngineFields(slot);
        const TPlayAvistruct& snapshot = m_performance.snapshot()[slot];
        if (!pass.drawn) {
            continue;
        }
        if (!collected) {
            m_renderer->DrawSlotAgain(slot, snapshot);
            continue;
        }
        if (result.pixels == nullptr) {
            continue;
        }
        decode += result.decodeMs;
        processing += result.processingMs;
        const auto started = std::chrono::steady_clock::now();
        m_renderer->DrawSlotFrame(slot, snapshot, result.pixels, result.header);
        upload += Milliseconds(std::chrono::steady_clock::now() - started).count();
        ++count;
        if (!pass.started) {
            const TPlayAvistruct& live = m_performance.slot(slot);
            worker.start(live.CurrentFrame, live.FFenable);
        }
    }
    if (count > 0) {
        const int decodeMean = meanOf(decode, count);
        const int processingMean = meanOf(processing, count);
        const int uploadMean = meanOf(upload, count);
        m_performance.mainThread().post([this, decodeMean, processingMean, uploadMean] {
            m_monitor.tickDrawn(decodeMean, processingMean, uploadMean);
        });
    }
}

} // namespace oskel
