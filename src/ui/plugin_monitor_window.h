#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "control/plugin_monitor.h"

class QLabel;
class QTreeWidget;

namespace oskel {

// The "FreeFrame Plugin Monitor": which slot holds which plug-in, whether it is on, its
// parameters and its mix, read afresh every second while the window is shown. Read-only.
class PluginMonitorWindow : public QWidget {
    Q_OBJECT
public:
    PluginMonitorWindow();

    // Where the rows come from; none: the window lists nothing.
    void setSource(std::function<std::vector<PluginMonitorRow>()> rows);
    void refresh();
    const QTreeWidget& list() const { return *m_list; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTreeWidget* m_list;
    QLabel* m_empty;
    std::function<std::vector<PluginMonitorRow>()> m_rows;
    QTimer m_timer;
};

} // namespace oskel
