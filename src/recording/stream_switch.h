#pragma once

#include <memory>
#include <string>

#include "core/performance.h"
#include "platform/sound_device.h"
#include "recording/live_output_switch.h"
#include "recording/live_sound_tap.h"
#include "recording/streaming_renderer.h"

namespace oskel {

// The live output streamed while the "StreamOutput" control is on, to the address the stream
// options keep (see LiveOutputSwitch for when it starts and stops). With a sound device, the
// stream carries its live mix.
class StreamSwitch final : public LiveOutputSwitch {
public:
    static constexpr int kFramesPerSecond = 25;

    StreamSwitch(const Performance& performance, StreamingRenderer& renderer,
        MainThreadDispatcher& mainThread, UserInterfacePort& ui, SoundDevice* sound = nullptr);
    ~StreamSwitch() override;

    void stop() override;
    // "Stream: 1200 sent, 3 dropped" while a stream runs; empty otherwise.
    std::string countsText() const;

private:
    bool wanted() const override { return m_performance.options().stream.enabled; }
    std::string target() const override { return m_performance.options().stream.url; }
    bool running() const override { return m_stream != nullptr; }
    bool start(const std::string& url) override;

    const Performance& m_performance;
    StreamingRenderer& m_renderer;
    SoundDevice* m_sound;
    std::unique_ptr<StreamOutput> m_stream;
    std::unique_ptr<LiveSoundTap> m_soundTap;
};

} // namespace oskel
