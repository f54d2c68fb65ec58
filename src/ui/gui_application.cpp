#include "ui/gui_application.h"

#include <QApplication>
#include <atomic>

#include "core/main_thread_dispatcher.h"
#include "playback/slot_previews.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/output_view.h"
#include "ui/output_window.h"
#include "ui/secondary_output_window.h"

namespace oskel {

namespace {

// Serves the main thread's queue from the event loop: a post from another thread schedules
// one pass, however many posts arrive before it runs.
class QueueServer : public QObject {
public:
    explicit QueueServer(MainThreadDispatcher& mainThread)
        : m_mainThread(mainThread)
    {
        m_mainThread.setWakeHandler([this] { wake(); });
    }

private:
    void wake()
    {
        if (!m_scheduled.exchange(true)) {
            QMetaObject::invokeMethod(
                this, [this] { serve(); }, Qt::QueuedConnection);
        }
    }

    void serve()
    {
        m_scheduled = false;
        m_mainThread.processPending();
    }

    MainThreadDispatcher& m_mainThread;
    std::atomic<bool> m_scheduled = false;
};

} // namespace

int runInstrumentWindows(int argc, char** argv, const GuiInstrumentMaker& makeInstrument)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Oskel 3");
    return runWindows(makeInstrument);
}

int runWindows(const GuiInstrumentMaker& makeInstrument)
{
    MainThreadDispatcher mainThread;
    QueueServer server(mainThread);
    QtDialogs dialogs(nullptr);
    InstrumentWindows windows(dialogs);
    dialogs.setOwner(&windows.mainWindow());
    mainThread.setErrorHandler([&windows](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            windows.ui().showMessage(error.what());
        } catch (...) {
            windows.ui().showMessage("An unknown error occurred");
        }
    });

    SlotPreviews previews;
    GuiServices services {
        mainThread,
        windows.ui(),
        previews,
        [&windows]() -> QWindow& { return windows.mainWindow().display().surfaceWindow(); },
        [&windows]() -> QWindow& { return windows.outputWindow().view().surfaceWindow(); },
        [&windows]() -> QWindow& { return windows.secondaryOutputWindow().view().surfaceWindow(); },
        [&windows] {
            QMetaObject::invokeMethod(&windows.mainWindow(), &QWidget::close, Qt::QueuedConnection);
        },
    };
    int exitCode = 1;
    {
        std::unique_ptr<GuiInstrument> instrument = makeInstrument(services);
        if (instrument) {
            instrument->start();
            windows.bind(instrument->links());
            windows.show([&instrument] { instrument->activate(); });
            exitCode = QApplication::exec();
            // However the loop ended, the instrument ends here, before the windows go.
            windows.shutDown();
        }
    }
    mainThread.close();
    return exitCode;
}

} // namespace oskel
