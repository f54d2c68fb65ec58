#include <gtest/gtest.h>

#include "control/keyboard_control.h"
#include "core/control_names.h"
#include "core/event_processor.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/pretend_clip.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

constexpr KeyModifiers kNone {};
constexpr KeyModifiers kShift { true, false, false };
constexpr KeyModifiers kAlt { false, true, false };
constexpr KeyModifiers kCtrl { false, false, true };

class RecordingTargets : public KeyboardTargets {
public:
    std::vector<std::string> calls;

    void requestClose() override { calls.emplace_back("close"); }
    void openClipDialog(int slot) override { calls.push_back("dialog " + std::to_string(slot)); }
    void showHelp() override { calls.emplace_back("help"); }
    void loadPatch() override { calls.emplace_back("load patch"); }
    void savePatch() override { calls.emplace_back("save patch"); }
    void showPreferences() override { calls.emplace_back("preferences"); }
    void showLoadMultipleClips() override { calls.emplace_back("load multiple"); }
    void showMainWindow() override { calls.emplace_back("main window"); }
    void moveOutputHome() override { calls.emplace_back("output home"); }
    void showGridAndPatchExplorer() override { calls.emplace_back("grid and patches"); }
    void moveWindowsHome() override { calls.emplace_back("windows home"); }
    void toggleSecondaryOutput() override { calls.emplace_back("secondary output"); }
    void toggleEffect(int slot) override { calls.push_back("effect " + std::to_string(slot)); }
};

class KeyboardControlTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kLength = 882000;

    void SetUp() override
    {
        performance.setEventSink(&events);
        events.applyControlsWith(controls);
        controls.setControlChangedHandler(
            [this](const ControlEntry& entry, int slot) { tempo.controlChanged(entry, slot); });
        TPlayAvistruct& first = load(1);
        first.Volume = -500;
        first.Balance = 70;
        load(2).Mute = true;
    }

    TPlayAvistruct& load(int number)
    {
        return test::pretendLoaded(performance.slot(number), kLength);
    }
    void down(Key key, KeyModifiers modifiers = kNone, bool repeat = false)
    {
        keys.FormKeyDown(key, modifiers, repeat);
    }
    void up(Key key, KeyModifiers modifiers = kNone, bool repeat = false)
    {
        keys.FormKeyUp(key, modifiers, repeat);
    }
    std::string shown(std::string_view control) const
    {
        const ControlValue* value = ui.lastShown(control);
        return value == nullptr
            ? ""
            : std::visit(
                [](const auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) {
                        return v;
                    } else {
                        return std::to_string(v);
                    }
                },
                *value);
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::RecordingEventSink events;
    AudioMailbox controlMailbox;
    test::FakePlayback controlPlayback;
    // Carries out the settings of the control table that the controls send.
    EventProcessor controls { performance, controlMailbox, controlPlayback };
    Tempo tempo { performance, events };
    SelectionOnlyInspector inspector { performance };
    CrossfadeMixer mixer { performance, events, inspector };
    RecordingTargets targets;
    std::vector<bool> syncRestarts;
    std::uint32_t now = 1000;
    int referenceRate = 48000;
    KeyboardControl keys { { performance, events, tempo, mixer, inspector, targets,
        [this](bool hide) { syncRestarts.push_back(hide); }, [this] { return now; },
        [this] { return referenceRate; } } };
};

