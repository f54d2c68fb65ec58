#include "app/control_list.h"

#include <iomanip>
#include <string>

#include "core/control_table.h"
#include "recording/osc_commands.h"

namespace oskel {

void printControlList(std::ostream& out)
{
    out << "Every value a performer can set, as a performance file sets it and as OSC reaches it:\n"
           "  <ms> set <group> <item> <value>     (N in [SlotN] is a slot, 1..16)\n"
           "  <address> [value]                   (an OSC message to the instrument's port)\n\n";
    out << std::left << std::setw(40) << "control" << std::setw(9) << "type" << std::setw(20)
        << "range" << std::setw(10) << "default"
        << "OSC address\n";
    for (const ControlEntry& entry : controlTable()) {
        const std::string group = entry.scope == ControlScope::Master ? "[Master]" : "[SlotN]";
        const bool hasDefault
            = entry.kind != ControlKind::Action && entry.range.contains(entry.defaultValue);
        out << std::setw(40) << group + " " + std::string(entry.item) << std::setw(9)
            << controlKindName(entry.kind) << std::setw(20) << controlRangeText(entry)
            << std::setw(10) << (hasDefault ? formatControlValue(entry, entry.defaultValue) : "-")
            << oscAddress(entry, "N") << '\n';
    }
    out << "\nOSC also takes /oskel/key/<key> 1|0 (a key pressed or released, named as in\n"
           "performance files), /oskel/patch/load <file>, /oskel/list (every address with its\n"
           "type and range, sent back), /oskel/subscribe and /oskel/unsubscribe (the values\n"
           "that change, sent back).\n";
}

} // namespace oskel
