#include "recording/record_and_render.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "core/shown_text.h"
#include "recording/render_progress.h"

namespace oskel {

namespace {

// The sound input recorded with a performance file: "sound input <time>.wav" beside
// "performance <time>.txt".
std::optional<std::filesystem::path> soundInputBeside(const std::filesystem::path& performance)
{
    constexpr std::string_view kStart = "performance ";
    const std::string stem = performance.stem().string();
    if (!stem.starts_with(kStart)) {
        return std::nullopt;
    }
    std::filesystem::path sound
        = performance.parent_path() / ("sound input " + stem.substr(kStart.size()) + ".wav");
    std::error_code error;
    if (!std::filesystem::is_regular_file(sound, error)) {
        return std::nullopt;
    }
    return sound;
}

std::optional<std::string> fileText(const std::filesystem::path& file)
{
    std::ifstream input(file, std::ios::binary);
    if (!input) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

} // namespace

RecordAndRender::RecordAndRender(Links links)
    : m_links(std::move(links))
{
}

RecordAndRender::~RecordAndRender()
{
    endRecording();
    m_job.cancel();
    m_job.wait();
}

std::vector<std::string> RecordAndRender::pressRecord()
{
    return recording() ? endRecording() : start();
}

std::vector<std::string> RecordAndRender::start()
{
    if (m_links.recorder.recording()) {
        // Started with the program ("--record FILE"): a new recording would drop it.
        return { "The performance is being recorded already, into the file named when the "
                 "program started; it is saved when the program ends" };
    }
    std::error_code error;
    std::filesystem::create_directories(m_links.recordingsFolder, error);
    if (error) {
        return { "Cannot record: the folder " + shownText(m_links.recordingsFolder)
            + " cannot be made: " + error.message() };
    }
    m_recording = recordingFilesIn(m_links.recordingsFolder, m_links.now());
    std::vector<std::string> messages;
    SetUpSnapshot setUp = m_links.snapshotSetUp(m_recording->setUp);
    if (setUp.problem) {
        messages.push_back(*setUp.problem);
    }
    m_links.recorder.start(std::move(setUp.opening));
    if (m_links.wantsSoundInput()) {
        const std::string problem = m_links.startSoundInput(m_recording->soundInput);
        m_soundInputRunning = problem.empty();
        if (!problem.empty()) {
            messages.push_back(problem + "\nThe performance is recorded without it.");
        }
    }
    return messages;
}

std::vector<std::string> RecordAndRender::endRecording()
{
    if (!m_recording) {
        return {};
    }
    m_links.recorder.stop();
    std::vector<std::string> messages;
    RecordingFiles files = *m_recording;
    m_recording.reset();
    if (m_soundInputRunning) {
        m_soundInputRunning = false;
        if (const std::string problem = m_links.stopSoundInput(); !problem.empty()) {
            messages.push_back(problem);
        }
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(files.soundInput, error)) {
        files.soundInput.clear();
    }
    if (const auto problem = m_links.recorder.save(files.performance)) {
        messages.push_back(*problem);
    }
    if (std::filesystem::is_regular_file(files.performance, error)) {
        m_last = files;
    }
    return messages;
}

RecordAndRender::Plan RecordAndRender::planRender(
    const std::optional<std::filesystem::path>& performance) const
{
    Plan plan;
    if (m_job.running()) {
        plan.problem = "A render is running already";
        return plan;
    }
    if (!performance && !m_last) {
        plan.problem = "Nothing has been recorded yet: press Record, play, and press Record "
                       "again to end the recording";
        return plan;
    }
    WindowRender render;
    render.performance = performance.value_or(m_last ? m_last->performance : "");
    const std::optional<std::string> text = fileText(render.performance);
    if (!text) {
        plan.problem = "The performance " + shownText(render.performance) + " cannot be read";
        return plan;
    }
    const ScriptReadResult script = parsePerformanceScript(*text, render.performance.parent_path());
    if (script.problem) {
        plan.problem = shownText(render.performance) + ", line "
            + std::to_string(script.problem->line) + ": " + script.problem->what;
        return plan;
    }
    render.framesPerSecond = kFramesPerSecond;
    render.frames = framesFor(performanceLengthMs(*text, script.actions), kFramesPerSecond);
    if (m_links.wantsSoundInput()) {
        render.sound = soundInputBeside(render.performance);
    }
    render.output = m_links.renderOutput();
    std::error_code error;
    plan.replacesFile = std::filesystem::exists(render.output, error);
    plan.render = std::move(render);
    return plan;
}

std::string RecordAndRender::startRender(const WindowRender& render)
{
    if (!m_job.start(m_links.makeRender(render))) {
        return "A render is running already";
    }
    m_rendering = render.output;
    return {};
}

std::string RecordAndRender::renderStatus() const
{
    switch (m_job.state()) {
    case RenderJob::State::Idle:
        return {};
    case RenderJob::State::Running:
        return renderProgressText(m_job.framesDone(), m_job.frames());
    case RenderJob::State::Finished:
        return "Rendered " + std::to_string(m_job.frames()) + " frames to "
            + shownText(m_rendering);
    case RenderJob::State::Cancelled:
        return "Render cancelled";
    case RenderJob::State::Failed:
        return "Render failed: " + m_job.problem();
    }
    return {};
}

} // namespace oskel
