#include "ui/record_render_windows.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>

#include "core/shown_text.h"
#include "ui/dialogs.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/record_render_controls.h"
#include "ui/render_preview_window.h"

namespace oskel {

namespace {

constexpr int kRefreshMs = 40;

std::optional<std::filesystem::path> choosePerformanceFile(const std::filesystem::path& folder)
{
    const QString file = QFileDialog::getOpenFileName(nullptr, "Render a Performance",
        QString::fromStdString(folder.string()), "Performances (*.txt);;All files (*)");
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

} // namespace

RecordRenderWindows::RecordRenderWindows(Links links)
    : m_links(std::move(links))
    , m_preview(std::make_unique<RenderPreviewWindow>())
    , m_choose(choosePerformanceFile)
{
    RecordRenderControls& controls = m_links.controls;
    controls.soundInput->setChecked(m_links.logic.wantsSoundInput());
    connect(controls.record, &QPushButton::clicked, this, [this] {
        tell(m_links.logic.pressRecord());
        refresh();
    });
    connect(controls.render, &QPushButton::clicked, this, [this] { render(std::nullopt); });
    connect(controls.renderFile, &QPushButton::clicked, this, [this] {
        const auto& last = m_links.logic.lastRecording();
        if (const auto chosen = m_choose(last ? last->performance.parent_path() : "")) {
            render(chosen);
        }
    });
    connect(controls.soundInput, &QCheckBox::toggled, this,
        [this](bool on) { m_links.logic.chooseSoundInput(on); });
    connect(m_preview.get(), &RenderPreviewWindow::cancelAsked, this,
        [this] { m_links.logic.job().cancel(); });
    connect(&m_refresh, &QTimer::timeout, this, [this] { refresh(); });
    m_refresh.start(kRefreshMs);
}

RecordRenderWindows::~RecordRenderWindows() = default;

void RecordRenderWindows::tell(const std::vector<std::string>& messages)
{
    for (const std::string& message : messages) {
        m_links.dialogs.showMessage(message);
    }
}

void RecordRenderWindows::render(const std::optional<std::filesystem::path>& performance)
{
    // "Render" during a recording renders it: it ends first.
    if (!performance && m_links.logic.recording()) {
        tell(m_links.logic.endRecording());
    }
    const RecordAndRender::Plan plan = m_links.logic.planRender(performance);
    if (!plan.render) {
        m_links.dialogs.showMessage(plan.problem);
        return;
    }
    if (plan.replacesFile
        && m_links.dialogs.ask(
               "The file " + shownText(plan.render->output) + " exists already. Replace it?",
               DialogButtons::YesNo)
            != DialogAnswer::Yes) {
        return;
    }
    if (const std::string problem = m_links.logic.startRender(*plan.render); !problem.empty()) {
        m_links.dialogs.showMessage(problem);
        return;
    }
    m_rendering = true;
    m_preview->showProgress(QString::fromStdString(m_links.logic.renderStatus()));
    if (m_links.previewWanted()) {
        if (m_links.owner != nullptr) {
            m_preview->move(m_links.owner->geometry().center() - m_preview->rect().center());
        }
        m_preview->show();
        m_preview->raise();
        m_preview->activateWindow();
    }
    refresh();
}

void RecordRenderWindows::refresh()
{
    m_links.controls.record->setChecked(m_links.logic.recording());
    if (!m_rendering) {
        return;
    }
    if (!m_links.logic.job().running()) {
        renderEnded();
        return;
    }
    if (m_links.logic.job().takePicture(m_picture)) {
        m_preview->showPicture(m_picture);
    }
    const QString status = QString::fromStdString(m_links.logic.renderStatus());
    m_links.showStatus(status);
    m_preview->showProgress(status);
}

void RecordRenderWindows::renderEnded()
{
    m_rendering = false;
    m_preview->dismiss();
    m_links.showStatus(QString::fromStdString(m_links.logic.renderStatus()));
    if (m_links.logic.job().state() == RenderJob::State::Failed) {
        m_links.dialogs.showMessage(m_links.logic.job().problem());
    }
}

void InstrumentWindows::bindRecordAndRender()
{
    if (m_links->recordAndRender == nullptr) {
        return;
    }
    m_recordRender = std::make_unique<RecordRenderWindows>(
        RecordRenderWindows::Links { *m_links->recordAndRender, m_main->recordRender(), dialogs(),
            [this](const QString& text) { m_main->setStatusText(text); },
            [this] { return m_links->performance.options().render.PreviewWhileRender; },
            m_main.get() });
}

} // namespace oskel
