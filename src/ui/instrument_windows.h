#pragma once

#include <QImage>
#include <QTimer>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/clip_inspector.h"
#include "control/controllers.h"
#include "control/full_screen_display.h"
#include "control/keyboard_targets.h"
#include "control/midi_form.h"
#include "control/output_mouse.h"
#include "control/patch_loader.h"
#include "control/secondary_output.h"
#include "control/slot_grid_logic.h"
#include "core/slot_number.h"
#include "persistence/ini_profile.h"
#include "persistence/patch_loader_logic.h"

namespace oskel {

class ClipExplorer;
class ControlSurfacePort;
class Dialogs;
class EffectHost;
class GlSurface;
class PresentedPicture;
class SecondaryOutputWindow;
class TvOutputMonitor;
class EffectPanel;
class HelpWindow;
class PerformanceWindow;
class TickFigureCounter;
class PreferencesWindow;
class KeyForwarder;
class MainWindow;
struct MenuWindows;
class MidiInput;
class MidiLearn;
class MidiWindow;
class OutputView;
class OutputWindow;
class QtUserInterface;
class RecordAndRender;
class RecordRenderWindows;
class SlotPreviews;

// What the windows do with patches: load one as the performer does (recorded), save the
// set-up (the problem, or nothing), and answer the loader's questions for lost files.
struct PatchActions {
    std::function<void(const std::filesystem::path&)> load;
    std::function<std::optional<std::string>(const std::filesystem::path&)> save;
    std::function<void(LostFileDialog)> setLostFileDialog;
    // The explorer, auto patch loading and console mode; null when there are none.
    PatchLoaderLogic* logic = nullptr;
    // Where the logic shows itself; null detaches the windows.
    std::function<void(PatchExplorerView*)> attachView;
    // The main-thread timers of auto loading and console mode, moved on by the windows' loop.
    std::function<void()> advanceTimers;
};

// The MIDI form's side of the instrument: learning and the input's monitor, and the devices.
// Without learn and input (an instrument without MIDI) the form shows only the options.
struct MidiLinks {
    MidiLearn* learn = nullptr;
    MidiInput* input = nullptr;
    std::function<std::vector<std::string>()> inputNames;
    std::function<std::vector<std::string>()> outputNames;
    // The input device's name: the open one, else the last one opened.
    std::function<std::string()> inputName;
    // The performer chose an input device by its name: close, open and start it.
    std::function<void(const std::string&)> chooseInput;
    // The performer chose the output device the control surface uses.
    std::function<void(const std::string&)> chooseOutput;
    // The window closed with the control surface's "Enable" box ticked or not.
    std::function<void(bool enabled)> applySurface;
    // The control surface, which follows the clip inspector's pages; none: nothing follows.
    ControlSurfacePort* surface = nullptr;
};

// The parts of the instrument the windows bind to. They outlive the windows.
struct WindowLinks {
    Performance& performance;
    // Where the performer's actions go: the event processor.
    EventSink& events;
    // The instrument's controllers: the windows hand them the performer's keys and clicks,
    // and attach their side to them while bound.
    Controllers& controls;
    // The event processor's restart of the sync-mode slots.
    std::function<void(bool hide)> restartSyncSlots;
    Tempo& tempo;
    ClipLoader& loader;
    PlaybackControl& playback;
    SlotPreviews& previews;
    // Milliseconds, wrapping, for the tempo taps; the system's tick when not given.
    std::function<std::uint32_t()> clock;
    // The instrument's shut-down: slots unloaded, playback ended, settings written.
    std::function<void()> shutDown;
    PatchActions patches;
    MidiLinks midi;
    // Where the compression presets are kept.
    std::filesystem::path configFolder;
    // The effect plug-in host; none: no "Effect" group.
    EffectHost* effects = nullptr;
    // Changes the settings file at once (the preferences' display keys); the problem, if any.
    // Without it the preferences' display keys are kept only for this run.
    std::function<std::optional<std::string>(const std::function<void(IniProfile&)>&)>
        updateSettings;
    // The OSC options changed: the port follows them.
    std::function<void()> oscOptionsChanged;
    // The frame thread's figures for the performance monitor; none: the monitor shows none.
    TickFigureCounter* tickFigures = nullptr;
    // "Record" and "Render"; none: the buttons do nothing.
    RecordAndRender* recordAndRender = nullptr;
    // The secondary output's drawing surface, tested at start-up; none: nothing is drawn
    // there and the tests fail.
    GlSurface* secondOutputSurface = nullptr;
    // Any thread: the renderer draws the secondary output (expanded) or not (collapsed).
    std::function<void(bool)> showSecondOutput;
    // The pictures the TV-out preview shows; none: it shows none.
    PresentedPicture* tvOutPicture = nullptr;
    // The network's and the virtual camera's counts for the performance monitor ("Stream: 1200
    // sent, 3 dropped"); none: the monitor shows none.
    std::function<std::string()> outputCounts;
};

// The instrument's windows, bound to its logic: the main window "Oskel 3" with the display
// panel, controls and clip slot grid, and the output window " Composition Screen". The
// windows show the state and hand the performer's actions to the logic (the event processor,
// the instrument's controllers: the keyboard control, the grid, the mixer, the pointer on the
// output); they keep no performance state of their own. Main thread.
class InstrumentWindows : private KeyboardTargets,
                          private SlotGridTargets,
                          private FullScreenDisplay::Output,
                          private ClipInspectorView {
public:
    // The windows exist, unbound, from here on, so the logic can be made with their user
    // interface.
    explicit InstrumentWindows(Dialogs& dialogs);
    ~InstrumentWindows() override;
    InstrumentWindows(const InstrumentWindows&) = delete;
    InstrumentWindows& operator=(const InstrumentWindows&) = delete;

    UserInterfacePort& ui();
    MainWindow& mainWindow() { return *m_main; }
    OutputWindow& outputWindow() { return *m_output; }
    MidiWindow& midiWindow() { return *m_midi; }
    PreferencesWindow& preferencesWindow() { return *m_preferences; }
    HelpWindow& helpWindow() { return *m_help; }
    PerformanceWindow& performanceWindow() { return *m_performance; }
    SecondaryOutputWindow& secondaryOutputWindow() { return *m_secondary; }
    TvOutputMonitor& tvOutputMonitor() { return *m_tvOut; }
    // The secondary output's logic; bound windows only.
    SecondaryOutput& secondaryOutput() { return *m_secondaryLogic; }

    // Binds the windows to the instrument and shows its state in them.
    void bind(WindowLinks links);
    // Shows the output window, then the main window in front; the main window's first
    // activation gives it its size and place, enters the full-screen display mode when the
    // settings ask for it, and then runs `activated` (where playback starts).
    void show(std::function<void()> activated = {});
    // The instrument's shut-down with the windows' part in it (the main window's place is
    // kept for the settings file); the windows stop showing and sending, and detach their side
    // from the controllers. Once only: closing the main window runs it.
    void shutDown();

    KeyboardControl& keyboard();
    SlotGrid& grid();
    CrossfadeMixer& mixer();
    FullScreenDisplay& fullScreen();

    // How often the progress bars and the live pictures are brought up to date.
    static constexpr int kRefreshMs = 40;

private:
    class CountedDialogs;

    // KeyboardTargets and SlotGridTargets
    void requestClose() override;
    void toggleSecondaryOutput() override;
    void openClipDialog(int slot) override;
    void openLiveSourceDialog(int slot);
    void showHelp() override;
    void showPreferences() override;
    void loadPatch() override;
    void savePatch() override;
    void showMainWindow() override;
    void moveOutputHome() override;
    void showGridAndPatchExplorer() override;
    void moveWindowsHome() override;
    void bringApplicationToFront() override;
    void setLayerCaptionStyle(slot_grid::CaptionMode mode) override;
    // FullScreenDisplay::Output
    void showFullScreen(bool on) override;
    // The slot's effect (the key M, the grid's "FF" button, a copy with settings).
    void toggleEffect(int slot) override;
    void copyEffectSetup(int fromSlot, int toSlot) override;
    // ClipInspectorView (inspector_bindings.cpp)
    void showContents(const clip_inspector::Contents& contents, bool withEffect) override;
    void showInspectedSlot(int slot) override;
    void hideInspector() override;

    // The clip inspector's controls, bound to its logic, which the controllers reach from now
    // on; and the logic let go of.
    void bindInspector();
    void detachInspector();
    // A box of the inspector asks for its value in the numeric input box.
    void askInspectorBox(ClipInspector::Box box);
    void chooseStencil();
    // The layer stack widget bound to the layer stack and the inspector (layer_bindings.cpp),
    // and brought up to date.
    void bindLayers();
    // The clip explorer's page bound to its logic (clip_explorer_bindings.cpp).
    void bindClipExplorer();
    // The menu's clip entries and the small windows it opens (menu_bindings.cpp).
    void bindMenu();
    void bindMultipleClips(MenuWindows& windows);
    void showLoadMultipleClips() override;
    void resumeMidiAfterMultipleClips();
    // The preferences and help windows (small_windows.cpp).
    void bindSmallWindows();
    void preferencesDone();
    void refreshLayers();
    // Brings the inspector's controls up to date when the record changed elsewhere.
    void refreshInspector();
    // The main clip preview shows a picture of the inspected slot; black for none.
    void showClipPreview(const QImage& picture);
    bool isInspected(int slot) const;

    void bindMasterControls();
    // Sets an entry of the control table through the event processor, as every control does.
    std::function<void(const struct ControlAddress&, std::int32_t)> setter();
    void bindTempoControls();
    void bindCrossfadeControls();
    void bindGrid();
    void bindOutput(
        OutputView& view, OutputMouse::Surface surface = OutputMouse::Surface::MainDisplay);
    // The secondary output window, its logic and the TV-out preview
    // (secondary_output_bindings.cpp); the drawing self-tests run here.
    void bindSecondaryOutput();
    void showSecondaryOutput();
    void askCustomCoordinates();
    DrawingSelfTests runSelfTests();
    void bindPatches();
    void bindPatchExplorer(PatchLoaderLogic& logic);
    void bindMidi();
    // The "Effect" group below the display panel (effect_bindings.cpp).
    void bindEffects();
    void unbindEffects();
    void showMidiWindow();
    // "Video Compression Settings", modal.
    void showCompressionSettings();
    // "Record" and "Render" with the render preview (record_render_windows.cpp).
    void bindRecordAndRender();
    // Puts the MIDI settings into the MIDI window (ShowMIDISettings).
    void showMidiSettings();
    void detachMidi();
    // Every modal box, counted.
    Dialogs& dialogs();
    // Runs a window of ours modally, counted as the boxes are.
    void runModal(const std::function<void()>& run);
    // Runs a dialog once the handler that asked for it has returned, so that its own event
    // loop never runs inside a key or mouse handler; not while another box or a load is open.
    void afterHandler(std::function<void()> dialog);
    void showState();
    void refresh();
    void firstActivation();
    bool closeQuery();

    // Runs a performer's action; a failure it raises is shown, never passed to the toolkit.
    void guarded(const std::function<void()>& action);
    void reportFailure(const std::string& message);

    int m_dialogDepth = 0; // modal boxes open
    // Every modal box goes through here, so that a close waits for the boxes open below it.
    std::unique_ptr<CountedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<OutputWindow> m_output;
    std::unique_ptr<SecondaryOutputWindow> m_secondary;
    std::unique_ptr<TvOutputMonitor> m_tvOut;
    class SecondaryOutputPlaces;
    std::unique_ptr<SecondaryOutputPlaces> m_secondaryPlaces;
    std::unique_ptr<SecondaryOutput> m_secondaryLogic;
    std::unique_ptr<MidiWindow> m_midi;
    EffectPanel* m_effects = nullptr; // owned by the main window
    std::unique_ptr<ClipInspector> m_inspector;
    std::unique_ptr<PreferencesWindow> m_preferences;
    std::unique_ptr<HelpWindow> m_help;
    std::unique_ptr<PerformanceWindow> m_performance;
    std::unique_ptr<MenuWindows> m_menuWindows;
    std::unique_ptr<ClipExplorer> m_clipExplorer;
    midi_form::ChannelBox m_channelBox;
    std::unique_ptr<QtUserInterface> m_ui;
    std::unique_ptr<WindowLinks> m_links;
    std::unique_ptr<KeyForwarder> m_keys;
    std::unique_ptr<RecordRenderWindows> m_recordRender;
    std::function<void()> m_activated;
    QTimer m_refresh;
    // Slots whose panel shows a live picture rather than the still thumbnail.
    std::bitset<kSlotCount + 1> m_livePicture;
    bool m_closed = false;
};

} // namespace oskel
