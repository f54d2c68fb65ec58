#pragma once

#include <QWidget>

namespace oskel {

class OutputView;

// The output window " Composition Screen": the composed output at any size, in a window of
// its own or borderless over the whole of the monitor it is on.
class OutputWindow : public QWidget {
public:
    explicit OutputWindow(QWidget* parent = nullptr);

    OutputView& view() { return *m_view; }

    // Full screen on the window's own monitor; the screen's mode is left as it is.
    void setFullScreen(bool fullScreen);
    bool isShownFullScreen() const { return m_fullScreen; }

private:
    OutputView* m_view;
    bool m_fullScreen = false;
};

} // namespace oskel
