#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace oskel {

class MainThreadTimer;

// The clock of the main thread's timers, in milliseconds from any start. Whoever owns it moves
// it on: the application from its event loop with the time since start-up, tests by hand. A
// timer fires inside advanceTo, on the thread that calls it, never on its own.
class MainThreadTimers {
public:
    MainThreadTimers() = default;
    MainThreadTimers(const MainThreadTimers&) = delete;
    MainThreadTimers& operator=(const MainThreadTimers&) = delete;

    std::int64_t now() const { return m_now; }
    // Moves the clock to `time` and fires, in order of their due times, the timers that fall
    // due up to it; each fires with the clock at its due time, so that a timer started by
    // another's callback counts from that moment. A time before now() changes nothing.
    void advanceTo(std::int64_t time);
    void advanceBy(std::int64_t milliseconds) { advanceTo(m_now + milliseconds); }
    // When the next running timer falls due: the application may sleep until then.
    std::optional<std::int64_t> nextDue() const;

private:
    friend class MainThreadTimer;
    MainThreadTimer* firstDueBy(std::int64_t time) const;

    std::vector<MainThreadTimer*> m_timers; // in the order they were made
    std::int64_t m_now = 0;
};

enum class TimerRepeat { Repeating, OneShot };

// A timer on a MainThreadTimers clock. A one-shot timer stops itself before its callback
// runs. A repeating timer that falls behind (the event loop was held up) fires once and
// skips the ticks it missed, keeping its rhythm.
class MainThreadTimer {
public:
    MainThreadTimer(MainThreadTimers& clock, TimerRepeat repeat, std::function<void()> fire);
    ~MainThreadTimer();
    MainThreadTimer(const MainThreadTimer&) = delete;
    MainThreadTimer& operator=(const MainThreadTimer&) = delete;

    // At least 1 ms. A running timer starts counting the new interval from now.
    void setInterval(std::int64_t milliseconds);
    std::int64_t interval() const { return m_interval; }
    // Starts counting from now; a running timer starts again.
    void start();
    void stop() { m_running = false; }
    bool running() const { return m_running; }

private:
    friend class MainThreadTimers;
    void fire(std::int64_t clockTarget);

    MainThreadTimers& m_clock;
    TimerRepeat m_repeat;
    std::function<void()> m_fire;
    std::int64_t m_interval = 1000;
    std::int64_t m_due = 0;
    bool m_running = false;
};

} // namespace oskel
