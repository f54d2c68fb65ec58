#pragma once

#include <atomic>

namespace oskel {

// A field of the slot record that the playback threads write while the main thread reads it
// (or the other way round). It behaves like a plain value, but every access is atomic, so the
// record can still be copied whole into the snapshot without a lock. Stores release and loads
// acquire: a thread that sees `FrameAck` set also sees everything written before it was set.
template <typename T> class EngineValue {
    static_assert(std::atomic<T>::is_always_lock_free, "engine fields must be lock-free");

public:
    constexpr EngineValue(T value = T {}) noexcept
        : m_value(value)
    {
    }
    EngineValue(const EngineValue& other) noexcept
        : m_value(other.load())
    {
    }
    EngineValue& operator=(const EngineValue& other) noexcept
    {
        store(other.load());
        return *this;
    }
    EngineValue& operator=(T value) noexcept
    {
        store(value);
        return *this;
    }

    operator T() const noexcept { return load(); }
    T load() const noexcept { return m_value.load(std::memory_order_acquire); }
    void store(T value) noexcept { m_value.store(value, std::memory_order_release); }

private:
    std::atomic<T> m_value;
};

} // namespace oskel
