#include "sources/frame_slots.h"

#include <utility>

namespace oskel {

namespace {

void makeBlack(FrameSlots::Slot& slot, int width, int height)
{
    slot.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3U, 0);
    slot.width = width;
    slot.height = height;
    slot.time = FrameSlots::kNoFrame;
}

} // namespace

void FrameSlots::reset(int width, int height)
{
    std::lock_guard lock(m_mutex);
    makeBlack(m_current, width, height);
    makeBlack(m_ready, width, height);
    makeBlack(m_latest, width, height);
    m_frameWanted = false;
    m_frameArrived = false;
    m_closing = false;
    m_sequential = false;
    m_seekLimit = 0.0;
}

double FrameSlots::latestTime() const
{
    std::lock_guard lock(m_mutex);
    return m_latest.time;
}

bool FrameSlots::takeLatestBetween(double low, double high)
{
    std::lock_guard lock(m_mutex);
    if (!(low < m_latest.time && m_latest.time < high)) {
        return false;
    }
    std::swap(m_ready, m_latest);
    m_frameWanted = true;
    m_wantedChanged.notify_all();
    return true;
}

void FrameSlots::requestFrame()
{
    std::lock_guard lock(m_mutex);
    m_frameWanted = true;
    m_wantedChanged.notify_all();
}

void FrameSlots::resetArrived()
{
    std::lock_guard lock(m_mutex);
    m_frameArrived = false;
}

bool FrameSlots::waitArrived(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_arrivedChanged.wait_for(lock, timeout, [this] { return m_frameArrived || m_closing; });
    return m_frameArrived && !m_closing;
}

void FrameSlots::requestSeek(const std::function<void()>& postSeek)
{
    std::lock_guard lock(m_mutex);
    m_frameWanted = true;
    m_frameArrived = false;
    postSeek();
    m_wantedChanged.notify_all();
}

void FrameSlots::setClosing()
{
    std::lock_guard lock(m_mutex);
    m_closing = true;
    m_wantedChanged.notify_all();
    m_arrivedChanged.notify_all();
}

bool FrameSlots::waitUntilWanted(
    std::chrono::milliseconds timeout, const std::function<bool()>& drop)
{
    std::unique_lock lock(m_mutex);
    m_wantedChanged.wait_for(lock, timeout, [&] { return m_frameWanted || m_closing || drop(); });
    return m_frameWanted && !m_closing && !drop();
}

bool FrameSlots::deliver(const DecodedFrame& frame, double time, const std::function<bool()>& drop)
{
    // current is the decode thread's own: it is filled outside the lock.
    m_current.pixels.assign(frame.pixels.begin(), frame.pixels.end());
    m_current.width = frame.width;
    m_current.height = frame.height;
    m_current.time = time;

    std::lock_guard lock(m_mutex);
    if (m_closing || drop()) {
        return false;
    }
    std::swap(m_current, m_latest);
    m_frameWanted = false;
    m_frameArrived = true;
    m_arrivedChanged.notify_all();
    return true;
}

} // namespace oskel
