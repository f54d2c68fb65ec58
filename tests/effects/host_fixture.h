#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "effects/effect_host.h"
#include "platform/shared_library.h"
#include "support/recording_user_interface.h"

namespace oskel::test {

inline const std::filesystem::path kTestPlugins = OSKEL_TEST_PLUGINS;
inline const std::filesystem::path kOurPlugins = OSKEL_OUR_PLUGINS;
inline const std::filesystem::path kOurMixer = OSKEL_OUR_MIXER;

// Listens to the host as the windows do.
struct RecordingHostListener : EffectHostListener {
    std::vector<std::string> parameterTexts; // "slot index display value"
    std::vector<int> changedSlots;
    void slotChanged(int slot) override { changedSlots.push_back(slot); }
    void parameterText(
        int slot, int index, std::string_view display, std::string_view value) override
    {
        parameterTexts.push_back(std::to_string(slot) + " " + std::to_string(index) + " "
            + std::string(display) + " " + std::string(value));
    }
};

// The real host with the real library loader, over plug-in folders of the test's choice,
// and slots loaded with small clips.
class HostFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 4;
    static constexpr int kHeight = 2;

    void makeHost(std::vector<std::filesystem::path> folders,
        std::vector<std::filesystem::path> mixer = { kOurMixer })
    {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            TPlayAvistruct& record = performance.slot(slot);
            record.Loaded = true;
            record.ClipWidth = kWidth;
            record.ClipHeight = kHeight;
        }
        host = std::make_unique<EffectHost>(
            performance, loader, EffectFolders { std::move(folders), std::move(mixer), {} });
        host->setListener(&listener);
        host->RunUpFreeFrame();
        host->ScanPlugins();
    }

    void load(const std::string& name, int slot)
    {
        host->LoadNewPlugin(name, host->plugins().indexOf(name), slot);
    }

    // A frame of the clip's size with every byte different.
    static std::vector<std::uint8_t> pattern(int width = kWidth, int height = kHeight)
    {
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(width * height * 3));
        for (std::size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<std::uint8_t>(i * 37 + 11);
        }
        return frame;
    }
    static std::vector<std::uint8_t> inverted(std::vector<std::uint8_t> frame)
    {
        for (auto& byte : frame) {
            byte = static_cast<std::uint8_t>(255 - byte);
        }
        return frame;
    }

    // The slot's effect on `frame`, as the slot's worker runs it.
    std::vector<std::uint8_t> process(
        int slot, const std::vector<std::uint8_t>& frame, int width = kWidth, int height = kHeight)
    {
        std::shared_ptr<const void> keep;
        const std::uint8_t* out = host->processFrame(slot, frame.data(), width, height, 24, keep);
        return { out, out + frame.size() };
    }

    // A function a test plug-in exports, found through the loader as the host finds plugMain.
    template <typename Function> Function* exported(const std::string& file, const char* name)
    {
        std::string error;
        libraries.push_back(loader.open(kTestPlugins / file, error));
        EXPECT_NE(libraries.back(), nullptr) << error;
        return reinterpret_cast<Function*>(libraries.back()->symbol(name));
    }

    RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    SystemLibraryLoader loader;
    RecordingHostListener listener;
    std::vector<std::unique_ptr<SharedLibrary>> libraries;
    std::unique_ptr<EffectHost> host;
};

} // namespace oskel::test
