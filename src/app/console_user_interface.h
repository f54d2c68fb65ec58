#pragma once

#include <iosfwd>

#include "core/user_interface_port.h"
#include "recording/render_progress.h"

namespace oskel {

// The user interface of the program when it runs without windows: the status line goes to
// standard output, messages to standard error, and questions get their safe answer. What it
// prints has its control characters escaped, line breaks apart: a message that quotes a
// hostile file name cannot act on the terminal even where the quoting was forgotten.
class ConsoleUserInterface : public SilentUserInterface {
public:
    ConsoleUserInterface(std::ostream& status, std::ostream& messages);

    void setStatusText(std::string_view text) override;
    void showMessage(std::string_view text) override;
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override;

    // A progress line redrawn in place on the messages' terminal, or null: while there is
    // one, each message is printed on lines of its own, and the progress line after it.
    void setProgressLine(RenderProgressLine* line) { m_progress = line; }

private:
    void printMessage(std::string_view text);

    std::ostream& m_status;
    std::ostream& m_messages;
    RenderProgressLine* m_progress = nullptr;
};

} // namespace oskel