TEST_F(KeyboardControlTest, KeysSendTheirEvents)
{
    struct Case {
        const char* name;
        Key key;
        KeyModifiers modifiers;
        std::vector<TSlotEvent> expected;
    };
    const std::int32_t length = kLength;
    const std::vector<Case> cases = {
        { "Q triggers slot 1 at its volume and balance", Key::Q, kNone, { { 0, -500, 70, 1 } } },
        { "A triggers muted slot 2 at the mute level", Key::A, kNone, { { 0, -8000, 64, 2 } } },
        { "the key of an empty slot does nothing", Key::K, kNone, {} },
        { "Shift+Q releases", Key::Q, kShift, { { 10, 0, 0, 1 } } },
        { "5 plays at the reference rate", Key::Digit5, kNone, { { 3, 48000, 0, 1 } } },
        { "0 plays at the clip's own rate", Key::Digit0, kNone, { { 3, 44100, 0, 1 } } },
        { "3 plays at half the reference rate", Key::Digit3, kNone, { { 3, 24000, 0, 1 } } },
        { "1 plays at a fifth", Key::Digit1, kNone, { { 3, 9600, 0, 1 } } },
        { "keypad 7 is a speed digit", Key::Keypad7, kNone, { { 3, 67200, 0, 1 } } },
        { "L toggles loop", Key::L, kNone, { { 6, 0, 0, 0 } } },
        { "P pauses the selected slot", Key::P, kNone, { { 9, 1, 0, 1 } } },
        { "O toggles trails", Key::O, kNone, { { 12, 1, 0, 0 } } },
        { "; toggles layering", Key::Semicolon, kNone, { { 13, 0, 0, 0 } } },
        { "` toggles MIDI channels", Key::Grave, kNone, { { 14, 1, 0, 0 } } },
        { "OEM 8 clears the output", Key::Oem8, kNone, { { 11, 0, 0, 0 } } },
        { "Backspace selects the whole clip", Key::Backspace, kNone,
            { { 7, 0, 0, 1 }, { 8, length, 0, 1 } } },
        { "Left plays backwards", Key::Left, kNone, { { 2, 2, 0, 1 } } },
        { "Right plays forwards", Key::Right, kNone, { { 2, 1, 0, 1 } } },
        { "Page Up", Key::PageUp, kNone, { { 30, 1, 500, 1 } } },
        { "Page Down", Key::PageDown, kNone, { { 30, 0, 500, 1 } } },
        { "Up", Key::Up, kNone, { { 30, 1, 50, 1 } } },
        { "Down", Key::Down, kNone, { { 30, 0, 50, 1 } } },
        { "Escape stops all", Key::Escape, kNone, { { 25, 0, 0, 0 } } },
        { ", holds transform A", Key::Comma, kNone, { { 31, 0, 0, 1 }, { 34, 0, 0, 1 } } },
        { ". holds transform B", Key::Period, kNone, { { 31, 0, 0, 2 }, { 34, 0, 0, 2 } } },
        { "Ctrl+F4 enters standby", Key::F4, kCtrl, { { 28, 0, 0, 0 } } },
        { "Ctrl+C centres the selected slot", Key::C, kCtrl, { { 16, 142, 94, 1 } } },
        { "Ctrl+. centres every loaded slot", Key::Period, kCtrl,
            { { 16, 142, 94, 1 }, { 16, 0, 0, 2 } } },
        { "Ctrl+Q shows the slot instead of triggering", Key::Q, kCtrl, {} },
        { "Alt+Q asks for a clip instead", Key::Q, kAlt, {} },
        { "Alt with another key does nothing more", Key::L, kAlt, {} },
        { "Shift with another key does nothing more", Key::L, kShift, {} },
        { "/ restarts the sync-mode slots", Key::Slash, kNone, {} },
        { "F5 does nothing", Key::F5, kNone, {} },
    };
    for (const Case& c : cases) {
        performance.slot(1).Left = 10;
        performance.slot(1).Top = 20;
        performance.slot(1).Right = 110;
        performance.slot(1).Bottom = 120;
        performance.selectSlot(1);
        events.take();
        down(c.key, c.modifiers);
        EXPECT_EQ(events.take(), c.expected) << c.name;
    }
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });
}

