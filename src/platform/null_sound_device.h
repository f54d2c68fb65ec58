#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "platform/mixing_sound_device.h"

namespace oskel {

// Silent output for a machine without a sound card: its own thread mixes one period of
// output at each deadline of a steady clock and throws it away, so play cursors advance in
// real time exactly as they would with a card.
class NullSoundDevice final : public MixingSoundDevice {
public:
    static constexpr int kDefaultRate = 48000;
    static constexpr std::chrono::milliseconds kDefaultPeriod { 10 };

    explicit NullSoundDevice(
        int outputRate = kDefaultRate, std::chrono::milliseconds period = kDefaultPeriod);
    ~NullSoundDevice() override;

    std::string description() const override;
    // The thread that owns the device (the main thread).
    void start() override;
    void stop() override;

private:
    // The null device's own thread, real time: mixes a period's output at each deadline.
    void run(std::stop_token stopToken);

    std::chrono::milliseconds m_period;
    std::vector<float> m_block;
    std::mutex m_sleepMutex;
    std::condition_variable_any m_sleep;
    std::jthread m_thread;
};

} // namespace oskel
