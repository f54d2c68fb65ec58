#pragma once

#include <QWidget>
#include <cstddef>
#include <utility>
#include <vector>

class QTreeWidget;

namespace oskel {

// The window "Load Multiple Clips": the chosen clip files, each with its "Sync Mode" tick,
// and the buttons "Choose Clips", "Add More Clips", "&Done" and "Cancel". It shows the list it
// is given and reports what the performer does; closing it without "&Done" is "Cancel".
class LoadMultipleClipsWindow : public QWidget {
    Q_OBJECT
public:
    LoadMultipleClipsWindow();

    // Each entry: the file's name and its tick.
    void showEntries(const std::vector<std::pair<QString, bool>>& entries);
    QTreeWidget& list() { return *m_list; }

Q_SIGNALS:
    void chooseClicked(bool replace);
    void tickChanged(std::size_t entry, bool ticked);
    void doneClicked();
    void cancelled();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTreeWidget* m_list;
};

} // namespace oskel
