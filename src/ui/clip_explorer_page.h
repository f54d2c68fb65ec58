#pragma once

#include <QWidget>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;

namespace oskel {

class PatchFolderList;

// The clip explorer's page: the clip folder's name (`lClipDirectory`) over its entries
// (`lvClips`), folders marked with "/". A double-click on an entry is reported; a clip file
// dragged out carries its path, so that the grid and the layer stack load it where it is
// dropped. The list never takes the keyboard: the performance keys stay the performer's.
class ClipExplorerPage : public QWidget {
    Q_OBJECT
public:
    // The file an entry stands for, when it is a clip that can be dragged.
    using ClipAt = std::function<std::optional<std::filesystem::path>(std::size_t)>;

    explicit ClipExplorerPage(QWidget* parent = nullptr);

    void showList(const PatchFolderList& list);
    void setClipAt(ClipAt clipAt);

    QLabel* folder;
    QListWidget* clips;

Q_SIGNALS:
    void entryOpened(std::size_t index);
};

} // namespace oskel
