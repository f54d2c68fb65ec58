#include "control/midi_interpreter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "control/midi_parameters.h"
#include "core/control_names.h"
#include "core/control_table.h"
#include "core/pan_law.h"
#include "core/rounding.h"
#include "core/slot_status.h"
#include "core/trigger_event.h"
#include "platform/sound_buffer.h"

namespace oskel {

namespace {

using namespace event_code;
namespace p = midi_parameter;

constexpr std::uint16_t kNoteOff = 0x80;
constexpr std::uint16_t kNoteOn = 0x90;
constexpr std::uint16_t kControlChange = 0xB0;
constexpr std::uint16_t kProgramChange = 0xC0;
constexpr std::uint16_t kPitchWheel = 0xE0;
constexpr std::uint16_t kActiveSensing = 0xFE;

constexpr std::array<int, kSlotCount> kKeyboardNotes { 48, 50, 52, 53, 55, 57, 59, 60, 62, 64, 65,
    67, 69, 71, 72, 74 };
constexpr int kFirstGuitarNote = 52;

// The command notes.
constexpr int kTapNote = 42;
constexpr int kResetNote = 44;
constexpr int kInPointsHomeNote = 46;
constexpr int kTrailsNote = 58;
constexpr int kStopAllNote = 63;
constexpr int kMonophonicNote = 73;
constexpr int kNoteOffNote = 75;
constexpr int kBackwardNote = 49;
constexpr int kForwardNote = 51;
constexpr int kLoopNote = 54;
constexpr int kEffectNote = 56;
constexpr int kInPointHereNote = 61;
constexpr int kInPointHomeNote = 66;
constexpr int kPauseNote = 68;
constexpr int kRestartSyncNote = 70;
// Notes from here up choose the patches of the list, the first one at this note.
constexpr int kFirstPatchNote = 77;

constexpr int kScratchHoldController = 20;
constexpr int kKaossVerticalController = 1;
constexpr int kKaossOffsetController = 2;
constexpr int kHalfway = 64;
constexpr int kTop = 127;

constexpr std::int32_t kHorizontal = 1;
constexpr std::int32_t kVertical = 2;
constexpr std::int32_t kForward = 1;
constexpr std::int32_t kBackward = 2;
constexpr double kPitchNoteRate = 44100.0;
constexpr int kPitchNoteCentre = 60;
constexpr double kHighestPitchNoteRate = 1000000.0;
constexpr std::int32_t kScratchRate = 2000;
constexpr std::int32_t kOpaque = 0;
constexpr std::int32_t kTransparent = 256;
constexpr std::int32_t kLumaTop = 765;
constexpr std::int32_t kAreaWidth = 384;
constexpr std::int32_t kAreaHeight = 288;
constexpr double kThreeDScale = 6.0;
constexpr double kRotateFactor = 20.0;
constexpr double kWheelRotateFactor = 5.0;

constexpr std::size_t kSize3D = controlIndex(ControlScope::Slot, "Size3D");
constexpr std::size_t kXRotationSpeed = controlIndex(ControlScope::Slot, "XRotationSpeed");
constexpr std::size_t kYRotationSpeed = controlIndex(ControlScope::Slot, "YRotationSpeed");
constexpr std::size_t kZRotationSpeed = controlIndex(ControlScope::Slot, "ZRotationSpeed");
constexpr std::size_t kHorizontalTiles = controlIndex(ControlScope::Slot, "HorizontalTiles");
constexpr std::size_t kVerticalTiles = controlIndex(ControlScope::Slot, "VerticalTiles");
constexpr std::size_t kTileSpacing = controlIndex(ControlScope::Slot, "TileSpacing");

std::int32_t rounded(double value)
{
    return static_cast<std::int32_t>(roundHalfEven(value));
}

// A value 0..127 as a share of the top value, rounded.
std::int32_t share(int value, std::int32_t top)
{
    return rounded(value / 127.0 * top);
}

// A velocity or controller value as a volume of -10000..0 hundredths of a decibel.
std::int32_t volumeOf(int value)
{
    return value == 0 ? kSilentVolume : rounded(std::log10(value / 127.0) * 2000.0);
}

// An in or out point at the share v/127 of the sound's length: never 0, and short of the end.
std::int32_t pointOf(std::int64_t length, int value)
{
    std::int64_t point = roundHalfEven(static_cast<double>(length * value) / 127.0);
    if (point == 0) {
        point = 1;
    }
    if (point >= length) {
        point = length - 2;
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(point, INT32_MIN, INT32_MAX));
}

// A frequency of 0 would stop the sound: the slowest speed instead.
std::int32_t notZero(std::int32_t hertz)
{
    return hertz == 0 ? 1 : hertz;
}

std::int32_t thousandthsOf(double value)
{
    return rounded(value * kDecimalScale);
}

bool assigned(const MidiOptions& midi, int parameter, int controller)
{
    return midi.controllers.at(static_cast<std::size_t>(parameter)) == controller;
}

} // namespace

int midiNoteSlot(int note, bool guitarMode)
{
    if (guitarMode) {
        const int slot = note - kFirstGuitarNote + 1;
        return isValidSlot(slot) ? slot : 0;
    }
    const auto* found = std::find(kKeyboardNotes.begin(), kKeyboardNotes.end(), note);
    return found == kKeyboardNotes.end() ? 0 : static_cast<int>(found - kKeyboardNotes.begin()) + 1;
}

MidiInterpreter::MidiInterpreter(Links links)
    : m_performance(links.performance)
    , m_events(links.events)
    , m_inspector(links.inspector)
    , m_ports(links.ports)
    , m_effects(links.effects)
    , m_surface(links.surface)
    , m_referenceRate(std::move(links.referenceRate))
{
}

bool MidiInterpreter::isLoaded(int slot) const
{
    return isValidSlot(slot) && m_performance.slots()[slot].Loaded;
}

bool MidiInterpreter::acceptsMidi(int slot) const
{
    return isValidSlot(slot) && !m_performance.slots()[slot].DisableMIDI;
}

void MidiInterpreter::send(
    std::uint8_t code, std::int32_t value, std::int32_t value2, std::int32_t slot)
{
    m_events.ProcessEvent(TSlotEvent { code, value, value2, slot });
}

// Patch selection by MIDI: nothing while "Disable MIDI Patch Loading" is ticked, and no
// index below 0 names a patch.
void MidiInterpreter::loadPatch(int index)
{
    if (index >= 0 && !midi().DisablePatchLoading) {
        m_ports.loadPatchByIndex(index);
    }
}

void MidiInterpreter::ProcessMidiMessage(
    std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
{
    if (globals().loadingBusy) {
        return;
    }
    Message message { status, data1, data2 };
    if (surfaceStep(message) == Outcome::End) {
        return;
    }
    const int mappedSlot = midiNoteSlot(message.data1, midi().MIDIguitairMode);
    if (message.status == kActiveSensing || globals().standby) {
        return;
    }
    switch (message.status & 0xF0) {
    case kNoteOn:
        noteOn(message, mappedSlot);
        break;
    case kNoteOff:
        noteOff(message, mappedSlot);
        break;
    case kPitchWheel:
        pitchWheel(message);
        break;
    case kControlChange:
        controller(message);
        break;
    case kProgramChange:
        programChange(message);
        break;
    default:
        break;
    }
}

void MidiInterpreter::noteOn(const Message& message, int mappedSlot)
{
    const int channel = message.channel();
    switch (m_ports.consoleMode()) {
    case ConsoleMidiState::PostJam:
        return;
    case ConsoleMidiState::Selection:
        if (isBaseChannel(channel) && midi().UseCircbuf) {
            loadPatch(mappedSlot - 1);
        }
        return;
    case ConsoleMidiState::Jam:
    case ConsoleMidiState::Off:
        break;
    }
    const MidiOptions& options = midi();
    int slot = 0;
    if (options.PitchNotes) {
        slot = channel;
    } else if (mappedSlot >= 1 && (isBaseChannel(channel) || options.IndividualChannels)) {
        slot = mappedSlot;
    }
    if (slot >= 1 && triggerNote(message, slot, options.PitchNotes)) {
        return;
    }
    commandNotes(message);
}

// A note on for a slot: true when the note is done with, false when it goes on to the
// command notes (a velocity of 0 that does not stop the slot).
bool MidiInterpreter::triggerNote(const Message& message, int slot, bool atPitch)
{
    if (!isLoaded(slot) || !acceptsMidi(slot)) {
        return true;
    }
    const TPlayAvistruct& record = m_performance.slots()[slot];
    const int velocity = message.data2;
    if (velocity == 0) {
        const bool stops = atPitch ? record.Playing.load() : !record.InstallationMode;
        if (midi().NoteOff && stops) {
            send(kRelease, 0, 0, slot);
            return true;
        }
        return false;
    }
    if (midi().VelocityOpacity) {
        send(kTransparency, velocity < 95 ? kTransparent : 1016 - 8 * velocity, 0, slot);
    }
    const std::int32_t volume = triggerVolume(slot, velocity, atPitch);
    if (atPitch) {
        const double rate
            = kPitchNoteRate * std::pow(2.0, (message.data1 - kPitchNoteCentre) / 12.0);
        // Beyond a million hertz (notes from 115 up) no rate is carried: the trigger is not
        // sent, as the event processor would refuse it anyway.
        if (rate < kHighestPitchNoteRate) {
            send(kTriggerAtFrequency, volume, rounded(rate), slot);
        }
    } else {
        send(kTrigger, volume, record.Balance, slot);
    }
    if (midi().CurrentClipMIDIfollow) {
        m_inspector.showAVIinfo(slot);
    }
    return true;
}

std::int32_t MidiInterpreter::triggerVolume(int slot, int velocity, bool pitchNotes) const
{
    const TPlayAvistruct& record = m_performance.slots()[slot];
    if (record.Mute && !(pitchNotes && record.InstallationMode)) {
        return kSilentVolume;
    }
    return midi().VelocityVolume ? volumeOf(velocity) : record.Volume;
}

void MidiInterpreter::commandNotes(const Message& message)
{
    const MidiOptions& options = midi();
    if (options.DisableBlackNotes) {
        return;
    }
    const int channel = message.channel();
    const int note = message.data1;
    if (isBaseChannel(channel) && options.UseCircbuf
        && m_ports.consoleMode() == ConsoleMidiState::Off) {
        loadPatch(note - kFirstPatchNote);
    }
    if (message.data2 == 0) {
        return;
    }
    if (note == kTapNote) {
        m_ports.tapTempo();
    }
    if (currentClip() < 1) {
        return;
    }
    switch (note) {
    case kResetNote:
        send(kUnused38);
        send(kStopAll);
        break;
    case kInPointsHomeNote:
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (!m_performance.slots()[slot].DisableMIDI) {
                send(kInPoint, 0, 0, slot);
            }
        }
        break;
    case kTrailsNote:
        send(kTrailsOption, globals().Trails ? 0 : 1);
        break;
    case kStopAllNote:
        send(kStopAll);
        break;
    case kMonophonicNote:
        setControl(m_events, m_performance, masterControl("Monophonic"),
            globals().NewTriggerStopsClips ? 0 : 1);
        break;
    case kNoteOffNote:
        setControl(m_events, m_performance, masterControl("MidiNoteOff"), options.NoteOff ? 0 : 1);
        break;
    default:
        break;
    }
    int slot = kNoSlot;
    if (options.IndividualChannels) {
        slot = channel;
    } else if (isBaseChannel(channel)) {
        slot = currentClip();
    }
    if (acceptsMidi(slot)) {
        slotCommand(note, slot);
    }
    if (note == kRestartSyncNote) {
        restartSyncSlots();
    }
}

void MidiInterpreter::slotCommand(int note, int slot)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    switch (note) {
    case kBackwardNote:
        send(kDirection, kBackward, 0, slot);
        break;
    case kForwardNote:
        send(kDirection, kForward, 0, slot);
        break;
    case kLoopNote:
        send(kLoopOption, globals().Loop ? 0 : 1);
        break;
    case kEffectNote:
        if (record.Loaded) {
            switchEffect(slot, !record.FFenable);
            showEffect(slot, record.FFenable);
        }
        break;
    case kInPointHereNote:
        if (record.Loaded) {
            std::int64_t position = 0;
            try {
                if (!record.ForwardBuffer) {
                    throw SoundError("no sound");
                }
                position = record.ForwardBuffer->playCursor();
            } catch (const SoundError&) {
                m_performance.ui().setStatusText("Err: GetPos in MIDI InPoint");
            }
            send(kInPoint, static_cast<std::int32_t>(position), 0, slot);
        }
        break;
    case kInPointHomeNote:
        send(kInPoint, 0, 0, slot);
        break;
    case kPauseNote:
        if (record.Loaded && record.Playing) {
            send(kPause, record.Paused ? 0 : 1, 0, slot);
        }
        break;
    default:
        break;
    }
}

