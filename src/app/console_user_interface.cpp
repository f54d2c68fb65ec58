#include "app/console_user_interface.h"

#include <ostream>

#include "core/shown_text.h"

namespace oskel {

ConsoleUserInterface::ConsoleUserInterface(std::ostream& status, std::ostream& messages)
    : m_status(status)
    , m_messages(messages)
{
}

void ConsoleUserInterface::setStatusText(std::string_view text)
{
    m_status << printableMessage(text) << std::endl;
}

void ConsoleUserInterface::printMessage(std::string_view text)
{
    if (m_progress != nullptr) {
        m_progress->breakLine();
    }
    m_messages << "oskel3: " << printableMessage(text) << std::endl;
    if (m_progress != nullptr) {
        m_progress->redraw();
    }
}

void ConsoleUserInterface::showMessage(std::string_view text)
{
    printMessage(text);
}

DialogAnswer ConsoleUserInterface::ask(std::string_view question, DialogButtons buttons)
{
    const DialogAnswer answer = SilentUserInterface::ask(question, buttons);
    const std::string_view said = answer == DialogAnswer::Ok ? "OK"
        : answer == DialogAnswer::Cancel                     ? "Cancel"
                                                             : "No";
    printMessage(std::string(question) + " (answered " + std::string(said) + ")");
    return answer;
}

} // namespace oskel
