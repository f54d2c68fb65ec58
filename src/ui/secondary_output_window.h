#pragma once

#include <QWidget>
#include <string_view>

#include "core/window_position.h"

class QLabel;
class QPushButton;

namespace oskel {

class OutputView;

// The secondary output window "Secondary Output". Collapsed, a small control window: its
// heading, "Press TAB to deflate" and the two buttons that expand it; expanded, borderless over
// a monitor or a rectangle of the desktop with the composition drawn into its view. It cannot
// be closed on its own: a close asks the program to end instead.
class SecondaryOutputWindow : public QWidget {
    Q_OBJECT
public:
    explicit SecondaryOutputWindow(QWidget* parent = nullptr);

    OutputView& view() { return *m_view; }
    QPushButton& expandButton() { return *m_expand; }
    QPushButton& customButton() { return *m_custom; }
    QString heading() const;
    bool controlsShown() const;

    // Client area `area` in desktop coordinates.
    void showExpanded(const ScreenRect& area);
    void showCollapsed(const ScreenRect& area, std::string_view heading);
    // Pointer over the expanded output: shown or hidden.
    void showPointer(bool shown);
    // From here on a close closes the window (the program is ending).
    void allowClose() { m_mayClose = true; }

Q_SIGNALS:
    // A close was refused; the program should end.
    void closeRefused();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void place(const ScreenRect& area);

    QWidget* m_controls;
    QLabel* m_heading;
    QPushButton* m_expand;
    QPushButton* m_custom;
    OutputView* m_view;
    bool m_mayClose = false;
};

} // namespace oskel
