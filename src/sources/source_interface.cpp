#include "sources/source_interface.h"

#include <stdexcept>

#include "sources/readable_file.h"

namespace oskel {

namespace {

SourceKind kindOf(const TSourceInfo& info)
{
    if (info.hasAudio && info.hasVideo) {
        return SourceKind::PictureAndSound;
    }
    if (info.hasAudio) {
        return SourceKind::Sound;
    }
    if (info.hasVideo) {
        return info.frameRate > 0.0 ? SourceKind::Picture : SourceKind::Still;
    }
    return SourceKind::Nothing;
}

class SourceCloser : public ClipSource {
public:
    SourceCloser(SourceInterface& sources, int slot)
        : m_sources(sources)
        , m_slot(slot)
    {
    }
    void close() override
    {
        m_sources.SourceStop(m_slot);
        if (m_sources.SourceClose(m_slot) != kSourceOk) {
            throw std::runtime_error("the clip could not be closed");
        }
    }

private:
    SourceInterface& m_sources;
    int m_slot;
};

} // namespace

SourceInterface::SourceInterface(ReaderFactory makeReader)
    : m_makeReader(std::move(makeReader))
{
}

SourceInterface::~SourceInterface()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SourceClose(slot);
    }
}

SourceInterface::Entry* SourceInterface::entry(int slot)
{
    return isValidSlot(slot) ? &m_entries.at(static_cast<std::size_t>(slot)) : nullptr;
}

const TSourceInfo& SourceInterface::info(int slot) const
{
    static const TSourceInfo kNone;
    return isValidSlot(slot) ? m_entries.at(static_cast<std::size_t>(slot)).info : kNone;
}

int SourceInterface::SourceInit(int slot, SourceSystemKind system, int depth)
{
    Entry* found = entry(slot);
    if (found == nullptr) {
        return kSourceFailed;
    }
    SourceClose(slot);
    found->info = TSourceInfo {};
    found->info.system = system;
    found->info.requestedDepth = depth;
    found->info.frameLimits = m_frameLimits;
    found->reader = m_makeReader(system);
    found->prepared = false;
    found->info.initialised = found->reader != nullptr;
    return found->reader ? kSourceOk : kSourceFailed;
}

int SourceInterface::SourceOpen(int slot, const std::filesystem::path& file)
{
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader) {
        return kSourceFailed;
    }
    TSourceInfo& info = found->info;
    info.openProblem = info.system == SourceSystemKind::ssLive ? "" : whyUnreadable(file);
    if (!info.openProblem.empty()) {
        info.kind = SourceKind::Nothing;
        info.ready = false;
        return kSourceFailed;
    }
    int result = kSourceFailed;
    try {
        result = found->reader->open(file, info);
    } catch (const std::exception& error) {
        info.hasVideo = false;
        info.hasAudio = false;
        info.openProblem = error.what();
    }
    info.kind = kindOf(info);
    info.ready = info.kind != SourceKind::Nothing;
    const bool opened = result == kSourceOk && info.ready;
    if (!opened && info.openProblem.empty()) {
        info.openProblem = "nothing in it could be read";
    }
    return opened ? kSourceOk : kSourceFailed;
}

int SourceInterface::SourcePrepare(int slot)
{
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader || !found->info.hasVideo) {
        return kSourceFailed;
    }
    const int result = found->reader->prepare(found->info);
    found->prepared = result == kSourceOk;
    return result;
}

int SourceInterface::SourceGetFrame(int slot, std::int64_t index, const std::uint8_t*& pixels)
{
    pixels = nullptr;
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader || !found->info.hasVideo) {
        return kSourceFailed;
    }
    // A slot whose sound runs on past the end of its picture shows the last frame meanwhile.
    const std::int64_t last = found->info.frameCount - 1;
    if (last >= 0 && index > last) {
        index = last;
    }
    try {
        return found->reader->getFrame(index, found->info, pixels);
    } catch (const std::exception&) {
        return kSourceFailed;
    }
}

void SourceInterface::SourceDecodeAhead(int slot, std::int64_t index)
{
    Entry* found = entry(slot);
    if (found != nullptr && found->reader && found->info.hasVideo
        && index < found->info.frameCount) {
        found->reader->decodeAhead(index);
    }
}

int SourceInterface::SourceGetAudio(int slot, ByteBlock& sound, std::int64_t& length)
{
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader || !found->info.hasAudio) {
        return kSourceFailed;
    }
    auto block = std::make_shared<std::vector<std::uint8_t>>();
    const int result = found->reader->getAudio(found->info, *block);
    if (result != kSourceOk) {
        return result;
    }
    found->info.audioRead = true;
    length = static_cast<std::int64_t>(block->size());
    sound = std::move(block);
    return kSourceOk;
}

int SourceInterface::SourceStop(int slot)
{
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader) {
        return kSourceFailed;
    }
    found->reader->stop(found->info);
    return kSourceOk;
}

int SourceInterface::SourceClose(int slot)
{
    Entry* found = entry(slot);
    if (found == nullptr || !found->reader) {
        return kSourceFailed;
    }
    found->info.closing = true;
    int result = kSourceOk;
    try {
        result = found->reader->close(found->info);
    } catch (const std::exception&) {
        result = -2;
    }
    found->reader.reset();
    found->prepared = false;
    found->info.ready = false;
    return result;
}

std::shared_ptr<ClipSource> SourceInterface::closer(int slot)
{
    return std::make_shared<SourceCloser>(*this, slot);
}

LiveSourceControl* SourceInterface::live(int slot)
{
    Entry* found = entry(slot);
    return found != nullptr && found->reader ? found->reader->live() : nullptr;
}

} // namespace oskel
