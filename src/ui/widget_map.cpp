#include "ui/widget_map.h"

#include <QTabBar>
#include <QWidget>
#include <fstream>

namespace oskel {

namespace {

void writeRect(std::ostream& out, const QString& name, const QRect& rect)
{
    out << name.toStdString() << ' ' << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' '
        << rect.height() << '\n';
}

} // namespace

void writeWidgetMap(const QWidget& window, const std::filesystem::path& file)
{
    std::ofstream out(file);
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (child->objectName().isEmpty()) {
            continue;
        }
        const QPoint origin = child->mapTo(&window, QPoint(0, 0));
        writeRect(out, child->objectName(), QRect(origin, child->size()));
        if (const auto* tabs = qobject_cast<const QTabBar*>(child)) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const QRect place = tabs->tabRect(tab).translated(origin);
                writeRect(out, child->objectName() + ":" + tabs->tabText(tab), place);
            }
        }
    }
}

} // namespace oskel
