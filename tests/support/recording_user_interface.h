#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/user_interface_port.h"

namespace oskel::test {

// Records what the logic shows and answers questions from a script (default: Cancel/No).
class RecordingUserInterface : public UserInterfacePort {
public:
    struct SlotColourCall {
        int slot;
        SlotColour colour;
        bool operator==(const SlotColourCall&) const = default;
    };
    struct ControlCall {
        std::string control;
        ControlValue value;
    };

    std::vector<std::string> statusTexts;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<DialogAnswer> scriptedAnswers;
    std::vector<SlotColourCall> statusColours;
    std::vector<SlotColourCall> letterBackgrounds;
    std::vector<int> blankedThumbnails;
    struct ThumbnailCall {
        int slot;
        ThumbnailPicture picture;
        std::string hint;
    };
    std::vector<ThumbnailCall> thumbnails;
    std::vector<ControlCall> controls;
    std::vector<std::pair<int, int>> opacityBars;
    std::vector<std::pair<int, int>> lumaBars;

    void setStatusText(std::string_view text) override { statusTexts.emplace_back(text); }
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override
    {
        questions.emplace_back(question);
        if (!scriptedAnswers.empty()) {
            const DialogAnswer answer = scriptedAnswers.front();
            scriptedAnswers.pop_front();
            return answer;
        }
        return SilentUserInterface().ask(question, buttons);
    }
    void setSlotStatusColour(int slot, SlotColour colour) override
    {
        statusColours.push_back({ slot, colour });
    }
    void setSlotLetterBackground(int slot, SlotColour colour) override
    {
        letterBackgrounds.push_back({ slot, colour });
    }
    void blankThumbnail(int slot) override { blankedThumbnails.push_back(slot); }
    void showThumbnail(int slot, const ThumbnailPicture& picture, std::string_view hint) override
    {
        thumbnails.push_back({ slot, picture, std::string(hint) });
    }
    void showControlValue(std::string_view control, const ControlValue& value) override
    {
        controls.push_back({ std::string(control), value });
    }
    void setOpacityBar(int slot, int level) override { opacityBars.emplace_back(slot, level); }
    void setLumaBar(int slot, int level) override { lumaBars.emplace_back(slot, level); }

    // The last value shown in a control, if any.
    const ControlValue* lastShown(std::string_view control) const
    {
        for (auto call = controls.rbegin(); call != controls.rend(); ++call) {
            if (call->control == control) {
                return &call->value;
            }
        }
        return nullptr;
    }
};

} // namespace oskel::test
