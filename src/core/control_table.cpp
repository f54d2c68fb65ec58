#include "core/control_table.h"

#include <charconv>
#include <cmath>

#include "core/ascii.h"
#include "core/shown_text.h"

namespace oskel {

std::span<const ControlEntry> controlTable()
{
    return control_entries::kEntries;
}

// The assignment entries lie in parameter order, as midiControllerControl and
// midiInvertControl count on.
static_assert(control_entries::kEntries[midiControllerControl(kMidiParameterCount - 1).index].item
    == kMidiAssignmentItems.back().controller);
static_assert(control_entries::kEntries[midiInvertControl(kMidiParameterCount - 1).index].item
    == kMidiAssignmentItems.back().invert);

namespace {

constexpr std::string_view kMasterGroup = "Master";
constexpr std::string_view kSlotGroup = "Slot";

std::string_view withoutBrackets(std::string_view group)
{
    if (group.size() >= 2 && group.front() == '[' && group.back() == ']') {
        return group.substr(1, group.size() - 2);
    }
    return group;
}

// The slot of a slot group ("Slot3"), 0 for the master group, nothing otherwise.
std::optional<int> slotOfGroup(std::string_view group)
{
    group = withoutBrackets(group);
    if (sameWithoutCase(group, kMasterGroup)) {
        return 0;
    }
    if (group.size() <= kSlotGroup.size()
        || !sameWithoutCase(group.substr(0, kSlotGroup.size()), kSlotGroup)) {
        return std::nullopt;
    }
    const std::string_view digits = group.substr(kSlotGroup.size());
    int slot = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), slot);
    if (error != std::errc() || end != digits.data() + digits.size() || !isValidSlot(slot)
        || digits.front() == '0') {
        return std::nullopt;
    }
    return slot;
}

// A decimal number of at most three decimals, in thousandths; nothing for anything else.
std::optional<std::int64_t> thousandthsOf(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    std::string_view digits = negative ? text.substr(1) : text;
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction
        = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || fraction.size() > 3 || whole.size() > 12
        || (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const std::string_view part : { whole, fraction }) {
        for (const char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
    }
    for (std::size_t missing = fraction.size(); missing < 3; ++missing) {
        value *= 10;
    }
    return negative ? -value : value;
}

std::int32_t inRange(const ControlEntry& entry, std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp(value, entry.range.low, entry.range.high));
}

} // namespace

std::optional<ControlAddress> findControl(std::string_view group, std::string_view item)
{
    const std::optional<int> slot = slotOfGroup(group);
    if (!slot) {
        return std::nullopt;
    }
    const ControlScope scope = *slot == 0 ? ControlScope::Master : ControlScope::Slot;
    const auto table = controlTable();
    for (std::size_t index = 0; index < table.size(); ++index) {
        if (table[index].scope == scope && sameWithoutCase(table[index].item, item)) {
            return ControlAddress { index, *slot };
        }
    }
    return std::nullopt;
}

std::string controlGroupName(const ControlAddress& address)
{
    std::string name(1, '[');
    if (address.entry().scope == ControlScope::Master) {
        name += kMasterGroup;
    } else {
        name += kSlotGroup;
        name += std::to_string(address.slot);
    }
    name += ']';
    return name;
}

std::string controlName(const ControlAddress& address)
{
    return controlGroupName(address) + " " + std::string(address.entry().item);
}

std::string formatControlValue(const ControlEntry& entry, std::int32_t value)
{
    if (entry.kind != ControlKind::Decimal) {
        return std::to_string(value);
    }
    const std::int64_t magnitude = std::abs(static_cast<std::int64_t>(value));
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / kDecimalScale);
    std::int64_t fraction = magnitude % kDecimalScale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + kDecimalScale).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

std::string controlRangeText(const ControlEntry& entry)
{
    switch (entry.kind) {
    case ControlKind::Toggle:
        return "0 or 1";
    case ControlKind::Action:
        return "no value";
    case ControlKind::Integer:
    case ControlKind::Decimal:
        break;
    }
    return formatControlValue(entry, static_cast<std::int32_t>(entry.range.low)) + ".."
        + formatControlValue(entry, static_cast<std::int32_t>(entry.range.high));
}

std::string_view controlKindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Toggle:
        return "toggle";
    case ControlKind::Integer:
        return "integer";
    case ControlKind::Decimal:
        return "decimal";
    case ControlKind::Action:
        return "action";
    }
    return "";
}

