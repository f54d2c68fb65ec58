#include "core/slot_status.h"

namespace oskel::slot_grid {

std::string cloneName(std::string_view child, int slot)
{
    return std::string(child) + "clone" + std::to_string(slot);
}

bool statusButtonOn(const TPlayAvistruct& record, StatusButton button)
{
    switch (button) {
    case StatusButton::Bpm:
        return record.FollowBPM;
    case StatusButton::Effect:
        return record.FFenable;
    case StatusButton::Sync:
        return record.InstallationMode;
    case StatusButton::ThreeD:
        return record.BillBoard;
    }
    return false;
}

void showStatusButtons(UserInterfacePort& ui, int slot, const TPlayAvistruct& record)
{
    for (const StatusButtonInfo& info : kStatusButtons) {
        ui.showControlValue(cloneName(info.child, slot), statusButtonOn(record, info.button));
    }
}

} // namespace oskel::slot_grid
