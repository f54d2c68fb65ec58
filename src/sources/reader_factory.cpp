#include "sources/reader_factory.h"

#include "sources/avi_source.h"
#include "sources/live_source.h"
#include "sources/streaming_source.h"

namespace oskel {

std::unique_ptr<MediaSource> makeMediaReader(SourceSystemKind system)
{
    if (system == SourceSystemKind::ssVFW) {
        return std::make_unique<AviSource>();
    }
    if (system == SourceSystemKind::ssLive) {
        return std::make_unique<LiveSource>();
    }
    return std::make_unique<StreamingSource>();
}

} // namespace oskel
