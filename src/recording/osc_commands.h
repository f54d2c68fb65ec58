#pragma once

#include <string>
#include <variant>

#include "platform/osc_message.h"
#include "recording/performance_script.h"

namespace oskel {

// The OSC addresses the instrument answers, each the same action as a line of a performance
// file, so that whatever arrives is one recorded action:
//   /oskel/master/<item> [value]       an entry of the control table, e.g.
//   /oskel/slot/<1..16>/<item> [value]   /oskel/slot/3/lumakeylevel 300 (items without
//                                        regard to case; actions take no value, or a value
//                                        that is not 0, so that a button's release does nothing)
//   /oskel/key/<name> <1|0>            a key of the computer keyboard pressed or released
//   /oskel/patch/load <file>           a patch loaded
//   /oskel/list                        asks for every address with its type and range
//   /oskel/subscribe, /oskel/unsubscribe   the changed values sent back to the sender, or not
// A value may come as an integer, a float or true/false: a toggle or a whole number takes the
// nearest whole number, a decimal its thousandths; the table then keeps it within its range.

inline constexpr std::string_view kOscRoot = "/oskel";

struct OscListRequest { };
struct OscSubscription {
    bool on = true;
};
// Nothing to do, and nothing wrong (a button's release on an action).
struct OscNothing { };
struct OscRefusal {
    std::string reason;
};

using OscRequest
    = std::variant<ScriptCommand, OscListRequest, OscSubscription, OscNothing, OscRefusal>;

OscRequest translateOscMessage(const OscMessage& message);

// The address of a control: "/oskel/master/loop", "/oskel/slot/3/lumakeylevel"; for a slot's
// entry, `slot` stands where its number goes ("/oskel/slot/N/lumakeylevel").
std::string oscAddress(const ControlAddress& control);
std::string oscAddress(const ControlEntry& entry, std::string_view slot);

} // namespace oskel
