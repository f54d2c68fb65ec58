#include "ui/plugin_monitor_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace oskel {

namespace {

constexpr int kRefreshMs = 1000;

QString text(const std::string& shown)
{
    return QString::fromStdString(shown);
}

} // namespace

PluginMonitorWindow::PluginMonitorWindow()
    : m_list(new QTreeWidget(this))
    , m_empty(new QLabel("No Plugin Loaded", this))
{
    setObjectName("FreeFramePluginMonitor");
    setWindowTitle("FreeFrame Plugin Monitor");
    m_list->setObjectName("lvPlugins");
    m_list->setHeaderLabels({ "Slot", "Plugin", "Effect", "Wet / Dry", "Parameters" });
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->header()->setStretchLastSection(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_list, 1);
    column->addWidget(m_empty);
    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { refresh(); });
    resize(620, 300);
}

void PluginMonitorWindow::setSource(std::function<std::vector<PluginMonitorRow>()> rows)
{
    m_rows = std::move(rows);
    if (isVisible()) {
        refresh();
    }
}

void PluginMonitorWindow::refresh()
{
    const std::vector<PluginMonitorRow> rows = m_rows ? m_rows() : std::vector<PluginMonitorRow> {};
    m_list->clear();
    for (const PluginMonitorRow& row : rows) {
        new QTreeWidgetItem(m_list,
            { QString::number(row.slot), text(row.plugin), row.enabled ? "On" : "Off",
                text(row.mix), text(row.parameters) });
    }
    for (int column = 0; column + 1 < m_list->columnCount(); ++column) {
        m_list->resizeColumnToContents(column);
    }
    m_empty->setVisible(rows.empty());
}

void PluginMonitorWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
    m_timer.start();
}

void PluginMonitorWindow::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

} // namespace oskel
