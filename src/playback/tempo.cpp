#include "playback/tempo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/control_names.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "core/slot_number.h"
#include "playback/tempo_text.h"

namespace oskel {
namespace {

using namespace event_code;
constexpr std::int32_t kMaxBeats = 100000;
constexpr double kMaxClipTempo = 10000.0;
constexpr double kMaxSingleFrequency = 1000000.0;

} // namespace

Tempo::Tempo(Performance& performance, EventSink& events)
    : m_performance(performance)
    , m_events(events)
{
}

bool Tempo::ComputeClipTempo(int slot)
{
    if (!isValidSlot(slot)) {
        return false;
    }
    TPlayAvistruct& record = m_performance.slot(slot);
    const std::int64_t selection = record.OutPoint - static_cast<std::int64_t>(record.InPoint);
    const std::int32_t beats = record.NumberOfBeats;
    if (beats < 1 || beats > kMaxBeats || selection < 1 || record.BytesPerSecond <= 0) {
        return false;
    }
    const double bytesPerSecond = record.BytesPerSecond;
    const double tempo = beats * 60.0 * bytesPerSecond / static_cast<double>(selection);
    if (tempo >= 0.0 && tempo < kMaxClipTempo) {
        record.ClipBPM = tempo;
    }
    record.ClipDuration = static_cast<double>(record.Length) / bytesPerSecond;
    record.SelectionDuration = static_cast<double>(selection) / bytesPerSecond;
    if (m_performance.globals().selectedSlot == slot) {
        showClipFigures(record);
    }
    return true;
}

void Tempo::showClipFigures(const TPlayAvistruct& record)
{
    UserInterfacePort& ui = m_performance.ui();
    ui.showControlValue(control::kSelectionDuration, plainFloatText(record.SelectionDuration));
    ui.showControlValue(control::kCalculatedBpm, plainFloatText(record.ClipBPM));
    if (const auto frames = framesPerBeat(record)) {
        ui.showControlValue(control::kFramesPerBeat, plainFloatText(*frames));
    }
}

void Tempo::ApplyFollowTempo(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    const TPlayAvistruct& record = m_performance.slot(slot);
    if (!record.Loaded || !record.FollowBPM || record.ClipBPM == 0.0) {
        return;
    }
    const double hertz = record.BaseFrequency * bpm() / record.ClipBPM;
    if (hertz > 0.0 && hertz < kMaxSingleFrequency) {
        sendFrequency(slot, hertz);
    }
}

void Tempo::ApplyFollowTempoAll()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = m_performance.slot(slot);
        if (!record.Loaded || !(record.ClipBPM >= 1.0) || !record.FollowBPM) {
            continue;
        }
        const double hertz = record.BaseFrequency * bpm() / record.ClipBPM;
        if (hertz > 0.0 && std::isfinite(hertz)) {
            sendFrequency(slot, hertz);
        }
    }
}

void Tempo::sendFrequency(int slot, double hertz)
{
    // No upper bound for the whole set, but the event carries 32 bits: a larger rate is sent
    // as the largest, which the sound buffers refuse like any rate they cannot play.
    const double largest = std::numeric_limits<std::int32_t>::max();
    const auto value = static_cast<std::int32_t>(roundHalfEven(std::min(hertz, largest)));
    m_events.ProcessEvent(TSlotEvent { kSetFrequency, value, 0, slot });
}

void Tempo::Tap(std::uint32_t nowMs)
{
    if (const auto tempo = m_taps.tap(nowMs)) {
        setBpm(*tempo);
    }
    m_performance.ui().showControlValue(
        control::kTapButton, "Tap " + std::to_string(m_taps.count()));
}

void Tempo::NudgeTempo(NudgeDirection direction, bool autoRepeat)
{
    if (autoRepeat || m_nudgeHeld) {
        return;
    }
    m_nudgeHeld = true;
    m_savedBpm = bpm();
    const double jog = m_performance.globals().JogAmount;
    setBpm(bpm() + (direction == NudgeDirection::Up ? jog : -jog));
}

void Tempo::ReleaseNudge(bool autoRepeat)
{
    // A release with no nudge held would otherwise bring back a tempo from long ago.
    if (autoRepeat || !m_nudgeHeld) {
        return;
    }
    m_nudgeHeld = false;
    setBpm(m_savedBpm);
}

