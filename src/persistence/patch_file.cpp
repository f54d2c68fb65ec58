#include "persistence/patch_file.h"

#include <cstddef>
#include <limits>

namespace oskel {

namespace {

// Wide enough for the product of any two 64-bit values.
__extension__ typedef __int128 WideInteger;

// value * numerator / denominator to the nearest integer (halves away from zero), held to
// the 64-bit range. The denominator is positive, the numerator not negative.
std::int64_t scaled(std::int64_t value, std::int64_t numerator, std::int64_t denominator)
{
    const WideInteger product = static_cast<WideInteger>(value) * numerator;
    const WideInteger magnitude = product < 0 ? -product : product;
    const WideInteger rounded = (magnitude + denominator / 2) / denominator;
    constexpr WideInteger kLargest = std::numeric_limits<std::int64_t>::max();
    if (rounded > kLargest) {
        return product < 0 ? std::numeric_limits<std::int64_t>::min() : kLargest;
    }
    return static_cast<std::int64_t>(product < 0 ? -rounded : rounded);
}

} // namespace

RepairedLayerStack repairLayerStack(const std::array<std::int64_t, kSlotCount>& stored)
{
    RepairedLayerStack result;
    std::array<bool, kSlotCount + 1> taken {};
    std::array<bool, kSlotCount> kept {};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::int64_t slot = stored[i];
        if (slot >= 1 && slot <= kSlotCount && !taken[static_cast<std::size_t>(slot)]) {
            taken[static_cast<std::size_t>(slot)] = true;
            kept[i] = true;
            result.order[i] = static_cast<int>(slot);
        }
    }
    int missing = 1;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (!kept[i]) {
            while (taken[static_cast<std::size_t>(missing)]) {
                ++missing;
            }
            taken[static_cast<std::size_t>(missing)] = true;
            result.order[i] = missing;
            result.repaired = true;
        }
    }
    return result;
}

StoredPoints pointsToStore(
    std::int64_t inPoint, std::int64_t outPoint, std::int64_t length, std::int64_t soundStreamBytes)
{
    if (soundStreamBytes <= 0 || length <= 0) {
        return { inPoint, outPoint };
    }
    return { scaled(inPoint, soundStreamBytes, length),
        scaled(outPoint, soundStreamBytes, length) };
}

StoredPoints pointsFromStore(std::optional<std::int64_t> inPoint,
    std::optional<std::int64_t> outPoint, std::int64_t length, std::int64_t soundStreamBytes)
{
    const std::int64_t in = inPoint.value_or(0);
    if (soundStreamBytes <= 0 || length <= 0) {
        return { in, outPoint.value_or(length) };
    }
    const bool outAtStreamEnd = !outPoint || *outPoint == soundStreamBytes;
    return { in > 0 ? scaled(in, length, soundStreamBytes) : in,
        outAtStreamEnd ? length : scaled(*outPoint, length, soundStreamBytes) };
}

MidiOptions applyPatchMidi(const MidiOptions& current, const PatchGlobals& globals,
    const PatchMidi& midi, bool throughMidi)
{
    MidiOptions result = current;
    result.IndividualChannels = globals.IndividualMidiChannels;
    result.NoteOff = midi.NoteOff.value_or(current.NoteOff);
    // "MIDI" "PitchNotes" is read first, but the global flag always decides.
    result.PitchNotes = globals.PitchNotes;
    result.DisableBlackNotes = midi.DisableBlackNotes.value_or(false);
    result.DisablePitchAndMod = midi.DisablePitchAndMod.value_or(false);
    result.MIDIguitairMode = midi.MIDIguitairMode.value_or(false);
    result.VelocityVolume
        = midi.VelocityVolume.value_or(midi.Velocity.value_or(current.VelocityVolume));
    result.VelocityOpacity = midi.VelocityOpacity.value_or(current.VelocityOpacity);
    result.KaossPad = midi.KaossPad.value_or(current.KaossPad);
    // A program change arrives through the input buffer, which must stay on.
    result.UseCircbuf = throughMidi || midi.UseCircbuf.value_or(current.UseCircbuf);
    result.controllers = midi.controllers;
    result.controllerInverts = midi.controllerInverts;
    return result;
}

} // namespace oskel
