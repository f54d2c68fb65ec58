#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/key_letter_map.h"
#include "core/options.h"
#include "core/slot_record.h"
#include "core/slot_status.h"
#include "core/user_interface_port.h"

namespace oskel {

// The clip slot grid's panels: one per slot, in two rows staggered by half a panel like the
// two rows of keys they stand for. Positions are pixels in the grid's thumbnail area.
namespace slot_grid {

inline constexpr int kPanelWidth = 106;
inline constexpr int kPanelHeight = 118;
inline constexpr int kProgressWidth = 96;
// The file list of the main window, as a drag source.
inline constexpr int kFileListTag = 1000;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // Inclusive of the right and bottom edges.
    bool contains(int x, int y) const
    {
        return x >= left && x <= left + width && y >= top && y <= top + height;
    }
};

// The panel of slot 1..16: odd slots in the top row, even slots in the bottom one.
Rect panelRect(int slot);
// The slot whose panel holds the point, or nothing.
std::optional<int> slotAtPoint(int x, int y);

// The children of a panel, placed inside it. A size of 0 leaves the control its own size.
struct PanelChild {
    std::string_view name;
    Rect place;
};
inline constexpr std::array<PanelChild, 8> kPanelChildren = { {
    { "thumbnail", { 5, 5, 96, 72 } },
    { "imgProgress", { 5, 78, 96, 2 } },
    { "lbKey", { 7, 81, 0, 0 } },
    { "transport", { 29, 81, 72, 17 } },
    { "bBPM", { 5, 99, 0, 0 } },
    { "bFF", { 29, 99, 0, 0 } },
    { "bSYNC", { 50, 99, 0, 0 } },
    { "b3D", { 80, 99, 0, 0 } },
} };
inline constexpr std::string_view kEmptySlotHint = "Empty Clip Slot: click to load a clip";

// What the key label shows: the slot's key or the name of its MIDI note.
enum class CaptionMode { PcKeys, MidiKeyboard, MidiGuitar };
CaptionMode captionMode(const Options& options);
// The caption of slot 1..16; empty for another number.
std::string_view slotCaption(CaptionMode mode, KeyboardLayout layout, int slot);

// Red pixels of the progress bar of a clip at `currentFrame`: 0 at the start, the whole
// bar at the last frame; the rest of the bar is white.
int progressWidth(std::int64_t currentFrame, std::int64_t frameCount);

} // namespace slot_grid
} // namespace oskel
