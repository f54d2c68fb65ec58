#pragma once

namespace oskel {

// What the keys do to the windows and to subsystems outside the performance state: opening
// dialogs and windows, moving them, the effect host. The windows implement it; every action
// does nothing by default, so a key whose target does not exist yet does nothing quietly.
// Main thread only.
class KeyboardTargets {
public:
    virtual ~KeyboardTargets() = default;

    // Alt+F4: a close request posted to the main window.
    virtual void requestClose() { }
    // Alt + a slot's key: the clip-load dialog for that slot.
    virtual void openClipDialog(int /*slot*/) { }

    virtual void showHelp() { } // F1
    virtual void loadPatch() { } // F2: the patch open dialog
    virtual void savePatch() { } // F3, with MIDI input paused meanwhile
    virtual void showPreferences() { } // F4
    // F7, with MIDI input paused while the window is open.
    virtual void showLoadMultipleClips() { }
    virtual void showMainWindow() { } // F12

    // Shift+F12: the output window to (0, 0), in front.
    virtual void moveOutputHome() { }
    // Ctrl+F11: the clip slot grid when the patch explorer is hidden; the patch explorer in
    // front.
    virtual void showGridAndPatchExplorer() { }
    // Ctrl+F12: every window to (0, 0); the main window, grid, patch explorer and mixer in
    // front.
    virtual void moveWindowsHome() { }

    // Tab: the secondary output collapses when expanded, else expands.
    virtual void toggleSecondaryOutput() { }
    // M: the slot's effect on or off; the inspector's and the grid's indicators follow.
    virtual void toggleEffect(int /*slot*/) { }
};

} // namespace oskel
