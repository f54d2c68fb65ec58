#include <gtest/gtest.h>

#include "control/effect_setup.h"
#include "control/midi_effect_controls.h"
#include "support/fake_effects.h"
#include "support/performance_with_controls.h"

namespace oskel {
namespace {

// MIDI's effect calls become settings of the control table's effect entries.
class MidiEffectControlsTest : public ::testing::Test, public test::PerformanceWithControls {
protected:
    void SetUp() override
    {
        performance.slot(2).Loaded = true;
        performance.slot(3).Loaded = true;
        effects.choosePlugin(2, 1);
    }
    test::FakeEffects effects { performance };
    MidiEffectControls midi { performance, events };
};

TEST_F(MidiEffectControlsTest, ControllerValuesSetTheParametersAndTheMix)
{
    midi.MIDIsetParam(2, 0, 127);
    midi.MIDIsetParam(2, 7, 0);
    midi.MIDIsetParam(2, 3, 64);
    const auto& params = performance.slots()[2].FFparams;
    EXPECT_EQ(params[0], 1.0f);
    EXPECT_EQ(params[7], 0.0f);
    EXPECT_EQ(params[3], 0.504f) << "64 / 127 in thousandths";
    midi.MIDIsetParam(2, 8, 127); // no ninth parameter
    midi.MIDIsetParam(17, 0, 127);
    midi.ChangeWetDryMixMIDI(2, 0.25);
    EXPECT_EQ(performance.slots()[2].FFwetDry, 0.25f);
}

TEST_F(MidiEffectControlsTest, TheEffectSwitchesOnlyWhereAPluginIs)
{
    EXPECT_TRUE(midi.SetEffectEnabled(2, true));
    EXPECT_TRUE(performance.slots()[2].FFenable);
    EXPECT_TRUE(midi.SetEffectEnabled(2, false));
    EXPECT_FALSE(performance.slots()[2].FFenable);
    EXPECT_FALSE(midi.SetEffectEnabled(3, true)) << "no plug-in";
    EXPECT_FALSE(performance.slots()[3].FFenable);
}

TEST_F(MidiEffectControlsTest, TheGridCopiesTheWholeSetUpAndTheKeyTogglesIt)
{
    midi.MIDIsetParam(2, 1, 127);
    midi.ChangeWetDryMixMIDI(2, 0.75);
    toggleEffect(performance, events, 2);
    EXPECT_TRUE(performance.slots()[2].FFenable);
    copyEffectSetup(performance, events, 2, 3);
    EXPECT_EQ(effects.pluginIndex(3), 1);
    EXPECT_TRUE(performance.slots()[3].FFenable);
    EXPECT_EQ(performance.slots()[3].FFparams[1], 1.0f);
    EXPECT_EQ(performance.slots()[3].FFwetDry, 0.75f);
    toggleEffect(performance, events, 3);
    EXPECT_FALSE(performance.slots()[3].FFenable);
    performance.slot(4).Loaded = true;
    toggleEffect(performance, events, 4); // no plug-in
    EXPECT_FALSE(performance.slots()[4].FFenable);
}

} // namespace
} // namespace oskel
