#include "platform/null_sound_device.h"

#include <algorithm>
#include <span>

#include "platform/output_frame_counter.h"

namespace oskel {

namespace {

// After a stall longer than this (a suspended process) the clock starts afresh instead of
// racing through the missed time.
constexpr std::chrono::seconds kLongestCatchUp { 1 };

} // namespace

NullSoundDevice::NullSoundDevice(int outputRate, std::chrono::milliseconds period)
    : MixingSoundDevice(outputRate)
    , m_period(std::max(period, std::chrono::milliseconds(1)))
    , m_block((std::size_t(outputRate) * std::size_t(m_period.count()) / 1000 + 1) * 2)
{
}

NullSoundDevice::~NullSoundDevice()
{
    stop();
}

std::string NullSoundDevice::description() const
{
    return "No sound card: silent output, " + std::to_string(outputRate()) + " Hz";
}

void NullSoundDevice::start()
{
    if (!m_thread.joinable()) {
        m_thread = std::jthread([this](std::stop_token stopToken) { run(stopToken); });
    }
}

void NullSoundDevice::stop()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void NullSoundDevice::run(std::stop_token stopToken)
{
    using Clock = std::chrono::steady_clock;
    OutputFrameCounter counter(outputRate());
    auto deadline = Clock::now();
    std::unique_lock lock(m_sleepMutex);
    while (!stopToken.stop_requested()) {
        deadline += m_period;
        m_sleep.wait_until(lock, stopToken, deadline, [] { return false; });
        if (stopToken.stop_requested()) {
            break;
        }
        const std::int64_t frames = counter.framesFor(m_period.count());
        mixer().mix(std::span<float>(m_block.data(), std::size_t(frames) * 2));
        if (Clock::now() - deadline > kLongestCatchUp) {
            deadline = Clock::now();
        }
    }
}

} // namespace oskel
