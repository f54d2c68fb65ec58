#include <atomic>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "effects/effect_sliders.h"
#include "host_fixture.h"
#include "support/temp_dir.h"

namespace oskel::test {
namespace {

using RecorderCalls = const char*();
using RecorderClear = void();

class EffectHostTest : public HostFixture {
protected:
    void SetUp() override
    {
        makeHost({ kTestPlugins });
        calls = exported<RecorderCalls>("Recorder.so", "recorderCalls");
        clear = exported<RecorderClear>("Recorder.so", "recorderClear");
        exported<RecorderClear>("Recorder.so", "recorderReset")();
    }
    std::string takeCalls()
    {
        std::string taken = calls();
        clear();
        return taken;
    }

    RecorderCalls* calls = nullptr;
    RecorderClear* clear = nullptr;
};

TEST_F(EffectHostTest, ALoadedPluginIsInitialisedInstantiatedProcessesAndRunsDown)
{
    load("Recorder.so", 3);
    EXPECT_EQ(takeCalls(), "getInfo\ninitialise\ninstantiate 1 4x2 depth 1 orientation 2\n");
    EXPECT_EQ(performance.slot(3).FFfilename.str(), "Recorder.so");
    EXPECT_EQ(host->pluginIndex(3), host->plugins().indexOf("Recorder.so"));
    EXPECT_EQ(performance.slot(3).FFpixelMode, 1);

    const auto frame = pattern();
    EXPECT_EQ(process(3, frame), inverted(frame));
    EXPECT_EQ(takeCalls(), "processFrame 1\n");

    host->RunDownPluginSlot(3);
    EXPECT_EQ(takeCalls(), "deInstantiate 1\ndeInitialise\n");
    EXPECT_EQ(host->debugStatus(), "Status: normal");
    EXPECT_TRUE(performance.slot(3).FFfilename.empty());
    EXPECT_EQ(process(3, frame), frame) << "no plug-in: the frame as it came";
}

TEST_F(EffectHostTest, TwoSlotsShareOneLibraryEachWithItsOwnInstance)
{
    load("Recorder.so", 1);
    load("Recorder.so", 2);
    EXPECT_EQ(takeCalls(),
        "getInfo\ninitialise\ninstantiate 1 4x2 depth 1 orientation 2\n"
        "instantiate 2 4x2 depth 1 orientation 2\n");
    host->RunDownPluginSlot(1);
    EXPECT_EQ(takeCalls(), "deInstantiate 1\n") << "the other slot still uses the library";
    const auto frame = pattern();
    EXPECT_EQ(process(2, frame), inverted(frame));
    host->RunDownPluginSlot(2);
    EXPECT_EQ(takeCalls(), "processFrame 2\ndeInstantiate 2\ndeInitialise\n");
}

TEST_F(EffectHostTest, NoPluginLoadedFreesTheInstanceAndSwitchesTheEffectOff)
{
    load("Recorder.so", 1);
    ASSERT_TRUE(host->SetEffectEnabled(1, true));
    EXPECT_TRUE(performance.slot(1).FFenable);
    host->LoadNewPlugin(PluginList::kNoPlugin, 0, 1);
    EXPECT_FALSE(performance.slot(1).FFenable);
    EXPECT_FALSE(host->shown(1).active);
    EXPECT_FALSE(host->SetEffectEnabled(1, true)) << "refused without an instance";
    EXPECT_FALSE(performance.slot(1).FFenable);
}

TEST_F(EffectHostTest, APluginWithThreeParametersHasThreeAndNoMore)
{
    load("Recorder.so", 1);
    const auto& params = performance.slot(1).FFparams;
    EXPECT_EQ(params[0], 0.25f);
    EXPECT_EQ(params[2], 0.75f);
    for (int i = 3; i < 8; ++i) {
        EXPECT_EQ(params.at(i), -1.0f) << i;
    }
    EXPECT_EQ(host->OKPgetParam(1, 2), 0.75f);
    EXPECT_EQ(host->OKPgetParam(1, 5), -1.0f);
    EXPECT_EQ(host->OKPgetParam(2, 0), -2.0f) << "no instance";
    EXPECT_EQ(host->OKPsetParam(1, 0, 1.5f), -1);
    EXPECT_EQ(params[0], 0.25f) << "1.5 changes nothing";
    EXPECT_EQ(host->OKPsetParam(1, 0, 0.5f), 0);
    EXPECT_EQ(params[0], 0.5f);
    EXPECT_EQ(host->OKPsetParam(2, 0, 0.5f), -2);

    const EffectShown shown = host->shown(1);
    EXPECT_EQ(shown.parameterCount, 3);
    EXPECT_EQ(shown.names[1], "2 - Beta");
    EXPECT_EQ(shown.displays[2], "75%");
}

TEST_F(EffectHostTest, AChangedParameterIsStoredAndItsTextsReported)
{
    load("Recorder.so", 4);
    EXPECT_TRUE(host->setParameter(4, 1, 0.125f));
    EXPECT_EQ(performance.slot(4).FFparams[1], 0.125f);
    ASSERT_FALSE(listener.parameterTexts.empty());
    EXPECT_EQ(listener.parameterTexts.back(), "4 1 13% 0.12500");
    EXPECT_FALSE(host->setParameter(4, 3, 0.5f)) << "the plug-in has three";
    EXPECT_FALSE(host->setParameter(5, 0, 0.5f)) << "no plug-in";
}

TEST_F(EffectHostTest, A32BitOnlyPluginGetsEveryPixelConvertedBothWays)
{
    load("WideOnly.so", 2);
    EXPECT_EQ(performance.slot(2).FFpixelMode, 2);
    using DepthSeen = std::uint32_t();
    EXPECT_EQ(exported<DepthSeen>("WideOnly.so", "wideDepthSeen")(), FF_DEPTH_32);
    const auto frame = pattern(kWidth, kHeight);
    EXPECT_EQ(process(2, frame), inverted(frame)) << "down to the last pixel, fourth bytes left";
}

TEST_F(EffectHostTest, AFrameOfAnotherSizeIsLeftAlone)
{
    load("Recorder.so", 1);
    const auto frame = pattern(2, 2);
    EXPECT_EQ(process(1, frame, 2, 2), frame);
}

// The wet/dry mix through our mixer: 0 skips it, 0.5 gives the midpoint, 1 the dry frame.
TEST_F(EffectHostTest, TheWetDryMixBlendsTheProcessedFrameWithTheDryOne)
{
    load("Recorder.so", 1);
    ASSERT_TRUE(host->shown(1).hasMixer);
    std::vector<std::uint8_t> frame(kWidth * kHeight * 3, 100);
    frame[0] = 0;
    frame[1] = 255;
    host->ChangeWetDryMix(1, 0.0f);
    EXPECT_EQ(process(1, frame), inverted(frame));
    host->ChangeWetDryMix(1, 1.0f);
    EXPECT_EQ(process(1, frame), frame);
    host->ChangeWetDryMix(1, 0.5f);
    const auto mixed = process(1, frame);
    EXPECT_EQ(mixed[0], 128); // (0 + 255) / 2, rounded
    EXPECT_EQ(mixed[1], 128);
    EXPECT_EQ(mixed[2], 128); // (100 + 155) / 2
    EXPECT_EQ(performance.slot(1).FFwetDry, 0.5f);
}

TEST_F(EffectHostTest, WithoutTheMixerFileTheMixIsUnavailableForTheRun)
{
    makeHost({ kTestPlugins }, { kTestPlugins / "NoMixerHere.so" });
    load("Recorder.so", 1);
    EXPECT_FALSE(host->shown(1).hasMixer);
    EXPECT_FALSE(host->mixerAvailable());
    host->ChangeWetDryMix(1, 0.5f);
    const auto frame = pattern();
    EXPECT_EQ(process(1, frame), inverted(frame));
}

TEST(EffectSliders, TheWetDrySliderRunsFromAllWetToAllDry)
{
    EXPECT_EQ(wetDryFromSlider(255), 0.0f);
    EXPECT_EQ(wetDryFromSlider(0), 1.0f);
    EXPECT_EQ(sliderFromWetDry(0.0), 255);
    EXPECT_EQ(sliderFromWetDry(1.0), 0);
    EXPECT_EQ(sliderFromParameter(0.5f), 128);
    EXPECT_EQ(parameterFromSlider(255), 1.0f);
}

TEST_F(EffectHostTest, APatchPluginThatIsGoneLeavesTheSlotWithoutOneAndItsEffectOff)
{
    performance.slot(6).FFfilename = "Gone.so";
    performance.slot(6).FFenable = true;
    performance.slot(7).FFfilename = "Recorder.so";
    std::array<bool, kSlotCount + 1> excluded {};
    host->OKPLoadPlugins(excluded);
    EXPECT_FALSE(performance.slot(6).FFenable);
    EXPECT_FALSE(host->shown(6).active);
    EXPECT_TRUE(host->shown(7).active);
    EXPECT_TRUE(ui.messages.empty()) << "without a message";
}

TEST_F(EffectHostTest, CopyingTheSetUpGivesTheTargetItsOwnInstanceAndValues)
{
    load("Recorder.so", 1);
    host->SetEffectEnabled(1, true);
    host->setParameter(1, 2, 0.5f);
    host->ChangeWetDryMix(1, 0.25f);
    takeCalls();
    host->CopyFFsetup(1, 9);
    EXPECT_TRUE(performance.slot(9).FFenable);
    EXPECT_EQ(performance.slot(9).FFparams[2], 0.5f);
    EXPECT_EQ(performance.slot(9).FFwetDry, 0.25f);
    EXPECT_NE(takeCalls().find("instantiate 2"), std::string::npos);
}

// Every call of a plug-in failing in turn: the host refuses or carries on, never crashes.
TEST_F(EffectHostTest, ACallThatFailsIsRefusedOrPassedOver)
{
    using FailingCode = void(std::uint32_t);
    auto* fail = exported<FailingCode>("Failing.so", "failingCode");
    struct Case {
        std::uint32_t code;
        bool loads;
    };
    for (const Case c : { Case { FF_GETINFO, true }, Case { FF_INITIALISE, false },
             Case { FF_GETNUMPARAMETERS, true }, Case { FF_GETPARAMETERNAME, true },
             Case { FF_GETPARAMETER, true }, Case { FF_SETPARAMETER, true },
             Case { FF_GETPLUGINCAPS, true }, Case { FF_INSTANTIATE, false },
             Case { FF_PROCESSFRAME, true }, Case { FF_DEINSTANTIATE, true },
             Case { FF_DEINITIALISE, true } }) {
        SCOPED_TRACE(c.code);
        fail(c.code);
        ui.messages.clear();
        load("Failing.so", 1);
        EXPECT_EQ(host->shown(1).active, c.loads);
        EXPECT_EQ(ui.messages.empty(), c.loads);
        const EffectShown shown = host->shown(1);
        for (int i = 0; i < shown.parameterCount; ++i) {
            EXPECT_GE(shown.values.at(i), 0.0f);
        }
        EXPECT_EQ(host->setParameter(1, 0, 0.5f),
            c.loads && c.code != FF_SETPARAMETER && c.code != FF_GETNUMPARAMETERS);
        const auto frame = pattern();
        const bool processes = c.loads && c.code != FF_PROCESSFRAME;
        EXPECT_EQ(process(1, frame), processes ? inverted(frame) : frame);
        host->RunDownPluginSlot(1);
        if (c.code == FF_DEINITIALISE) {
            EXPECT_EQ(host->debugStatus(), "Unspecified DeInit Error Reported by Plugin  Failing");
        }
    }
}

TEST_F(EffectHostTest, NonsenseAnswersAreBoundedAndShownAsNothing)
{
    load("Nonsense.so", 1);
    const EffectShown shown = host->shown(1);
    ASSERT_TRUE(shown.active);
    EXPECT_EQ(shown.parameterCount, 8) << "a thousand parameters: the eight the host has";
    EXPECT_EQ(shown.names[0], "1 - NNNNNNNNNNNNNNNN");
    EXPECT_EQ(shown.displays[0], "");
    EXPECT_EQ(shown.values[0], 0.0f) << "NaN read as 0";
    const auto lines = host->debugLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Get Info Response: none"), lines.end());
    host->RunDownPluginSlot(1);
    EXPECT_EQ(host->debugStatus(), "DeInit Exception thrown by Plugin  ");
}

TEST_F(EffectHostTest, AnObjectWithoutAnEntryOrAFileThatIsGoneIsRefusedWithTheMessage)
{
    TempDir folder;
    std::ofstream(folder / "Text.so") << "not a library";
    const auto list = PluginList::scan({ kTestPlugins, folder.path() }, loader);
    EXPECT_EQ(list.indexOf("NoEntry.so"), 0);
    EXPECT_EQ(list.indexOf("Text.so"), 0);

    // A list made before the file went.
    host = std::make_unique<EffectHost>(
        performance, loader, EffectFolders { { folder.path() }, { kOurMixer }, {} });
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", folder / "Recorder.so");
    host->ScanPlugins();
    std::filesystem::remove(folder / "Recorder.so");
    load("Recorder.so", 1);
    EXPECT_EQ(ui.messages, std::vector<std::string> { "problem loading plugin" });
    EXPECT_FALSE(host->shown(1).active);
}

TEST_F(EffectHostTest, APluginDeletedWhileInUseGoesOnWorkingUntilLetGo)
{
    TempDir folder;
    std::filesystem::copy_file(kTestPlugins / "Recorder.so", folder / "Mine.so");
    host = std::make_unique<EffectHost>(
        performance, loader, EffectFolders { { folder.path() }, { kOurMixer }, {} });
    host->ScanPlugins();
    load("Mine.so", 1);
    std::filesystem::remove(folder / "Mine.so");
    const auto frame = pattern();
    EXPECT_EQ(process(1, frame), inverted(frame));
    load("Mine.so", 2);
    EXPECT_TRUE(host->shown(2).active) << "shares the library already loaded";
    host->RunDownFreeFrame();
    EXPECT_FALSE(host->shown(1).active);
}

} // namespace
} // namespace oskel::test

