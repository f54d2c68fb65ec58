#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/clip_argument.h"
#include "ui/gui_application.h"

namespace oskel {

// What the program with windows starts with: the clips to load once playback runs, and where
// to write the recording of the performance (empty: nothing is recorded).
struct WindowedStart {
    std::vector<ClipToLoad> clips;
    std::filesystem::path patch; // loaded once the windows show, before the clips
    std::filesystem::path record;
    // Where the sound card's input is recorded while the instrument runs (empty: nowhere).
    std::filesystem::path recordInput;
    // Print the performance monitor's figures once a second on standard error.
    bool monitor = false;
    // Called as the instrument ends, before the windows go.
    std::function<void()> whenEnded;
};

// Makes the instrument the windows run: the sound output, the compositor drawing into the
// display panel and the output window, and the whole engine. Null when there is no sound
// output at all (the reason has been shown).
std::unique_ptr<GuiInstrument> makeWindowedInstrument(GuiServices& services, WindowedStart start);

} // namespace oskel
