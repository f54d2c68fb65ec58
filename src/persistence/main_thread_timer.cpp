#include "persistence/main_thread_timer.h"

#include <algorithm>

namespace oskel {

void MainThreadTimers::advanceTo(std::int64_t time)
{
    if (time < m_now) {
        return;
    }
    while (MainThreadTimer* timer = firstDueBy(time)) {
        m_now = timer->m_due;
        timer->fire(time);
    }
    m_now = time;
}

std::optional<std::int64_t> MainThreadTimers::nextDue() const
{
    std::optional<std::int64_t> next;
    for (const MainThreadTimer* timer : m_timers) {
        if (timer->m_running && (!next || timer->m_due < *next)) {
            next = timer->m_due;
        }
    }
    return next;
}

MainThreadTimer* MainThreadTimers::firstDueBy(std::int64_t time) const
{
    MainThreadTimer* first = nullptr;
    for (MainThreadTimer* timer : m_timers) {
        if (timer->m_running && timer->m_due <= time && (!first || timer->m_due < first->m_due)) {
            first = timer;
        }
    }
    return first;
}

MainThreadTimer::MainThreadTimer(
    MainThreadTimers& clock, TimerRepeat repeat, std::function<void()> fire)
    : m_clock(clock)
    , m_repeat(repeat)
    , m_fire(std::move(fire))
{
    m_clock.m_timers.push_back(this);
}

MainThreadTimer::~MainThreadTimer()
{
    std::erase(m_clock.m_timers, this);
}

void MainThreadTimer::setInterval(std::int64_t milliseconds)
{
    m_interval = std::max<std::int64_t>(milliseconds, 1);
    if (m_running) {
        start();
    }
}

void MainThreadTimer::start()
{
    m_due = m_clock.now() + m_interval;
    m_running = true;
}

void MainThreadTimer::fire(std::int64_t clockTarget)
{
    if (m_repeat == TimerRepeat::OneShot) {
        m_running = false;
    } else {
        const std::int64_t missed = (clockTarget - m_due) / m_interval;
        m_due += (missed + 1) * m_interval;
    }
    m_fire();
}

} // namespace oskel
