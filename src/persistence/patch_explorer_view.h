#pragma once

#include <cstddef>
#include <string_view>

#include "core/user_interface_port.h"

namespace oskel {

class PatchFolderList;

// What the windows show of the patch explorer, auto patch loading and console mode. The main
// window implements it; none of these calls may run a control's change handler. The status
// line and message boxes go through UserInterfacePort. Main thread only.
class PatchExplorerView {
public:
    virtual ~PatchExplorerView() = default;

    // The folder tree and the file list show this folder and its entries, in this order.
    virtual void showPatchList(const PatchFolderList& list) = 0;
    // Marks a list entry as the one chosen.
    virtual void selectPatchEntry(std::size_t index) = 0;
    // The interval edit box and its up-down, in minutes.
    virtual void showAutoPatchInterval(int minutes) = 0;
    // The auto loading label: "Auto Patch Loading is ON" or "Auto Patch Loading is OFF".
    virtual void showAutoPatchStatus(std::string_view text) = 0;
    // The console label: "ON" in red or "OFF" in black.
    virtual void showConsoleActive(std::string_view text, SlotColour colour) = 0;
    // The console state label: "Post Jam", "Selection", "Jam", "Loading", "Loading 3", or
    // empty once console mode stops.
    virtual void showConsoleState(std::string_view text) = 0;
    // Brings the "Main" settings tab and the "Patches" explorer tab to the front.
    virtual void showPatchExplorerTabs() = 0;
};

} // namespace oskel
