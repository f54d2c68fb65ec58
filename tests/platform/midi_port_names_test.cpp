#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/midi_port_names.h"

namespace oskel {
namespace {

TEST(MidiPortNames, SequencerNamesLoseTheNumbersThatChangeBetweenSessions)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "USB Keys:USB Keys MIDI 1 24:0", "USB Keys:USB Keys MIDI 1" },
        { "Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0" },
        { "Oskel 3:Oskel 3 128:0", "Oskel 3:Oskel 3" },
        { "Synth 2:Synth 2 Port 1 130:1", "Synth 2:Synth 2 Port 1" },
        { "Pads 24:", "Pads 24:" },
        { "Pads :0", "Pads :0" },
        { "Pads a:0", "Pads a:0" },
        { " 24:0", " 24:0" },
        { "", "" },
    };
    for (const auto& [listed, stable] : cases) {
        EXPECT_EQ(stableAlsaPortName(listed), stable) << listed;
    }
}

TEST(MidiPortNames, EqualNamesAreNumberedFromTheSecond)
{
    std::vector<std::string> names { "Keys", "Pads", "Keys", "Keys (2)", "Keys", "Pads" };
    makeNamesUnique(names);
    EXPECT_EQ(names,
        (std::vector<std::string> {
            "Keys", "Pads", "Keys (3)", "Keys (2)", "Keys (4)", "Pads (2)" }));
}

} // namespace
} // namespace oskel