TEST_F(KeyboardControlTest, KeysReachTheWindowsThroughTheTargets)
{
    struct Case {
        Key key;
        KeyModifiers modifiers;
        const char* call;
    };
    performance.selectSlot(1);
    for (const Case& c : std::vector<Case> {
             { Key::F1, kNone, "help" },
             { Key::F2, kNone, "load patch" },
             { Key::F3, kNone, "save patch" },
             { Key::F4, kNone, "preferences" },
             { Key::F7, kNone, "load multiple" },
             { Key::F12, kNone, "main window" },
             { Key::F12, kShift, "output home" },
             { Key::F11, kCtrl, "grid and patches" },
             { Key::F12, kCtrl, "windows home" },
             { Key::F4, kAlt, "close" },
             { Key::W, kAlt, "dialog 3" },
             { Key::Tab, kNone, "secondary output" },
             { Key::M, kNone, "effect 1" },
         }) {
        targets.calls.clear();
        down(c.key, c.modifiers);
        EXPECT_EQ(targets.calls, std::vector<std::string> { c.call }) << c.call;
    }
    targets.calls.clear();
    performance.options().ui.DisableTAB = true;
    down(Key::Tab);
    down(Key::F4, kShift);
    EXPECT_TRUE(targets.calls.empty());
    EXPECT_EQ(ui.statusTexts.back(), "Loading Multiple Clips...");
}

TEST_F(KeyboardControlTest, OptionKeysToggleAndShowTheirButtons)
{
    GlobalState& globals = performance.globals();
    down(Key::Apostrophe);
    EXPECT_TRUE(globals.PCKeyNoteOff);
    EXPECT_EQ(shown(control::kPcNoteOff), "1");
    down(Key::F8);
    EXPECT_FALSE(globals.LoadClipsFullscreen);
    EXPECT_EQ(shown(control::kFullScreen), "0");
    down(Key::F9);
    EXPECT_TRUE(globals.NewTriggerStopsClips);
    EXPECT_EQ(shown(control::kMonophonic), "1");
    down(Key::F10);
    EXPECT_TRUE(globals.LoadClipsInSyncMode);
    EXPECT_EQ(shown(control::kLoadInSyncMode), "1");
    down(Key::X);
    EXPECT_TRUE(mixer.enabled());
    EXPECT_EQ(shown(control::kCrossfadeEnable), "1");
}

TEST_F(KeyboardControlTest, PcNoteOffStartsAHeldSlotOnceAndStopsItOnRelease)
{
    performance.globals().PCKeyNoteOff = true;
    down(Key::Q);
    performance.slot(1).Playing = true; // the audio thread has started it
    down(Key::Q, kNone, true);
    down(Key::Q, kNone, true);
    up(Key::Q, kNone, true); // the keyboard's own release between repeats
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 0, -500, 70, 1 } }));
    up(Key::Q);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 10, 0, 0, 1 } }));

    // A sync-mode slot sounds while it is not muted.
    TPlayAvistruct& sync = load(3);
    sync.InstallationMode = true;
    sync.Mute = false;
    down(Key::W);
    EXPECT_TRUE(events.take().empty());
    up(Key::W, kShift);
    EXPECT_TRUE(events.take().empty()) << "a release with a modifier held is no note-off";
}

TEST_F(KeyboardControlTest, WithoutPcNoteOffEveryPressTriggersAndReleaseDoesNothing)
{
    performance.slot(1).Playing = true;
    down(Key::Q);
    down(Key::Q, kNone, true);
    up(Key::Q);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 0, -500, 70, 1 }, { 0, -500, 70, 1 } }));
}

TEST_F(KeyboardControlTest, ATriggerLeavesStandbyAndSelectsTheSlot)
{
    performance.globals().standby = true;
    down(Key::Q);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 29, 0, 0, 0 }, { 0, -500, 70, 1 } }));
    EXPECT_EQ(performance.globals().selectedSlot, 1);
    EXPECT_EQ(inspector.inspectedSlot(), 1);

    performance.globals().SelectionFollowsTriggers = false;
    down(Key::A);
    EXPECT_EQ(performance.globals().selectedSlot, 2);
    EXPECT_EQ(inspector.inspectedSlot(), 1) << "the inspector stays where it was";
}