// Restarts the sync-mode slots from their in points and shows again those that were shown,
// without bringing them to the front.
void MidiInterpreter::restartSyncSlots()
{
    std::array<bool, kSlotCount + 1> wasShown {};
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = m_performance.slots()[slot];
        if (record.InstallationMode && record.Loaded && !record.DisableMIDI) {
            wasShown.at(static_cast<std::size_t>(slot)) = record.Shown;
            send(kRestart, 0, 0, slot);
        }
    }
    const bool toFront = globals().Layering;
    send(kLayeringOption, 0);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (wasShown.at(static_cast<std::size_t>(slot))) {
            m_events.ProcessEvent(triggerEventFor(slot, m_performance.slots()[slot]));
        }
    }
    send(kLayeringOption, toFront ? 1 : 0);
}

void MidiInterpreter::noteOff(const Message& message, int mappedSlot)
{
    const MidiOptions& options = midi();
    if (!options.NoteOff) {
        return;
    }
    const int channel = message.channel();
    int slot = kNoSlot;
    if (options.PitchNotes) {
        slot = channel;
    } else if (mappedSlot >= 1 && (isBaseChannel(channel) || options.IndividualChannels)) {
        slot = mappedSlot;
    }
    if (acceptsMidi(slot) && m_performance.slots()[slot].Playing) {
        send(kRelease, 0, 0, slot);
    }
}

