#include "control/control_surface.h"

#include <cctype>
#include <cmath>
#include <filesystem>

#include "control/surface_pages.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "sources/live_source_name.h"

namespace oskel {

namespace {

using namespace surface_pages;

constexpr int kShowClipCode = -10;
constexpr int kEffectKnobsCode = -13;
constexpr int kMasterPageCodes[] = { -22, -23 };
constexpr int kEffectCode = 401;
constexpr int kInverseLumaCode = 406;
constexpr int kSpeedFaderCode = 250;
constexpr int kEffectStep = 2;
constexpr int kKnobSection = 3;
constexpr int kPadSection = 4;
constexpr double kTopFrequency = 200000;

int scaled(double value, double top)
{
    return static_cast<int>(roundHalfEven(std::clamp(value / top, 0.0, 1.0) * 127));
}

std::string fileNameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

} // namespace

ControlSurface::ControlSurface(Links links)
    : m_links(std::move(links))
    , m_surface(m_links.output, m_links.wait)
{
}

int ControlSurface::translate(std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
{
    return m_surface.Translate(status, data1, data2);
}

void ControlSurface::carryOut(int code, int slot, int value)
{
    if (!isValidSlot(slot)) {
        return;
    }
    const TPlayAvistruct& record = m_links.performance.slots()[slot];
    if (code == kShowClipCode) {
        showClip(slot);
    } else if (code == kEffectKnobsCode) {
        showNoPlugin(slot);
    } else if (code == kMasterPageCodes[0] || code == kMasterPageCodes[1]) {
        alternatePages(slot);
    } else if (code == kEffectCode) {
        setAndRefresh(clipPage(slot), 40, 0);
    } else if (code == kInverseLumaCode) {
        setAndRefresh(clipPage(slot), 45, record.InverseLuma ? 1 : 0);
    } else if (code == kSpeedFaderCode) {
        const auto frequency = roundHalfEven(value / 127.0 * kTopFrequency);
        setControl(m_links.events, m_links.performance,
            slotControl(controlIndex(ControlScope::Slot, "Frequency"), slot),
            static_cast<std::int32_t>(frequency));
    }
}

bool ControlSurface::start(const std::string& device)
{
    UserInterfacePort& ui = m_links.performance.ui();
    ui.setStatusText("Starting Novation Automap");
    m_surface.setDeviceOut(device);
    if (!m_surface.Start()) {
        ui.setStatusText("Failed to start Novation Automap");
        return false;
    }
    buildSurfacePages(m_surface, m_links.performance.options().midi);
    m_shown.clear();
    m_effectShown.assign(kSlotCount + 1, false);
    m_effectFiles.assign(kSlotCount + 1, std::string());
    ui.setStatusText("Novation Automap Started");
    m_surface.SelectSection(clipPage(1), 5, 0);
    m_surface.SelectSection(effectPage(1), 4, 0);
    refresh();
    return true;
}

bool ControlSurface::stop()
{
    return m_surface.Stop();
}

void ControlSurface::showSlot(int slot)
{
    if (!active() || !isValidSlot(slot)) {
        return;
    }
    m_surface.SelectPage(clipPage(slot), true);
    m_surface.SelectPage(effectPage(slot), true);
    if (m_surface.SelectedSection(effectPage(slot)) == 0) {
        showClip(slot);
    }
}

// The knob section's banks: 2D on step 0, 3D on step 1, the effect on kEffectStep; the pads
// have their own section.
void ControlSurface::inspectorPageChosen(std::string_view page, int slot)
{
    if (!active() || !isValidSlot(slot)) {
        return;
    }
    if (page == "FreeFrame") {
        m_surface.SelectSection(effectPage(slot), kKnobSection, kEffectStep);
        if (m_links.performance.slots()[slot].FFfilename.empty()) {
            m_surface.ClearDisplay(0);
            m_surface.ShowMessage(1, "No Plugin Loaded");
        }
    } else if (page == "3D") {
        m_surface.SelectSection(effectPage(slot), kKnobSection, 1);
    } else if (page == "2D") {
        m_surface.SelectSection(effectPage(slot), kKnobSection, 0);
    } else if (page == "Main") {
        m_surface.SectionButton(kPadSection);
    }
}

void ControlSurface::patchLoaded()
{
    if (!active()) {
        return;
    }
    refresh();
    m_surface.ClearDisplay(0);
    m_surface.ShowMessage(1, "Patch Loaded");
}

void ControlSurface::showClip(int slot)
{
    const TPlayAvistruct& record = m_links.performance.slots()[slot];
    const char letter = m_links.performance.globals().keyLetters.letter(slot);
    m_surface.ClearDisplay(0);
    m_surface.ShowText(1, 0,
        "Clip " + std::string(1, static_cast<char>(std::toupper(letter))) + ": "
            + clipTitle(record.FileName.str()),
        0);
    std::string effect = "FreeFrame: " + fileNameOf(record.FFfilename.str());
    effect.resize(64, ' ');
    const bool secondRow = m_surface.ControlState(effectPage(slot), 24) != 0;
    m_surface.ShowText(3, 0, effect + (secondRow ? "ASDFGHJK" : "QWERTYUI"), 0);
}

void ControlSurface::showNoPlugin(int slot)
{
    const TPlayAvistruct& record = m_links.performance.slots()[slot];
    if (m_surface.ControlState(effectPage(slot), 8) == kEffectStep && record.FFfilename.empty()) {
        m_surface.ClearDisplay(0);
        m_surface.ShowMessage(1, "No Plugin Loaded");
    }
}

void ControlSurface::alternatePages(int slot)
{
    m_masterChosen = !m_masterChosen;
    m_surface.SelectPage(m_masterChosen ? kMasterPage : clipPage(slot), true);
}

void ControlSurface::setAndRefresh(int page, int control, int value)
{
    const int state = std::max(m_surface.ControlState(page, control), 0);
    m_surface.SetControlValue(page, control, value, state);
    m_surface.RefreshControl(page, control, state);
}

// The effect knobs' bank is labelled with the parameters of the slot's plug-in, and brought up
// when the plug-in comes while its page is shown; the knobs without a parameter hide.
void ControlSurface::showEffectKnobs(int slot)
{
    const std::string& file = m_links.performance.slots()[slot].FFfilename.str();
    std::string& labelled = m_effectFiles.at(static_cast<std::size_t>(slot));
    if (file == labelled) {
        return;
    }
    labelled = file;
    std::vector<std::string> names;
    if (!file.empty() && m_links.effectParameterNames) {
        names = m_links.effectParameterNames(slot);
    }
    const int page = effectPage(slot);
    for (std::size_t k = 0; k < 8; ++k) {
        const int control = 8 + static_cast<int>(k);
        if (k < names.size()) {
            // "1 - Amount": the number is the knob's place already.
            const std::string& name = names[k];
            const auto dash = name.find(" - ");
            m_surface.SetStateLabel(page, control,
                dash == std::string::npos ? name : name.substr(dash + 3), kEffectStep);
        }
        m_surface.SetVisible(page, control, k < names.size(), kEffectStep);
    }
    if (!names.empty() && m_surface.currentPage(surface::Half::Left) == page) {
        m_surface.SelectSection(page, 3, kEffectStep);
    }
}

// What each control reflects, now.
std::vector<ControlSurface::Shown> ControlSurface::valuesNow() const
{
    std::vector<Shown> values;
    const GlobalState& globals = m_links.performance.globals();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& s = m_links.performance.slots()[slot];
        const int clip = clipPage(slot);
        const int effect = effectPage(slot);
        const double length = std::max<double>(static_cast<double>(s.Length.load()), 1);
        const double volume = s.Volume <= -10000 ? 0 : std::pow(10.0, s.Volume / 2000.0);
        const double frequency = readControl(
            m_links.performance, slotControl(controlIndex(ControlScope::Slot, "Frequency"), slot))
                                     .value_or(0);
        const auto speed = [](double turn) {
            return 64 + static_cast<int>(roundHalfEven(turn * 10 * 0.005 * 63));
        };
        values.insert(values.end(),
            { { clip, 23, 0, scaled(volume, 1) }, { clip, 22, 0, 127 - scaled(s.AlphaLevel, 256) },
                { clip, 21, 0, 127 - scaled(s.LumaKeyLevel, 765) },
                { clip, 20, 0, scaled(s.LumaBlendLevel, 765) },
                { clip, 19, 0, scaled(frequency, kTopFrequency) },
                { clip, 18, 0, scaled(static_cast<double>(s.OutPoint.load()), length) },
                { clip, 17, 0, scaled(static_cast<double>(s.InPoint.load()), length) },
                { clip, 40, 0, s.FFenable ? 1 : 0 }, { clip, 41, 0, s.Chop ? 1 : 0 },
                { clip, 45, 0, s.InverseLuma ? 1 : 0 },
                { clip, 47, 0, s.Mute || s.InstallationMode ? 1 : 0 },
                { effect, 8, 0, scaled(s.Size, 1344) },
                { effect, 9, 0, scaled(s.Right - s.Left, 1536) },
                { effect, 10, 0, scaled(s.Bottom - s.Top, 1152) },
                { effect, 8, 1, scaled(s.Size3D - 0.025, 6 - 0.025) },
                { effect, 9, 1, speed(s.XRotSpeed) }, { effect, 10, 1, speed(s.YRotSpeed) },
                { effect, 11, 1, speed(s.ZRotSpeed) }, { effect, 12, 1, scaled(s.HorzTiles, 7) },
                { effect, 13, 1, scaled(s.VertTiles, 7) },
                { effect, 14, 1, scaled(s.ArraySpacing * 10, 60) },
                { effect, 32, 0, s.Burn ? 0 : 1 }, { effect, 33, 0, s.Burn ? 1 : 0 },
                { effect, 38, 0, s.StencilEnabled ? 1 : 0 } });
        for (int mode = 0; mode < 4; ++mode) {
            values.push_back({ effect, 34 + mode, 0, s.ColourSwapMode == mode ? 1 : 0 });
        }
        for (int k = 0; k < 8; ++k) {
            const float parameter = s.FFparams[static_cast<std::size_t>(k)];
            values.push_back(
                { effect, 8 + k, kEffectStep, parameter < 0 ? 0 : scaled(parameter, 1) });
        }
    }
    values.insert(values.end(),
        { { kMasterPage, 23, 0, scaled(globals.masterVolume, 255) },
            { kMasterPage, 22, 0, scaled(globals.trailsStrength, 64) },
            { kMasterPage, 21, 0, scaled(globals.crossfadePosition, 255) },
            { kMasterPage, 45, 0, globals.crossfadeEnabled ? 1 : 0 },
            { kMasterPage, 46, 0, globals.Trails ? 1 : 0 },
            { kMasterPage, 47, 0, globals.masterMuted ? 1 : 0 } });
    return values;
}

void ControlSurface::refresh()
{
    if (!active()) {
        return;
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        showEffectKnobs(slot);
        const bool hasEffect = !m_links.performance.slots()[slot].FFfilename.empty();
        if (m_effectShown.at(static_cast<std::size_t>(slot)) != hasEffect) {
            m_effectShown.at(static_cast<std::size_t>(slot)) = hasEffect;
            m_surface.SetVisible(clipPage(slot), 16, hasEffect, 0);
            m_surface.RefreshControl(clipPage(slot), 16, 0);
        }
    }
    const std::vector<Shown> now = valuesNow();
    for (std::size_t at = 0; at < now.size(); ++at) {
        const Shown& value = now[at];
        if (at < m_shown.size() && m_shown[at].value == value.value) {
            continue;
        }
        m_surface.SetControlValue(value.page, value.control, value.value, value.state);
        m_surface.RefreshControl(value.page, value.control, value.state);
    }
    m_shown = now;
}

} // namespace oskel
