#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control/automap_comp.h"
#include "control/midi_ports.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

// The control surface as the instrument has it: the translation the MIDI interpreter asks
// for, the codes that act on the surface itself, the pages of the slot the performer works
// on, and the values the surface shows kept up with the performance, whoever changed them.
// Main thread.
class ControlSurface : public ControlSurfacePort {
public:
    struct Links {
        Performance& performance;
        EventSink& events;
        MidiOutQueue& output;
        TAutoMapComp::Wait wait;
        // The names of the parameters of the slot's effect plug-in, in order; none: the
        // effect knobs stay hidden.
        std::function<std::vector<std::string>(int slot)> effectParameterNames = {};
    };

    explicit ControlSurface(Links links);

    bool active() const override { return m_surface.Active(); }
    int translate(std::uint16_t status, std::uint16_t data1, std::uint16_t data2) override;
    void carryOut(int code, int slot, int value) override;
    void inspectorPageChosen(std::string_view page, int slot) override;

    // Starts the surface on the output device of that name, builds its pages and shows slot
    // 1's faders and pads; the status line says how it went. False when it did not start.
    bool start(const std::string& device);
    // Takes it off line; false when it was not running.
    bool stop();
    // The surface follows the slot the performer works on: its two pages, and on the effect
    // page's select section, the clip's own display.
    void showSlot(int slot);
    // The clips of a load are ready to draw.
    void patchLoaded();
    // Each turn of the main loop: every value that changed is shown on its control.
    void refresh();

    TAutoMapComp& surface() { return m_surface; }

private:
    struct Shown {
        int page;
        int control;
        int state;
        int value;
    };
    std::vector<Shown> valuesNow() const;
    void showClip(int slot);
    void showNoPlugin(int slot);
    void alternatePages(int slot);
    void setAndRefresh(int page, int control, int value);
    void showEffectKnobs(int slot);

    Links m_links;
    TAutoMapComp m_surface;
    std::vector<Shown> m_shown;
    std::vector<bool> m_effectShown;
    std::vector<std::string> m_effectFiles; // the plug-in each slot's knobs are labelled for
    bool m_masterChosen = false;
};

} // namespace oskel
