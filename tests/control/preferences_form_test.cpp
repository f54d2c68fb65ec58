#include <gtest/gtest.h>

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
        EXPECT_EQ(reread.toggles.at(index), !initial.toggles.at(index))
            << toggleInfo(static_cast<Toggle>(index)).caption;
    }
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
