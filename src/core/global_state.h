#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/engine_value.h"
#include "core/key_letter_map.h"
#include "core/slot_number.h"

namespace oskel {

// The performance options shared by the subsystems. Owned by the main thread; the fields
// declared as EngineValue are also read by the frame thread or the audio command thread.
struct GlobalState {
    static constexpr std::size_t kMaxClipFolderHistory = 500;

    int selectedSlot = kNoSlot;
    EngineValue<bool> Loop = true;
    EngineValue<bool> Layering = true;
    bool NewTriggerStopsClips = false;
    bool PCKeyNoteOff = false;
    bool SelectionFollowsTriggers = true;
    EngineValue<bool> ColouredBackground = false;
    EngineValue<bool> Trails = false;
    EngineValue<std::int32_t> trailsStrength = 0;
    bool ConstrainMovement = false;
    bool CrossfadeAudio = true;
    bool CrossfadeVideo = true;
    // The crossfader: on or off, its position 0..255 and the slots of sides A and B.
    bool crossfadeEnabled = false;
    std::int32_t crossfadePosition = 0;
    std::int32_t crossfadeSlotA = 1;
    std::int32_t crossfadeSlotB = 2;
    // The system mixer's level 0..255, and whether it is muted (level 0, this one kept).
    std::int32_t masterVolume = 255;
    bool masterMuted = false;
    // What a slot dropped on another copies: 0 the clip, 1 the clip with its settings, 2 the
    // settings only.
    std::int32_t copyMode = 0;
    EngineValue<bool> standby = false;
    bool AutoAdvance = false;
    bool RandomAdvance = false;
    bool loadingBusy = false;
    // Slots with new clips whose textures the frame thread must make (index = slot number).
    EngineValue<bool> texturesPending = false;
    std::array<EngineValue<bool>, kSlotCount + 1> slotTexturePending {};
    EngineValue<bool> shuttingDown = false; // every event is ignored
    KeyLetterMap keyLetters;
    double BPM = 150.0;
    bool BPMfollow = false;
    std::int32_t DefaultBeatsPerClip = 4;
    double JogAmount = 5.0;
    bool LoadClipsFullscreen = true;
    bool LoadClipsInSyncMode = false;
    bool LoadClipsKeepSettings = true;
    bool LoadClipsSilent = false;
    bool LoadLongClipsSilent = true;
    bool LivePatchLoading = false;
    std::string currentPatchPath;
    std::string lastClipPath;
    // What the last load found wrong with its clips (a damaged file), told after "Ready ... "
    // in the status line until the next load. Main thread.
    std::string clipNotice;
    std::vector<std::string> clipFolderHistory; // oldest first, each ending in '/'
};

} // namespace oskel