TEST_F(KeyboardControlTest, TheAzertyLayoutReadsLettersByTheirCaps)
{
    performance.globals().keyLetters = KeyLetterMap(KeyboardLayout::Azerty);
    load(3);
    performance.selectSlot(1);
    down(Key::W); // printed Z on AZERTY keyboards: taps and triggers slot 3
    EXPECT_EQ(shown(control::kTapButton), "Tap 1");
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 0, 0, 64, 3 } }));
    down(Key::Q); // printed A: slot 1
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 0, -500, 70, 1 } }));
    down(Key::Z); // printed W: neither a tap nor a slot
    EXPECT_EQ(shown(control::kTapButton), "Tap 1");
    EXPECT_TRUE(events.take().empty());
    down(Key::Semicolon); // printed M: the effect, not layering
    down(Key::M); // printed ","
    EXPECT_TRUE(events.take().empty());
    EXPECT_EQ(targets.calls, std::vector<std::string> { "effect 1" });

    performance.globals().keyLetters = KeyLetterMap(KeyboardLayout::Qwerty);
    down(Key::Z);
    EXPECT_EQ(shown(control::kTapButton), "Tap 2");
    EXPECT_TRUE(events.take().empty()) << "Z is no slot's key in QWERTY";
    down(Key::Backslash);
    EXPECT_EQ(shown(control::kTapButton), "Tap 3");
}

TEST_F(KeyboardControlTest, WhileLoadingOnlyKeyUpActs)
{
    down(Key::Equals);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 155.0);
    performance.globals().loadingBusy = true;
    for (Key key : { Key::Q, Key::Digit5, Key::L, Key::Slash, Key::Minus, Key::Apostrophe }) {
        down(key);
    }
    down(Key::F4, kCtrl);
    EXPECT_TRUE(events.take().empty());
    EXPECT_TRUE(syncRestarts.empty());
    EXPECT_FALSE(performance.globals().PCKeyNoteOff);
    up(Key::Equals);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 150.0);
}

TEST_F(KeyboardControlTest, TheTempoJogHoldsThroughRepeatsAndRestoresOnRelease)
{
    down(Key::Minus);
    down(Key::Minus, kNone, true);
    up(Key::Minus, kNone, true);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 145.0);
    up(Key::Minus);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 150.0);
}

TEST_F(KeyboardControlTest, TheTempoBoxKeepsTheKeypadDigitsAndEveryDigitFromTheSpeed)
{
    performance.selectSlot(1);
    keys.setTempoBoxFocused(true);
    for (Key key : { Key::Keypad5, Key::Keypad1, Key::Keypad0, Key::Digit5 }) {
        down(key);
    }
    EXPECT_TRUE(events.take().empty());
    keys.setTempoBoxFocused(false);
    down(Key::Keypad5);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 3, 48000, 0, 1 } }));
}

TEST_F(KeyboardControlTest, InAndOutPointsComeFromThePlayPosition)
{
    performance.selectSlot(1);
    TPlayAvistruct& slot = performance.slot(1);
    slot.ForwardBuffer->setPosition(4000);
    slot.BackwardBuffer->setPosition(1000);
    down(Key::BracketLeft);
    slot.Direction = 2;
    down(Key::BracketRight);
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> { { 7, 4000, 0, 1 }, { 8, kLength - 1000, 0, 1 } }));

    slot.BackwardBuffer = std::make_shared<test::BrokenCursorBuffer>(kLength, 44100);
    try {
        down(Key::BracketRight);
        FAIL() << "no error";
    } catch (const SoundError& error) {
        EXPECT_STREQ(error.what(), "Could not get audio position in Set OutPoint");
    }
    slot.Direction = 1;
    slot.ForwardBuffer.reset();
    EXPECT_THROW(down(Key::BracketLeft), SoundError);
    EXPECT_TRUE(events.take().empty());
}

TEST_F(KeyboardControlTest, ThreeDAndRotationKeysChangeTheSelectedSlot)
{
    performance.selectSlot(1);
    TPlayAvistruct& slot = performance.slot(1);
    slot.ClipWidth = 400;
    slot.ClipHeight = 300;
    down(Key::N);
    EXPECT_TRUE(slot.BillBoard);
    EXPECT_EQ(shown("b3Dclone1"), "1");
    slot.ClipWidth = 200;
    down(Key::N);
    down(Key::N);
    EXPECT_FALSE(slot.BillBoard) << "a small picture can leave 3D but not enter it";

    slot.XRot = 10.0;
    slot.ZRot = 30.0;
    slot.YRotSpeed = 2.0;
    down(Key::V);
    EXPECT_EQ(slot.XRot, 0.0);
    EXPECT_EQ(slot.ZRot, 0.0);
    EXPECT_EQ(slot.YRotSpeed, 2.0);
    slot.YRot = 5.0;
    down(Key::B);
    EXPECT_EQ(slot.YRot, 0.0);
    EXPECT_EQ(slot.YRotSpeed, 0.0);
}

