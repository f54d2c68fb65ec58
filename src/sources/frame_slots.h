#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "sources/decoded_media.h"

namespace oskel {

// Where the streaming source's decode thread and the slot's worker meet: three frame slots
// (current, ready and latest), the lock that guards their exchange, and the FrameWanted and
// FrameArrived signals.
//
// current belongs to the decode thread, ready to the worker; latest passes between them under
// the lock. The decode thread fills current and swaps it with latest; the worker only swaps
// latest with ready. So neither ever touches a buffer that the other is reading or filling.
class FrameSlots {
public:
    // A time no request can match: a slot that has never held a frame.
    static constexpr double kNoFrame = -1.0e9;

    struct Slot {
        std::vector<std::uint8_t> pixels;
        double time = kNoFrame;
        int width = 0;
        int height = 0;
    };

    // Called when nothing runs on the decode thread: black pictures of the given size in all
    // three slots, no frame yet, no request, not closing.
    void reset(int width, int height);

    // --- The worker's side (or the main thread while the worker is idle).

    // The ready slot: the worker's own, stable until its next take.
    const Slot& ready() const { return m_ready; }
    double latestTime() const;
    // When the latest slot's time lies strictly between low and high, swaps it with the ready
    // slot and asks for the next frame. Check and swap are one step under the lock.
    bool takeLatestBetween(double low, double high);
    // Sets FrameWanted: the decode thread may deliver its next frame.
    void requestFrame();
    void resetArrived();
    // Waits until a frame has arrived since the last reset. False on time-out and when
    // closing.
    bool waitArrived(std::chrono::milliseconds timeout);
    // Sets FrameWanted, resets FrameArrived and runs `postSeek` in one step under the lock,
    // so that a delivery racing with the seek either lands before it or is dropped.
    void requestSeek(const std::function<void()>& postSeek);

    void setClosing();
    bool closing() const { return m_closing.load(); }
    void setSequential(bool on) { m_sequential = on; }
    bool sequential() const { return m_sequential.load(); }
    // The time of the stream's first frame as it was delivered, when that is not zero; else 0.
    double seekLimit() const { return m_seekLimit.load(); }

    // --- The decode thread's side.

    void setSeekLimit(double seconds) { m_seekLimit = seconds; }
    // Waits until FrameWanted is set. False when `timeout` passes first, when closing, or when
    // `drop` becomes true (it is checked under the lock, and notify() wakes the wait).
    bool waitUntilWanted(std::chrono::milliseconds timeout, const std::function<bool()>& drop);
    // Copies `frame` into the current slot with the time `time`, then under the lock swaps it
    // with latest, clears FrameWanted and sets FrameArrived. Does nothing when closing or when
    // `drop` is true.
    bool deliver(const DecodedFrame& frame, double time, const std::function<bool()>& drop);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wantedChanged;
    std::condition_variable m_arrivedChanged;
    Slot m_current;
    Slot m_ready;
    Slot m_latest;
    bool m_frameWanted = false;
    bool m_frameArrived = false;
    std::atomic<bool> m_closing { false };
    std::atomic<bool> m_sequential { false };
    std::atomic<double> m_seekLimit { 0.0 };
};

} // namespace oskel
