#include "ui/clip_preview.h"

#include <QResizeEvent>
#include <algorithm>

#include "ui/in_out_bar.h"
#include "ui/picture_view.h"

namespace oskel {

namespace {

constexpr int kMinimumWidth = 96;
constexpr int kMinimumHeight = 72;
constexpr int kBarGap = 2;

} // namespace

ClipPreview::ClipPreview(QWidget* parent)
    : QWidget(parent)
    , m_picture(new PictureView(this))
    , m_bar(new InOutBar(this))
{
    setObjectName("MainClipPreview");
    m_picture->setObjectName("pnClipPreview");
    m_picture->fill(Qt::black);
    setMinimumSize(kMinimumWidth, kMinimumHeight + kBarGap + m_bar->minimumHeight());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

// The picture takes the largest 4:3 place above the bar; the bar spans the whole width, so the
// markers can be placed finely.
void ClipPreview::resizeEvent(QResizeEvent* event)
{
    const QSize room = event->size();
    const int barHeight = m_bar->sizeHint().height();
    const int pictureRoom = std::max(0, room.height() - barHeight - kBarGap);
    const int width = std::min(room.width(), pictureRoom * 4 / 3);
    const int height = width * 3 / 4;
    m_picture->setGeometry((room.width() - width) / 2, 0, width, height);
    m_bar->setGeometry(0, height + kBarGap, room.width(), barHeight);
}

} // namespace oskel
