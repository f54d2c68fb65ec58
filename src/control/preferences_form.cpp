#include "control/preferences_form.h"

#include <cmath>

#include "control/clip_inspector_contents.h"
#include "core/control_table.h"
#include "core/rounding.h"

namespace oskel::preferences_form {

namespace {

constexpr std::array<ToggleInfo, kToggleCount> kToggles { {
    { "Load Long Clips Slient", "LoadLongClipsSilent" },
    { "Load all clips slient (FAST)", "LoadClipsSilent" },
    { "Live Patch Loading", "LivePatchLoading" },
    { "Show Loading Screen", "ShowLoadingScreen" },
    { "Select clips on PC triggers", "SelectionFollowsTriggers" },
    { "Bluescreen Background", "BluescreenBackground" },
    { "Constrain Movement", "ConstrainMovement" },
    { "Soft Luma ColourSwap", "SoftSwap" },
    { "Preview while Recording", "PreviewWhileRecording" },
    { "Preview while Rendering", "PreviewWhileRendering" },
    { "Show Mouse over secondary output", "MouseOverSecondaryOutput" },
    { " Enable TV Out Overlay", "TvOutOverlay" },
    { "Disable TAB key", "DisableTab" },
    { "Auto Standby", "AutoStandby" },
    { "HD composition", "HdComposition" },
} };

constexpr std::int32_t kDefaultBeats = 4;
constexpr std::int32_t kDefaultJog = 5;
constexpr int kCompositionWidth = 384;
constexpr int kCompositionHeight = 288;

std::int32_t numberOr(std::string_view text, std::int32_t fallback)
{
    return clip_inspector::wholeNumberIn(text).value_or(fallback);
}

} // namespace

const ToggleInfo& toggleInfo(Toggle toggle)
{
    return kToggles.at(static_cast<std::size_t>(toggle));
}

Contents contents(const Performance& performance)
{
    Contents shown;
    for (std::size_t toggle = 0; toggle < kToggleCount; ++toggle) {
        const auto address = findControl("Master", kToggles.at(toggle).item);
        shown.toggles.at(toggle) = address && readControl(performance, *address).value_or(0) != 0;
    }
    const GlobalState& globals = performance.globals();
    const Options& options = performance.options();
    shown.keyMap = options.ui.MIDIKeyLetters                    ? KeyMap::MidiNotes
        : globals.keyLetters.layout() == KeyboardLayout::Azerty ? KeyMap::Azerty
                                                                : KeyMap::Qwerty;
    shown.beatsPerClip = std::to_string(globals.DefaultBeatsPerClip);
    shown.jogAmount = std::to_string(roundHalfEven(globals.JogAmount));
    shown.thumbnailsFromMiddle = options.ui.thumbnails == ThumbnailPosition::Middle;
    shown.display
        = DisplayChoice { options.display.displayOption, options.display.manualPreviewSize,
              options.display.previewAspectX, options.display.previewAspectY };
    shown.osc = options.osc;
    return shown;
}

void toggleClicked(EventSink& events, const Performance& performance, Toggle toggle, bool on)
{
    if (const auto address = findControl("Master", toggleInfo(toggle).item)) {
        setControl(events, performance, *address, on ? 1 : 0);
    }
}

void keyMapChosen(Performance& performance, KeyMap keyMap)
{
    performance.options().ui.MIDIKeyLetters = keyMap == KeyMap::MidiNotes;
    if (keyMap != KeyMap::MidiNotes) {
        performance.globals().keyLetters = KeyLetterMap(
            keyMap == KeyMap::Azerty ? KeyboardLayout::Azerty : KeyboardLayout::Qwerty);
    }
}

bool done(Performance& performance, const Entered& entered)
{
    GlobalState& globals = performance.globals();
    Options& options = performance.options();
    globals.DefaultBeatsPerClip = numberOr(entered.beatsPerClip, kDefaultBeats);
    globals.JogAmount = numberOr(entered.jogAmount, kDefaultJog);
    options.ui.thumbnails
        = entered.thumbnailsFromMiddle ? ThumbnailPosition::Middle : ThumbnailPosition::Beginning;
    const DisplayChoice before = contents(performance).display;
    DisplayChoice chosen = entered.display;
    chosen.displayOption = std::clamp(chosen.displayOption, 0, 2);
    if (chosen.aspectX <= 0 || chosen.aspectY <= 0) {
        chosen.aspectX = before.aspectX;
        chosen.aspectY = before.aspectY;
    }
    options.display.displayOption = chosen.displayOption;
    options.display.manualPreviewSize = chosen.customPreview;
    options.display.previewAspectX = chosen.aspectX;
    options.display.previewAspectY = chosen.aspectY;
    return !(chosen == before);
}

bool oscDone(Performance& performance, const OscOptions& entered)
{
    OscOptions& osc = performance.options().osc;
    const OscOptions before = osc;
    osc.enabled = entered.enabled;
    osc.allInterfaces = entered.allInterfaces;
    if (entered.port >= 1 && entered.port <= 65535) {
        osc.port = entered.port;
    }
    return osc.enabled != before.enabled || osc.allInterfaces != before.allInterfaces
        || osc.port != before.port;
}

void writeDisplayKeys(IniProfile& ini, const DisplayOptions& display)
{
    constexpr std::string_view section = "Display";
    ini.writeInteger(section, "displayOption", display.displayOption);
    ini.writeInteger(section, "compositionWidth", kCompositionWidth);
    ini.writeInteger(section, "compositionHeight", kCompositionHeight);
    ini.writeInteger(section, "secondaryOutputWidth", kCompositionWidth);
    ini.writeInteger(section, "secondaryOutputHeight", kCompositionHeight);
    ini.writeBool(section, "manualPreviewSize", display.manualPreviewSize);
    ini.writeInteger(section, "previewAspectX", display.previewAspectX);
    ini.writeInteger(section, "previewAspectY", display.previewAspectY);
}

} // namespace oskel::preferences_form
