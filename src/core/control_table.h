#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/event_rules.h"
#include "core/slot_event.h"

namespace oskel {

class Performance;

// The control table: every value a performer can set, addressed by group and item
// ("[Master] Loop", "[Slot3] LumaKeyLevel"), with its type, range and default, how it is
// read and how it is set. Whoever sets a value (keys, windows, performance files, MIDI)
// builds the event that controlEvent gives and hands it to the event processor, so that
// every change is one action that a recording keeps.

enum class ControlScope : std::uint8_t { Master, Slot };

// Toggle: 0 or 1. Integer: a whole number in its range. Decimal: a number with up to three
// decimals, carried in thousandths. Action: no value; setting it does something once.
enum class ControlKind : std::uint8_t { Toggle, Integer, Decimal, Action };

inline constexpr std::int32_t kDecimalScale = 1000;

struct ControlEntry {
    ControlScope scope = ControlScope::Master;
    std::string_view item;
    ControlKind kind = ControlKind::Toggle;
    ValueRange range { 0, 1 };
    std::int32_t defaultValue = 0;
    // The value now; null for entries that cannot be read back (actions, controller moves).
    std::int32_t (*read)(const Performance&, int slot) = nullptr;
    // Entries that an event code carries out: the event for the value (already in range).
    TSlotEvent (*event)(const Performance&, int slot, std::int32_t value) = nullptr;
    // The others the event processor writes through here, on the main thread, after the
    // value was brought into range; it may send further events. False when the slot
    // refuses the value (nothing changed).
    bool (*write)(Performance&, EventSink&, int slot, std::int32_t value) = nullptr;
    // The window control that shows the value, if any (control_names.h); a slot entry's
    // value is shown while its slot is inspected.
    std::string_view shownIn;
};

std::span<const ControlEntry> controlTable();

// The entry's index in the table; a compile-time error for a name not in the table.
consteval std::size_t controlIndex(ControlScope scope, std::string_view item);

// An entry together with the slot of a slot entry (0 for a master entry).
struct ControlAddress {
    std::size_t index = 0;
    int slot = 0;
    const ControlEntry& entry() const { return controlTable()[index]; }
};

// "[Master]", "[Slot1]".."[Slot16]" (or without brackets) and an item, compared without
// regard to case. Nothing when either is unknown.
std::optional<ControlAddress> findControl(std::string_view group, std::string_view item);
std::string controlGroupName(const ControlAddress& address); // "[Master]", "[Slot3]"
std::string controlName(const ControlAddress& address); // "[Slot3] LumaKeyLevel"

// A value in the performer's words ("1", "-200", "128.5") and back. parseControlValue says
// what is wrong with a text that the entry does not take (wrong type or out of range).
std::string formatControlValue(const ControlEntry& entry, std::int32_t value);
struct ParsedControlValue {
    std::int32_t value = 0;
    std::string problem; // empty when the value was taken
};
ParsedControlValue parseControlValue(const ControlEntry& entry, std::string_view text);
std::string controlRangeText(const ControlEntry& entry); // "0..765", "0 or 1", "no value"
std::string_view controlKindName(ControlKind kind);

// The event that sets the value: the entry's own event code, or kSetControl.
TSlotEvent controlEvent(
    const Performance& performance, const ControlAddress& address, std::int32_t value);
// Builds that event and sends it.
void setControl(EventSink& events, const Performance& performance, const ControlAddress& address,
    std::int32_t value);
// The value now; nothing for an entry that cannot be read back or a slot number out of range.
std::optional<std::int32_t> readControl(
    const Performance& performance, const ControlAddress& address);

} // namespace oskel

#include "core/control_table_entries.h"
