#include "ui/render_preview_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/picture_view.h"

namespace oskel {

RenderPreviewWindow::RenderPreviewWindow()
    : m_panel(new PictureView(this))
{
    setObjectName("TfmRenderPreview");
    setWindowFlag(Qt::Window);
    m_panel->setObjectName("pnRender");
    m_panel->setFixedSize(kWidth, kHeight);
    m_panel->fill(Qt::black);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    setFixedSize(sizeHint());
}

void RenderPreviewWindow::showPicture(const std::vector<std::uint8_t>& bgr)
{
    if (bgr.size() < std::size_t(kWidth) * kHeight * 3) {
        return;
    }
    // Blue-green-red bytes are QImage's BGR888.
    const QImage picture(bgr.data(), kWidth, kHeight, kWidth * 3, QImage::Format_BGR888);
    m_panel->setPicture(picture.copy());
}

void RenderPreviewWindow::showProgress(const QString& text)
{
    setWindowTitle(text + " (ESC to cancel)");
}

void RenderPreviewWindow::dismiss()
{
    m_dismissing = true;
    close();
    m_dismissing = false;
}

void RenderPreviewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT cancelAsked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RenderPreviewWindow::closeEvent(QCloseEvent* event)
{
    if (!m_dismissing) {
        Q_EMIT cancelAsked();
    }
    event->accept();
}

} // namespace oskel
