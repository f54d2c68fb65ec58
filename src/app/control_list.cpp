#include "app/control_list.h"

#include <iomanip>
#include <string>

#include "core/control_table.h"

namespace oskel {

void printControlList(std::ostream& out)
{
    out << "Every value a performer can set, as a performance file sets it:\n"
           "  <ms> set <group> <item> <value>     (N in [SlotN] is a slot, 1..16)\n\n";
    out << std::left << std::setw(36) << "control" << std::setw(9) << "type" << std::setw(20)
        << "range"
        << "default\n";
    for (const ControlEntry& entry : controlTable()) {
        const std::string group = entry.scope == ControlScope::Master ? "[Master]" : "[SlotN]";
        const bool hasDefault
            = entry.kind != ControlKind::Action && entry.range.contains(entry.defaultValue);
        out << std::setw(36) << group + " " + std::string(entry.item) << std::setw(9)
            << controlKindName(entry.kind) << std::setw(20) << controlRangeText(entry)
            << (hasDefault ? formatControlValue(entry, entry.defaultValue) : "-") << '\n';
    }
}

} // namespace oskel
