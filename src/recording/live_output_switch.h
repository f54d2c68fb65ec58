#pragma once

#include <atomic>
#include <string>

#include "core/main_thread_dispatcher.h"
#include "core/user_interface_port.h"

namespace oskel {

// A live output that follows a control (a stream, a virtual camera): started and stopped on
// the main thread as the control changes. An output that cannot start, or that fails on its
// own thread, is told to the performer once and is not tried again until the control is
// switched off and on or its target (an address, a device) changes; a running output whose
// target changes goes to the new one.
class LiveOutputSwitch {
public:
    virtual ~LiveOutputSwitch() = default;
    LiveOutputSwitch(const LiveOutputSwitch&) = delete;
    LiveOutputSwitch& operator=(const LiveOutputSwitch&) = delete;

    // Each turn of the main thread's loop.
    void mainLoopTurn();
    // Main thread: the output ends, if it runs.
    virtual void stop() = 0;

protected:
    LiveOutputSwitch(MainThreadDispatcher& mainThread, UserInterfacePort& ui)
        : m_mainThread(mainThread)
        , m_ui(ui)
    {
    }

    // Whether the control is on, and where the output should go.
    virtual bool wanted() const = 0;
    virtual std::string target() const = 0;
    virtual bool running() const = 0;
    // Starts the output to `target`; false when it cannot, the reason told (see tell).
    virtual bool start(const std::string& target) = 0;

    // Any thread (the output's own when it fails there): tells the performer, on the main
    // thread, which outlives the output; the output is then stopped at the next turn.
    void fail(const std::string& message);
    // Main thread: tells the performer at once.
    void tell(const std::string& message) { m_ui.showMessage(message); }

private:
    MainThreadDispatcher& m_mainThread;
    UserInterfacePort& m_ui;
    std::atomic<bool> m_failed = false;
    bool m_gaveUp = false;
    std::string m_target; // of the output last started
};

} // namespace oskel
