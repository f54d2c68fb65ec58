#pragma once

#include <functional>
#include <memory>

#include "ui/instrument_windows.h"

class QWindow;

namespace oskel {

class MainThreadDispatcher;
class SlotPreviews;

// What the windows offer the instrument while it is made.
struct GuiServices {
    MainThreadDispatcher& mainThread;
    // Where the logic shows things: the windows' user interface.
    UserInterfacePort& ui;
    // Where the frame thread's slot workers leave their live pictures.
    SlotPreviews& previews;
    // Windows for the frame thread's drawing surfaces (OpenGL windows, made on the first
    // call, owned by the windows and outliving the instrument): the one that fills the main
    // window's display panel, and the one that fills the output window.
    std::function<QWindow&()> displayPanelSurface;
    std::function<QWindow&()> outputWindowSurface;
    // The one that fills the secondary output window "Secondary Output"; none: no such surface.
    std::function<QWindow&()> secondaryOutputSurface;
    // Any thread: asks the main window to close, which ends the program as the performer's
    // close does (for the signals that end it).
    std::function<void()> requestClose;
};

// The instrument as the windows run it.
class GuiInstrument {
public:
    virtual ~GuiInstrument() = default;
    // Start-up, before the windows are shown: the settings are read.
    virtual void start() = 0;
    // The main window's first activation, once the windows are shown and have their place:
    // playback starts.
    virtual void activate() = 0;
    // What the windows bind to; its shutDown ends the instrument and writes the settings.
    virtual WindowLinks links() = 0;
};

// Makes the instrument once the windows exist; null when it cannot be made (the reason has
// been shown).
using GuiInstrumentMaker = std::function<std::unique_ptr<GuiInstrument>(GuiServices& services)>;

// The program with its windows: makes the application and the windows, has the instrument
// made, starts it, binds the windows to it, shows them, activates the instrument on the main
// window's first activation and runs until the main window closes, which shuts the
// instrument down and writes the settings. Returns the program's exit code.
int runInstrumentWindows(int argc, char** argv, const GuiInstrumentMaker& makeInstrument);
// The same on the application object that exists already.
int runWindows(const GuiInstrumentMaker& makeInstrument);

} // namespace oskel
