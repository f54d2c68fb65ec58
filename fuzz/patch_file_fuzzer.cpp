// Reads any bytes as a patch, saves that patch over the same text with every slot loaded and
// reads it again: every value must come back as the first read gave it (floats to the 15
// digits a save keeps). The layer stack repair and the silent-clip point conversions are fed
// the values read, and must hold their own rules for all of them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "persistence/ini_profile.h"
#include "persistence/patch_file.h"

namespace {

using namespace oskel;

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool closeEnough(double read, double written)
{
    return std::fabs(read - written) <= 6e-15 * std::fabs(written) + 5e-324;
}

bool closeEnough(const std::optional<double>& read, const std::optional<double>& written)
{
    return read.has_value() == written.has_value() && (!read || closeEnough(*read, *written));
}

// A line break inside a value cannot be stored: a save writes it as a blank.
bool sameName(const std::string& read, const std::string& written)
{
    return written.find('\r') != std::string::npos || read == written;
}

void checkSlot(const PatchSlot& again, const PatchSlot& first)
{
    check(sameName(again.fileName, first.fileName));
    check(sameName(again.stencilFileName, first.stencilFileName));
    check(sameName(again.effectFileName, first.effectFileName));
    check(again.inPoint == first.inPoint && again.outPoint == first.outPoint);
    check(again.speed == first.speed && again.balance == first.balance);
    check(again.left == first.left && again.top == first.top);
    check(again.right == first.right && again.bottom == first.bottom);
    check(again.horzTiles == first.horzTiles && again.vertTiles == first.vertTiles);
    check(again.numberOfBeats == first.numberOfBeats && again.followBpm == first.followBpm);
    check(again.burn == first.burn && again.sourceSystemStreaming == first.sourceSystemStreaming);
    check(again.effectEnabled == first.effectEnabled && again.mute == first.mute);
    check(closeEnough(again.xRot, first.xRot) && closeEnough(again.size3D, first.size3D));
    for (std::size_t i = 0; i < first.effectParameters.size(); ++i) {
        check(closeEnough(again.effectParameters[i], first.effectParameters[i]));
    }
}

void checkContents(const PatchContents& again, const PatchContents& first)
{
    check(again.current);
    check(again.areaWidth == first.areaWidth && again.areaHeight == first.areaHeight);
    check(again.layerStack == first.layerStack);
    check(again.globals.Loop == first.globals.Loop);
    check(again.globals.trailsStrength == first.globals.trailsStrength);
    check(closeEnough(again.globals.BPM, first.globals.BPM));
    check(again.midi.NoteOff == first.midi.NoteOff && again.midi.Velocity == first.midi.Velocity);
    check(again.midi.controllers == first.midi.controllers);
    check(again.midi.controllerInverts == first.midi.controllerInverts);
    for (std::size_t i = 0; i < first.slots.size(); ++i) {
        checkSlot(again.slots[i], first.slots[i]);
    }
}

void checkLayerStack(const PatchContents& patch)
{
    const RepairedLayerStack repaired = repairLayerStack(patch.layerStack);
    std::array<int, kSlotCount> sorted = repaired.order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        check(sorted[i] == static_cast<int>(i + 1));
    }
    bool unchanged = true;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        unchanged = unchanged && repaired.order[i] == patch.layerStack[i];
    }
    check(repaired.repaired == !unchanged);
}

// Stored values used as lengths: the conversions never overflow, and a sound stream as long
// as the silent buffers changes nothing.
void checkPoints(const PatchSlot& slot)
{
    const std::int64_t in = slot.inPoint.value_or(0);
    const std::int64_t out = slot.outPoint.value_or(0);
    pointsToStore(in, out, slot.speed, slot.volume);
    pointsFromStore(slot.inPoint, slot.outPoint, slot.speed, slot.volume);
    if (slot.speed > 0) {
        const StoredPoints same = pointsToStore(in, out, slot.speed, slot.speed);
        check(same.inPoint == in && same.outPoint == out);
        const StoredPoints back = pointsFromStore(in, out, slot.speed, slot.speed);
        check(back.inPoint == in && back.outPoint == out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IniProfile ini(std::string_view(reinterpret_cast<const char*>(data), size));
    const PatchContents first = readPatch(ini);

    const MidiOptions midi = applyPatchMidi(MidiOptions(), first.globals, first.midi, true);
    check(midi.UseCircbuf && midi.PitchNotes == first.globals.PitchNotes);
    checkLayerStack(first);
    for (const PatchSlot& slot : first.slots) {
        checkPoints(slot);
    }

    PatchContents saved = first;
    for (PatchSlot& slot : saved.slots) {
        slot.loaded = true;
    }
    writePatch(ini, saved);
    checkContents(readPatch(ini), first);
    checkContents(readPatch(IniProfile(ini.text())), first);
    return 0;
}
