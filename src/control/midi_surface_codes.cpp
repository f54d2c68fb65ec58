// The control surface's codes: what the interpreter does with the code a running surface
// makes of a message before the ordinary processing sees it.
#include <array>
#include <exception>

#include "control/midi_interpreter.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "core/trigger_event.h"

namespace oskel {

namespace {

using namespace event_code;

constexpr int kLetThrough = -1;
constexpr int kFirstShowSlotCode = 201;
constexpr int kLastShowSlotCode = 216;
constexpr int kBackwardCode = 300;
constexpr int kForwardCode = 301;
constexpr int kStopCode = 302;
constexpr int kPlayCode = 303;
constexpr int kFollowBpmCode = 400;
constexpr int kEffectCode = 401;
constexpr int kSyncModeCode = 402;
constexpr int kThreeDCode = 403;
constexpr int kChopCode = 404;
constexpr int kReSyncCode = 405;
constexpr int kInverseLumaCode = 406;
constexpr int kMuteCode = 407;
constexpr int kNormalBlendCode = 500;
constexpr int kBurnBlendCode = 501;
constexpr int kFirstColourSwapCode = 502;
constexpr int kLastColourSwapCode = 505;
constexpr int kStencilCode = 506;
constexpr int kSizeCode = 508;
constexpr int kWidthCode = 509;
constexpr int kHeightCode = 510;
constexpr int kCrossfaderCode = 600;
constexpr int kTrailsStrengthCode = 601;
constexpr int kMasterMuteCode = 602;
constexpr int kCrossfadeEnableCode = 603;
constexpr int kTrailsEnableCode = 604;
constexpr int kScratchACode = 605;
constexpr int kScratchBCode = 606;
constexpr int kMasterVolumeCode = 607;
constexpr int kSpeedFaderCode = 250;
// The surface's slot buttons give the keyboard-map notes 48..74 as these codes + 653.
constexpr std::array kNoteCodes { 701, 703, 705, 706, 708, 710, 712, 713, 715, 717, 718, 720, 722,
    724, 725, 727 };
constexpr int kNoteCodeOffset = 653;

// The faders' ranges that the surface's codes scale a value 0..127 to.
constexpr int kSizeFaderTop = 1344;
constexpr int kWidthFaderTop = 1536;
constexpr int kHeightFaderTop = 1152;
constexpr int kCrossfaderTop = 255;

std::int32_t scaled(int value, int top)
{
    return static_cast<std::int32_t>(roundHalfEven(value / 127.0 * top));
}

constexpr std::size_t kFollowBpm = controlIndex(ControlScope::Slot, "FollowBpm");
constexpr std::size_t kSyncMode = controlIndex(ControlScope::Slot, "SyncMode");
constexpr std::size_t kThreeD = controlIndex(ControlScope::Slot, "ThreeD");
constexpr std::size_t kChop = controlIndex(ControlScope::Slot, "Chop");
constexpr std::size_t kReSync = controlIndex(ControlScope::Slot, "ReSync");
constexpr std::size_t kInverseLuma = controlIndex(ControlScope::Slot, "InverseLuma");
constexpr std::size_t kAdditive = controlIndex(ControlScope::Slot, "Additive");
constexpr std::size_t kColourSwap = controlIndex(ControlScope::Slot, "ColourSwap");
constexpr std::size_t kStencil = controlIndex(ControlScope::Slot, "Stencil");

} // namespace

// A running surface turns the message into a code while a clip is current. Whatever fails
// on the way is swallowed: the message then goes on as if there were no surface.
MidiInterpreter::Outcome MidiInterpreter::surfaceStep(Message& message)
{
    if (!m_surface.active() || currentClip() < 1) {
        return Outcome::Continue;
    }
    const Message original = message;
    try {
        return surfaceCode(
            m_surface.translate(message.status, message.data1, message.data2), message);
    } catch (const std::exception&) {
        message = original;
        return Outcome::Continue;
    }
}

MidiInterpreter::Outcome MidiInterpreter::surfaceCode(int code, Message& message)
{
    const int slot = currentClip();
    const int value = message.data2;
    const TPlayAvistruct& record = m_performance.slots()[slot];
    const auto toggleSlot = [&](std::size_t entry, bool now) {
        setControl(m_events, m_performance, slotControl(entry, slot), now ? 0 : 1);
    };
    const auto setMaster = [&](const ControlAddress& address, std::int32_t to) {
        setControl(m_events, m_performance, address, to);
    };

    if (code == kLetThrough) {
        return Outcome::Continue;
    }
    if (code < 0) {
        m_surface.carryOut(code, slot, value);
        return Outcome::End;
    }
    if (code >= kFirstShowSlotCode && code <= kLastShowSlotCode) {
        if (isLoaded(code - 200)) {
            m_inspector.showAVIinfo(code - 200);
        }
        return Outcome::End;
    }
    if (code >= kFirstColourSwapCode && code <= kLastColourSwapCode) {
        setControl(
            m_events, m_performance, slotControl(kColourSwap, slot), code - kFirstColourSwapCode);
        return Outcome::End;
    }
    for (const int noteCode : kNoteCodes) {
        if (code == noteCode) {
            message.status = static_cast<std::uint16_t>(0x90 + ((midi().channel - 1) & 15));
            message.data1 = static_cast<std::uint16_t>(code - kNoteCodeOffset);
            return Outcome::Continue;
        }
    }
    switch (code) {
    case kBackwardCode:
        send(kDirection, 2, 0, slot);
        break;
    case kForwardCode:
        send(kDirection, 1, 0, slot);
        break;
    case kStopCode:
        send(kRelease, 0, 0, slot);
        break;
    case kPlayCode:
        m_events.ProcessEvent(triggerEventFor(slot, record));
        break;
    case kFollowBpmCode:
        toggleSlot(kFollowBpm, record.FollowBPM);
        break;
    case kEffectCode:
        if (record.FFfilename.empty()) {
            m_surface.carryOut(code, slot, value);
        } else {
            switchEffect(slot, !record.FFenable);
            showEffect(slot, record.FFenable);
        }
        break;
    case kSyncModeCode:
        toggleSlot(kSyncMode, record.InstallationMode);
        break;
    case kThreeDCode:
        toggleSlot(kThreeD, record.BillBoard);
        break;
    case kChopCode:
        toggleSlot(kChop, record.Chop);
        break;
    case kReSyncCode:
        toggleSlot(kReSync, record.ReSync);
        break;
    case kInverseLumaCode:
        toggleSlot(kInverseLuma, record.InverseLuma);
        m_surface.carryOut(code, slot, value);
        return Outcome::Continue;
    case kMuteCode:
        send(record.Mute ? kUnmute : kMute, 0, 0, slot);
        break;
    case kNormalBlendCode:
    case kBurnBlendCode:
        setControl(
            m_events, m_performance, slotControl(kAdditive, slot), code == kBurnBlendCode ? 1 : 0);
        break;
    case kStencilCode:
        toggleSlot(kStencil, record.StencilEnabled);
        break;
    case kSizeCode:
        send(kSize, scaled(value, kSizeFaderTop), 0, slot);
        break;
    case kWidthCode:
        send(kWidth, scaled(value, kWidthFaderTop), 0, slot);
        break;
    case kHeightCode:
        send(kHeight, scaled(value, kHeightFaderTop), 0, slot);
        break;
    case kCrossfaderCode:
        setMaster(masterControl("CrossfadePosition"), scaled(value, kCrossfaderTop));
        break;
    case kTrailsStrengthCode:
        setMaster(
            masterControl("TrailsStrength"), static_cast<std::int32_t>(roundHalfEven(value / 2.0)));
        break;
    case kMasterMuteCode:
        setMaster(masterControl("MasterMute"), globals().masterMuted ? 0 : 1);
        break;
    case kCrossfadeEnableCode:
        setMaster(masterControl("CrossfadeEnable"), globals().crossfadeEnabled ? 0 : 1);
        break;
    case kTrailsEnableCode:
        setMaster(masterControl("Trails"), globals().Trails ? 0 : 1);
        break;
    case kScratchACode:
        send(kScratch, value, 0, globals().crossfadeSlotA);
        break;
    case kScratchBCode:
        send(kScratch, value, 0, globals().crossfadeSlotB);
        break;
    case kMasterVolumeCode:
        setMaster(masterControl("MasterVolume"), 2 * value);
        break;
    case kSpeedFaderCode: // the fader's change handler applies the frequency
        m_surface.carryOut(code, slot, value);
        break;
    default:
        message.data1 = static_cast<std::uint16_t>(code);
        return Outcome::Continue;
    }
    return Outcome::End;
}

} // namespace oskel