void MidiInterpreter::pitchWheel(const Message& message)
{
    const MidiOptions& options = midi();
    const int channel = message.channel();
    if (options.DisablePitchAndMod || (!options.IndividualChannels && !isBaseChannel(channel))) {
        return;
    }
    const int slot = options.IndividualChannels ? channel : currentClip();
    if (!acceptsMidi(slot)) {
        return;
    }
    const int value = message.data2;
    if (options.KaossPad) {
        send(kPositionFromController, kHorizontal, value, slot);
        return;
    }
    const int parameter = options.pitchWheelParameter;
    if (parameter == p::kScratching) {
        scratch(slot, value);
    } else if (parameter >= p::kFirstEffectParameter
        && parameter < p::kFirstEffectParameter + p::kEffectParameterCount) {
        m_effects.MIDIsetParam(slot, parameter - p::kFirstEffectParameter, value);
    } else {
        parameterAction(parameter, slot, value, true);
    }
    // The parameters that send one event to the slot end there; the others refresh the
    // inspector, as does the crossfader while it is off.
    const bool endsAtEvent = (parameter >= p::kDirection && parameter <= p::kTrailsDieBack)
        || parameter == p::kClipVolume
        || (parameter == p::kCrossfade && globals().crossfadeEnabled);
    if (!endsAtEvent) {
        m_ports.updateInspectorValues();
    }
}

