#include "control/surface_layout.h"

namespace oskel::surface {

namespace {

// The first control of each section.
constexpr std::array<int, kSectionCount> kSectionStarts { 24, 0, 32, 8, 56, 16, 40, 48 };

} // namespace

ControlPlace controlPlace(int control)
{
    for (int section = 0; section < kSectionCount; ++section) {
        const int first = kSectionStarts[static_cast<std::size_t>(section)];
        if (control >= first && control < first + 8) {
            ControlType type = ControlType::Knob;
            if (section == 1) {
                type = ControlType::Encoder;
            } else if (section == 0 || section == 2 || section >= 6) {
                type = ControlType::Button;
            }
            return { type, halfOfSection(section), (control - first) * kCellWidth, section };
        }
    }
    if (control == 67 || control == 78 || control == 79 || !isControl(control)) {
        return {};
    }
    if (control == 94 || control == 95) {
        return { ControlType::Encoder, Half::None, -1, -1 };
    }
    if (control == 65 || (control >= 72 && control <= 77) || (control >= 80 && control <= 91)) {
        const Half half = control >= 72 && control <= 77 ? Half::Right : Half::None;
        return { ControlType::Button, half, -1, -1 };
    }
    return { ControlType::Knob, Half::None, -1, -1 }; // 64, 66, 68..71, 92, 93
}

std::array<int, 8> sectionControls(int section)
{
    std::array<int, 8> controls {};
    const int first = kSectionStarts.at(static_cast<std::size_t>(section));
    for (int k = 0; k < 8; ++k) {
        controls[static_cast<std::size_t>(k)] = first + k;
    }
    return controls;
}

} // namespace oskel::surface
