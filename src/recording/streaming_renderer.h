#pragma once

#include <atomic>

#include "recording/forwarding_renderer.h"
#include "recording/stream_output.h"

namespace oskel {

// A renderer that draws with another one and, after each presented picture, hands it to the
// stream set, if any: read back from the drawing surface straight into the stream's free
// slot, or not at all when the stream is behind.
class StreamingRenderer final : public ForwardingRenderer {
public:
    using ForwardingRenderer::ForwardingRenderer;

    // Main thread. The stream the pictures go to; null: none. When this returns, the frame
    // thread no longer uses the stream set before, which may then be dropped.
    void setStream(StreamOutput* stream) noexcept;

    void Present() override;

private:
    std::atomic<StreamOutput*> m_stream = nullptr;
    std::atomic<bool> m_presenting = false;
};

} // namespace oskel
