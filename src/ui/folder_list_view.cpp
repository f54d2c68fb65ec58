#include "ui/folder_list_view.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

#include "persistence/patch_folder_list.h"

namespace oskel {

void showFolderList(const PatchFolderList& list, QLabel& folder, QListWidget& entries)
{
    const QSignalBlocker quiet(entries);
    folder.setText(QString::fromStdString(list.folder().string()));
    entries.clear();
    for (const PatchListEntry& entry : list.entries()) {
        const bool isFolder = entry.kind != PatchEntryKind::Patch;
        entries.addItem(QString::fromStdString(entry.caption) + (isFolder ? "/" : ""));
    }
}

} // namespace oskel
