#include "playback/live_slot.h"

#include <memory>

#include "platform/live_sound_feed.h"

namespace oskel {

namespace {

// A second of sound may wait; more than a tenth of a second behind is skipped.
std::shared_ptr<LiveSoundFeed> feedFor(int rate)
{
    return std::make_shared<LiveSoundFeed>(rate, std::size_t(rate), std::size_t(rate / 10));
}

} // namespace

void connectLiveSource(
    Performance& performance, SourceInterface& sources, AudioEngine& audio, int slot)
{
    LiveSourceControl* live = sources.live(slot);
    TPlayAvistruct& record = performance.slot(slot);
    if (live == nullptr) {
        return;
    }
    auto feed = feedFor(audio.device().outputRate());
    if (record.ForwardBuffer && record.ForwardBuffer->carryLiveSound(feed)) {
        live->carrySound(feed);
    }
    // The message reaches the main thread after the slot may have been loaded again: it
    // acts only while the same source is in the slot.
    const std::weak_ptr<ClipSource> source = record.Source;
    live->onStateChange([&performance, slot, source](LiveState state, const std::string& message) {
        performance.mainThread().post([&performance, slot, source, state, message] {
            const TPlayAvistruct& now = performance.slot(slot);
            if (source.expired() || now.Source != source.lock()) {
                return;
            }
            const bool lost = state == LiveState::Lost;
            performance.SlotStatusColour(slot,
                lost              ? SlotState::Lost
                    : now.Playing ? SlotState::Playing
                                  : SlotState::Stopped);
            performance.ui().setStatusText(message);
        });
    });
}

} // namespace oskel
