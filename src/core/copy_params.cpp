#include "core/copy_params.h"

#include "platform/sound_buffer.h"

namespace oskel {

namespace {

void copyPositions(const TPlayAvistruct& source, TPlayAvistruct& target)
{
    const std::int32_t inPoint = source.InPoint;
    const std::int64_t outPoint = source.OutPoint;
    const std::int64_t targetLength = target.Length;
    target.InPoint = inPoint > targetLength ? 0 : inPoint;
    const bool sourceRunsToEnd = outPoint == source.Length;
    target.OutPoint = (sourceRunsToEnd || outPoint >= targetLength) ? targetLength : outPoint;
}

void copyPlaybackFrequency(const TPlayAvistruct& source, TPlayAvistruct& target)
{
    if (source.ForwardBuffer && target.ForwardBuffer) {
        target.ForwardBuffer->setFrequency(source.ForwardBuffer->frequency());
    }
}

void copyLook(const TPlayAvistruct& source, TPlayAvistruct& target)
{
    target.LumaKey = source.LumaKey;
    target.LumaKeyLevel = source.LumaKeyLevel;
    target.LumaBlendLevel = source.LumaBlendLevel;
    target.InverseLuma = source.InverseLuma;
    target.AlphaLevel = source.AlphaLevel;
    target.Alpha = source.Alpha;
    target.Burn = source.Burn;
    target.ColourSwapMode = source.ColourSwapMode;
    target.StencilEnabled = source.StencilEnabled;
    target.StencilMask = source.StencilMask;
    target.StencilWidth = source.StencilWidth;
    target.StencilHeight = source.StencilHeight;
    target.StencilFileName = source.StencilFileName;
}

void copyTransform(const TPlayAvistruct& source, TPlayAvistruct& target)
{
    target.Left = source.Left;
    target.Top = source.Top;
    target.Right = source.Right;
    target.Bottom = source.Bottom;
    target.BillBoard = source.BillBoard;
    target.Size3D = source.Size3D;
    target.XRot = source.XRot;
    target.YRot = source.YRot;
    target.ZRot = source.ZRot;
    target.XRotSpeed = source.XRotSpeed;
    target.YRotSpeed = source.YRotSpeed;
    target.ZRotSpeed = source.ZRotSpeed;
    target.HorzTiles = source.HorzTiles;
    target.VertTiles = source.VertTiles;
    target.ArraySpacing = source.ArraySpacing;
}

} // namespace

bool CopyParams(TPlayAviStructArray& slots, int sourceSlot, int targetSlot)
{
    if (!isValidSlot(sourceSlot) || !isValidSlot(targetSlot) || !slots[targetSlot].Loaded) {
        return false;
    }
    const TPlayAvistruct& source = slots[sourceSlot];
    TPlayAvistruct& target = slots[targetSlot];

    copyTransform(source, target);
    target.Direction = source.Direction.load();
    copyPositions(source, target);
    copyLook(source, target);
    target.Mute = source.Mute;
    target.Volume = source.Volume;
    target.Balance = source.Balance;
    copyPlaybackFrequency(source, target);
    target.InstallationMode = source.InstallationMode;
    target.DisableMIDI = source.DisableMIDI;
    target.NumberOfBeats = source.NumberOfBeats;
    target.FollowBPM = source.FollowBPM;
    target.Looping = true;
    return true;
}

} // namespace oskel