void MidiInterpreter::controller(const Message& message)
{
    const MidiOptions& options = midi();
    const int channel = message.channel();
    if (!options.IndividualChannels && !isBaseChannel(channel)) {
        return;
    }
    const int slot = options.IndividualChannels ? channel : currentClip();
    if (!acceptsMidi(slot)) {
        return;
    }
    const int number = message.data1;
    int value = message.data2;
    for (int parameter = 0; parameter < kMidiParameterCount; ++parameter) {
        if (assigned(options, parameter, number)
            && options.controllerInverts.at(static_cast<std::size_t>(parameter))) {
            value = kTop - value;
        }
    }
    if (assigned(options, p::kGlobalBpm, number)) {
        m_ports.setTempo(2.0 * value);
    }
    if (assigned(options, p::kGlobalVolume, number)) {
        send(kMasterVolume, 2 * value, 0, 1);
    }
    if (options.KaossPad) {
        if (number == kKaossVerticalController) {
            if (options.DisablePitchAndMod) {
                return;
            }
            send(kPositionFromController, kVertical, kTop - value, slot);
        } else if (number == kKaossOffsetController) {
            send(kPositionFromController, kVertical, value + kTop, slot);
        }
    }
    // The rows of the controller actions table, in the order they are tried.
    static constexpr std::array kActionOrder { p::kClassicPitch, p::kFinePitch, p::kInPoint,
        p::kOutPoint, p::kDirection, p::kWidth, p::kHeight, p::kSize, p::kAspectRatio,
        p::kXMovement, p::kYMovement, p::kLumaKeyLevel, p::kLumaBlend, p::kOpacity,
        p::kTrailsDieBack, p::kCrossfade, p::kClipVolume, p::kPan, p::kSize3D, p::kXRotate3D,
        p::kYRotate3D, p::kZRotate3D, p::kHorizontalArray3D, p::kVerticalArray3D, p::kSpacing3D };
    for (const int parameter : kActionOrder) {
        if (assigned(options, parameter, number)) {
            parameterAction(parameter, slot, value, false);
        }
    }
    if (number == kScratchHoldController) {
        m_scratchHold = value >= kHalfway;
        if (!m_scratchHold) {
            send(kDirection, kForward, 0, slot);
            send(kSetFrequency, m_referenceRate(), 0, slot);
        }
    }
    if (assigned(options, p::kScratching, number) && m_scratchHold) {
        scratch(slot, value);
    }
    for (int index = 0; index < p::kEffectParameterCount; ++index) {
        if (assigned(options, p::kFirstEffectParameter + index, number)) {
            m_effects.MIDIsetParam(slot, index, value);
        }
    }
    if (assigned(options, p::kEffectWetDry, number)) {
        m_effects.ChangeWetDryMixMIDI(slot, value / 127.0);
    }
    if (assigned(options, p::kEffectOnOff, number)) {
        switchEffect(slot, value >= kHalfway);
        showEffect(slot, value >= kHalfway);
    }
    if (assigned(options, p::kFrameScratch, number)) {
        send(kScratch, value, 0, slot);
    }
    if (assigned(options, p::kBpmTap, number)) {
        if (value > 0) {
            m_ports.tapTempo();
        }
        return;
    }
    if (assigned(options, p::kGlobalSync, number)) {
        if (value > 0) {
            m_ports.syncTempo();
        }
        return;
    }
    m_ports.updateInspectorValues();
}

