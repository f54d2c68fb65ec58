#pragma once

#include <iosfwd>

#include "core/user_interface_port.h"

namespace oskel {

// The user interface of the program when it runs without windows: the status line goes to
// standard output, messages to standard error, and questions get their safe answer.
class ConsoleUserInterface : public SilentUserInterface {
public:
    ConsoleUserInterface(std::ostream& status, std::ostream& messages);

    void setStatusText(std::string_view text) override;
    void showMessage(std::string_view text) override;
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override;

private:
    std::ostream& m_status;
    std::ostream& m_messages;
};

} // namespace oskel
