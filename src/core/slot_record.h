#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>

#include "core/engine_value.h"
#include "core/ref_string.h"
#include "core/slot_handles.h"
#include "core/slot_number.h"

namespace oskel {

// The clip slot record: one clip with every playback and visual setting that belongs to it.
//
// Units: positions (InPoint, OutPoint, Length, AudioPosition) are byte offsets into the slot's
// sound buffers; speed is a buffer frequency in Hz (BaseFrequency is normal speed); Volume is
// in hundredths of a decibel (-10000..0); Balance is a pan of 0..127 with 64 in the centre;
// the rectangle lies in the 384 x 288 composition area; luma levels run 0..765 and
// AlphaLevel 0..256 (0 opaque).
//
// Threads: only the main thread writes the settings fields. The fields declared as
// EngineValue are also written by the audio command thread or the frame thread, or read by
// them from the live record while the main thread may change them.
// Copying a record never allocates: strings and handles are shared by reference count, so
// the sixteen records can be copied into the snapshot on every tick.
struct TPlayAvistruct {
    std::int64_t FrameCount = -1;
    std::int32_t FrameRate = 0;
    EngineValue<std::int32_t> CurrentFrame = 0;
    std::shared_ptr<SoundBuffer> ForwardBuffer;
    std::shared_ptr<SoundBuffer> BackwardBuffer;
    std::int32_t BlockAlign = 0;
    std::int32_t BytesPerSecond = 0;
    EngineValue<std::int64_t> Length = 0;
    std::int32_t BaseFrequency = 0;
    ByteBlock AudioData;
    std::uint8_t LoadResult = 0;
    RefString FileName;
    bool FoundNearPatch = false;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 384;
    std::int32_t Bottom = 288;
    std::int32_t ClipWidth = 0;
    std::int32_t ClipHeight = 0;
    EngineValue<bool> Loaded = false;
    EngineValue<bool> Playing = false;
    EngineValue<bool> Paused = false;
    EngineValue<bool> Started = false;
    EngineValue<std::int32_t> Direction = 1; // 1 forwards, 2 backwards
    EngineValue<std::int32_t> InPoint = 0;
    EngineValue<std::int64_t> OutPoint = -1;
    EngineValue<bool> Looping = false;
    bool Chop = false;
    std::int32_t ChopSegments = 8;
    EngineValue<std::int32_t> ChopSegment = -1;
    std::int32_t Size = 600;
    EngineValue<bool> TextureDirty = false; // cleared by the renderer once rebuilt
    bool LumaKey = false;
    std::int32_t LumaKeyLevel = 0;
    std::int32_t LumaBlendLevel = 0;
    bool InverseLuma = false;
    std::int32_t AlphaLevel = 0;
    bool Alpha = false;
    bool Burn = false;
    bool InstallationMode = false; // sync mode
    bool Mute = false;
    bool Shown = true;
    std::int32_t Volume = 0;
    std::int32_t Balance = 64;
    bool DisableMIDI = false;
    std::int32_t ColourSwapMode = 0;
    bool StencilEnabled = false;
    ByteBlock StencilMask; // StencilWidth x StencilHeight bytes, bottom row first
    std::int32_t StencilWidth = 0;
    std::int32_t StencilHeight = 0;
    RefString StencilFileName;
    bool BillBoard = false;
    double Size3D = 1.0;
    EngineValue<double> XRot = 0.0; // advanced by the renderer
    EngineValue<double> YRot = 0.0;
    EngineValue<double> ZRot = 0.0;
    double XRotSpeed = 0.0;
    double YRotSpeed = 0.0;
    double ZRotSpeed = 0.0;
    std::int32_t HorzTiles = 1;
    std::int32_t VertTiles = 1;
    double ArraySpacing = 2.0;
    EngineValue<bool> Reversing = false;
    EngineValue<std::int32_t> ReverseFrame = 1;
    EngineValue<std::int32_t> AudioPosition = 0;
    EngineValue<std::uint32_t> AdvanceTick = 0;
    bool ReSync = false;
    EngineValue<bool> FFenable = false; // read by the frame thread for the slot's worker
    RefString FFfilename;
    std::int32_t FFpixelMode = -1;
    std::array<float, 8> FFparams = { -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f };
    float FFwetDry = 0.0f;
    double ClipBPM = 0.0;
    std::int32_t NumberOfBeats = 4;
    double ClipDuration = 0.0;
    double SelectionDuration = 0.0;
    bool FollowBPM = false;
    std::uint8_t SourceMode = 1; // 1 smPlay, 0 smRA
    std::uint8_t SourceSystem = 0; // 0 ssVFW, 1 ssDS, 2 a live source (camera or stream)
    bool LoadedSilent = false;
    EngineValue<bool> FrameAck = false;

    // Handles that the later layers fill: the decoded source and the renderer's textures.
    std::shared_ptr<ClipSource> Source;
    std::shared_ptr<SlotTextures> Textures;
};

// Sixteen slot records indexed by slot number 1..16. Used for the live array and for the
// frame thread's snapshot. Callers check slot numbers (isValidSlot) before indexing.
class TPlayAviStructArray {
public:
    TPlayAvistruct& operator[](int slot)
    {
        assert(isValidSlot(slot));
        return m_slots.at(static_cast<std::size_t>(slot - 1));
    }
    const TPlayAvistruct& operator[](int slot) const
    {
        assert(isValidSlot(slot));
        return m_slots.at(static_cast<std::size_t>(slot - 1));
    }

    auto begin() { return m_slots.begin(); }
    auto end() { return m_slots.end(); }
    auto begin() const { return m_slots.begin(); }
    auto end() const { return m_slots.end(); }

private:
    std::array<TPlayAvistruct, kSlotCount> m_slots;
};

} // namespace oskel
