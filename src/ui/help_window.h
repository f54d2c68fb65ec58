#pragma once

#include <QWidget>

class QTextBrowser;

namespace oskel {

// The help window: the instrument's own help pages, built into the program, opening on the
// overview.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr char kIndexPage[] = "qrc:/help/index.html";

    HelpWindow();

    QTextBrowser& browser() { return *m_browser; }
    // Shows the overview page.
    void showOverview();

private:
    QTextBrowser* m_browser;
};

} // namespace oskel
