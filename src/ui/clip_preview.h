#pragma once

#include <QWidget>

namespace oskel {

class InOutBar;
class PictureView;

// The main clip preview: the inspected slot's picture (live while it plays) above the in/out
// bar with its markers and the play position. It grows with the room it is given, keeping the
// composition's 4:3 shape, and shows only what it is told.
class ClipPreview : public QWidget {
    Q_OBJECT
public:
    explicit ClipPreview(QWidget* parent = nullptr);

    PictureView& picture() { return *m_picture; }
    InOutBar& bar() { return *m_bar; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    PictureView* m_picture;
    InOutBar* m_bar;
};

} // namespace oskel
