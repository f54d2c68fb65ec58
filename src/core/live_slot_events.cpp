#include "core/live_slot_events.h"

namespace oskel {

std::optional<std::string> liveSlotRefusal(const TSlotEvent& event)
{
    using namespace event_code;
    const std::string slot = "Slot " + std::to_string(event.Slot) + " plays a live source";
    switch (event.Code) {
    case kDirection:
        if (event.Value == 2) {
            return slot + ": it plays forwards only";
        }
        return std::nullopt;
    case kSetFrequency:
    case kFrequencyThroughAudioThread:
    case kNudgeFrequency:
        return slot + ": it plays at its own speed";
    case kInPoint:
    case kOutPoint:
        return slot + ": it has no in and out points";
    case kScratch:
        return slot + ": it has no position to scratch to";
    default:
        return std::nullopt;
    }
}

TSlotEvent liveSlotEvent(const TSlotEvent& event, const TPlayAvistruct& slot)
{
    TSlotEvent taken = event;
    if (event.Code == event_code::kTriggerAtFrequency) {
        taken.Value2 = slot.BaseFrequency;
    }
    return taken;
}

} // namespace oskel
