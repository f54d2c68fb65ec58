#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace oskel::test {

// Whether `condition` came true within `most`, asked every few milliseconds.
inline bool waitUntil(const std::function<bool()>& condition, std::chrono::seconds most)
{
    const auto deadline = std::chrono::steady_clock::now() + most;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace oskel::test