TEST_F(KeyboardControlTest, TheStencilKeyNeedsAMaskOfTheClipsSize)
{
    performance.selectSlot(1);
    TPlayAvistruct& slot = performance.slot(1);
    down(Key::C);
    EXPECT_FALSE(slot.StencilEnabled) << "no mask";
    slot.StencilMask = std::make_shared<const std::vector<std::uint8_t>>(320 * 240);
    slot.StencilWidth = 320;
    slot.StencilHeight = 240;
    down(Key::C);
    EXPECT_TRUE(slot.StencilEnabled);
    EXPECT_TRUE(slot.TextureDirty);
    down(Key::C);
    EXPECT_FALSE(slot.StencilEnabled);

    // On the inspected slot the key acts as the inspector's button, reloading the file.
    inspector.showAVIinfo(1);
    slot.StencilFileName = "missing.txt";
    down(Key::C);
    EXPECT_FALSE(slot.StencilEnabled);
    EXPECT_EQ(shown(control::kStencilEnable), "0");
    EXPECT_FALSE(ui.messages.empty());
}

TEST_F(KeyboardControlTest, ShiftCommaAndPeriodAssignTheSelectedSlotToTheCrossfader)
{
    performance.selectSlot(5);
    down(Key::Period, kShift);
    EXPECT_EQ(mixer.slotB(), 5);
    EXPECT_TRUE(events.take().empty()) << "no transform while Shift is held";
    down(Key::Comma, kShift);
    EXPECT_EQ(mixer.slotA(), 5);
    EXPECT_EQ(shown(control::kCrossfadeLetterA), "E");
}

TEST_F(KeyboardControlTest, ReleasingCommaAndPeriodReleasesTheTransform)
{
    mixer.cbCrossFadeEnableClick(true);
    mixer.sbCrossFadeChange(100);
    events.take();
    up(Key::Comma);
    up(Key::Period, kShift);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 37, 100, 2, 1 }, { 37, 100, 2, 1 } }));
}

TEST(KeyPosition, LinuxKeyCodesGiveThePlaces)
{
    struct Case {
        int evdev;
        Key key;
    };
    for (const Case& c : std::vector<Case> {
             { 16, Key::Q },
             { 30, Key::A },
             { 44, Key::Z },
             { 50, Key::M },
             { 2, Key::Digit1 },
             { 11, Key::Digit0 },
             { 82, Key::Keypad0 },
             { 79, Key::Keypad1 },
             { 73, Key::Keypad9 },
             { 59, Key::F1 },
             { 87, Key::F11 },
             { 88, Key::F12 },
             { 43, Key::Oem8 },
             { 86, Key::Backslash },
             { 41, Key::Grave },
             { 40, Key::Apostrophe },
             { 39, Key::Semicolon },
             { 53, Key::Slash },
             { 12, Key::Minus },
             { 13, Key::Equals },
             { 26, Key::BracketLeft },
             { 27, Key::BracketRight },
             { 51, Key::Comma },
             { 52, Key::Period },
             { 105, Key::Left },
             { 109, Key::PageDown },
             { 1, Key::Escape },
             { 15, Key::Tab },
             { 14, Key::Backspace },
             { 57, Key::None },
             { 0, Key::None },
             { -5, Key::None },
             { 112, Key::None },
             { 1 << 30, Key::None },
         }) {
        EXPECT_EQ(keyFromEvdevCode(c.evdev), c.key) << c.evdev;
    }
    EXPECT_EQ(keyFromXkbKeycode(24), Key::Q);
    EXPECT_EQ(keyFromXkbKeycode(7), Key::None);
    EXPECT_EQ(keyFromXkbKeycode(-100), Key::None);
}

} // namespace
} // namespace oskel
