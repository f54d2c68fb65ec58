#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/slot_record.h"
#include "core/user_interface_port.h"

namespace oskel::slot_grid {

// How a slot's state shows on its panel of the clip slot grid: the names its controls go by
// and the four status buttons, which follow the record wherever it changes.

// The name of a child's copy in the panel of `slot`: "lbKeyclone3". The windows show a
// slot's controls under these names (UserInterfacePort::showControlValue).
std::string cloneName(std::string_view child, int slot);

// The four status buttons, with their captions and the control-surface controls that show
// them.
enum class StatusButton { Bpm, Effect, Sync, ThreeD };
struct StatusButtonInfo {
    StatusButton button;
    std::string_view child;
    std::string_view caption;
    int surfaceControl;
};
inline constexpr std::array<StatusButtonInfo, 4> kStatusButtons = { {
    { StatusButton::Bpm, "bBPM", "BPM", 43 },
    { StatusButton::Effect, "bFF", "FF", 40 },
    { StatusButton::Sync, "bSYNC", "SYNC", 42 },
    { StatusButton::ThreeD, "b3D", "3D", 46 },
} };
// Raised with a red outline when on, flat when off.
bool statusButtonOn(const TPlayAvistruct& record, StatusButton button);
// Shows the four buttons of the slot's panel as its record has them.
void showStatusButtons(UserInterfacePort& ui, int slot, const TPlayAvistruct& record);

} // namespace oskel::slot_grid
