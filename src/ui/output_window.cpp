#include "ui/output_window.h"

#include <QVBoxLayout>

#include "ui/output_view.h"

namespace oskel {

OutputWindow::OutputWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_view(new OutputView(this))
{
    setObjectName("frmGLWindow");
    setWindowTitle(" Composition Screen");
    m_view->setObjectName("outputView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(384, 288);
}

void OutputWindow::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    if (fullScreen) {
        showFullScreen();
    } else {
        showNormal();
    }
    raise();
}

} // namespace oskel
