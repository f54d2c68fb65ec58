#pragma once

#include <memory>

#include "sources/media_source.h"

namespace oskel {

// The reader of each media system: the AVI source for ".avi" files, the streaming source for
// everything else (and for AVI files the AVI source cannot open).
std::unique_ptr<MediaSource> makeMediaReader(SourceSystemKind system);

} // namespace oskel
