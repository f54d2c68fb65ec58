#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/performance.h"
#include "persistence/ini_profile.h"

namespace oskel::preferences_form {

// The preferences window's toggles; each takes effect at once through the control table.
enum class Toggle {
    LoadLongClipsSilent,
    LoadClipsSilent,
    LivePatchLoading,
    ShowLoadingScreen,
    SelectClipsOnTriggers,
    BluescreenBackground,
    ConstrainMovement,
    SoftSwap,
    PreviewWhileRecording,
    PreviewWhileRendering,
    MouseOverSecondaryOutput,
    TvOutOverlay,
    DisableTab,
    AutoStandby,
    HdComposition,
};
inline constexpr std::size_t kToggleCount = 15;

struct ToggleInfo {
    std::string_view caption; // the button's caption
    std::string_view item; // its master entry of the control table
};
const ToggleInfo& toggleInfo(Toggle toggle);

enum class KeyMap { Qwerty, Azerty, MidiNotes };
inline constexpr std::array<std::string_view, 3> kKeyMapCaptions { "PC Keys - QWERTY",
    "PC Keys - AZERTY", "MIDI notes" };

// The display choices, which take effect at the next start.
struct DisplayChoice {
    int displayOption = 0; // 0 OpenGL output only, 1 with the secondary output, 2 TV out
    bool customPreview = false; // "Custom" preview aspect, else "Same as Composition"
    int aspectX = 16;
    int aspectY = 9;
    bool operator==(const DisplayChoice&) const = default;
};

// What the window shows.
struct Contents {
    std::array<bool, kToggleCount> toggles {};
    KeyMap keyMap = KeyMap::Qwerty;
    std::string beatsPerClip;
    std::string jogAmount; // to the nearest integer
    bool thumbnailsFromMiddle = false;
    DisplayChoice display;
    OscOptions osc;
};
Contents contents(const Performance& performance);

void toggleClicked(EventSink& events, const Performance& performance, Toggle toggle, bool on);
// Sets the key letters and the caption style; the grid's captions are then to be shown again.
void keyMapChosen(Performance& performance, KeyMap keyMap);

// What the performer left in the window when it is closed with "Done" or Enter.
struct Entered {
    std::string beatsPerClip;
    std::string jogAmount;
    bool thumbnailsFromMiddle = false;
    DisplayChoice display;
    OscOptions osc;
};
inline constexpr std::string_view kRestartMessage
    = "Your new display options will take effect when you restart Oskel";
// Stores the choices; returns whether the display choices changed, for the restart message.
bool done(Performance& performance, const Entered& entered);
// The OSC choices: true when they changed, so that the port follows at once. A port outside
// 1..65535 keeps the one before.
bool oscDone(Performance& performance, const OscOptions& entered);
inline constexpr std::string_view kOscAllInterfacesWarning
    = "Any machine on the network can then play the instrument. Without it only programs on "
      "this machine can.";
// The "Display" keys that "Done" writes to the settings file.
void writeDisplayKeys(IniProfile& ini, const DisplayOptions& display);

} // namespace oskel::preferences_form
