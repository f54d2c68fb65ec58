#include "persistence/presets_file.h"

#include <algorithm>
#include <limits>

#include "core/shown_text.h"
#include "persistence/small_file.h"
#include "platform/safe_file.h"

namespace oskel {

namespace {

constexpr std::uint32_t kMagic = 0x0BADF00D;
constexpr std::int32_t kWrittenVersion = 1;
constexpr std::size_t kRecordBytes = 92;
constexpr std::size_t kOlderRecordBytes = 88;
constexpr std::size_t kNameField = 25;
constexpr std::size_t kQualityAt = 25;
constexpr std::size_t kKeyFrameAt = 28;
constexpr std::size_t kDataRateAt = 32;
constexpr std::size_t kCompressorAt = 36;
constexpr std::size_t kCompressorField = 49;
// Larger than any encoder's options; a state block beyond it is damage.
constexpr std::int32_t kMaxStateBytes = 1 << 20;
constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    std::size_t left() const { return m_bytes.size() - m_at; }
    std::optional<std::int32_t> int32()
    {
        if (left() < 4) {
            return std::nullopt;
        }
        const std::uint32_t value = std::uint32_t { m_bytes[m_at] }
            | (std::uint32_t { m_bytes[m_at + 1] } << 8)
            | (std::uint32_t { m_bytes[m_at + 2] } << 16)
            | (std::uint32_t { m_bytes[m_at + 3] } << 24);
        m_at += 4;
        return static_cast<std::int32_t>(value);
    }
    std::span<const std::uint8_t> take(std::size_t count)
    {
        const auto taken = m_bytes.subspan(m_at, count);
        m_at += count;
        return taken;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

std::int32_t int32At(std::span<const std::uint8_t> record, std::size_t at)
{
    Reader reader(record.subspan(at, 4));
    return *reader.int32();
}

// A text field: its length byte, then the characters; nothing when the length does not fit.
std::optional<std::string> textAt(
    std::span<const std::uint8_t> record, std::size_t at, std::size_t limit)
{
    const std::size_t length = record[at];
    if (length > limit) {
        return std::nullopt;
    }
    const auto characters = record.subspan(at + 1, length);
    return std::string(characters.begin(), characters.end());
}

std::optional<CompressionPreset> presetOf(std::span<const std::uint8_t> record)
{
    CompressionPreset preset;
    auto name = textAt(record, 0, kPresetNameLimit);
    auto compressor = textAt(record, kCompressorAt, kPresetCompressorLimit);
    if (!name || !compressor) {
        return std::nullopt;
    }
    preset.name = std::move(*name);
    preset.compressor = std::move(*compressor);
    preset.quality = std::min<int>(record[kQualityAt], 100);
    preset.keyFrame = std::max(int32At(record, kKeyFrameAt), 0);
    preset.dataRateKBps = std::max(int32At(record, kDataRateAt), 0);
    return preset;
}

std::string damaged(std::string_view what, std::size_t record)
{
    return "The presets file is damaged: " + std::string(what) + " of preset "
        + std::to_string(record + 1);
}

} // namespace

PresetsRead parsePresets(std::span<const std::uint8_t> bytes)
{
    PresetsRead read;
    Reader reader(bytes);
    const auto first = reader.int32();
    if (!first) {
        read.problem = bytes.empty() ? "" : "The presets file is too short to hold its count";
        return read;
    }
    const bool current = static_cast<std::uint32_t>(*first) == kMagic;
    std::int32_t version = 0;
    std::optional<std::int32_t> count = *first;
    if (current) {
        const auto storedVersion = reader.int32();
        count = reader.int32();
        if (!storedVersion || !count) {
            read.problem = "The presets file is too short to hold its version and count";
            return read;
        }
        version = *storedVersion;
    }
    const std::size_t recordBytes = current ? kRecordBytes : kOlderRecordBytes;
    if (*count < 0
        || (!current && static_cast<std::size_t>(*count) * recordBytes != reader.left())) {
        read.problem = "The presets file is not a presets file: its count " + std::to_string(*count)
            + " does not fit its size";
        return read;
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(*count); ++k) {
        if (reader.left() < recordBytes) {
            read.problem = damaged("the file ends inside the record", k);
            return read;
        }
        auto preset = presetOf(reader.take(recordBytes));
        if (!preset) {
            read.problem = damaged("a name longer than its field", k);
            return read;
        }
        if (current && version > 0) {
            const auto stateBytes = reader.int32();
            if (!stateBytes || *stateBytes > kMaxStateBytes
                || (*stateBytes > 0 && static_cast<std::size_t>(*stateBytes) > reader.left())) {
                read.problem = damaged("a compressor state that does not fit", k);
                return read;
            }
            if (*stateBytes > 0) {
                const auto state = reader.take(static_cast<std::size_t>(*stateBytes));
                preset->state.assign(state.begin(), state.end());
            }
        }
        read.presets.push_back(std::move(*preset));
    }
    return read;
}

namespace {

void putInt32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[at + k] = static_cast<std::uint8_t>(bits >> (8 * k));
    }
}

void putText(
    std::vector<std::uint8_t>& bytes, std::size_t at, std::string_view text, std::size_t limit)
{
    const std::size_t length = std::min(text.size(), limit);
    bytes[at] = static_cast<std::uint8_t>(length);
    std::copy_n(text.begin(), length, bytes.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

} // namespace

std::vector<std::uint8_t> serialisePresets(std::span<const CompressionPreset> presets)
{
    std::vector<std::uint8_t> bytes(12);
    putInt32(bytes, 0, static_cast<std::int32_t>(kMagic));
    putInt32(bytes, 4, kWrittenVersion);
    putInt32(bytes, 8, static_cast<std::int32_t>(presets.size()));
    for (const CompressionPreset& preset : presets) {
        const std::size_t at = bytes.size();
        const std::size_t stateBytes
            = std::min<std::size_t>(preset.state.size(), static_cast<std::size_t>(kMaxStateBytes));
        bytes.resize(at + kRecordBytes + 4 + stateBytes, 0);
        putText(bytes, at, preset.name, kPresetNameLimit);
        bytes[at + kQualityAt] = static_cast<std::uint8_t>(std::clamp(preset.quality, 0, 100));
        putInt32(bytes, at + kKeyFrameAt, preset.keyFrame);
        putInt32(bytes, at + kDataRateAt, preset.dataRateKBps);
        putText(bytes, at + kCompressorAt, preset.compressor, kPresetCompressorLimit);
        putInt32(bytes, at + kRecordBytes, static_cast<std::int32_t>(stateBytes));
        std::copy_n(preset.state.begin(), stateBytes,
            bytes.begin() + static_cast<std::ptrdiff_t>(at + kRecordBytes + 4));
    }
    return bytes;
}

PresetsRead readPresetsFile(const std::filesystem::path& file)
{
    const SmallFileRead read = readSmallFile(file, kMaxFileBytes);
    if (read.status != SmallFileStatus::Ok) {
        return { {}, read.error };
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(read.bytes.data());
    PresetsRead presets = parsePresets({ bytes, read.bytes.size() });
    if (!presets.problem.empty()) {
        presets.problem = shownText(file) + ": " + presets.problem;
    }
    return presets;
}

std::optional<std::string> writePresetsFile(
    const std::filesystem::path& file, std::span<const CompressionPreset> presets)
{
    const std::vector<std::uint8_t> bytes = serialisePresets(presets);
    if (const auto failure = writeFileSafely(file, bytes, ".new")) {
        return fileError("save", file, failure->error);
    }
    return std::nullopt;
}

} // namespace oskel
