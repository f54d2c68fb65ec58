#pragma once

#include <filesystem>

#include "core/effect_port.h"
#include "core/engine_ports.h"
#include "core/global_state.h"
#include "core/layer_stack.h"
#include "core/main_thread_dispatcher.h"
#include "core/options.h"
#include "core/slot_event.h"
#include "core/slot_record.h"
#include "core/user_interface_port.h"

namespace oskel {

// Lost: a live source whose camera or stream is gone, being reached again.
enum class SlotState { Stopped = 0, Playing = 1, SyncMuted = 2, SyncShown = 3, Lost = 4 };

// The one owner of the performance state: the live slot array and its snapshot, the global
// options, the layer stack and the options of the subsystems. It hands references to the
// subsystems and carries out the slot operations that are not performance events. Runs on
// the main thread unless a method says otherwise.
class Performance {
public:
    Performance(UserInterfacePort& ui, MainThreadDispatcher& mainThread);
    Performance(const Performance&) = delete;
    Performance& operator=(const Performance&) = delete;

    TPlayAviStructArray& slots() { return m_live; }
    const TPlayAviStructArray& slots() const { return m_live; }
    TPlayAvistruct& slot(int number) { return m_live[number]; }
    TPlayAviStructArray& snapshot() { return m_snapshot; }
    GlobalState& globals() { return m_globals; }
    const GlobalState& globals() const { return m_globals; }
    Options& options() { return m_options; }
    const Options& options() const { return m_options; }
    LayerStack& layerStack() { return m_layerStack; }
    const LayerStack& layerStack() const { return m_layerStack; }
    UserInterfacePort& ui() { return m_ui; }
    MainThreadDispatcher& mainThread() { return m_mainThread; }

    // The later layers plug in here; until they do, slots unload at once, moves go nowhere
    // and the renderer is not told.
    void setPlaybackThreads(PlaybackThreads* threads) { m_threads = threads; }
    void setEventSink(EventSink* events) { m_events = events; }
    void setRenderer(RendererPort* renderer) { m_renderer = renderer; }
    // The effect host; without one, effects are refused.
    void setEffects(EffectControlPort* effects) { m_effects = effects ? effects : &m_noEffects; }
    EffectControlPort& effects() { return *m_effects; }
    const EffectControlPort& effects() const { return *m_effects; }

    // Copies the sixteen live records into the snapshot. Allocation-free.
    void copyLiveToSnapshot();

    void resetAllSlots(bool keepSettings);
    // Closes the slot's clip and resets it. When the frame thread may be drawing the slot,
    // waits for it to finish its pass, serving the main thread's queue meanwhile.
    void UnloadSlot(int slot, bool keepSettings);
    bool CopyParams(int sourceSlot, int targetSlot);

    void selectSlot(int slot);
    // "Additive" drawing of a slot, through the renderer when there is one.
    void setSlotBurn(int slot, bool burn);
    void SlotStatusColour(int slot, SlotState state);
    // Any thread (the audio command thread calls it after starting a slot).
    bool bringToFront(int slot) { return m_layerStack.bringToFront(slot); }
    void CentreSlot(int slot);
    void CentreAllSlots();

    // Loads an 8-bit greyscale BMP as the slot's stencil mask, scaled to the clip's size.
    // Shows the reason and returns false when the file is refused.
    bool LoadStencil(int slot, const std::filesystem::path& path);

private:
    void waitForFrameAck(TPlayAvistruct& record);
    void closeSource(TPlayAvistruct& record);

    UserInterfacePort& m_ui;
    MainThreadDispatcher& m_mainThread;
    PlaybackThreads* m_threads = nullptr;
    EventSink* m_events = nullptr;
    RendererPort* m_renderer = nullptr;
    EffectControlPort m_noEffects;
    EffectControlPort* m_effects = &m_noEffects;

    TPlayAviStructArray m_live;
    TPlayAviStructArray m_snapshot;
    GlobalState m_globals;
    LayerStack m_layerStack;
    Options m_options;
};

} // namespace oskel
