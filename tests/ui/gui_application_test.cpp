// The program with its windows, from start-up to the close that ends it.
#include <QCoreApplication>
#include <QTimer>
#include <thread>

#include "ui/gui_application.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

struct Calls {
    int starts = 0;
    int activations = 0;
    int shutDowns = 0;
    int tasksServed = 0;
};

// The test instrument as the program runs it: once activated, another thread hands the main
// thread a task that asks for the close, as a signal that ends the program would.
class ClosingInstrument : public GuiInstrument {
public:
    ClosingInstrument(GuiServices& services, Calls& calls)
        : m_services(services)
        , m_instrument(services.ui, services.mainThread)
        , m_calls(calls)
    {
    }
    void start() override { ++m_calls.starts; }
    void activate() override
    {
        ++m_calls.activations;
        m_services.displayPanelSurface();
        std::thread([this] {
            m_services.mainThread.post([this] {
                ++m_calls.tasksServed;
                m_services.requestClose();
            });
        }).join();
    }
    WindowLinks links() override
    {
        return m_instrument.links(
            m_services.previews, [] { return 0u; }, [this] { ++m_calls.shutDowns; }, {});
    }

private:
    GuiServices& m_services;
    TestInstrument m_instrument;
    Calls& m_calls;
};

TEST(GuiApplicationTest, StartsActivatesOnceShownAndShutsDownOnClose)
{
    Calls calls;
    // Should the main thread's queue not be served, the loop ends here instead.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    deadline.start(10000);
    const int exitCode = runWindows([&calls](GuiServices& services) {
        return std::make_unique<ClosingInstrument>(services, calls);
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(calls.starts, 1);
    EXPECT_EQ(calls.activations, 1);
    EXPECT_EQ(calls.shutDowns, 1);
    EXPECT_EQ(calls.tasksServed, 1);
}

TEST(GuiApplicationTest, AnInstrumentThatCannotBeMadeEndsTheProgram)
{
    EXPECT_EQ(runWindows([](GuiServices&) { return std::unique_ptr<GuiInstrument>(); }), 1);
}

} // namespace
} // namespace oskel::test
