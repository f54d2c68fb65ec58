#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace oskel {

// Options kept in the settings file for the subsystems that use them: MIDI, display, render,
// console mode, the windows and the clip slot grid. Plain records: the settings file fills
// them at start-up and writes them back at shut-down.

inline constexpr int kMidiParameterCount = 41;

struct MidiOptions {
    bool NoteOff = false;
    bool PitchNotes = false;
    bool VelocityOpacity = false;
    bool DisableBlackNotes = false;
    bool DisablePitchAndMod = false;
    bool KaossPad = false;
    bool IndividualChannels = false;
    bool DisablePatchLoading = false;
    bool OKPloadMIDIconfig = false;
    bool MIDIguitairMode = false;
    bool UseCircbuf = true;
    bool SyncToClock = false; // the tempo follows an incoming MIDI clock
    bool CurrentClipMIDIfollow = true;
    bool VelocityVolume = false;
    // The devices by their place in the lists and by name; the name finds the device again
    // when the lists have changed order, the place serves when there is no name.
    std::int32_t InputDevice = 0;
    std::int32_t OutputDevice = 0;
    std::string InputDeviceName;
    std::string OutputDeviceName;
    bool AutoMapActive = false;
    std::array<std::int32_t, kMidiParameterCount> controllers = filledControllers();
    std::array<bool, kMidiParameterCount> controllerInverts {};
    int channel = 0; // 1..16, 0 when no channel is chosen
    std::int32_t pitchWheelParameter = 0; // what the pitch wheel drives

    static constexpr std::array<std::int32_t, kMidiParameterCount> filledControllers()
    {
        std::array<std::int32_t, kMidiParameterCount> unassigned {};
        unassigned.fill(-1);
        return unassigned;
    }
};

// Where the secondary output goes when expanded, as the settings file keeps it. Values read
// from the file are checked where they are used: the monitors may have changed since.
struct SecondaryOutputPlace {
    std::optional<std::int32_t> monitor; // the monitor it was last expanded on (written only)
    std::optional<std::int32_t> left; // the window's position when it was last expanded
    std::optional<std::int32_t> top;
    bool useCustomMode = false; // expand to the custom rectangle instead of a whole monitor
    // The custom rectangle in desktop coordinates, right and bottom exclusive; without right
    // and bottom it reaches the desktop's right and bottom edges.
    std::int32_t customLeft = 0;
    std::int32_t customTop = 0;
    std::optional<std::int32_t> customRight;
    std::optional<std::int32_t> customBottom;
    bool operator==(const SecondaryOutputPlace&) const = default;
};

struct DisplayOptions {
    std::int32_t displayOption = 0; // 0 output only, 1 with secondary output, 2 TV out
    bool ShowMouseOverSecDisplay = true;
    bool SoftSwap = false;
    bool secondaryExpanded = false;
    bool manualPreviewSize = false;
    std::int32_t previewAspectX = 16;
    std::int32_t previewAspectY = 9;
    bool Overlay = true;
    SecondaryOutputPlace secondary;
    // Composes at the output's own pixel size where it is larger than 384 x 288, from the next
    // start of the output on; off: 384 x 288, stretched.
    bool hdComposition = true;
};

struct RenderOptions {
    bool PreviewWhileRecord = true;
    bool PreviewWhileRender = true;
    std::string ScratchDisk; // folder for render scratch files
    std::string RenderOutput;
};

struct ConsoleOptions {
    bool Startup = false;
    std::int32_t ConsolePlayTime = 30000;
    std::int32_t ConsolePostPlayTime = 8000;
    std::string consoleClip; // the console clip in the clip folder
};

enum class ThumbnailPosition { Beginning, Middle };

struct InterfaceOptions {
    bool MIDIKeyLetters = false;
    bool DisableTAB = false;
    bool AnimatedThumbs = true;
    ThumbnailPosition thumbnails = ThumbnailPosition::Beginning;
    std::int32_t AutoPatchInterval = 10;
    bool startFullscreen = false;
    bool ShowLoadingScreen = true;
    // Standby while another application has the focus; off at every start, never stored.
    bool AutoStandby = false;
};

struct WindowPlacement {
    std::int32_t left = 0;
    std::int32_t top = 0;
    bool visible = false;
};

struct WindowLayout {
    std::optional<WindowPlacement> main; // none: centre on the screen
    WindowPlacement grid { 22, 612, true };
    WindowPlacement midi { 784, 222, false };
    WindowPlacement preferences { 782, 50, false };
    WindowPlacement loadMultipleClips { 782, 496, false };
    WindowPlacement help { 782, 70, false };
    WindowPlacement performance { 782, 100, false };
    WindowPlacement patch { 0, 0, false };
};

struct FileOptions {
    std::string stencil; // last stencil file, when it exists
    std::optional<std::string> codecWarning; // kept as found
};

// OSC control over the network: off until switched on; on 127.0.0.1 unless every interface
// is chosen, since any machine that reaches the port could then play the instrument.
struct OscOptions {
    bool enabled = false;
    std::int32_t port = 9000; // 0: a free port the system chooses
    bool allInterfaces = false;
};

// The output streamed live to other machines: off until switched on, to the address kept
// here ("udp://HOST:PORT", "srt://HOST:PORT", "rtmp://SERVER/APP/KEY").
struct StreamOptions {
    bool enabled = false;
    std::string url;
};

// The output shown to other programs as a camera: off until switched on, on the virtual
// camera (a v4l2loopback device) shown under this name.
struct CameraOptions {
    bool enabled = false;
    std::string device = "Oskel 3";
};

struct Options {
    MidiOptions midi;
    OscOptions osc;
    StreamOptions stream;
    CameraOptions camera;
    DisplayOptions display;
    RenderOptions render;
    ConsoleOptions console;
    InterfaceOptions ui;
    WindowLayout windows;
    FileOptions files;
};

} // namespace oskel
