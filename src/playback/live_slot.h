#pragma once

#include "core/performance.h"
#include "playback/audio_engine.h"
#include "sources/source_interface.h"

namespace oskel {

// Joins a live source that has just opened in a slot with silent buffers to the slot: its
// sound goes into a feed that the slot's forward buffer plays with the slot's volume and
// pan, and when it is lost or back the slot's letter and the status line say so, once.
// Main thread.
void connectLiveSource(
    Performance& performance, SourceInterface& sources, AudioEngine& audio, int slot);

} // namespace oskel
