#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "core/user_interface_port.h"

class QWidget;

namespace oskel {

// The modal boxes the windows open: messages, questions and the clip file chooser. The
// windows' tests replace them, so that nothing waits for a performer.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void showMessage(std::string_view text) = 0;
    virtual DialogAnswer ask(std::string_view question, DialogButtons buttons) = 0;
    // Nothing when the performer cancelled.
    virtual std::optional<std::filesystem::path> chooseClip(const std::filesystem::path& folder)
        = 0;
};

// The boxes of the desktop, over the given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(std::string_view text) override;
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override;
    std::optional<std::filesystem::path> chooseClip(const std::filesystem::path& folder) override;

private:
    QWidget* m_owner;
};

} // namespace oskel
