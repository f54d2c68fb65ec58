#pragma once

#include <functional>
#include <string>

#include "core/audio_mailbox.h"
#include "core/global_state.h"
#include "core/layer_stack.h"
#include "core/slot_record.h"

namespace oskel {

// What the sound-buffer commands of the audio command thread work on.
struct AudioCommandContext {
    TPlayAviStructArray& slots;
    GlobalState& globals;
    LayerStack& layers;
    // Shows a text in the main window's status line; callable from any thread.
    std::function<void(std::string)> reportStatus;
};

// Audio command thread: starts the slot's buffer of its direction at the in point (forwards)
// or at the mirrored out point (backwards), with the given volume and buffer pan, looping when
// the Loop option is on; the slot is then playing and, with Layering, on top.
// Throws SoundError when a buffer refuses volume, pan or play.
void carryOutTrigger(AudioCommandContext& context, int slot, int volume, int pan);

// Audio command thread: switches the slot to the other buffer at the mirrored position, so the
// picture goes on from the same frame and the sound from the mirrored point.
void carryOutDirectionChange(AudioCommandContext& context, int slot, int direction);

// Audio command thread (or whoever stands in for it): carries out what the mailbox holds: a
// pending frequency, then a trigger, or else a direction change. A request for a slot that is
// not loaded stays pending; a request that fails is taken all the same, and its SoundError
// passes on.
void serveAudioMailbox(AudioCommandContext& context, AudioMailbox& mailbox);

} // namespace oskel
