#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace oskel {

// The pictures of a live source between its decode thread and the slot's worker: three
// frames of a fixed size, so that the decode thread always has one to write, the worker
// keeps the one it reads, and the newest finished one waits between them. Neither side
// waits nor allocates. The frames start black.
class LiveFrames {
public:
    LiveFrames(int width, int height);
    LiveFrames(const LiveFrames&) = delete;
    LiveFrames& operator=(const LiveFrames&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t frameBytes() const { return m_frameBytes; }

    // Decode thread: the frame to write next, then hands it over as the newest.
    std::uint8_t* back() { return m_frames[m_back].get(); }
    void publish();

    // Worker thread: the newest frame handed over, or the one read before when nothing new
    // came; valid until the next call.
    const std::uint8_t* take();
    // Any thread: how many frames have been handed over.
    std::uint64_t published() const { return m_published.load(std::memory_order_relaxed); }

private:
    static constexpr int kFresh = 4;

    const int m_width;
    const int m_height;
    const std::size_t m_frameBytes;
    std::array<std::unique_ptr<std::uint8_t[]>, 3> m_frames;
    int m_back = 0; // decode thread's
    int m_front = 1; // worker's
    std::atomic<int> m_middle { 2 }; // index, with kFresh while not yet taken
    std::atomic<std::uint64_t> m_published { 0 };
};

} // namespace oskel
