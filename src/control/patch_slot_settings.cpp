// A slot's settings from a patch, each through the control table, in the order the patch
// has always applied them.
#include <cmath>
#include <filesystem>
#include <system_error>

#include "control/patch_loader.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "core/shown_text.h"

namespace oskel {

namespace {

namespace fs = std::filesystem;

consteval std::size_t slotEntry(std::string_view item)
{
    return controlIndex(ControlScope::Slot, item);
}

std::int64_t inThousandths(double value)
{
    // Beyond every range; the table brings it back.
    constexpr double kLimit = 1e12;
    return static_cast<std::int64_t>(
        std::llround(std::clamp(value, -kLimit, kLimit) * kDecimalScale));
}

std::int64_t scaled(std::int64_t value, double factor)
{
    constexpr double kLimit = 1e12;
    return static_cast<std::int64_t>(
        roundHalfEven(std::clamp(static_cast<double>(value) * factor, -kLimit, kLimit)));
}

} // namespace

void PatchLoader::applySlot(int slot, const PatchContents& patch)
{
    const PatchSlot& stored = patch.slots.at(static_cast<std::size_t>(slot - 1));
    applyPoints(slot, stored);
    set(slotEntry("Chop"), slot, stored.chop);
    if (stored.speed > 0) {
        set(slotEntry("Frequency"), slot, stored.speed);
    } else {
        skipped("slot " + std::to_string(slot) + "'s speed " + std::to_string(stored.speed));
    }
    applyLook(slot, stored);
    applyRectangle(slot, patch);
    set(slotEntry("Direction"), slot, stored.direction);
    applyStencil(slot, stored);
    applyThreeD(slot, stored);
    applyTempoAndEffect(slot, stored);
}

void PatchLoader::applyPoints(int slot, const PatchSlot& stored)
{
    TPlayAvistruct& record = m_links.performance.slot(slot);
    const std::int64_t length = record.Length;
    const std::int64_t soundBytes = m_links.loader.soundStreamBytes(slot);
    StoredPoints points { stored.inPoint.value_or(0), stored.outPoint.value_or(length) };
    if (record.LoadedSilent && soundBytes > 0) {
        points = pointsFromStore(stored.inPoint, stored.outPoint, length, soundBytes);
    }
    if (points.inPoint < 0) {
        warn("Negative InPoint, reset to 0.");
        points.inPoint = 0;
    }
    if (points.inPoint > length) {
        warn("InPoint found off end of clip, reset to beginning.");
        points.inPoint = 0;
    }
    if (points.outPoint > length || points.outPoint <= 0) {
        points.outPoint = length;
        m_links.performance.ui().setStatusText("Outpoint off end of clip - reset");
    }
    if (points.inPoint > points.outPoint) {
        warn("Inpoint after outpoint reset to 0");
        points.inPoint = 0;
    }
    // The out point first: the in point then always lies before it.
    set(slotEntry("OutPoint"), slot, points.outPoint);
    set(slotEntry("InPoint"), slot, points.inPoint);
}

void PatchLoader::applyLook(int slot, const PatchSlot& stored)
{
    set(slotEntry("LumaKeyLevel"), slot, stored.lumaKeyLevel);
    set(slotEntry("InverseLuma"), slot, stored.inverseLuma);
    set(slotEntry("LumaBlendLevel"), slot, stored.lumaBlendLevel);
    // The opacity decides whether transparency is in force; "Alphas" follows from it.
    set(slotEntry("Transparency"), slot, stored.alphaLevel);
    set(slotEntry("Additive"), slot, stored.burn);
    set(slotEntry("Volume"), slot, stored.volume);
    set(slotEntry("Balance"), slot, stored.balance);
    // Sync mode mutes the slot until it is triggered; the stored mute is for the others.
    set(slotEntry("SyncMode"), slot, stored.installationMode);
    if (!stored.installationMode) {
        set(slotEntry("Mute"), slot, stored.mute);
    }
    const bool midiSetUp = m_links.performance.options().midi.OKPloadMIDIconfig;
    set(slotEntry("DisableMidi"), slot, midiSetUp && stored.disableMidi);
}

void PatchLoader::applyRectangle(int slot, const PatchContents& patch)
{
    const PatchSlot& stored = patch.slots.at(static_cast<std::size_t>(slot - 1));
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = patch.areaWidth;
    std::int64_t bottom = patch.areaHeight;
    if (stored.left && stored.top && stored.right && stored.bottom) {
        left = *stored.left;
        top = *stored.top;
        right = *stored.right;
        bottom = *stored.bottom;
    }
    if (right <= left || bottom <= top) {
        skipped("slot " + std::to_string(slot) + "'s rectangle, which has no area");
        left = 0;
        top = 0;
        right = patch.areaWidth;
        bottom = patch.areaHeight;
    }
    const double xScale
        = static_cast<double>(kPatchAreaWidth) / static_cast<double>(patch.areaWidth);
    const double yScale
        = static_cast<double>(kPatchAreaHeight) / static_cast<double>(patch.areaHeight);
    left = scaled(left, xScale);
    right = scaled(right, xScale);
    top = scaled(top, yScale);
    bottom = scaled(bottom, yScale);
    if (m_links.performance.globals().ConstrainMovement) {
        left = std::max<std::int64_t>(left, 0);
        top = std::max<std::int64_t>(top, 0);
        right = std::min<std::int64_t>(right, kPatchAreaWidth);
        bottom = std::min<std::int64_t>(bottom, kPatchAreaHeight);
    }
    // The size first, by the right and bottom edges, then the move, which keeps the size: a
    // constrained move then never meets the area's edge.
    const TPlayAvistruct& record = m_links.performance.slots()[slot];
    set(slotEntry("Right"), slot, record.Left + std::max<std::int64_t>(right - left, 1));
    set(slotEntry("Bottom"), slot, record.Top + std::max<std::int64_t>(bottom - top, 1));
    set(slotEntry("Left"), slot, left);
    set(slotEntry("Top"), slot, top);
}

void PatchLoader::applyStencil(int slot, const PatchSlot& stored)
{
    bool loaded = false;
    if (holdsNul(stored.stencilFileName)) {
        skipped("slot " + std::to_string(slot) + "'s stencil " + shownText(stored.stencilFileName)
            + ", whose name holds a NUL byte");
    } else if (!stored.stencilFileName.empty()) {
        const std::string name = localStoredPath(stored.stencilFileName);
        std::error_code error;
        std::optional<fs::path> path;
        if (isStoredPathAbsolute(name) && !isWindowsStoredPath(name)
            && fs::is_regular_file(name, error)) {
            path = name;
        } else {
            path = findLostStencil(name, searchContext());
        }
        if (!path && !m_searchCancelled && m_dialog) {
            const fs::path start
                = fs::path(m_links.performance.globals().lastClipPath).parent_path();
            path = m_dialog("Please locate lost stencil", start, name);
            if (!path || !fs::is_regular_file(*path, error)) {
                path.reset();
                m_searchCancelled = true;
            }
        }
        loaded = path && m_links.performance.LoadStencil(slot, *path);
        if (!loaded) {
            skipped("slot " + std::to_string(slot) + "'s stencil " + shownText(name));
        }
    }
    set(slotEntry("Stencil"), slot, stored.stencilEnabled && loaded);
}

void PatchLoader::applyThreeD(int slot, const PatchSlot& stored)
{
    set(slotEntry("ColourSwap"), slot, stored.colourSwapMode);
    set(slotEntry("ThreeD"), slot, stored.billBoard);
    set(slotEntry("XRotation"), slot, inThousandths(stored.xRot));
    set(slotEntry("YRotation"), slot, inThousandths(stored.yRot));
    set(slotEntry("ZRotation"), slot, inThousandths(stored.zRot));
    set(slotEntry("XRotationSpeed"), slot, inThousandths(stored.xRotSpeed));
    set(slotEntry("YRotationSpeed"), slot, inThousandths(stored.yRotSpeed));
    set(slotEntry("ZRotationSpeed"), slot, inThousandths(stored.zRotSpeed));
    set(slotEntry("HorizontalTiles"), slot, stored.horzTiles);
    set(slotEntry("VerticalTiles"), slot, stored.vertTiles);
    set(slotEntry("TileSpacing"), slot, inThousandths(stored.arraySpacing));
    set(slotEntry("Size3D"), slot, inThousandths(stored.size3D));
}

// The plug-in the patch names, found in the plug-in list by its file name; then its switch
// and the parameters the patch holds (a parameter outside 0..1 was not set). A plug-in that
// is no longer in the list leaves the slot without one and its effect off.
void PatchLoader::applyEffect(int slot, const PatchSlot& stored)
{
    const EffectControlPort& effects = m_links.performance.effects();
    const int index
        = stored.effectFileName.empty() ? 0 : effects.pluginIndexOf(stored.effectFileName);
    set(slotEntry("EffectPlugin"), slot, index);
    if (index == 0 || effects.pluginIndex(slot) != index) {
        return;
    }
    set(slotEntry("Effect"), slot, stored.effectEnabled);
    for (std::size_t k = 0; k < stored.effectParameters.size(); ++k) {
        const double value = stored.effectParameters.at(k);
        if (value >= 0.0 && value <= 1.0) {
            set(slotEntry("EffectParameter1") + k, slot, inThousandths(value));
        }
    }
}

void PatchLoader::applyTempoAndEffect(int slot, const PatchSlot& stored)
{
    applyEffect(slot, stored);
    const GlobalState& globals = m_links.performance.globals();
    set(slotEntry("Beats"), slot, stored.numberOfBeats.value_or(globals.DefaultBeatsPerClip));
    set(slotEntry("FollowBpm"), slot, stored.followBpm.value_or(globals.BPMfollow));
    m_links.tempo.clipLoaded(slot);
}

} // namespace oskel
