#include "core/slot_reset.h"

namespace oskel {

namespace {

void resetLoadState(TPlayAvistruct& slot)
{
    slot.Playing = false;
    slot.Loaded = false;
    slot.FrameCount = -1;
    slot.FrameRate = 0;
    slot.LoadResult = 0;
    slot.BlockAlign = 0;
    slot.Length = 0;
    slot.AudioData.reset();
    slot.Started = false;
    slot.Reversing = false;
    slot.ReverseFrame = 1;
}

// Every setting with a reset value goes back to it. Fields the reset leaves alone (sound
// buffers, stencil mask, file name, sync mode, ...) are not touched here.
void resetSettings(TPlayAvistruct& slot, std::int32_t defaultBeatsPerClip)
{
    slot.CurrentFrame = 0;
    slot.Left = 0;
    slot.Top = 0;
    slot.Right = 384;
    slot.Bottom = 288;
    slot.Paused = false;
    slot.Direction = 1;
    slot.InPoint = 0;
    slot.OutPoint = -1;
    slot.Looping = false;
    slot.Chop = false;
    slot.ChopSegments = 8;
    slot.ChopSegment = -1;
    slot.Size = 600; // stays inconsistent with the rectangle until the next geometry change
    slot.TextureDirty = false;
    slot.LumaKey = false;
    slot.LumaKeyLevel = 0;
    slot.LumaBlendLevel = 0;
    slot.InverseLuma = false;
    slot.AlphaLevel = 0;
    slot.Alpha = false;
    slot.Burn = false;
    slot.Mute = false;
    slot.Shown = true;
    slot.Volume = 0;
    slot.Balance = 64;
    slot.DisableMIDI = false;
    slot.ColourSwapMode = 0;
    slot.StencilEnabled = false;
    slot.BillBoard = false;
    slot.Size3D = 1.0;
    slot.XRot = 0.0;
    slot.YRot = 0.0;
    slot.ZRot = 0.0;
    slot.XRotSpeed = 0.0;
    slot.YRotSpeed = 0.0;
    slot.ZRotSpeed = 0.0;
    slot.HorzTiles = 1;
    slot.VertTiles = 1;
    slot.ArraySpacing = 2.0;
    slot.FFenable = false;
    slot.FFfilename.clear();
    slot.FFpixelMode = -1;
    slot.FFparams.fill(-1.0f);
    slot.NumberOfBeats = defaultBeatsPerClip;
}

} // namespace

void ResetSlot(TPlayAvistruct& slot, bool keepSettings, std::int32_t defaultBeatsPerClip)
{
    resetLoadState(slot);
    if (!keepSettings) {
        resetSettings(slot, defaultBeatsPerClip);
    } else if (slot.InstallationMode) {
        slot.Mute = true;
    }
}

} // namespace oskel