ParsedControlValue parseControlValue(const ControlEntry& entry, std::string_view text)
{
    if (entry.kind == ControlKind::Action) {
        return text.empty()
            ? ParsedControlValue {}
            : ParsedControlValue { 0, "takes no value, but " + quotedText(text) + " was given" };
    }
    const std::optional<std::int64_t> number = thousandthsOf(text);
    const bool whole = number && *number % kDecimalScale == 0;
    if (!number || (entry.kind != ControlKind::Decimal && !whole)) {
        const std::string_view wanted
            = entry.kind == ControlKind::Decimal ? "a number" : "a whole number";
        return { 0,
            "the value " + quotedText(text) + " is not " + std::string(wanted) + " ("
                + controlRangeText(entry) + ")" };
    }
    const std::int64_t value
        = entry.kind == ControlKind::Decimal ? *number : *number / kDecimalScale;
    if (!entry.range.contains(value)) {
        return { 0,
            "the value " + shownText(text) + " is out of range (" + controlRangeText(entry) + ")" };
    }
    return { static_cast<std::int32_t>(value), {} };
}

TSlotEvent controlEvent(
    const Performance& performance, const ControlAddress& address, std::int32_t value)
{
    const ControlEntry& entry = address.entry();
    const int slot = entry.scope == ControlScope::Slot ? address.slot : 0;
    if (entry.kind == ControlKind::Integer || entry.kind == ControlKind::Decimal) {
        value = inRange(entry, value);
    }
    // A slot out of range has no event of its own; the processor refuses the setting.
    if (entry.event == nullptr || (entry.scope == ControlScope::Slot && !isValidSlot(slot))) {
        return TSlotEvent { event_code::kSetControl, value,
            static_cast<std::int32_t>(address.index), slot };
    }
    if (entry.kind == ControlKind::Toggle) {
        value = value != 0 ? 1 : 0;
    }
    return entry.event(performance, slot, value);
}

void setControl(EventSink& events, const Performance& performance, const ControlAddress& address,
    std::int32_t value)
{
    events.ProcessEvent(controlEvent(performance, address, value));
}

std::optional<std::int32_t> readControl(
    const Performance& performance, const ControlAddress& address)
{
    const ControlEntry& entry = address.entry();
    if (entry.read == nullptr
        || (entry.scope == ControlScope::Slot && !isValidSlot(address.slot))) {
        return std::nullopt;
    }
    return entry.read(performance, address.slot);
}

// --- writers that do more than store the value -------------------------------------------

