// The terminal's user interface: what it prints cannot act on the terminal, and messages
// never share the render's progress line.
#include <sstream>

#include <gtest/gtest.h>

#include "app/console_user_interface.h"

namespace oskel {
namespace {

TEST(ConsoleUserInterface, ControlCharactersAreEscapedAndLineBreaksKept)
{
    std::ostringstream status;
    std::ostringstream messages;
    ConsoleUserInterface ui(status, messages);
    ui.showMessage("Sorry\n\x1b]0;owned\x07\tclip\r");
    ui.setStatusText("Loading \x1b[2J");
    ui.ask("Save \x1b[31mnow?", DialogButtons::YesNo);
    EXPECT_EQ(messages.str(),
        "oskel3: Sorry\n\\e]0;owned\\x07\\tclip\\r\n"
        "oskel3: Save \\e[31mnow? (answered No)\n");
    EXPECT_EQ(status.str(), "Loading \\e[2J\n");
}

TEST(ConsoleUserInterface, AMessageEndsTheProgressLineAndHasItDrawnAgain)
{
    std::ostringstream status;
    std::ostringstream err;
    ConsoleUserInterface ui(status, err);
    {
        RenderProgressLine progress(err, 25);
        ui.setProgressLine(&progress);
        progress.update(1, 10);
        const std::string drawn = err.str();
        ASSERT_EQ(drawn.rfind("\rRendering Frame 1/10  ", 0), 0) << drawn;
        ASSERT_EQ(drawn.find('\n'), std::string::npos);

        ui.showMessage("Sorry Oskel was unable to load clip: a.avi\nthere is no such file");
        ui.showMessage("twice");
        EXPECT_EQ(err.str(),
            drawn + "\noskel3: Sorry Oskel was unable to load clip: a.avi\nthere is no such file\n"
                + drawn + "\noskel3: twice\n" + drawn);

        progress.update(10, 10);
        err.str({});
        ui.showMessage("after the end");
        EXPECT_EQ(err.str(), "oskel3: after the end\n") << "the last line is ended already";
        ui.setProgressLine(nullptr);
    }
    err.str({});
    {
        RenderProgressLine stopped(err, 25);
        stopped.update(3, 10);
    }
    EXPECT_EQ(err.str().back(), '\n') << "a render that stops leaves its line ended";
}

} // namespace
} // namespace oskel
