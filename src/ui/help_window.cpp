#include "ui/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The pages are built into the program's library; they are registered when first needed.
static void registerHelpPages()
{
    Q_INIT_RESOURCE(help);
}

namespace oskel {

HelpWindow::HelpWindow()
    : m_browser(new QTextBrowser(this))
{
    registerHelpPages();
    setObjectName("fmHelp");
    setWindowTitle("Oskel3 Help");
    resize(640, 560);
    m_browser->setObjectName("HelpBrowser");
    m_browser->setOpenExternalLinks(true);
    auto* buttons = new QHBoxLayout;
    for (auto [caption, action] : { std::pair { "Overview", &HelpWindow::showOverview } }) {
        auto* button = new QPushButton(caption, this);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    auto* back = new QPushButton("Back", this);
    back->setFocusPolicy(Qt::NoFocus);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(m_browser, 1);
    showOverview();
}

void HelpWindow::showOverview()
{
    m_browser->setSource(QUrl(kIndexPage));
}

} // namespace oskel
