// The windows' side of the clip explorer: its page shows the logic's folder, and a
// double-click opens an entry. It starts in the folder of the last clip loaded, else in the
// performer's home folder.
#include <QDir>

#include "control/clip_explorer.h"
#include "ui/clip_explorer_page.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"

namespace oskel {

void InstrumentWindows::bindClipExplorer()
{
    m_clipExplorer = std::make_unique<ClipExplorer>(m_links->performance, grid());
    ClipExplorer& logic = *m_clipExplorer;
    ClipExplorerPage& page = m_main->clipExplorer();
    page.setClipAt([&logic](std::size_t index) { return logic.clipAt(index); });
    QObject::connect(
        &page, &ClipExplorerPage::entryOpened, &page, [this, &logic, &page](std::size_t index) {
            const std::filesystem::path before = logic.folder();
            guarded([&] { logic.openEntry(index); });
            // A clip loaded leaves the list, and the performer's place in it, as it was.
            if (logic.folder() != before) {
                page.showList(logic.list());
            }
        });
    logic.start({ m_links->loader.dialogStartFolder(), QDir::homePath().toStdString() });
    page.showList(logic.list());
}

} // namespace oskel
