#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/sound_capture.h"
#include "platform/spsc_ring.h"

namespace oskel {

class RecordedWave;

// The wave-in recorder: the sound card's input written to a WAV file (16-bit stereo, 44100
// Hz) while a performance is played, so that its render can carry that sound (`render
// --audio`). The device's thread only copies into a ring that holds ten seconds; a thread of
// the recorder's own writes the file. The file is written as "<file>.partial" and renamed
// when the recording stops, so one that did not end never looks complete. Samples the ring
// had no room for are counted. Start and stop on one thread (the main thread).
class tSoundRecorder {
public:
    explicit tSoundRecorder(SoundCapture& capture);
    ~tSoundRecorder();
    tSoundRecorder(const tSoundRecorder&) = delete;
    tSoundRecorder& operator=(const tSoundRecorder&) = delete;

    // The problem in the performer's words, or an empty text.
    std::string start(const std::filesystem::path& file);
    // Ends the file; the problem, or an empty text.
    std::string stop();
    bool recording() const { return m_wave != nullptr; }
    std::uint64_t droppedSamples() const { return m_dropped.load(); }
    // Sample frames the device delivered since the start.
    std::uint64_t receivedFrames() const { return m_received.load() / 2; }

private:
    void receive(std::span<const std::int16_t> samples) noexcept;
    void writeWhileRecording();
    void writeWaiting();

    SoundCapture& m_capture;
    SpscRing<std::int16_t> m_ring;
    std::unique_ptr<RecordedWave> m_wave;
    std::atomic<bool> m_running { false };
    std::atomic<std::uint64_t> m_dropped { 0 };
    std::atomic<std::uint64_t> m_received { 0 };
    std::string m_writeProblem;
    std::thread m_writer;
};

// When a recording of `elapsedMs` received far fewer sample frames than that time holds (the
// device went away, or stopped delivering), what the performer is told; else an empty text.
std::string soundInputShortfall(std::uint64_t receivedFrames, std::int64_t elapsedMs);

} // namespace oskel
