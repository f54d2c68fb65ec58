#include "control/surface_pages.h"

#include <array>
#include <string>

#include "control/midi_parameters.h"
#include "core/slot_number.h"

namespace oskel {

namespace {

namespace p = midi_parameter;
using namespace surface_pages;

struct Cell {
    int control;
    const char* label;
    int code;
};

class PageBuilder {
public:
    PageBuilder(TAutoMapComp& surface, const MidiOptions& midi)
        : m_surface(surface)
        , m_midi(midi)
    {
    }

    int parameter(int index) const
    {
        return m_midi.controllers.at(static_cast<std::size_t>(index));
    }
    void add(int page, const std::vector<Cell>& cells, int value)
    {
        for (const Cell& cell : cells) {
            m_surface.AddState(page, cell.control, cell.code, value, cell.label);
        }
    }
    void set(int page, const std::vector<Cell>& cells, int state,
        void (TAutoMapComp::*flag)(int, int, bool, int), bool on)
    {
        for (const Cell& cell : cells) {
            (m_surface.*flag)(page, cell.control, on, state);
        }
    }

    void clipPage();
    void effectPage();
    void masterPage();

private:
    TAutoMapComp& m_surface;
    const MidiOptions& m_midi;
};

void PageBuilder::clipPage()
{
    const int page = m_surface.AddPage(2, "Clip Control");
    const auto single = [&](int control, const char* label, int code, int value) {
        add(page, { { control, label, code } }, value);
    };
    single(23, "Volume", parameter(p::kClipVolume), 0);
    single(22, "Opacity", parameter(p::kOpacity), 127);
    single(21, "Luma", parameter(p::kLumaKeyLevel), 127);
    single(20, "L Blend", parameter(p::kLumaBlend), 66);
    single(19, "Speed", 250, 0);
    m_surface.SetAbsolute(page, 19, false, 0);
    single(18, "OutPoint", parameter(p::kOutPoint), 0);
    single(17, "In Point", parameter(p::kInPoint), 0);
    single(16, "FF Wet", parameter(p::kEffectWetDry), 127);
    m_surface.SetVisible(page, 16, false, 0); // shown while the slot has a plug-in
    const std::vector<Cell> switches { { 40, "FF", 401 }, { 41, "CHOP", 404 }, { 42, "SYNC", 402 },
        { 43, "BPM", 400 }, { 44, "RESYNC", 405 }, { 45, "Inv Luma", 406 }, { 46, "3D", 403 },
        { 47, "Mute", 407 } };
    const std::vector<Cell> transport { { 72, "Backward", 300 }, { 73, "Forward", 301 },
        { 74, "Stop", 302 }, { 75, "Play", 303 } };
    const std::vector<Cell> tempo { { 48, "BMP Tap", parameter(p::kBpmTap) },
        { 49, "GblSync", parameter(p::kGlobalSync) } };
    add(page, switches, 0);
    add(page, transport, 0);
    add(page, tempo, 1);
    for (const auto* cells : { &switches, &transport, &tempo }) {
        set(page, *cells, 0, &TAutoMapComp::SetToggle, true);
    }
}

void PageBuilder::effectPage()
{
    const int page = m_surface.AddPage(1, "Effect Control");
    const std::vector<Cell> twoD { { 8, "2D Size", 508 }, { 9, "2D Width", 509 },
        { 10, "2D Heght", 510 }, { 11, "2D Aspct", parameter(p::kAspectRatio) },
        { 12, "2D X Pos", parameter(p::kXMovement) }, { 13, "2D Y Pos", parameter(p::kYMovement) },
        { 14, "not used", -1 }, { 15, "not used", -1 } };
    std::vector<Cell> threeD { { 8, "3D Size", 0 }, { 9, "3D XRot", 0 }, { 10, "3D YRot", 0 },
        { 11, "3D ZRot", 0 }, { 12, "3D HAry", 0 }, { 13, "3D VAry", 0 }, { 14, "3D Space", 0 },
        { 15, "not used", -1 } };
    for (int k = 0; k < 7; ++k) {
        threeD[static_cast<std::size_t>(k)].code = parameter(p::kSize3D + k);
    }
    static constexpr std::array<const char*, 8> kEffectLabels { "FF 1", "FF 2", "FF 3", "FF 4",
        "FF 5", "FF 6", "FF 7", "FF 8" };
    std::vector<Cell> effect;
    for (int k = 0; k < 8; ++k) {
        effect.push_back({ 8 + k, kEffectLabels[static_cast<std::size_t>(k)],
            parameter(p::kFirstEffectParameter + k) });
    }
    for (int step = 0; step < 3; ++step) {
        const auto& cells = step == 0 ? twoD : (step == 1 ? threeD : effect);
        add(page, cells, 0);
        set(page, cells, step, &TAutoMapComp::SetAbsolute, false);
    }
    for (const int hidden : { 14, 15 }) {
        m_surface.SetVisible(page, hidden, false, 0);
    }
    m_surface.SetVisible(page, 15, false, 1);
    set(page, effect, 2, &TAutoMapComp::SetVisible, false); // until the plug-in names them

    const std::vector<Cell> looks { { 32, "Norm", 500 }, { 33, "Add", 501 }, { 34, "CS Off", 502 },
        { 35, "CS RG", 503 }, { 36, "CS RB", 504 }, { 37, "CS GB", 505 }, { 38, "Matte", 506 } };
    add(page, looks, 0);
    set(page, looks, 0, &TAutoMapComp::SetToggle, true);

    static constexpr std::string_view kUpper = "QWERTYUI";
    static constexpr std::string_view kLower = "ASDFGHJK";
    static constexpr std::array kUpperTriggers { 701, 705, 708, 712, 715, 718, 722, 725 };
    static constexpr std::array kLowerTriggers { 703, 706, 710, 713, 717, 720, 724, 727 };
    std::array<std::string, 32> labels;
    for (int row = 0; row < 2; ++row) {
        std::vector<Cell> pads;
        std::vector<Cell> selects;
        for (int k = 0; k < 8; ++k) {
            const auto at = static_cast<std::size_t>(k);
            const char letter = (row == 0 ? kUpper : kLower)[at];
            std::string& trigger = labels[static_cast<std::size_t>(row * 16 + k)];
            std::string& select = labels[static_cast<std::size_t>(row * 16 + 8 + k)];
            trigger = std::string(1, letter) + " Trig";
            select = std::string(1, letter) + " Sel";
            pads.push_back(
                { 56 + k, trigger.c_str(), (row == 0 ? kUpperTriggers : kLowerTriggers)[at] });
            selects.push_back({ 24 + k, select.c_str(), 201 + 2 * k + row });
        }
        add(page, pads, 0);
        add(page, selects, 0);
        set(page, pads, row, &TAutoMapComp::SetRedraw, false);
        set(page, selects, row, &TAutoMapComp::SetRedraw, false);
        set(page, selects, row, &TAutoMapComp::SetVisible, false);
    }
    // Every control back on its first step, as its section's step says.
    for (int control = 0; control < surface::kControlCount; ++control) {
        m_surface.SetCurrentState(page, control, 0);
    }
}

void PageBuilder::masterPage()
{
    const int page = m_surface.AddPage(2, "Master Controls");
    const std::vector<Cell> faders { { 23, "Mst Vol", parameter(p::kGlobalVolume) },
        { 22, "Trails", 601 }, { 21, "X Fade", 600 }, { 20, "ScratchB", 606 },
        { 19, "ScratchA", 605 } };
    const std::vector<Cell> switches { { 47, "Mst Mute", 602 }, { 46, "Trails", 604 },
        { 45, "X Fade", 603 } };
    add(page, faders, 0);
    set(page, faders, 0, &TAutoMapComp::SetAbsolute, false);
    add(page, switches, 0);
    set(page, switches, 0, &TAutoMapComp::SetToggle, true);
}

} // namespace

void buildSurfacePages(TAutoMapComp& surface, const MidiOptions& midi)
{
    surface.setPaging(false, false);
    surface.clearPages();
    PageBuilder builder(surface, midi);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        builder.clipPage();
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        builder.effectPage();
    }
    builder.masterPage();
}

} // namespace oskel
