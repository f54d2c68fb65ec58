#include "ui/secondary_output_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "control/secondary_output.h"
#include "ui/output_view.h"

namespace oskel {

SecondaryOutputWindow::SecondaryOutputWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_controls(new QWidget(this))
    , m_heading(new QLabel(QString::fromUtf8(SecondaryOutput::kHeading), m_controls))
    , m_expand(new QPushButton("Expand output to full screen on this monitor", m_controls))
    , m_custom(new QPushButton("Position output anywhere on your desktop", m_controls))
    , m_view(new OutputView(this))
{
    setObjectName("frmSecDisplay");
    setWindowTitle(QString::fromUtf8(SecondaryOutput::kCaption));
    m_controls->setObjectName("pnControls");
    m_heading->setObjectName("lbSecDisplay");
    m_expand->setObjectName("bExpandSecDisplay");
    m_custom->setObjectName("bCustomSecDisplay");
    m_view->setObjectName("Panel1");
    auto* controls = new QVBoxLayout(m_controls);
    controls->addWidget(m_heading);
    controls->addWidget(new QLabel("Press TAB to deflate", m_controls));
    controls->addWidget(m_expand);
    controls->addWidget(m_custom);
    auto* layout = new QVBoxLayout(this);
    // Collapsed, the window is 300 x 156 whatever its controls would like.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_controls);
    layout->addWidget(m_view, 1);
    m_view->hide();
    m_view->setMouseTracking(true);
}

QString SecondaryOutputWindow::heading() const
{
    return m_heading->text();
}

bool SecondaryOutputWindow::controlsShown() const
{
    return !m_controls->isHidden();
}

void SecondaryOutputWindow::place(const ScreenRect& area)
{
    setGeometry(area.left, area.top, area.width, area.height);
}

void SecondaryOutputWindow::showExpanded(const ScreenRect& area)
{
    m_controls->hide();
    m_view->show();
    setWindowFlag(Qt::FramelessWindowHint, true);
    setMinimumSize(0, 0);
    place(area);
    show();
    raise();
}

void SecondaryOutputWindow::showCollapsed(const ScreenRect& area, std::string_view heading)
{
    m_heading->setText(QString::fromUtf8(heading.data(), qsizetype(heading.size())));
    m_view->hide();
    m_controls->show();
    setWindowFlag(Qt::FramelessWindowHint, false);
    // The frame at the corner, the client area of the size asked for.
    move(area.left, area.top);
    resize(area.width, area.height);
    showNormal();
}

void SecondaryOutputWindow::showPointer(bool shown)
{
    m_view->setPointerShape(shown ? Qt::ArrowCursor : Qt::BlankCursor);
}

void SecondaryOutputWindow::closeEvent(QCloseEvent* event)
{
    if (m_mayClose) {
        event->accept();
        return;
    }
    event->ignore();
    Q_EMIT closeRefused();
}

} // namespace oskel
