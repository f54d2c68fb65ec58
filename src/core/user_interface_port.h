#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace oskel {

enum class SlotColour { Black, Green, Red, White, Lime, Blue };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };
using ControlValue = std::variant<bool, std::int64_t, double, std::string>;

// A small picture for the clip slot grid: 24-bit blue-green-red pixels, rows bottom-up.
struct ThumbnailPicture {
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 72;
    int width = kWidth;
    int height = kHeight;
    std::vector<std::uint8_t> pixels;
};

// How the logic speaks to the windows. The windows implement it; the logic never includes a
// window. Called on the main thread only.
class UserInterfacePort {
public:
    virtual ~UserInterfacePort() = default;

    // The main window's status line.
    virtual void setStatusText(std::string_view text) = 0;
    // A message box with an OK button; returns when the performer has closed it.
    virtual void showMessage(std::string_view text) = 0;
    // A question box; returns the button pressed.
    virtual DialogAnswer ask(std::string_view question, DialogButtons buttons) = 0;

    // Colour of a slot's key letter on the clip slot grid, and of its background.
    virtual void setSlotStatusColour(int slot, SlotColour colour) = 0;
    virtual void setSlotLetterBackground(int slot, SlotColour colour) = 0;
    virtual void blankThumbnail(int slot) = 0;
    // The slot's still thumbnail (grid and layer stack), with the hint shown over it.
    virtual void showThumbnail(int slot, const ThumbnailPicture& picture, std::string_view hint)
        = 0;

    // Shows a value in a named control without firing the control's change handler.
    virtual void showControlValue(std::string_view control, const ControlValue& value) = 0;

    // The layer stack widget's opacity (0..256) and luma (0..765) bars of a slot.
    virtual void setOpacityBar(int slot, int level) = 0;
    virtual void setLumaBar(int slot, int level) = 0;
};

// A port that shows nothing and answers every question with its safe choice: Cancel or No.
// Used before the windows exist and by programs that run without any.
class SilentUserInterface : public UserInterfacePort {
public:
    void setStatusText(std::string_view) override { }
    void showMessage(std::string_view) override { }
    DialogAnswer ask(std::string_view, DialogButtons buttons) override
    {
        return buttons == DialogButtons::Ok      ? DialogAnswer::Ok
            : buttons == DialogButtons::OkCancel ? DialogAnswer::Cancel
                                                 : DialogAnswer::No;
    }
    void setSlotStatusColour(int, SlotColour) override { }
    void setSlotLetterBackground(int, SlotColour) override { }
    void blankThumbnail(int) override { }
    void showThumbnail(int, const ThumbnailPicture&, std::string_view) override { }
    void showControlValue(std::string_view, const ControlValue&) override { }
    void setOpacityBar(int, int) override { }
    void setLumaBar(int, int) override { }
};

} // namespace oskel
