#pragma once

#include <array>
#include <cstdint>

namespace oskel::surface {

// The control surface's fixed layout: 96 controls, numbered by the controller of their
// control changes (the drum pads send notes 36..43 and count as controls 56..63); two
// 72-character displays, each a name line and a value line of eight 9-character cells; eight
// sections of eight controls with a select button and an LED each, sections 0..4 on the left
// half and 5..7 on the right.

inline constexpr int kControlCount = 96;
inline constexpr int kSectionCount = 8;
inline constexpr int kCellWidth = 9;
inline constexpr int kLineWidth = 72;
inline constexpr int kFirstSectionButton = 80;
inline constexpr int kLeftPageForward = 88;
inline constexpr int kRightPageBack = 91;
inline constexpr int kFirstPadNote = 36;
inline constexpr int kLastPadNote = 43;
inline constexpr int kPadOffset = 20; // pad note 36 is control 56

enum class ControlType : std::int8_t { None = -1, Knob = 0, Encoder = 1, Button = 2 };
enum class Half : std::int8_t { None = -1, Left = 0, Right = 1 };

struct ControlPlace {
    ControlType type = ControlType::None;
    Half half = Half::None;
    int column = -1; // -1: not on the display
    int section = -1;
};

ControlPlace controlPlace(int control);
// The eight controls of a section, in display order.
std::array<int, 8> sectionControls(int section);
constexpr Half halfOfSection(int section)
{
    return section <= 4 ? Half::Left : Half::Right;
}
// A page of kind 1 is a left-half page, kind 2 a right-half page.
constexpr Half halfOfKind(int kind)
{
    return kind == 1 ? Half::Left : (kind == 2 ? Half::Right : Half::None);
}
constexpr bool isControl(int control)
{
    return control >= 0 && control < kControlCount;
}

} // namespace oskel::surface