namespace control_entries {

namespace {

// The crossfade between the two sides, when it is on.
void sendCrossfade(const GlobalState& globals, EventSink& events)
{
    if (globals.crossfadeEnabled) {
        events.ProcessEvent(TSlotEvent { kCrossfade, globals.crossfadePosition,
            globals.crossfadeSlotB, globals.crossfadeSlotA });
    }
}

bool setAndCrossfade(
    Performance& p, EventSink& events, std::int32_t GlobalState::*field, std::int32_t value)
{
    p.globals().*field = value;
    sendCrossfade(p.globals(), events);
    return true;
}

} // namespace

bool setMasterMute(Performance& p, EventSink& events, int, std::int32_t value)
{
    p.globals().masterMuted = value != 0;
    events.ProcessEvent(masterVolumeEvent(p, 0, p.globals().masterVolume));
    return true;
}

bool setTempo(Performance& p, EventSink&, int, std::int32_t value)
{
    p.globals().BPM = fromThousandths(value);
    return true;
}

bool setCrossfadeEnable(Performance& p, EventSink& events, int, std::int32_t value)
{
    p.globals().crossfadeEnabled = value != 0;
    sendCrossfade(p.globals(), events);
    return true;
}

bool setCrossfadePosition(Performance& p, EventSink& events, int, std::int32_t value)
{
    return setAndCrossfade(p, events, &GlobalState::crossfadePosition, value);
}

bool setCrossfadeA(Performance& p, EventSink& events, int, std::int32_t value)
{
    return setAndCrossfade(p, events, &GlobalState::crossfadeSlotA, value);
}

bool setCrossfadeB(Performance& p, EventSink& events, int, std::int32_t value)
{
    return setAndCrossfade(p, events, &GlobalState::crossfadeSlotB, value);
}

bool setSelectedSlot(Performance& p, EventSink&, int, std::int32_t value)
{
    p.selectSlot(value);
    return true;
}

// The luma key is in force by the level and the direction together.
bool setInverseLuma(Performance& p, EventSink& events, int slot, std::int32_t value)
{
    TPlayAvistruct& record = p.slot(slot);
    record.InverseLuma = value != 0;
    record.LumaKey = lumaKeyInForce(record.LumaKeyLevel, record.InverseLuma);
    record.TextureDirty = true;
    events.ProcessEvent(TSlotEvent { kLumaKeyLevel, record.LumaKeyLevel, 0, slot });
    return true;
}

bool setBurn(Performance& p, EventSink&, int slot, std::int32_t value)
{
    p.setSlotBurn(slot, value != 0);
    return true;
}

bool setColourSwap(Performance& p, EventSink&, int slot, std::int32_t value)
{
    p.slot(slot).ColourSwapMode = value;
    p.slot(slot).TextureDirty = true;
    return true;
}

// On: the stencil loaded afresh from its file when it has one, else the mask in memory when
// it fits the clip. Refused when neither gives a mask.
bool setStencil(Performance& p, EventSink&, int slot, std::int32_t value)
{
    TPlayAvistruct& record = p.slot(slot);
    if (value == 0) {
        record.StencilEnabled = false;
        return true;
    }
    const bool fits = record.StencilMask && record.StencilWidth == record.ClipWidth
        && record.StencilHeight == record.ClipHeight;
    const bool loaded
        = record.StencilFileName.empty() ? fits : p.LoadStencil(slot, record.StencilFileName.str());
    if (!loaded) {
        return false;
    }
    record.StencilEnabled = true;
    record.TextureDirty = true;
    return true;
}

// Clips of 255 pixels or fewer on a side are drawn flat only.
bool setThreeD(Performance& p, EventSink&, int slot, std::int32_t value)
{
    constexpr std::int32_t largestFlatOnlySide = 255;
    TPlayAvistruct& record = p.slot(slot);
    const bool largeEnough
        = record.ClipWidth > largestFlatOnlySide && record.ClipHeight > largestFlatOnlySide;
    if (value != 0 && !largeEnough) {
        return false;
    }
    record.BillBoard = value != 0;
    return true;
}

bool resetRotation(Performance& p, EventSink&, int slot, std::int32_t)
{
    TPlayAvistruct& record = p.slot(slot);
    record.XRot = 0.0;
    record.YRot = 0.0;
    record.ZRot = 0.0;
    return true;
}

bool resetRotationAndSpeeds(Performance& p, EventSink& events, int slot, std::int32_t value)
{
    TPlayAvistruct& record = p.slot(slot);
    record.XRotSpeed = 0.0;
    record.YRotSpeed = 0.0;
    record.ZRotSpeed = 0.0;
    return resetRotation(p, events, slot, value);
}

// One edge of the rectangle on its own, the opposite edge staying; refused where the slot
// would have no area.
namespace {
using Edge = std::int32_t TPlayAvistruct::*;
bool setEdge(Performance& p, int slot, std::int32_t value, Edge edge, Edge opposite)
{
    TPlayAvistruct& record = p.slot(slot);
    const bool lowEdge = edge == &TPlayAvistruct::Left || edge == &TPlayAvistruct::Top;
    if (lowEdge ? value >= record.*opposite : value <= record.*opposite) {
        return false;
    }
    record.*edge = value;
    updateSize(record);
    return true;
}
} // namespace

bool setRight(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return setEdge(p, slot, value, &TPlayAvistruct::Right, &TPlayAvistruct::Left);
}

bool setBottom(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return setEdge(p, slot, value, &TPlayAvistruct::Bottom, &TPlayAvistruct::Top);
}

// The beat starts again: every playing slot that follows the tempo restarts from its in
// point, so their beats fall together from here on.
bool syncBeat(Performance& p, EventSink& events, int, std::int32_t)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = p.slots()[slot];
        if (record.Loaded && record.Playing && record.FollowBPM) {
            events.ProcessEvent({ event_code::kRestart, 0, 0, slot });
        }
    }
    return true;
}

bool setLeftEdge(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return setEdge(p, slot, value, &TPlayAvistruct::Left, &TPlayAvistruct::Right);
}

bool setTopEdge(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return setEdge(p, slot, value, &TPlayAvistruct::Top, &TPlayAvistruct::Bottom);
}

// Sync mode runs a slot hidden and muted until its trigger shows it; leaving it releases
// the slot.
bool setSyncMode(Performance& p, EventSink& events, int slot, std::int32_t value)
{
    TPlayAvistruct& record = p.slot(slot);
    const bool on = value != 0;
    record.InstallationMode = on;
    record.Shown = !on;
    record.Mute = on;
    if (!on) {
        events.ProcessEvent(TSlotEvent { kRelease, 0, 0, slot });
        return true;
    }
    // Every sync-mode slot starts again from its in point, so that they stay in step.
    for (int other = 1; other <= kSlotCount; ++other) {
        if (p.slot(other).Loaded && p.slot(other).InstallationMode) {
            events.ProcessEvent(TSlotEvent { kRestart, 0, 0, other });
        }
    }
    return true;
}

} // namespace control_entries

} // namespace oskel
