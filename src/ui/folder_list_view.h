#pragma once

class QLabel;
class QListWidget;

namespace oskel {

class PatchFolderList;

// Shows a folder's list: the folder in the label, the entries in the list with folders marked
// by "/" (the patch and clip explorers). The list's signals stay quiet meanwhile.
void showFolderList(const PatchFolderList& list, QLabel& folder, QListWidget& entries);

} // namespace oskel
