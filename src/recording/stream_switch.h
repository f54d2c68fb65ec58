#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "core/user_interface_port.h"
#include "recording/streaming_renderer.h"

namespace oskel {

// The live output streamed while the "StreamOutput" control is on, to the address the stream
// options keep: started and stopped on the main thread as the control changes. A stream that
// cannot start or that fails is told to the performer once and is not tried again until the
// control is switched off and on, so a bad address is not retried every turn. The pictures
// only: the live mixed sound does not reach the stream.
class StreamSwitch {
public:
    static constexpr int kFramesPerSecond = 25;

    StreamSwitch(const Performance& performance, StreamingRenderer& renderer,
        MainThreadDispatcher& mainThread, UserInterfacePort& ui);
    ~StreamSwitch();
    StreamSwitch(const StreamSwitch&) = delete;
    StreamSwitch& operator=(const StreamSwitch&) = delete;

    // Each turn of the main thread's loop.
    void mainLoopTurn();
    void stop();
    // "Stream: 1200 sent, 3 dropped" while a stream runs; empty otherwise.
    std::string countsText() const;

private:
    void start();
    void tell(const std::string& message);

    const Performance& m_performance;
    StreamingRenderer& m_renderer;
    MainThreadDispatcher& m_mainThread;
    UserInterfacePort& m_ui;
    std::unique_ptr<StreamOutput> m_stream;
    std::atomic<bool> m_failed = false; // set on the stream's thread
    bool m_gaveUp = false;
};

} // namespace oskel