bool MidiInterpreter::parameterAction(int parameter, int slot, int value, bool fromWheel)
{
    const std::int32_t rate = m_referenceRate();
    const std::int64_t length = isValidSlot(slot) ? m_performance.slots()[slot].Length.load() : 0;
    const double rotateFactor = fromWheel ? kWheelRotateFactor : kRotateFactor;
    switch (parameter) {
    case p::kClassicPitch:
        send(kSetFrequency, notZero(rounded(rate * value / 64.0)), 0, slot);
        return true;
    case p::kFinePitch:
        send(kSetFrequency, notZero(rate + rounded(rate * (8.0 * value / 3175.0 - 0.16))), 0, slot);
        return true;
    case p::kInPoint:
        send(kInPoint, pointOf(length, value), 0, slot);
        return true;
    case p::kOutPoint:
        send(kOutPoint, pointOf(length, value), 0, slot);
        return true;
    case p::kDirection:
        send(kDirection, value < kHalfway ? kForward : kBackward, 0, slot);
        return true;
    case p::kWidth:
        send(kWidth, value == kTop ? kAreaWidth : share(value, kAreaWidth), 0, slot);
        return true;
    case p::kHeight:
        send(kHeight, value == kTop ? kAreaHeight : share(value, kAreaHeight), 0, slot);
        return true;
    case p::kSize:
        send(kZoom, value, 0, slot);
        return true;
    case p::kAspectRatio:
        send(kAspect, value, 0, slot);
        return true;
    case p::kXMovement:
        send(kPositionFromController, kHorizontal, value, slot);
        return true;
    case p::kYMovement:
        send(kPositionFromController, kVertical, 2 * (kTop - value), slot);
        return true;
    case p::kLumaKeyLevel:
        send(kLumaKeyLevel, kLumaTop - share(value, kLumaTop), 0, slot);
        return true;
    case p::kLumaBlend:
        send(kLumaBlend, share(value, kLumaTop), 0, slot);
        return true;
    case p::kOpacity:
        // The wheel at its top is fully transparent, a controller at its top opaque.
        send(kTransparency,
            fromWheel ? share(value, kTransparent) : kTransparent - share(value, kTransparent), 0,
            slot);
        return true;
    case p::kTrailsDieBack:
        send(kTrailsStrength, value == kTop ? 64 : rounded(value / 2.0), 0, slot);
        return true;
    case p::kCrossfade:
        if (globals().crossfadeEnabled) {
            send(kCrossfade, 2 * value, globals().crossfadeSlotB, globals().crossfadeSlotA);
        }
        return true;
    case p::kClipVolume:
        send(kVolume, volumeOf(value), 0, slot);
        return true;
    case p::kPan:
        send(kPan, balanceToPan(value), value, slot);
        return true;
    case p::kSize3D:
        setControl(m_events, m_performance, slotControl(kSize3D, slot),
            thousandthsOf(value / 127.0 * kThreeDScale));
        return true;
    case p::kXRotate3D:
    case p::kYRotate3D:
    case p::kZRotate3D: {
        const std::size_t entry = parameter == p::kXRotate3D ? kXRotationSpeed
            : parameter == p::kYRotate3D                     ? kYRotationSpeed
                                                             : kZRotationSpeed;
        setControl(m_events, m_performance, slotControl(entry, slot),
            thousandthsOf((value / 64.0 - 1.0) * rotateFactor));
        return true;
    }
    case p::kHorizontalArray3D:
    case p::kVerticalArray3D:
        setControl(m_events, m_performance,
            slotControl(
                parameter == p::kHorizontalArray3D ? kHorizontalTiles : kVerticalTiles, slot),
            rounded(value / 127.0 * kThreeDScale + 1.0));
        return true;
    case p::kSpacing3D:
        setControl(m_events, m_performance, slotControl(kTileSpacing, slot),
            thousandthsOf(value / 127.0 * kThreeDScale));
        return true;
    default:
        return false;
    }
}

