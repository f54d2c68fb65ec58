#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

namespace oskel {

class PictureView;
class PresentedPicture;

// The TV-out preview "TV Output Monitor": the composed picture as it was read back from the
// output each tick, in a window of its own. There is no video overlay on Linux: a projector or
// TV fed from the graphics card shows this window, or the secondary output.
class TvOutputMonitor : public QWidget {
public:
    explicit TvOutputMonitor(QWidget* parent = nullptr);

    // Shows the latest picture from `source` when a new one has come; null shows nothing new.
    void refresh(PresentedPicture* source);
    const PictureView& view() const { return *m_view; }

protected:
    // A double click sets the picture to its own size, 384 x 288.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    PictureView* m_view;
    std::vector<std::uint8_t> m_pixels;
};

} // namespace oskel
