#include "control/clip_inspector.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/frame_size.h"
#include "core/rounding.h"
#include "core/status_text.h"
#include "platform/memory_status.h"

namespace oskel {

namespace {

using namespace clip_inspector;

consteval std::size_t slotEntry(std::string_view item)
{
    return controlIndex(ControlScope::Slot, item);
}

constexpr std::size_t kLeftEdge = slotEntry("LeftEdge");
constexpr std::size_t kTopEdge = slotEntry("TopEdge");
constexpr std::size_t kRight = slotEntry("Right");
constexpr std::size_t kBottom = slotEntry("Bottom");
constexpr std::size_t kLeft = slotEntry("Left");
constexpr std::size_t kTop = slotEntry("Top");
constexpr std::size_t kWidth = slotEntry("Width");
constexpr std::size_t kHeight = slotEntry("Height");
constexpr std::size_t kSize = slotEntry("Size");
constexpr std::size_t kLumaKeyLevel = slotEntry("LumaKeyLevel");
constexpr std::size_t kInverseLuma = slotEntry("InverseLuma");
constexpr std::size_t kLumaBlendLevel = slotEntry("LumaBlendLevel");
constexpr std::size_t kTransparency = slotEntry("Transparency");
constexpr std::size_t kAdditive = slotEntry("Additive");
constexpr std::size_t kColourSwap = slotEntry("ColourSwap");
constexpr std::size_t kStencil = slotEntry("Stencil");
constexpr std::size_t kThreeD = slotEntry("ThreeD");
constexpr std::size_t kSize3D = slotEntry("Size3D");
constexpr std::array kRotations
    = { slotEntry("XRotation"), slotEntry("YRotation"), slotEntry("ZRotation") };
constexpr std::array kRotationSpeeds
    = { slotEntry("XRotationSpeed"), slotEntry("YRotationSpeed"), slotEntry("ZRotationSpeed") };
constexpr std::size_t kHorizontalTiles = slotEntry("HorizontalTiles");
constexpr std::size_t kVerticalTiles = slotEntry("VerticalTiles");
constexpr std::size_t kTileSpacing = slotEntry("TileSpacing");
constexpr std::size_t kVolume = slotEntry("Volume");
constexpr std::size_t kMute = slotEntry("Mute");
constexpr std::size_t kBalance = slotEntry("Balance");
constexpr std::size_t kFrequency = slotEntry("Frequency");
constexpr std::size_t kDisableMidi = slotEntry("DisableMidi");
constexpr std::size_t kInPoint = slotEntry("InPoint");
constexpr std::size_t kOutPoint = slotEntry("OutPoint");
constexpr std::size_t kChop = slotEntry("Chop");
constexpr std::size_t kSyncMode = slotEntry("SyncMode");
constexpr std::size_t kReSync = slotEntry("ReSync");
constexpr std::size_t kFollowBpm = slotEntry("FollowBpm");
constexpr std::size_t kBeats = slotEntry("Beats");
constexpr std::size_t kStopAll = controlIndex(ControlScope::Master, "StopAll");

struct Preset {
    std::string_view caption;
    int width;
    int height;
};
constexpr std::array kPresets = {
    Preset { "Clip Size Presets", 0, 0 },
    Preset { "160 x 120", 160, 120 },
    Preset { "192 x 144", 192, 144 },
    Preset { "320 x 240", 320, 240 },
    Preset { "384 x 288", 384, 288 },
    Preset { "640 x 480", 640, 480 },
    Preset { "700 x 525", 700, 525 },
    Preset { "768 x 576", 768, 576 },
    Preset { "800 x 600", 800, 600 },
    Preset { "1024 x 576", 1024, 576 },
    Preset { "1024 x 768", 1024, 768 },
    Preset { "1280 x 1024", 1280, 1024 },
    Preset { "1600 x 1200", 1600, 1200 },
    Preset { "1920 x 1080", 1920, 1080 },
};
constexpr auto kPresetCaptions = [] {
    std::array<std::string_view, kPresets.size()> captions {};
    for (std::size_t item = 0; item < kPresets.size(); ++item) {
        captions.at(item) = kPresets.at(item).caption;
    }
    return captions;
}();

// One quarter of the composition area each.
constexpr int kQuarterWidth = 192;
constexpr int kQuarterHeight = 144;

std::int32_t thousandthsOf(double value)
{
    return control_entries::thousandths(value);
}

} // namespace

ClipInspector::ClipInspector(Links links)
    : m_performance(links.performance)
    , m_events(links.events)
    , m_tempo(links.tempo)
    , m_view(links.view)
{
}

std::span<const std::string_view> ClipInspector::presetCaptions()
{
    return kPresetCaptions;
}

void ClipInspector::showAVIinfo(int slot)
{
    if (!isValidSlot(slot) || !m_performance.slots()[slot].Loaded) {
        return;
    }
    m_inspected = slot;
    UpdateValues("ShowAVIinfo");
    m_performance.selectSlot(slot);
    m_view.showInspectedSlot(slot);
    const TPlayAvistruct& shown = record();
    m_performance.ui().setLumaBar(slot, shown.LumaKeyLevel);
    m_performance.ui().setOpacityBar(slot, shown.AlphaLevel);
}

void ClipInspector::UpdateValues(std::string_view reason)
{
    if (!isValidSlot(m_inspected)) {
        return;
    }
    m_view.showContents(contents(m_performance, m_inspected), reason != "MIDI");
}

void ClipInspector::SetSize(int width, int height)
{
    set(kWidth, width);
    set(kHeight, height);
    UpdateValues("SetSize");
}

void ClipInspector::SetPosition(int x, int y)
{
    if (!isValidSlot(m_inspected)) {
        return;
    }
    m_events.ProcessEvent(TSlotEvent { event_code::kMove, x, y, m_inspected });
}

void ClipInspector::set(std::size_t entry, std::int32_t value)
{
    if (!isValidSlot(m_inspected)) {
        return;
    }
    setControl(m_events, m_performance, slotControl(entry, m_inspected), value);
}

bool ClipInspector::inspectedLoaded() const
{
    return isValidSlot(m_inspected) && record().Loaded;
}

void ClipInspector::faderMoved(Fader fader, int position)
{
    switch (fader) {
    case Fader::Width:
        return set(kWidth, position);
    case Fader::Height:
        return set(kHeight, position);
    case Fader::Size:
        return set(kSize, position);
    case Fader::LumaKey:
        return set(kLumaKeyLevel, position);
    case Fader::LumaBlend:
        return set(kLumaBlendLevel, position);
    case Fader::Opacity:
        return set(kTransparency, position);
    case Fader::Size3D:
        return set(kSize3D, thousandthsOf(size3DFromPosition(position)));
    case Fader::XRotation:
    case Fader::YRotation:
    case Fader::ZRotation: {
        const auto axis
            = static_cast<std::size_t>(fader) - static_cast<std::size_t>(Fader::XRotation);
        return set(kRotationSpeeds.at(axis), thousandthsOf(position / 10.0));
    }
    case Fader::HorizontalTiles:
        return set(kHorizontalTiles, position);
    case Fader::VerticalTiles:
        return set(kVerticalTiles, position);
    case Fader::Spacing:
        return set(kTileSpacing, thousandthsOf(position / 10.0));
    case Fader::Volume:
        return set(kVolume, volumeFromPosition(position));
    case Fader::Pan: {
        // The pan follows the selected slot, as the pan controller does.
        const int selected = m_performance.globals().selectedSlot;
        if (isValidSlot(selected)) {
            setControl(m_events, m_performance, slotControl(kBalance, selected), position);
        }
        return;
    }
    case Fader::Speed:
        if (inspectedLoaded()) {
            set(kFrequency, position);
        }
        return;
    }
}

void ClipInspector::boxEntered(Box box, std::string_view text)
{
    if (!isValidSlot(m_inspected)) {
        return;
    }
    switch (box) {
    case Box::Left:
    case Box::Top:
    case Box::Right:
    case Box::Bottom:
    case Box::Width:
    case Box::Height:
    case Box::Volume:
        boxWithDefault(box, text);
        break;
    case Box::Luma:
    case Box::Frequency:
        boxChecked(box, text);
        break;
    case Box::InPoint:
        setPoint(kInPoint, text);
        break;
    case Box::OutPoint:
        setPoint(kOutPoint, text);
        break;
    case Box::Beats:
        setBeats(text);
        break;
    }
    // Whatever was typed, the box shows the value in force.
    UpdateValues("Box");
}

// Boxes where a text that is no number counts as a fixed number.
void ClipInspector::boxWithDefault(Box box, std::string_view text)
{
    const std::optional<std::int32_t> typed = wholeNumberIn(text);
    const TPlayAvistruct& shown = record();
    switch (box) {
    case Box::Left: {
        const std::int32_t left = typed.value_or(0);
        if (left <= shown.Right) {
            set(kLeftEdge, left);
        }
        return;
    }
    case Box::Top: {
        const std::int32_t top = typed.value_or(0);
        if (top <= shown.Bottom) {
            set(kTopEdge, top);
        }
        return;
    }
    case Box::Right: {
        const std::int32_t right = typed.value_or(200);
        if (shown.Left <= right) {
            set(kRight, right);
        }
        return;
    }
    case Box::Bottom: {
        const std::int32_t bottom = typed.value_or(200);
        if (shown.Top <= bottom) {
            set(kBottom, bottom);
        }
        return;
    }
    case Box::Width:
        return set(kWidth, typed.value_or(0));
    case Box::Height:
        return set(kHeight, typed.value_or(0));
    case Box::Volume: {
        // The box shows the attenuation: the volume is minus the typed number.
        const std::int64_t volume = -static_cast<std::int64_t>(typed.value_or(0));
        return set(kVolume,
            static_cast<std::int32_t>(
                std::clamp<std::int64_t>(volume, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max())));
    }
    default:
        return;
    }
}

// Boxes that take only digits and dots; anything else leaves the value as it was.
void ClipInspector::boxChecked(Box box, std::string_view text)
{
    if (!holdsOnlyDigitsAndDots(text)) {
        return;
    }
    const std::optional<double> typed = numberIn(text);
    if (box == Box::Luma) {
        if (typed && *typed <= kLumaFaderMax) {
            setLumaKey(static_cast<std::int32_t>(roundHalfEven(*typed)), record().InverseLuma);
        }
        return;
    }
    const std::int32_t frequency = typed && *typed <= std::numeric_limits<std::int32_t>::max()
        ? static_cast<std::int32_t>(roundHalfEven(*typed))
        : control_entries::frequencyNow(m_performance, m_inspected);
    set(kFrequency, frequency);
}

void ClipInspector::setPoint(std::size_t entry, std::string_view text)
{
    const TPlayAvistruct& shown = record();
    const std::optional<double> frames = numberIn(text);
    if (!holdsOnlyDigitsAndDots(text) || !frames || shown.BlockAlign <= 0) {
        return;
    }
    const auto whole = static_cast<std::int64_t>(*frames);
    if (whole >= shown.Length / shown.BlockAlign) {
        return;
    }
    const std::int64_t bytes = whole * shown.BlockAlign;
    if (bytes <= std::numeric_limits<std::int32_t>::max()) {
        set(entry, static_cast<std::int32_t>(bytes));
    }
}

void ClipInspector::setBeats(std::string_view text)
{
    if (!holdsOnlyDigits(text)) {
        return;
    }
    const std::optional<std::int32_t> beats = wholeNumberIn(text);
    set(kBeats, beats.value_or(m_performance.globals().DefaultBeatsPerClip));
}

// The luma key is the level together with its direction.
void ClipInspector::setLumaKey(std::int32_t level, bool inverse)
{
    set(kLumaKeyLevel, level);
    set(kInverseLuma, inverse ? 1 : 0);
}

void ClipInspector::switchClicked(Switch button, bool lit)
{
    const std::int32_t value = lit ? 1 : 0;
    switch (button) {
    case Switch::InverseLuma:
        setLumaKey(isValidSlot(m_inspected) ? record().LumaKeyLevel : 0, lit);
        break;
    case Switch::Additive:
        set(kAdditive, value);
        break;
    case Switch::Stencil:
        set(kStencil, value);
        break;
    case Switch::ThreeD:
        set(kThreeD, value);
        break;
    case Switch::Mute:
        set(kMute, value);
        break;
    case Switch::DisableMidi:
        set(kDisableMidi, value);
        break;
    case Switch::Chop:
        set(kChop, value);
        break;
    case Switch::SyncMode:
        if (inspectedLoaded()) {
            set(kSyncMode, value);
        }
        break;
    case Switch::ReSync:
        set(kReSync, value);
        break;
    case Switch::FollowBpm:
        set(kFollowBpm, value);
        break;
    }
    // A button whose setting was refused goes out again.
    UpdateValues("Button");
}

void ClipInspector::actionClicked(Action action)
{
    switch (action) {
    case Action::Normal:
    case Action::AdditiveOn:
        set(kAdditive, action == Action::AdditiveOn ? 1 : 0);
        break;
    case Action::SwapOff:
    case Action::SwapRedGreen:
    case Action::SwapRedBlue:
    case Action::SwapBlueGreen:
        set(kColourSwap, static_cast<int>(action) - static_cast<int>(Action::SwapOff));
        break;
    case Action::ResetX:
    case Action::ResetY:
    case Action::ResetZ: {
        const auto axis
            = static_cast<std::size_t>(action) - static_cast<std::size_t>(Action::ResetX);
        set(kRotations.at(axis), 0);
        set(kRotationSpeeds.at(axis), 0);
        break;
    }
    case Action::ActualSize:
        if (isValidSlot(m_inspected)) {
            const FrameSize area = areaSizeOf(record().ClipWidth, record().ClipHeight);
            SetSize(area.width, area.height);
        }
        break;
    case Action::Quarter1:
    case Action::Quarter2:
    case Action::Quarter3:
    case Action::Quarter4: {
        const int quarter = static_cast<int>(action) - static_cast<int>(Action::Quarter1);
        SetSize(kQuarterWidth, kQuarterHeight);
        SetPosition((quarter % 2) * kQuarterWidth, (quarter / 2) * kQuarterHeight);
        break;
    }
    case Action::ClearClipslot:
        clearClipslot();
        break;
    case Action::Done:
        done();
        return;
    }
    UpdateValues("Button");
}

void ClipInspector::markerMoved(Box marker, std::int64_t frames)
{
    if (!inspectedLoaded() || record().BlockAlign <= 0
        || (marker != Box::InPoint && marker != Box::OutPoint)) {
        return;
    }
    const TPlayAvistruct& shown = record();
    const std::int64_t in = shown.InPoint / shown.BlockAlign;
    const std::int64_t out = shown.OutPoint / shown.BlockAlign;
    const bool isIn = marker == Box::InPoint;
    const bool crosses = isIn ? frames >= out : frames <= in;
    if (frames < 0 || frames > shown.Length / shown.BlockAlign || crosses) {
        return;
    }
    const std::int64_t bytes = frames * shown.BlockAlign;
    if (bytes <= std::numeric_limits<std::int32_t>::max()) {
        set(isIn ? kInPoint : kOutPoint, static_cast<std::int32_t>(bytes));
    }
    UpdateValues("Marker");
}

void ClipInspector::presetChosen(int item)
{
    if (item < 1 || item >= static_cast<int>(kPresets.size())) {
        return;
    }
    const Preset& preset = kPresets.at(static_cast<std::size_t>(item));
    SetSize(preset.width, preset.height);
}

void ClipInspector::stencilChosen(const std::filesystem::path& file)
{
    if (!isValidSlot(m_inspected)) {
        return;
    }
    m_performance.LoadStencil(m_inspected, file);
    UpdateValues("Stencil");
}

// Every slot stops first; a loaded slot is emptied once the performer confirms.
void ClipInspector::clearClipslot()
{
    setControl(m_events, m_performance, ControlAddress { kStopAll, 0 }, 0);
    if (!inspectedLoaded()) {
        return;
    }
    UserInterfacePort& ui = m_performance.ui();
    if (ui.ask("Clear Clip Slot?", DialogButtons::OkCancel) != DialogAnswer::Ok) {
        return;
    }
    m_performance.slot(m_inspected).Playing = false;
    m_performance.UnloadSlot(m_inspected, m_performance.globals().LoadClipsKeepSettings);
    ui.blankThumbnail(m_inspected);
    ui.setLumaBar(m_inspected, kLumaFaderMax);
    ui.setOpacityBar(m_inspected, kOpacityFaderMax);
    ui.setStatusText(freeMemoryText(availableMemoryBytes()));
}

void ClipInspector::done()
{
    if (inspectedLoaded() && record().FollowBPM) {
        m_tempo.ApplyFollowTempo(m_inspected);
    }
    m_view.hideInspector();
}

} // namespace oskel
