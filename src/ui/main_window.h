#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "ui/control_registry.h"

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;

namespace oskel {

class ClipExplorerPage;
class ClipInspectorWidget;
class CrossfadeControls;
class MasterControls;
class OutputView;
class PatchesTab;
class PictureView;
class RecordRenderControls;
class SlotGridWidget;
class SlotPanel;
class TempoControls;
class VideoLayers;

// The performance window "Oskel 3": the display panel with the composed output, the master,
// tempo and crossfade controls, the clip inspector, the clip slot grid and the status line.
// The layer stack widget is the right-hand column.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1024;
    static constexpr int kClientHeight = 748;

    MainWindow();
    ~MainWindow() override;

    OutputView& display() { return *m_display; }
    MasterControls& master() { return *m_master; }
    TempoControls& tempo() { return *m_tempo; }
    CrossfadeControls& crossfade() { return *m_crossfade; }
    SlotGridWidget& grid() { return *m_grid; }
    ClipInspectorWidget& inspector() { return *m_inspector; }
    VideoLayers& layers() { return *m_layers; }
    PatchesTab& patches() { return *m_patches; }
    RecordRenderControls& recordRender() { return *m_recordRender; }
    ClipExplorerPage& clipExplorer() { return *m_clipExplorer; }
    QPushButton& statusLine() { return *m_status; }
    const ControlRegistry& controls() const { return m_controls; }

    void setStatusText(const QString& text);

    // The menu's entries; what they do is bound by the owner.
    QAction* openMedia = nullptr;
    QAction* openLiveSource = nullptr;
    QAction* loadMultipleClips = nullptr;
    QAction* pluginMonitor = nullptr;
    QAction* about = nullptr;
    QAction* openPatch = nullptr;
    QAction* savePatch = nullptr;
    QAction* midiConfiguration = nullptr;
    QAction* videoCompression = nullptr;
    QAction* preferences = nullptr;
    QAction* help = nullptr;
    QAction* performanceMonitor = nullptr;

    // Asked when the window is to close; the window closes only when it answers true.
    void setCloseQuery(std::function<bool()> query) { m_closeQuery = std::move(query); }

Q_SIGNALS:
    // The window was activated for the first time and has its working size.
    void firstActivation();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildMenu();
    QWidget* buildTopRow();
    void registerControls();
    void registerSlotControls(SlotPanel& panel);
    void registerInspectorControls();
    void highlightTabs(QTabWidget& tabs);
    // A crossfade preview shows the still thumbnail of a slot, black for none.
    void showSlotStill(PictureView& preview, int slot);

    OutputView* m_display;
    MasterControls* m_master;
    TempoControls* m_tempo;
    CrossfadeControls* m_crossfade;
    SlotGridWidget* m_grid;
    ClipInspectorWidget* m_inspector;
    VideoLayers* m_layers;
    std::unique_ptr<PatchesTab> m_patches; // its pages belong to the explorer's tabs
    RecordRenderControls* m_recordRender;
    ClipExplorerPage* m_clipExplorer;
    QPushButton* m_status;
    ControlRegistry m_controls;
    std::function<bool()> m_closeQuery;
    bool m_activated = false;
};

} // namespace oskel
