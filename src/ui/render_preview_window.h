#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

namespace oskel {

class PictureView;

// The render preview "TfmRenderPreview": the picture rendered last in its 384 x 288 panel
// `pnRender`, the progress in its caption. ESC, or closing it, asks to cancel the render.
class RenderPreviewWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 384;
    static constexpr int kHeight = 288;

    RenderPreviewWindow();

    // 384 x 288 blue-green-red bytes, top row first.
    void showPicture(const std::vector<std::uint8_t>& bgr);
    // The caption: the progress text and " (ESC to cancel)".
    void showProgress(const QString& text);
    // Hides the window without asking to cancel.
    void dismiss();

Q_SIGNALS:
    void cancelAsked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PictureView* m_panel;
    bool m_dismissing = false;
};

} // namespace oskel
