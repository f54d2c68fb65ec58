#pragma once

#include "core/user_interface_port.h"

namespace oskel {

class Dialogs;
class MainWindow;

// How the logic speaks to the windows: the status line, message boxes and questions, the
// slot grid's colours and thumbnails, and values shown in named controls (with the
// control's signals blocked). Calls from another thread are carried over to the windows'
// thread; a question asked from another thread gets its safe answer, as it cannot wait there
// for a performer.
class QtUserInterface : public UserInterfacePort {
public:
    QtUserInterface(MainWindow& window, Dialogs& dialogs);

    void setStatusText(std::string_view text) override;
    void showMessage(std::string_view text) override;
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override;
    void setSlotStatusColour(int slot, SlotColour colour) override;
    void setSlotLetterBackground(int slot, SlotColour colour) override;
    void blankThumbnail(int slot) override;
    void showThumbnail(int slot, const ThumbnailPicture& picture, std::string_view hint) override;
    void showControlValue(std::string_view control, const ControlValue& value) override;
    void setOpacityBar(int slot, int level) override;
    void setLumaBar(int slot, int level) override;

private:
    template <class Action> void onWindowsThread(Action&& action);

    MainWindow& m_window;
    Dialogs& m_dialogs;
};

} // namespace oskel
