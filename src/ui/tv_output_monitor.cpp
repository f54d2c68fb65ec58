#include "ui/tv_output_monitor.h"

#include <QImage>
#include <QVBoxLayout>

#include "render/presented_picture.h"
#include "render/viewport_fit.h"
#include "ui/picture_view.h"

namespace oskel {

TvOutputMonitor::TvOutputMonitor(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_view(new PictureView(this))
{
    setObjectName("fmPreview");
    setWindowTitle("TV Output Monitor");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(kCompositionWidth, kCompositionHeight);
    connect(m_view, &PictureView::doubleClicked, this,
        [this] { resize(kCompositionWidth, kCompositionHeight); });
}

void TvOutputMonitor::refresh(PresentedPicture* source)
{
    if (source == nullptr || !source->takeNew(m_pixels)) {
        return;
    }
    const int width = source->width();
    const int height = source->height();
    const QImage picture(m_pixels.data(), width, height, width * 3, QImage::Format_BGR888);
    m_view->setPicture(picture.copy());
}

void TvOutputMonitor::mouseDoubleClickEvent(QMouseEvent*)
{
    resize(kCompositionWidth, kCompositionHeight);
}

} // namespace oskel
