#include "control/clip_inspector_contents.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

#include "control/slot_grid_layout.h"
#include "core/control_table.h"
#include "core/rounding.h"
#include "sources/live_source_name.h"

namespace oskel::clip_inspector {

namespace {

// Clips at least this large on both sides may be drawn in 3D.
constexpr std::int32_t kSmallest3DSide = 256;

int rounded(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

std::int64_t toFrames(std::int64_t bytes, std::int32_t blockAlign)
{
    return blockAlign > 0 ? bytes / blockAlign : 0;
}

std::string decimalText(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    std::string text = std::to_string(static_cast<double>(roundHalfEven(value * scale)) / scale);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

} // namespace

int size3DPosition(double size3D)
{
    if (size3D == 1.0) {
        return 0;
    }
    return size3D > 1.0 ? rounded((size3D - 1.0) * 8.0) : rounded(size3D * 40.0 - 41.0);
}

double size3DFromPosition(int position)
{
    if (position == 0) {
        return 1.0;
    }
    return position > 0 ? 1.0 + position / 8.0 : (position + 41) * 0.025;
}

int volumePosition(std::int32_t volume)
{
    return rounded(std::pow(10.0, volume / 2000.0) * 100.0);
}

std::int32_t volumeFromPosition(int position)
{
    constexpr std::int32_t silent = -10000;
    if (position <= 0) {
        return silent;
    }
    return static_cast<std::int32_t>(roundHalfEven(std::log10(position / 100.0) * 2000.0));
}

int tenthsPosition(double value)
{
    return rounded(value * 10.0);
}

Contents contents(const Performance& performance, int slot)
{
    Contents shown;
    if (!isValidSlot(slot)) {
        return shown;
    }
    const TPlayAvistruct& record = performance.slots()[slot];
    const std::string_view caption
        = slot_grid::slotCaption(slot_grid::captionMode(performance.options()),
            performance.globals().keyLetters.layout(), slot);
    shown.slot = slot;
    shown.heading = "Clip " + std::string(caption) + " - " + clipTitle(record.FileName.str());
    shown.left = record.Left;
    shown.top = record.Top;
    shown.right = record.Right;
    shown.bottom = record.Bottom;
    shown.width = record.Right - record.Left;
    shown.height = record.Bottom - record.Top;
    shown.size = record.Size;
    shown.actualSize = std::to_string(record.ClipWidth) + " x " + std::to_string(record.ClipHeight);
    shown.lumaKeyLevel = record.LumaKeyLevel;
    shown.inverseLuma = record.InverseLuma;
    shown.lumaBlendLevel = record.LumaBlendLevel;
    shown.opacity = record.AlphaLevel;
    shown.additive = record.Burn;
    shown.colourSwap = record.ColourSwapMode;
    shown.stencilEnabled = record.StencilEnabled;
    shown.stencilFileName = record.StencilFileName.str();
    shown.threeD = record.BillBoard;
    shown.threeDAllowed
        = record.ClipWidth >= kSmallest3DSide && record.ClipHeight >= kSmallest3DSide;
    shown.size3D = size3DPosition(record.Size3D);
    shown.xRotation = tenthsPosition(record.XRotSpeed);
    shown.yRotation = tenthsPosition(record.YRotSpeed);
    shown.zRotation = tenthsPosition(record.ZRotSpeed);
    shown.horizontalTiles = record.HorzTiles;
    shown.verticalTiles = record.VertTiles;
    shown.spacing = tenthsPosition(record.ArraySpacing);
    shown.volumeFader = volumePosition(record.Volume);
    shown.attenuation = -record.Volume;
    shown.mute = record.Mute;
    shown.pan = record.Balance;
    shown.frequency = control_entries::frequencyNow(performance, slot);
    shown.disableMidi = record.DisableMIDI;
    shown.inPoint = toFrames(record.InPoint, record.BlockAlign);
    shown.outPoint = toFrames(record.OutPoint, record.BlockAlign);
    shown.lengthFrames = toFrames(record.Length, record.BlockAlign);
    shown.position = record.Playing ? toFrames(record.AudioPosition, record.BlockAlign) : -1;
    shown.chop = record.Chop;
    shown.syncMode = record.InstallationMode;
    shown.reSync = record.ReSync;
    shown.beats = record.NumberOfBeats;
    shown.followBpm = record.FollowBPM;
    shown.sampleRate = std::to_string(record.BaseFrequency);
    shown.frameCount = std::to_string(std::max<std::int64_t>(record.FrameCount, 0));
    shown.frameRate = std::to_string(record.FrameRate);
    shown.audioDuration = decimalText(record.ClipDuration, 2);
    return shown;
}

int barPixel(std::int64_t frames, std::int64_t length, int width)
{
    if (length <= 0 || width <= 1) {
        return 0;
    }
    const double share = static_cast<double>(std::clamp<std::int64_t>(frames, 0, length))
        / static_cast<double>(length);
    return static_cast<int>(roundHalfEven(share * (width - 1)));
}

std::int64_t barFrames(int pixel, std::int64_t length, int width)
{
    if (length <= 0 || width <= 1) {
        return 0;
    }
    const double share = static_cast<double>(std::clamp(pixel, 0, width - 1)) / (width - 1);
    return roundHalfEven(share * static_cast<double>(length));
}

bool holdsOnlyDigitsAndDots(std::string_view text)
{
    return text.find_first_not_of("0123456789.") == std::string_view::npos;
}

bool holdsOnlyDigits(std::string_view text)
{
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<double> numberIn(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()
        || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> wholeNumberIn(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> acceptedNumericInput(std::string_view answer, bool negativeAllowed)
{
    const std::optional<std::int32_t> number = wholeNumberIn(answer);
    if (!number || (*number < 0 && !negativeAllowed)) {
        return std::nullopt;
    }
    return number;
}

} // namespace oskel::clip_inspector
