#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // Several clip files at once, in the order chosen; none when the performer cancelled.
    virtual std::vector<std::filesystem::path> chooseClips(const std::filesystem::path&)
    {
        return {};
    }
    // The patch file choosers, starting at a file or folder; nothing when cancelled (the
    // windows' tests answer so).
    virtual std::optional<std::filesystem::path> choosePatchToOpen(const std::filesystem::path&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::filesystem::path> choosePatchToSave(const std::filesystem::path&)
    {
        return std::nullopt;
    }
    // A file that a patch names and that was not found: `message` says what to look for.
    virtual std::optional<std::filesystem::path> locateLostFile(
        std::string_view, const std::filesystem::path&, std::string_view)
    {
        return std::nullopt;
    }
    // A live source: one of `entries` or an address typed over them; nothing when cancelled.
    virtual std::optional<std::string> chooseLiveSource(const std::vector<std::string>&)
    {
        return std::nullopt;
    }
    // A line of text asked for in a box with that caption and prompt; nothing when cancelled.
    virtual std::optional<std::string> askText(std::string_view, std::string_view)
    {
        return std::nullopt;
    }
    // A value asked for in a small box with a caption, a prompt and the text to start with;
    // nothing when cancelled.
    virtual std::optional<std::string> askValue(
        std::string_view, std::string_view, std::string_view)
    {
        return std::nullopt;
    }
    // A stencil bitmap (filter "Bitmap|*.bmp"), starting at a file or folder.
    virtual std::optional<std::filesystem::path> chooseStencil(const std::filesystem::path&)
    {
        return std::nullopt;
    }
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
    std::vector<std::filesystem::path> chooseClips(const std::filesystem::path& folder) override;
    std::optional<std::string> chooseLiveSource(const std::vector<std::string>& entries) override;
    std::optional<std::filesystem::path> choosePatchToOpen(
        const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> choosePatchToSave(
        const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> locateLostFile(std::string_view message,
        const std::filesystem::path& folder, std::string_view name) override;
    std::optional<std::string> askText(std::string_view caption, std::string_view prompt) override;
    std::optional<std::string> askValue(
        std::string_view caption, std::string_view prompt, std::string_view text) override;
    std::optional<std::filesystem::path> chooseStencil(const std::filesystem::path& start) override;

private:
    QWidget* m_owner;
};

} // namespace oskel
