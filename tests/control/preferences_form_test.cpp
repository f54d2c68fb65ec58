#include <gtest/gtest.h>

#include "control/auto_standby.h"
#include "control/preferences_form.h"
#include "persistence/settings_file.h"
#include "support/performance_with_controls.h"

namespace oskel {
namespace {

using namespace preferences_form;

class PreferencesFormTest : public ::testing::Test, public test::PerformanceWithControls { };

// Every toggle sets its option at once, and the settings file keeps it for the next start.
TEST_F(PreferencesFormTest, TogglesSetTheirOptionsAndTheSettingsFileKeepsThem)
{
    const Contents initial = contents(performance);
    for (std::size_t index = 0; index < kToggleCount; ++index) {
        const auto toggle = static_cast<Toggle>(index);
        SCOPED_TRACE(std::string(toggleInfo(toggle).caption));
        const bool flipped = !initial.toggles.at(index);
        toggleClicked(events, performance, toggle, flipped);
        EXPECT_EQ(contents(performance).toggles.at(index), flipped);
    }
    IniProfile ini;
    writeSettings(ini, performance.globals(), performance.options());
    test::RecordingUserInterface otherUi;
    MainThreadDispatcher otherThread;
    Performance restarted(otherUi, otherThread);
    readSettings(ini, SettingsDefaults {}, restarted.globals(), restarted.options());
    const Contents reread = contents(restarted);
    for (std::size_t index = 0; index < kToggleCount; ++index) {
        const auto toggle = static_cast<Toggle>(index);
        // "Auto Standby" is off at every start.
        const bool kept = toggle != Toggle::AutoStandby && !initial.toggles.at(index);
        EXPECT_EQ(reread.toggles.at(index), kept) << toggleInfo(toggle).caption;
    }
}

// Another application taking the focus stands the instrument by while "Auto Standby" is on;
// getting it back leaves only a standby entered that way.
TEST_F(PreferencesFormTest, AutoStandbyFollowsTheApplicationsFocus)
{
    const auto codes = [this] {
        std::vector<int> sent;
        for (const TSlotEvent& event : events.take()) {
            sent.push_back(event.Code);
        }
        return sent;
    };
    AutoStandby autoStandby(events, performance);
    autoStandby.applicationActiveChanged(false);
    autoStandby.applicationActiveChanged(true);
    EXPECT_TRUE(codes().empty()) << "off until the performer switches it on";

    toggleClicked(events, performance, Toggle::AutoStandby, true);
    autoStandby.applicationActiveChanged(false);
    EXPECT_EQ(codes(), std::vector<int> { 28 });
    performance.globals().standby = true; // as event 28 leaves it
    autoStandby.applicationActiveChanged(true);
    EXPECT_EQ(codes(), std::vector<int> { 29 });

    // Standing by already when the focus went: it stays so when the focus comes back.
    autoStandby.applicationActiveChanged(false);
    autoStandby.applicationActiveChanged(true);
    EXPECT_TRUE(codes().empty());
}

TEST_F(PreferencesFormTest, TheKeyMapChoiceSetsTheLettersAndTheCaptions)
{
    keyMapChosen(performance, KeyMap::Azerty);
    EXPECT_EQ(performance.globals().keyLetters.upperLetter(1), 'A');
    EXPECT_EQ(contents(performance).keyMap, KeyMap::Azerty);
    keyMapChosen(performance, KeyMap::MidiNotes);
    EXPECT_TRUE(performance.options().ui.MIDIKeyLetters);
    EXPECT_EQ(contents(performance).keyMap, KeyMap::MidiNotes);
    keyMapChosen(performance, KeyMap::Qwerty);
    EXPECT_FALSE(performance.options().ui.MIDIKeyLetters);
    EXPECT_EQ(performance.globals().keyLetters.upperLetter(1), 'Q');
}

TEST_F(PreferencesFormTest, DoneStoresNumbersWithDefaultsAndTellsOfNewDisplayOptions)
{
    Entered entered { "8", "12", true, contents(performance).display };
    EXPECT_FALSE(done(performance, entered)) << "the display options did not change";
    EXPECT_EQ(performance.globals().DefaultBeatsPerClip, 8);
    EXPECT_EQ(performance.globals().JogAmount, 12.0);
    EXPECT_EQ(performance.options().ui.thumbnails, ThumbnailPosition::Middle);

    entered = Entered { "many", "", false, DisplayChoice { 1, true, 4, 3 } };
    EXPECT_TRUE(done(performance, entered));
    EXPECT_EQ(performance.globals().DefaultBeatsPerClip, 4);
    EXPECT_EQ(performance.globals().JogAmount, 5.0);
    EXPECT_EQ(performance.options().display.displayOption, 1);

    entered.display = DisplayChoice { 7, true, 0, -2 }; // beyond the choices
    done(performance, entered);
    EXPECT_EQ(performance.options().display.displayOption, 2);
    EXPECT_EQ(performance.options().display.previewAspectX, 4);

    IniProfile ini;
    writeDisplayKeys(ini, performance.options().display);
    EXPECT_EQ(ini.readInteger("Display", "displayOption", -1), 2);
    EXPECT_EQ(ini.readInteger("Display", "compositionWidth", -1), 384);
    EXPECT_EQ(ini.readInteger("Display", "previewAspectY", -1), 3);
    EXPECT_TRUE(ini.readBool("Display", "manualPreviewSize", false));
}

} // namespace
} // namespace oskel
