#include "control/keyboard_control.h"

#include "core/control_names.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "core/trigger_event.h"

namespace oskel {

namespace {

using namespace event_code;
constexpr std::int32_t kCoarseNudge = 500;
constexpr std::int32_t kFineNudge = 50;
constexpr double kNormalSpeedDigit = 5.0;
constexpr int kHalfSpeedDigit = 3;
constexpr int kOwnRateDigit = 0;

} // namespace

KeyboardControl::KeyboardControl(Links links)
    : m_performance(links.performance)
    , m_events(links.events)
    , m_tempo(links.tempo)
    , m_mixer(links.mixer)
    , m_inspector(links.inspector)
    , m_targets(&links.targets)
    , m_restartSyncSlots(std::move(links.restartSyncSlots))
    , m_clock(std::move(links.clock))
    , m_referenceRate(std::move(links.referenceRate))
{
}

int KeyboardControl::slotOfKey(Key key) const
{
    const char letter = letterOf(key);
    return letter == '\0' ? kNoSlot : m_performance.globals().keyLetters.slotOf(letter);
}

bool KeyboardControl::selectedSlotLoaded() const
{
    const int slot = selectedSlot();
    return isValidSlot(slot) && m_performance.slot(slot).Loaded;
}

void KeyboardControl::send(
    std::uint8_t code, std::int32_t value, std::int32_t value2, std::int32_t slot)
{
    m_events.ProcessEvent(TSlotEvent { code, value, value2, slot });
}

void KeyboardControl::toggle(const ControlAddress& control)
{
    setControl(m_events, m_performance, control,
        readControl(m_performance, control).value_or(0) != 0 ? 0 : 1);
}

void KeyboardControl::FormKeyDown(Key place, KeyModifiers modifiers, bool autoRepeat)
{
    if (m_performance.globals().loadingBusy) {
        return;
    }
    const Key key = keyInLayout(place, m_performance.globals().keyLetters.layout());
    if (key == Key::None || (m_tempoBoxFocused && isKeypadDigit(key))) {
        return;
    }
    if (anyModifierKeys(key, autoRepeat)) {
        return;
    }
    if (modifiers.alt && altKeys(key)) {
        return;
    }
    if (modifiers.shift) {
        shiftKeys(key);
        if (!modifiers.ctrl) {
            return;
        }
    }
    if (modifiers.ctrl) {
        ctrlKeys(key);
        return;
    }
    if (!modifiers.alt) {
        plainKeys(key);
    }
}

void KeyboardControl::FormKeyUp(Key place, KeyModifiers modifiers, bool autoRepeat)
{
    if (autoRepeat) {
        return;
    }
    const Key key = keyInLayout(place, m_performance.globals().keyLetters.layout());
    if (key == Key::Equals || key == Key::Minus) {
        m_tempo.ReleaseNudge();
    } else if (key == Key::Comma) {
        m_mixer.TransformRelease(CrossfadeMixer::kSideA);
    } else if (key == Key::Period) {
        m_mixer.TransformRelease(CrossfadeMixer::kSideB);
    }
    const int slot = slotOfKey(key);
    if (m_performance.globals().PCKeyNoteOff && !modifiers.any() && isValidSlot(slot)) {
        send(kRelease, 0, 0, slot);
    }
}

// The keys that act whatever modifiers are held. True when the key is done with.
bool KeyboardControl::anyModifierKeys(Key key, bool autoRepeat)
{
    if (key == Key::Slash) {
        m_restartSyncSlots(false);
        return true;
    }
    // Z goes on: in the AZERTY layout it is also a slot's key.
    if (key == Key::Backslash || key == Key::Z) {
        m_tempo.Tap(m_clock());
    }
    if (key == Key::Equals) {
        m_tempo.NudgeTempo(NudgeDirection::Up, autoRepeat);
    } else if (key == Key::Minus) {
        m_tempo.NudgeTempo(NudgeDirection::Down, autoRepeat);
    } else if (key == Key::Apostrophe) {
        toggle(masterControl("PcNoteOff"));
    }
    return false;
}

bool KeyboardControl::altKeys(Key key)
{
    if (key == Key::F4) {
        m_targets->requestClose();
        return true;
    }
    const int slot = slotOfKey(key);
    if (isValidSlot(slot)) {
        m_targets->openClipDialog(slot);
        return true;
    }
    return false;
}

void KeyboardControl::shiftKeys(Key key)
{
    if (key == Key::F4) {
        return;
    }
    const int slot = slotOfKey(key);
    if (isValidSlot(slot)) {
        send(kRelease, 0, 0, slot);
    } else if (key == Key::F12) {
        m_targets->moveOutputHome();
    } else if (isValidSlot(selectedSlot()) && key == Key::Comma) {
        m_mixer.setCrossFadeA(selectedSlot());
    } else if (isValidSlot(selectedSlot()) && key == Key::Period) {
        m_mixer.setCrossFadeB(selectedSlot());
    }
}

void KeyboardControl::ctrlKeys(Key key)
{
    const int slot = slotOfKey(key);
    if (key == Key::F4) {
        send(m_performance.globals().standby ? event_code::kStandbyOff : event_code::kStandbyOn);
    } else if (key == Key::F11) {
        m_targets->showGridAndPatchExplorer();
    } else if (isValidSlot(slot) && m_performance.slot(slot).Loaded) {
        m_inspector.showAVIinfo(slot);
    } else if (key == Key::F12) {
        m_targets->moveWindowsHome();
    } else if (key == Key::C) {
        m_performance.CentreSlot(selectedSlot());
    } else if (key == Key::Period) {
        m_performance.CentreAllSlots();
    }
}

void KeyboardControl::plainKeys(Key key)
{
    if (functionKeys(key) || triggerKey(key) || speedKey(key)) {
        return;
    }
    optionKeys(key);
    if (isValidSlot(selectedSlot())) {
        selectedSlotKeys(key, selectedSlot());
    }
}

// F1..F10; F12 shows the main window and lets the key go on. True when the key is done with.
bool KeyboardControl::functionKeys(Key key)
{
    GlobalState& globals = m_performance.globals();
    switch (key) {
    case Key::F1:
        m_targets->showHelp();
        return true;
    case Key::F2:
        m_targets->loadPatch();
        return true;
    case Key::F3:
        m_targets->savePatch();
        return true;
    case Key::F4:
        m_targets->showPreferences();
        return true;
    case Key::F5:
    case Key::F6:
        return true;
    case Key::F7:
        m_performance.ui().setStatusText("Loading Multiple Clips...");
        if (globals.standby) {
            send(event_code::kStandbyOff);
        }
        m_targets->showLoadMultipleClips();
        return true;
    case Key::F8:
        toggle(masterControl("LoadFullScreen"));
        return true;
    case Key::F9:
        toggle(masterControl("Monophonic"));
        return true;
    case Key::F10:
        toggle(masterControl("LoadSyncMode"));
        return true;
    case Key::F12:
        m_targets->showMainWindow();
        return false;
    default:
        return false;
    }
}

// The key of a loaded slot triggers it. True when the key is swallowed: with "PC Note Off"
// a slot that already sounds is not triggered again, so a held key starts it only once.
bool KeyboardControl::triggerKey(Key key)
{
    const int slot = slotOfKey(key);
    if (!isValidSlot(slot) || !m_performance.slot(slot).Loaded) {
        return false;
    }
    GlobalState& globals = m_performance.globals();
    if (globals.standby) {
        send(event_code::kStandbyOff);
    }
    const TPlayAvistruct& record = m_performance.slot(slot);
    const bool sounding = record.InstallationMode ? !record.Mute : record.Playing.load();
    if (globals.PCKeyNoteOff && sounding) {
        return true;
    }
    m_events.ProcessEvent(triggerEventFor(slot, record));
    if (globals.SelectionFollowsTriggers) {
        m_inspector.showAVIinfo(slot);
    }
    m_performance.selectSlot(slot);
    return false;
}

// The digits set the selected slot's speed: d gives d/5 of the reference rate, 3 half of
// it and 0 the clip's own rate.
bool KeyboardControl::speedKey(Key key)
{
    const int digit = digitOf(key);
    if (digit < 0 || m_tempoBoxFocused || !selectedSlotLoaded()) {
        return false;
    }
    const int slot = selectedSlot();
    const double rate = m_referenceRate();
    double hertz = 0.0;
    if (digit == kOwnRateDigit) {
        hertz = m_performance.slot(slot).BaseFrequency;
    } else if (digit == kHalfSpeedDigit) {
        hertz = rate / 2.0;
    } else {
        hertz = digit / kNormalSpeedDigit * rate;
    }
    send(kSetFrequency, static_cast<std::int32_t>(roundHalfEven(hertz)), 0, slot);
    return true;
}

void KeyboardControl::optionKeys(Key key)
{
    const GlobalState& globals = m_performance.globals();
    switch (key) {
    case Key::BracketLeft:
        setPointAtPlayPosition(true);
        break;
    case Key::BracketRight:
        setPointAtPlayPosition(false);
        break;
    case Key::Backspace:
        wholeClip();
        break;
    case Key::L:
        send(kLoopOption, globals.Loop ? 0 : 1);
        break;
    case Key::P:
        if (selectedSlotLoaded()) {
            send(kPause, m_performance.slot(selectedSlot()).Paused ? 0 : 1, 0, selectedSlot());
        }
        break;
    case Key::O:
        send(kTrailsOption, globals.Trails ? 0 : 1);
        break;
    case Key::Semicolon:
        send(kLayeringOption, globals.Layering ? 0 : 1);
        break;
    case Key::Grave:
        send(kMidiChannelsOption, m_performance.options().midi.IndividualChannels ? 0 : 1);
        break;
    case Key::Oem8:
        send(kClearOutput);
        break;
    case Key::X:
        m_mixer.toggleEnable();
        break;
    case Key::Comma:
        m_mixer.TransformDown(CrossfadeMixer::kSideA);
        break;
    case Key::Period:
        m_mixer.TransformDown(CrossfadeMixer::kSideB);
        break;
    case Key::Tab:
        if (!m_performance.options().ui.DisableTAB) {
            m_targets->toggleSecondaryOutput();
        }
        break;
    default:
        break;
    }
}

void KeyboardControl::selectedSlotKeys(Key key, int slot)
{
    switch (key) {
    case Key::Left:
        send(kDirection, 2, 0, slot);
        break;
    case Key::Right:
        send(kDirection, 1, 0, slot);
        break;
    case Key::PageUp:
        send(kNudgeFrequency, 1, kCoarseNudge, slot);
        break;
    case Key::PageDown:
        send(kNudgeFrequency, 0, kCoarseNudge, slot);
        break;
    case Key::Up:
        send(kNudgeFrequency, 1, kFineNudge, slot);
        break;
    case Key::Down:
        send(kNudgeFrequency, 0, kFineNudge, slot);
        break;
    case Key::Escape:
        send(kStopAll);
        break;
    case Key::M:
        m_targets->toggleEffect(slot);
        break;
    case Key::N:
        toggleThreeD(slot);
        break;
    case Key::B:
        resetRotation(slot, true);
        break;
    case Key::V:
        resetRotation(slot, false);
        break;
    case Key::C:
        toggleStencil(slot);
        break;
    default:
        break;
    }
}

} // namespace oskel