void Tempo::setBpm(double tempo)
{
    constexpr ControlAddress kTempo = masterControl("Tempo");
    if (!std::isfinite(tempo)) {
        tempo = 0.0;
    }
    const double thousandths = std::clamp(tempo, 0.0, 2000000.0) * kDecimalScale;
    setControl(*m_performerEvents, m_performance, kTempo,
        static_cast<std::int32_t>(std::lround(thousandths)));
}

void Tempo::controlChanged(const ControlEntry& entry, int slot)
{
    constexpr std::size_t kFollowBpm = controlIndex(ControlScope::Slot, "FollowBpm");
    constexpr std::size_t kBeats = controlIndex(ControlScope::Slot, "Beats");
    const auto index = static_cast<std::size_t>(&entry - controlTable().data());
    if (index == masterControl("Tempo").index && m_typingTempo) {
        ApplyFollowTempoAll(); // the field keeps the text as typed
    } else if (index == masterControl("Tempo").index) {
        ShowTempo();
    } else if (index == kBeats) {
        selectionChanged(slot);
    } else if (index == kFollowBpm && m_performance.slot(slot).FollowBPM) {
        ApplyFollowTempo(slot);
    }
}

void Tempo::ShowTempo()
{
    double& tempo = bpm();
    // Also turns -0 into 0, so that the field never reads "-0".
    if (!std::isfinite(tempo) || !(tempo > 0.0)) {
        tempo = 0.0;
    }
    m_performance.ui().showControlValue(control::kTempo, tempoFieldText(tempo));
    ApplyFollowTempoAll();
}

void Tempo::tempoTextChanged(std::string_view text)
{
    if (!isTempoFieldText(text)) {
        m_performance.ui().showControlValue(control::kTempo, plainFloatText(bpm()));
    }
}

bool Tempo::tempoTextEntered(std::string_view text)
{
    const auto tempo = parseTempoText(text);
    if (!tempo) {
        m_performance.ui().showControlValue(control::kTempo, plainFloatText(bpm()));
        return false;
    }
    m_typingTempo = true;
    setBpm(*tempo);
    m_typingTempo = false;
    return true;
}

void Tempo::setTempoFromController(int value)
{
    if (value < 0 || value > 127) {
        return;
    }
    setBpm(2.0 * value);
}

void Tempo::showBeatCounter()
{
    const int slot = m_performance.globals().selectedSlot;
    if (!isValidSlot(slot) || !m_performance.slot(slot).Loaded) {
        return;
    }
    if (const auto beat = beatCount(m_performance.slot(slot))) {
        m_performance.ui().showControlValue(control::kBeatCounter, *beat);
    }
}

void Tempo::clipLoaded(int slot)
{
    // The loader selects the new clip once it is ready, so its figures are shown now,
    // whichever slot was selected before.
    if (ComputeClipTempo(slot) && m_performance.globals().selectedSlot != slot) {
        showClipFigures(m_performance.slot(slot));
    }
    if (m_performance.globals().BPMfollow) {
        ApplyFollowTempo(slot);
    }
}

void Tempo::selectionChanged(int slot)
{
    ComputeClipTempo(slot);
    ApplyFollowTempoAll();
}

std::optional<std::int64_t> beatCount(const TPlayAvistruct& slot)
{
    const auto in = static_cast<std::int64_t>(slot.InPoint);
    const std::int64_t out = slot.OutPoint;
    if (out == in) {
        return std::nullopt;
    }
    const double fraction = (static_cast<double>(slot.AudioPosition) - static_cast<double>(in))
        / static_cast<double>(out - in);
    // Kept well inside 64 bits for the rounding; such cursors lie far outside the selection.
    const double position = std::clamp(slot.NumberOfBeats * fraction + 0.5, -1e18, 1e18);
    // A cursor before the in point would give 0 or less: it counts as the first beat.
    const std::int64_t beat = std::max<std::int64_t>(roundHalfEven(position), 1);
    return std::min<std::int64_t>(slot.NumberOfBeats, beat);
}

std::optional<double> framesPerBeat(const TPlayAvistruct& slot)
{
    if (!(slot.ClipBPM > 0.0)) {
        return std::nullopt;
    }
    return slot.FrameRate * 60.0 / slot.ClipBPM;
}

} // namespace oskel
