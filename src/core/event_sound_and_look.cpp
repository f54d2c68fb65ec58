// The event processor's sound levels and looks: volume, mute, pan, master volume, the A/B
// crossfade, transparency and luma.
#include "core/control_names.h"
#include "core/event_processor.h"
#include "core/pan_law.h"
#include "core/slot_geometry.h"
#include "core/slot_rules.h"
#include "core/slot_sound.h"
#include "platform/sound_device.h"

namespace oskel {

void EventProcessor::volume(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (!slot.Mute) {
        setBothVolumes(slot, event.Value);
    }
    slot.Volume = event.Value;
    if (isInspected(event.Slot)) {
        show(control::kVolume, static_cast<std::int64_t>(event.Value));
    }
}

void EventProcessor::mute(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    slot.Mute = true;
    setBothVolumes(slot, kMutedVolume);
}

void EventProcessor::unmute(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    slot.Mute = false;
    setBothVolumes(slot, slot.Volume);
}

void EventProcessor::pan(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (!slot.Mute) {
        setBothPans(slot, event.Value);
    }
    slot.Balance = event.Value2;
}

void EventProcessor::masterVolume(const TSlotEvent& event)
{
    GlobalState& globals = m_performance.globals();
    globals.masterVolume = event.Value;
    if (m_sound != nullptr) {
        m_sound->setMasterVolume(globals.masterMuted ? 0 : event.Value);
    }
    show(control::kMasterVolume, static_cast<std::int64_t>(event.Value));
}

void EventProcessor::crossfade(const TSlotEvent& event)
{
    const int p = event.Value;
    const int sideA = event.Slot;
    const int sideB = event.Value2;
    const GlobalState& globals = m_performance.globals();
    // Volumes beyond silence are out of range and dropped, so a side keeps its last level.
    const auto sendVolume = [this](int slot, std::int64_t level) {
        if (slot != 0 && level >= kSilentVolume) {
            send(31, static_cast<std::int32_t>(level), 0, slot);
        }
    };
    const auto sendOpacity = [this](int slot, int level) {
        if (slot != 0) {
            send(34, level, 0, slot);
        }
    };
    if (globals.CrossfadeAudio) {
        if (sideA == sideB) {
            sendVolume(sideA, 0);
        } else {
            sendVolume(sideA, crossfadeVolumeA(p));
            sendVolume(sideB, crossfadeVolumeB(p));
        }
    }
    if (globals.CrossfadeVideo) {
        if (sideA == sideB) {
            sendOpacity(sideA, 0);
        } else {
            sendOpacity(sideA, p);
            sendOpacity(sideB, 255 - p);
        }
    }
}

void EventProcessor::transparency(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    slot.AlphaLevel = event.Value;
    slot.Alpha = alphaInForce(event.Value);
    m_performance.ui().setOpacityBar(event.Slot, event.Value);
    if (isInspected(event.Slot)) {
        show(control::kOpacity, static_cast<std::int64_t>(event.Value));
    }
}

void EventProcessor::lumaBlend(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (slot.LumaBlendLevel != event.Value) {
        slot.LumaBlendLevel = event.Value;
    }
}

void EventProcessor::lumaKeyLevel(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (slot.LumaKeyLevel != event.Value) {
        slot.LumaKeyLevel = event.Value;
        const bool on = lumaKeyInForce(event.Value, slot.InverseLuma);
        if (on != slot.LumaKey) {
            slot.LumaKey = on;
            slot.TextureDirty = true;
        }
        if (isInspected(event.Slot)) {
            show(control::kLumaKeyLevel, static_cast<std::int64_t>(event.Value));
        }
    }
    m_performance.ui().setLumaBar(event.Slot, event.Value);
}

} // namespace oskel
