#include <vector>

#include <gtest/gtest.h>

#include "persistence/main_thread_timer.h"

namespace oskel {
namespace {

TEST(MainThreadTimer, AOneShotTimerFiresOnceAtItsDueTime)
{
    MainThreadTimers clock;
    std::vector<std::int64_t> fired;
    MainThreadTimer timer(clock, TimerRepeat::OneShot, [&] { fired.push_back(clock.now()); });
    timer.setInterval(8000);
    clock.advanceTo(500);
    timer.start();
    clock.advanceBy(7999);
    EXPECT_TRUE(fired.empty());
    clock.advanceBy(1);
    EXPECT_EQ(fired, std::vector<std::int64_t> { 8500 });
    EXPECT_FALSE(timer.running());
    clock.advanceBy(100000);
    EXPECT_EQ(fired.size(), 1U);
}

TEST(MainThreadTimer, ARepeatingTimerThatFellBehindFiresOnceAndKeepsItsRhythm)
{
    MainThreadTimers clock;
    int fired = 0;
    MainThreadTimer timer(clock, TimerRepeat::Repeating, [&] { ++fired; });
    timer.setInterval(1000);
    timer.start();
    clock.advanceBy(1000);
    clock.advanceBy(1000);
    EXPECT_EQ(fired, 2);
    clock.advanceBy(3500); // the event loop was held up past three ticks
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(clock.nextDue(), 6000);
    timer.stop();
    clock.advanceBy(10000);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(clock.nextDue(), std::nullopt);
}

TEST(MainThreadTimer, ATimerStartedByAnotherCountsFromTheMomentThatOneFired)
{
    MainThreadTimers clock;
    std::vector<std::pair<char, std::int64_t>> fired;
    MainThreadTimer second(
        clock, TimerRepeat::OneShot, [&] { fired.emplace_back('b', clock.now()); });
    MainThreadTimer first(clock, TimerRepeat::OneShot, [&] {
        fired.emplace_back('a', clock.now());
        second.start();
    });
    first.setInterval(100);
    second.setInterval(50);
    first.start();
    clock.advanceTo(1000);
    EXPECT_EQ(fired, (std::vector<std::pair<char, std::int64_t>> { { 'a', 100 }, { 'b', 150 } }));
    EXPECT_EQ(clock.now(), 1000);
}

TEST(MainThreadTimer, ChangingTheIntervalOfARunningTimerCountsAgainFromNow)
{
    MainThreadTimers clock;
    MainThreadTimer timer(clock, TimerRepeat::Repeating, [] {});
    timer.setInterval(1000);
    timer.start();
    clock.advanceBy(900);
    timer.setInterval(0); // taken as 1 ms: a zero interval would never let the clock move on
    EXPECT_EQ(clock.nextDue(), 901);
    timer.setInterval(60000);
    EXPECT_EQ(clock.nextDue(), 60900);
}

} // namespace
} // namespace oskel
