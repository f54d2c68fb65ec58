#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "recording/record_and_render.h"

namespace oskel {

class Dialogs;
class RecordRenderControls;
class RenderPreviewWindow;

// "Record" and "Render" bound to their logic: the buttons send, the status line and the render
// preview show the recording and the render as they go. Main thread.
class RecordRenderWindows : public QObject {
    Q_OBJECT
public:
    using Chooser
        = std::function<std::optional<std::filesystem::path>(const std::filesystem::path& folder)>;

    struct Links {
        RecordAndRender& logic;
        RecordRenderControls& controls;
        Dialogs& dialogs;
        // The main window's status line.
        std::function<void(const QString&)> showStatus;
        // Whether the preview shows while rendering ("Preview while Rendering").
        std::function<bool()> previewWanted;
        QWidget* owner = nullptr; // the preview is centred on it
    };

    explicit RecordRenderWindows(Links links);
    ~RecordRenderWindows() override;

    // Chooses the performance file "Render File..." renders; a file dialog unless replaced.
    void setPerformanceChooser(Chooser choose) { m_choose = std::move(choose); }
    RenderPreviewWindow& preview() { return *m_preview; }
    // Shows the messages, one box each.
    void tell(const std::vector<std::string>& messages);

private:
    void render(const std::optional<std::filesystem::path>& performance);
    void refresh();
    void renderEnded();

    Links m_links;
    std::unique_ptr<RenderPreviewWindow> m_preview;
    Chooser m_choose;
    QTimer m_refresh;
    bool m_rendering = false;
    std::vector<std::uint8_t> m_picture;
};

} // namespace oskel