namespace oskel::test {
namespace {

// The slot's worker processes frames while the main thread changes the slot's plug-in, its
// parameters and mix: every frame comes out whole (as decoded or inverted), and a processed
// picture stays readable as long as the worker's result holds it.
using EffectHostThreads = HostFixture;

TEST_F(EffectHostThreads, ProcessingWhileThePluginChangesIsSafe)
{
    makeHost({ kTestPlugins, kOurPlugins });
    const auto frame = pattern();
    const auto flipped = inverted(frame);
    std::atomic<bool> stop = false;
    std::atomic<int> bad = 0;
    std::atomic<int> processed = 0;
    std::thread worker([&] {
        while (!stop) {
            std::shared_ptr<const void> keep;
            const std::uint8_t* out
                = host->processFrame(1, frame.data(), kWidth, kHeight, 24, keep);
            const std::vector<std::uint8_t> got(out, out + frame.size());
            if (got != frame && got != flipped) {
                ++bad;
            }
            processed += out != frame.data() ? 1 : 0;
        }
    });
    for (int round = 0; round < 200; ++round) {
        load(round % 2 == 0 ? "Recorder.so" : "Invert.so", 1);
        host->setParameter(1, 0, 1.0f);
        host->ChangeWetDryMix(1, 0.0f);
        if (round % 3 == 0) {
            host->RunDownPluginSlot(1);
        }
    }
    stop = true;
    worker.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(processed, 0);
}

} // namespace
} // namespace oskel::test
