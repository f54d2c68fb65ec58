#pragma once

#include "core/event_processor.h"
#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "support/fake_playback.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"

namespace oskel::test {

// A performance for the tests of a controller: the events it sends are recorded, while its
// settings of the control table are carried out by a real event processor, so that the
// values they set take effect.
struct PerformanceWithControls {
    PerformanceWithControls()
    {
        performance.setEventSink(&events);
        events.applyControlsWith(controls);
    }
    PerformanceWithControls(const PerformanceWithControls&) = delete;
    PerformanceWithControls& operator=(const PerformanceWithControls&) = delete;

    RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    RecordingEventSink events;
    AudioMailbox controlMailbox;
    FakePlayback controlPlayback;
    EventProcessor controls { performance, controlMailbox, controlPlayback };
};

} // namespace oskel::test
