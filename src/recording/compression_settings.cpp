#include "recording/compression_settings.h"

#include <algorithm>

#include "control/compression_presets.h"
#include "core/ascii.h"
#include "recording/encoder_options.h"
#include "recording/ffmpeg_writer.h"
#include "recording/render_container.h"

namespace oskel {

namespace {

constexpr int kOfferedDataRate = 1000;

bool available(const RenderContainer* container, const VideoCompressor& compressor)
{
    if (container != nullptr) {
        return compressorProblem(*container, compressor.kind).empty();
    }
    return ffmpeg::encoderFor(compressor.kind) != nullptr;
}

} // namespace

CompressionSettings::CompressionSettings(const std::filesystem::path& output)
{
    const RenderContainer* container = renderContainerFor(output);
    for (const VideoCompressor& compressor : videoCompressors()) {
        if (available(container, compressor)) {
            m_compressors.emplace_back(compressor.friendlyName);
        }
    }
    if (!m_compressors.empty()) {
        choose(m_compressors.front());
    }
}

const VideoCompressor* CompressionSettings::chosen() const
{
    return findVideoCompressor(m_inForce.compressor);
}

void CompressionSettings::choose(std::string_view compressor)
{
    const auto listed = std::ranges::find_if(
        m_compressors, [&](const std::string& name) { return sameWithoutCase(name, compressor); });
    if (listed == m_compressors.end()) {
        return;
    }
    m_inForce.compressor = *listed;
    const Enabled now = enabled();
    m_inForce.quality = 100;
    m_limited = false;
    m_rate = now.dataRate ? kOfferedDataRate : 0;
    m_inForce.keyFrame = now.keyFrame ? 1 : 0;
    m_inForce.state.clear();
}

CompressionSettings::Enabled CompressionSettings::enabled() const
{
    const VideoCompressor* compressor = chosen();
    if (compressor == nullptr) {
        return {};
    }
    return { compressor->takesQuality, compressor->takesDataRate, compressor->takesKeyFrames,
        !encoderOptions(compressor->kind).empty() };
}

void CompressionSettings::setQuality(int quality)
{
    m_inForce.quality = std::clamp(quality, 0, 100);
}

void CompressionSettings::setDataRate(bool limited, int kilobytesPerSecond)
{
    m_limited = limited;
    m_rate = std::max(kilobytesPerSecond, 0);
}

void CompressionSettings::setKeyFrame(int interval)
{
    m_inForce.keyFrame = std::max(interval, 0);
}

std::string CompressionSettings::setOptions(std::string_view text)
{
    const VideoCompressor* compressor = chosen();
    std::string problem
        = compressor == nullptr ? "" : encoderOptionsProblem(compressor->kind, text);
    if (problem.empty()) {
        m_inForce.state = std::string(text);
    }
    return problem;
}

std::string CompressionSettings::add(std::string_view name, bool overwrite)
{
    using namespace compression_presets;
    const NameCheck check = checkName(name, m_presets);
    if (check == NameCheck::Refused) {
        return std::string(kBadName);
    }
    if (check == NameCheck::Exists && !overwrite) {
        return std::string(kOverwrite);
    }
    CompressionPreset preset = m_inForce;
    preset.name = std::string(name);
    preset.dataRateKBps = m_limited ? m_rate : 0;
    compression_presets::add(m_presets, std::move(preset));
    return {};
}

std::optional<std::string> CompressionSettings::apply(std::size_t preset)
{
    if (preset >= m_presets.size()) {
        return std::nullopt;
    }
    const CompressionPreset chosenPreset = m_presets[preset];
    if (auto missing = compression_presets::missingCompressor(chosenPreset, m_compressors)) {
        return missing;
    }
    choose(chosenPreset.compressor);
    m_inForce.quality = chosenPreset.quality;
    m_inForce.keyFrame = chosenPreset.keyFrame;
    m_limited = chosenPreset.dataRateKBps > 0;
    if (m_limited) {
        m_rate = chosenPreset.dataRateKBps;
    }
    m_inForce.state = chosenPreset.state;
    return std::nullopt;
}

void CompressionSettings::remove(std::size_t preset)
{
    if (preset < m_presets.size()) {
        m_presets.erase(m_presets.begin() + static_cast<std::ptrdiff_t>(preset));
    }
}

std::string CompressionSettings::load(const std::filesystem::path& file)
{
    PresetsRead read = readPresetsFile(file);
    if (!read.presets.empty()) {
        const CompressionPreset inForce = read.presets.front();
        m_presets.assign(read.presets.begin() + 1, read.presets.end());
        m_presets.push_back(inForce);
        // The settings in force come in as a preset would; a compressor that is gone leaves
        // the first one chosen.
        apply(m_presets.size() - 1);
        m_presets.pop_back();
    }
    return read.problem;
}

std::optional<std::string> CompressionSettings::save(const std::filesystem::path& file) const
{
    std::vector<CompressionPreset> all { m_inForce };
    all.front().name.clear();
    all.front().dataRateKBps = m_limited ? m_rate : 0;
    all.insert(all.end(), m_presets.begin(), m_presets.end());
    return writePresetsFile(file, all);
}

VideoEncoding CompressionSettings::encoding(int width, int height, int framesPerSecond) const
{
    VideoEncoding encoding;
    const VideoCompressor* compressor = chosen();
    encoding.compression
        = compressor != nullptr ? compressor->kind : VideoCompression::Uncompressed;
    encoding.width = width;
    encoding.height = height;
    encoding.framesPerSecond = framesPerSecond;
    encoding.quality = m_inForce.quality;
    encoding.keyFrame = std::max(m_inForce.keyFrame, 1);
    encoding.dataRateKBps = m_limited ? m_rate : 0;
    encoding.options = m_inForce.state;
    return encoding;
}

} // namespace oskel
