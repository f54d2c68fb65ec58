#include "ui/clip_explorer_page.h"

#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/folder_list_view.h"

namespace oskel {

namespace {

// A list whose entries, dragged out, carry the clip file they stand for.
class ClipList : public QListWidget {
public:
    explicit ClipList(QWidget* parent)
        : QListWidget(parent)
    {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
        setFocusPolicy(Qt::NoFocus);
    }

    ClipExplorerPage::ClipAt clipAt;

protected:
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override
    {
        QList<QUrl> urls;
        for (const QListWidgetItem* item : items) {
            const auto clip = clipAt ? clipAt(static_cast<std::size_t>(row(item))) : std::nullopt;
            if (clip) {
                urls.push_back(QUrl::fromLocalFile(QString::fromStdString(clip->string())));
            }
        }
        if (urls.isEmpty()) {
            return nullptr; // a folder is not dragged
        }
        auto* carried = new QMimeData;
        carried->setUrls(urls);
        return carried;
    }
};

} // namespace

ClipExplorerPage::ClipExplorerPage(QWidget* parent)
    : QWidget(parent)
    , folder(new QLabel(this))
    , clips(new ClipList(this))
{
    setObjectName("ClipExplorer");
    folder->setObjectName("lClipDirectory");
    folder->setTextInteractionFlags(Qt::NoTextInteraction);
    clips->setObjectName("lvClips");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(folder);
    column->addWidget(clips, 1);
    connect(clips, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Q_EMIT entryOpened(static_cast<std::size_t>(clips->row(item)));
    });
}

void ClipExplorerPage::setClipAt(ClipAt clipAt)
{
    static_cast<ClipList*>(clips)->clipAt = std::move(clipAt);
}

void ClipExplorerPage::showList(const PatchFolderList& list)
{
    showFolderList(list, *folder, *clips);
}

} // namespace oskel
