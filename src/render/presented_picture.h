#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace oskel {

// The presented output picture handed from the frame thread to a window that shows it (the
// TV-out preview): the frame thread reads each presented picture back into its own buffer and
// leaves it here; the window takes the latest when it next paints. The frame thread never
// waits for the window: while the window is taking the picture, the new one is dropped.
class PresentedPicture {
public:
    // width x height pixels of blue-green-red bytes, rows packed, top row first.
    PresentedPicture(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Frame thread, real-time path, allocation-free: `read` (bool(std::uint8_t*, std::size_t))
    // fills the buffer with the picture; nothing is kept when it fails.
    template <typename Read> void offer(Read&& read)
    {
        if (!read(m_scratch.data(), m_scratch.size())) {
            return;
        }
        publish();
    }

    // Window thread: swaps the latest picture into `picture` (resized to fit) when one came
    // since the last take; false otherwise.
    bool takeNew(std::vector<std::uint8_t>& picture);

private:
    void publish();

    int m_width;
    int m_height;
    std::mutex m_lock;
    std::vector<std::uint8_t> m_shown; // under the lock
    bool m_fresh = false; // under the lock
    std::vector<std::uint8_t> m_scratch; // the frame thread's
};

} // namespace oskel
