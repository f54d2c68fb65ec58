#pragma once

#include <atomic>
#include <cstdint>

namespace oskel {

// The performance monitor's figures over a stretch of time: how many ticks drew, and their
// mean decode, processing and upload-and-draw times in milliseconds.
struct TickFigures {
    std::int64_t ticks = 0;
    double decodeMs = 0.0;
    double processingMs = 0.0;
    double uploadMs = 0.0;
};

// Collects the figures of each drawn tick on the frame thread, without locks or allocation,
// and hands them over to any thread.
class TickFigureCounter {
public:
    void add(int decodeMs, int processingMs, int uploadMs)
    {
        m_decode.fetch_add(decodeMs, std::memory_order_relaxed);
        m_processing.fetch_add(processingMs, std::memory_order_relaxed);
        m_upload.fetch_add(uploadMs, std::memory_order_relaxed);
        m_ticks.fetch_add(1, std::memory_order_release);
    }

    // The figures since the last call; a tick counted while this runs may fall on either side.
    TickFigures take()
    {
        const std::int64_t ticks = m_ticks.exchange(0, std::memory_order_acquire);
        const auto mean = [ticks](std::atomic<std::int64_t>& sum) {
            const std::int64_t total = sum.exchange(0, std::memory_order_relaxed);
            return ticks > 0 ? static_cast<double>(total) / static_cast<double>(ticks) : 0.0;
        };
        TickFigures figures;
        figures.ticks = ticks;
        figures.decodeMs = mean(m_decode);
        figures.processingMs = mean(m_processing);
        figures.uploadMs = mean(m_upload);
        return figures;
    }

private:
    std::atomic<std::int64_t> m_ticks = 0;
    std::atomic<std::int64_t> m_decode = 0;
    std::atomic<std::int64_t> m_processing = 0;
    std::atomic<std::int64_t> m_upload = 0;
};

} // namespace oskel
