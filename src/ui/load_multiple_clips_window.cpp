#include "ui/load_multiple_clips_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace oskel {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const char* text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

LoadMultipleClipsWindow::LoadMultipleClipsWindow()
    : m_list(new QTreeWidget(this))
{
    setObjectName("LoadMultipleClipsForm");
    setWindowTitle("Load Multiple Clips");
    m_list->setObjectName("clbClips");
    m_list->setHeaderLabels({ "Sync Mode" });
    m_list->setRootIsDecorated(false);
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        const int entry = m_list->indexOfTopLevelItem(item);
        if (entry >= 0) {
            Q_EMIT tickChanged(static_cast<std::size_t>(entry), item->checkState(0) == Qt::Checked);
        }
    });

    QPushButton* choose = makeButton(this, "bChooseClips", "Choose Clips");
    QPushButton* add = makeButton(this, "bAddMoreClips", "Add More Clips");
    QPushButton* done = makeButton(this, "bDone", "&Done");
    QPushButton* cancel = makeButton(this, "bCancel", "Cancel");
    connect(choose, &QPushButton::clicked, this, [this] { Q_EMIT chooseClicked(true); });
    connect(add, &QPushButton::clicked, this, [this] { Q_EMIT chooseClicked(false); });
    // Hiding is not closing: only the window's own close counts as "Cancel" below.
    connect(done, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT doneClicked();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT cancelled();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(done);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_list, 1);
    column->addLayout(buttons);
    resize(420, 320);
}

void LoadMultipleClipsWindow::showEntries(const std::vector<std::pair<QString, bool>>& entries)
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const auto& [name, ticked] : entries) {
        auto* item = new QTreeWidgetItem(m_list, { name });
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void LoadMultipleClipsWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT cancelled();
}

} // namespace oskel
