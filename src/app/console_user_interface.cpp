#include "app/console_user_interface.h"

#include <ostream>

namespace oskel {

ConsoleUserInterface::ConsoleUserInterface(std::ostream& status, std::ostream& messages)
    : m_status(status)
    , m_messages(messages)
{
}

void ConsoleUserInterface::setStatusText(std::string_view text)
{
    m_status << text << std::endl;
}

void ConsoleUserInterface::showMessage(std::string_view text)
{
    m_messages << "oskel3: " << text << std::endl;
}

DialogAnswer ConsoleUserInterface::ask(std::string_view question, DialogButtons buttons)
{
    const DialogAnswer answer = SilentUserInterface::ask(question, buttons);
    m_messages << "oskel3: " << question << " (answered "
               << (answer == DialogAnswer::Ok              ? "OK"
                          : answer == DialogAnswer::Cancel ? "Cancel"
                                                           : "No")
               << ")" << std::endl;
    return answer;
}

} // namespace oskel
