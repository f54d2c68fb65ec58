#include "playback/slot_commands.h"

#include <thread>

#include "core/slot_rules.h"
#include "core/slot_sound.h"

namespace oskel {

namespace {

void startBuffer(
    AudioCommandContext& context, TPlayAvistruct& record, SoundBuffer& buffer, int volume, int pan)
{
    setBothVolumes(record, volume);
    if (loopsWhenStarted(record, context.globals.Loop)) {
        playBuffer(buffer, true, "Could not play");
        record.Looping = true;
    } else {
        playBuffer(buffer, false, "Could not play");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        record.Looping = false;
    }
    setBothPans(record, pan);
}

// Runs an action when the scope ends, however it ends.
template <typename Action> class Finally {
public:
    explicit Finally(Action action)
        : m_action(std::move(action))
    {
    }
    ~Finally() { m_action(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    Action m_action;
};

void serveFrequency(AudioCommandContext& context, AudioMailbox& mailbox)
{
    const int slot = mailbox.FrequencySlot;
    if (mailbox.PendingFrequency <= 0 || !isValidSlot(slot) || !context.slots[slot].Loaded) {
        return;
    }
    if (const auto buffer = activeBuffer(context.slots[slot])) {
        try {
            buffer->setFrequency(mailbox.PendingFrequency);
        } catch (const SoundError&) {
            // A refused frequency leaves the speed as it was; nothing to report.
        }
    }
    mailbox.PendingFrequency = 0;
}

} // namespace

void serveAudioMailbox(AudioCommandContext& context, AudioMailbox& mailbox)
{
    serveFrequency(context, mailbox);
    if (const int slot = mailbox.TriggerSlot; slot > 0) {
        if (isValidSlot(slot) && context.slots[slot].Loaded) {
            const Finally taken([&mailbox] { mailbox.TriggerSlot = 0; });
            carryOutTrigger(context, slot, mailbox.TriggerVolume, mailbox.TriggerPan);
        }
    } else if (const int direction = mailbox.PendingDirection; direction > 0) {
        const int directionSlot = mailbox.DirectionSlot;
        const Finally taken([&mailbox] { mailbox.PendingDirection = 0; });
        if (isValidSlot(directionSlot) && context.slots[directionSlot].Loaded) {
            carryOutDirectionChange(context, directionSlot, direction);
        }
    }
}

void carryOutTrigger(AudioCommandContext& context, int slot, int volume, int pan)
{
    TPlayAvistruct& record = context.slots[slot];
    const bool forwards = record.Direction == 1;
    std::int64_t position = record.InPoint;
    if (forwards) {
        record.CurrentFrame = 0;
    } else {
        const std::int64_t outPoint = record.OutPoint;
        position = outPoint == 0 ? 0 : record.Length - outPoint;
    }
    const std::shared_ptr<SoundBuffer> buffer = activeBuffer(record);
    if (positionBuffer(buffer.get(), insideBuffer(position, record))) {
        startBuffer(context, record, *buffer, volume, pan);
    } else {
        context.reportStatus("Err: SetPos in Trigger");
    }
    record.Started = true;
    record.Playing = true;
    if (context.globals.Layering) {
        context.layers.bringToFront(slot);
    }
}

void carryOutDirectionChange(AudioCommandContext& context, int slot, int direction)
{
    TPlayAvistruct& record = context.slots[slot];
    record.ReverseFrame = record.CurrentFrame.load();
    record.Reversing = true;
    const bool toBackwards = direction == 2 && record.Direction == 1;
    const bool toForwards = direction != 0 && direction != 2 && record.Direction == 2;
    if (toBackwards || toForwards) {
        const auto& from = toBackwards ? record.ForwardBuffer : record.BackwardBuffer;
        const auto& to = toBackwards ? record.BackwardBuffer : record.ForwardBuffer;
        std::int64_t position = 0;
        if (record.Playing && from) {
            position = insideBuffer(record.Length - from->playCursor(), record);
        }
        if (!positionBuffer(to.get(), position)) {
            context.reportStatus(
                toBackwards ? "Err: BakBuf SetPos in ChDir" : "Err: FwdBuf SetPos in ChDir");
        } else {
            if (record.Playing && !record.Paused) {
                StopSlotSound(record);
                playBuffer(*to, context.globals.Loop,
                    toBackwards ? "Could not play Backwards" : "Could not play Forwards");
            }
            record.Direction = toBackwards ? 2 : 1;
        }
    }
    record.Reversing = false;
}

} // namespace oskel