// Scratching: below the centre the slot runs backwards, above it forwards, faster towards
// the ends; the centre stands still.
void MidiInterpreter::scratch(int slot, int value)
{
    const std::int32_t direction = m_performance.slots()[slot].Direction;
    if (value < kHalfway) {
        if (direction == kForward) {
            send(kDirection, kBackward, 0, slot);
        }
        send(kSetFrequency, 126000 - kScratchRate * value, 0, slot);
    } else {
        if (direction == kBackward) {
            send(kDirection, kForward, 0, slot);
        }
        send(kSetFrequency, kScratchRate * value - 128000, 0, slot);
    }
}

// The slot's effect on or off through the effect host, which refuses it for a slot without
// a plug-in.
void MidiInterpreter::switchEffect(int slot, bool on)
{
    m_effects.SetEffectEnabled(slot, on);
}

// The main window's "Enable Effect" button, while it shows the slot, and the grid's effect
// indicator of the slot.
void MidiInterpreter::showEffect(int slot, bool buttonOn)
{
    if (isInspected(slot)) {
        m_performance.ui().showControlValue(control::kEnableEffect, buttonOn);
    }
    slot_grid::showStatusButtons(m_performance.ui(), slot, m_performance.slots()[slot]);
}

void MidiInterpreter::programChange(const Message& message)
{
    if (midi().UseCircbuf) {
        loadPatch(static_cast<int>(message.data1) - 1);
    }
}

} // namespace oskel
