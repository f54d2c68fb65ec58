// The end signals: before the program is ready to end in order they end it at once, as they
// would without it, so that no part of the start-up can make it deaf to them; after, they
// call the handler.
#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "app/quit_signals.h"

namespace oskel {
namespace {

class QuitSignalsDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

[[noreturn]] void signalAndWait(int signal)
{
    ::kill(::getpid(), signal);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    std::_Exit(0);
}

TEST_F(QuitSignalsDeathTest, BeforeTheStartASignalEndsTheProgramAtOnce)
{
    for (const int signal : { SIGTERM, SIGINT, SIGHUP }) {
        EXPECT_EXIT(
            {
                QuitSignals signals;
                signalAndWait(signal);
            },
            ::testing::ExitedWithCode(128 + signal), "")
            << signal;
    }
}

TEST_F(QuitSignalsDeathTest, AfterTheStartASignalCallsTheHandler)
{
    EXPECT_EXIT(
        {
            QuitSignals signals;
            signals.start([] { std::_Exit(7); });
            signalAndWait(SIGTERM);
        },
        ::testing::ExitedWithCode(7), "");
}

} // namespace
} // namespace oskel
