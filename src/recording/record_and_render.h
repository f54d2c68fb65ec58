#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recording/performance_recorder.h"
#include "recording/recording_files.h"
#include "recording/render_job.h"
#include "recording/set_up_snapshot.h"

namespace oskel {

// A render asked for from the windows: the performance, its sound when it comes from the
// sound card's input, and the file it goes to.
struct WindowRender {
    std::filesystem::path performance;
    std::optional<std::filesystem::path> sound;
    std::filesystem::path output;
    std::int64_t frames = 1;
    int framesPerSecond = 25;
};

// What "Record" and "Render" on the main window do: a recording of the performance (and of
// the sound card's input when the render settings ask for it) into the performer's data
// folder, kept as the last recording; and a render of it, or of a performance file chosen,
// running as a RenderJob. Main thread; the windows only show its state and press its buttons.
class RecordAndRender {
public:
    static constexpr int kFramesPerSecond = 25;

    struct Links {
        PerformanceRecorder& recorder;
        // Where recordings are kept; made when needed.
        std::filesystem::path recordingsFolder;
        // The local time now, for the recordings' names.
        std::function<std::tm()> now;
        // The set-up as it stands, saved as a patch to the file, and the actions that open a
        // recording with it (set_up_snapshot.h).
        std::function<SetUpSnapshot(const std::filesystem::path& patchFile)> snapshotSetUp;
        // Whether the render settings ask for the sound card's input, and the performer's
        // choice of it.
        std::function<bool()> wantsSoundInput;
        std::function<void(bool)> chooseSoundInput;
        // Starts and ends the recording of the sound card's input into a WAV file; the
        // problem in the performer's words, or an empty text. A problem never stops the
        // recording of the performance.
        std::function<std::string(const std::filesystem::path& file)> startSoundInput;
        std::function<std::string()> stopSoundInput;
        // The render output of the settings.
        std::function<std::filesystem::path()> renderOutput;
        // The render the job runs.
        std::function<RenderJob::Work(const WindowRender& render)> makeRender;
    };

    explicit RecordAndRender(Links links);
    // Ends a recording still running (and keeps it), cancels a render still running.
    ~RecordAndRender();
    RecordAndRender(const RecordAndRender&) = delete;
    RecordAndRender& operator=(const RecordAndRender&) = delete;

    // "Record": starts a recording, or ends the one running and keeps it. Returns what the
    // performer is to be told.
    std::vector<std::string> pressRecord();
    // The performer stopped everything: a recording running ends and is kept.
    std::vector<std::string> endRecording();
    bool recording() const { return m_recording.has_value(); }
    // Whether a recording also records the sound card's input, and a render carries it.
    bool wantsSoundInput() const { return m_links.wantsSoundInput(); }
    void chooseSoundInput(bool on) { m_links.chooseSoundInput(on); }
    // The recording kept last: its performance file, and its sound input when one was made.
    const std::optional<RecordingFiles>& lastRecording() const { return m_last; }

    // A render of `performance`, or of the last recording: what it would write, or why it
    // cannot start.
    struct Plan {
        std::optional<WindowRender> render;
        std::string problem;
        // The output exists already: the performer is asked before it is replaced.
        bool replacesFile = false;
    };
    Plan planRender(const std::optional<std::filesystem::path>& performance) const;
    // Starts the render planned; the problem, or an empty text.
    std::string startRender(const WindowRender& render);
    RenderJob& job() { return m_job; }
    // What the status line says of the render: "Rendering Frame n/N" while it runs, then how
    // it ended.
    std::string renderStatus() const;

private:
    std::vector<std::string> start();

    Links m_links;
    std::optional<RecordingFiles> m_recording; // the files of the recording running
    bool m_soundInputRunning = false;
    std::optional<RecordingFiles> m_last;
    std::filesystem::path m_rendering; // the output of the render started last
    RenderJob m_job;
};

} // namespace oskel
