#include "control/slot_grid_layout.h"

#include <algorithm>

#include "core/rounding.h"
#include "core/slot_number.h"

namespace oskel::slot_grid {

namespace {

constexpr int kRowGap = 2;
// Half a panel plus one pixel between neighbours, so that the rows interleave.
constexpr int kSlotStep = kPanelWidth / 2 + 1;

using Captions = std::array<std::string_view, kSlotCount>;
constexpr Captions kQwertyCaptions
    = { "Q", "A", "W", "S", "E", "D", "R", "F", "T", "G", "Y", "H", "U", "J", "I", "K" };
constexpr Captions kAzertyCaptions
    = { "A", "Q", "Z", "S", "E", "D", "R", "F", "T", "G", "Y", "H", "U", "J", "I", "K" };
constexpr Captions kMidiKeyboardCaptions
    = { "C", "D", "E", "F", "G", "A", "B", "C", "D", "E", "F", "G", "A", "B", "C", "D" };
constexpr Captions kMidiGuitarCaptions
    = { "E", "F", "F#", "G", "Ab", "A", "Bb", "B", "C", "C#", "D", "Eb", "E", "F", "F#", "G" };

const Captions& captionsOf(CaptionMode mode, KeyboardLayout layout)
{
    switch (mode) {
    case CaptionMode::MidiKeyboard:
        return kMidiKeyboardCaptions;
    case CaptionMode::MidiGuitar:
        return kMidiGuitarCaptions;
    case CaptionMode::PcKeys:
        break;
    }
    return layout == KeyboardLayout::Azerty ? kAzertyCaptions : kQwertyCaptions;
}

} // namespace

Rect panelRect(int slot)
{
    if (!isValidSlot(slot)) {
        return {};
    }
    const int top = slot % 2 == 1 ? 0 : kPanelHeight + kRowGap;
    return { (slot - 1) * kSlotStep, top, kPanelWidth, kPanelHeight };
}

std::optional<int> slotAtPoint(int x, int y)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (panelRect(slot).contains(x, y)) {
            return slot;
        }
    }
    return std::nullopt;
}

CaptionMode captionMode(const Options& options)
{
    if (!options.ui.MIDIKeyLetters) {
        return CaptionMode::PcKeys;
    }
    return options.midi.MIDIguitairMode ? CaptionMode::MidiGuitar : CaptionMode::MidiKeyboard;
}

std::string_view slotCaption(CaptionMode mode, KeyboardLayout layout, int slot)
{
    if (!isValidSlot(slot)) {
        return {};
    }
    return captionsOf(mode, layout)[static_cast<std::size_t>(slot - 1)];
}

int progressWidth(std::int64_t currentFrame, std::int64_t frameCount)
{
    if (frameCount <= 0) {
        return 0;
    }
    const double share = static_cast<double>(currentFrame) / static_cast<double>(frameCount);
    const double width = std::clamp(share * kProgressWidth, 0.0, double { kProgressWidth });
    return static_cast<int>(roundHalfEven(width));
}

} // namespace oskel::slot_grid
