// A network stream played as a live source in a slot: the ffmpeg tool sends MPEG-TS over UDP
// to 127.0.0.1 and the slot shows its pictures and mixes its sound; when the sender stops the
// slot is lost and told once, and when it sends again the slot comes back by itself.
#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/slot_rules.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/clip_loader.h"
#include "sources/live_source.h"
#include "sources/reader_factory.h"
#include "support/clip_maker.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"
#include "support/udp_test_sender.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds most = 8000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + most;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A short stall so that a stopped sender counts as lost within a test's patience.
std::unique_ptr<MediaSource> quickReaders(SourceSystemKind system)
{
    if (system == SourceSystemKind::ssLive) {
        return std::make_unique<LiveSource>(LiveTimings { 2000ms, 100ms, 400ms, 1000ms });
    }
    return makeMediaReader(system);
}

class LiveSourceSlotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        ASSERT_TRUE(sender.start());
    }

    std::vector<std::uint8_t> frame(int slot)
    {
        const std::uint8_t* pixels = nullptr;
        if (sources.SourceGetFrame(slot, 0, pixels) >= kFirstFrameFailure || pixels == nullptr) {
            return {};
        }
        return { pixels, pixels + sources.info(slot).frameHeader.sizeImage };
    }

    bool pictureMoves(int slot)
    {
        const std::vector<std::uint8_t> before = frame(slot);
        return waitFor([&] { return frame(slot) != before; }, 3000ms);
    }

    bool told(const std::string& text)
    {
        mainThread.processPending();
        return std::ranges::count(ui.statusTexts, text) > 0;
    }

    test::UdpTestSender sender;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    float loudest = 0.0f;
    ManualClockSoundDevice device { ManualClockSoundDevice::kDefaultRate,
        [this](std::span<const float> mixed) {
            for (const float sample : mixed) {
                loudest = std::max(loudest, std::abs(sample));
            }
        } };
    AudioEngine audio { device, ui, [] { return std::optional<std::int64_t>(); } };
    test::FakePlayback playback;
    SourceInterface sources { quickReaders };
    ClipLoader loader { performance, sources, audio, playback };
};

TEST_F(LiveSourceSlotTest, PlaysPicturesAndSoundAndComesBackAfterTheSenderStops)
{
    ASSERT_TRUE(loader.LoadClipIntoSlot(1, sender.url(), false, false)) << ui.messages.back();
    const TPlayAvistruct& record = performance.slot(1);
    EXPECT_EQ(record.SourceSystem, kLiveSourceSystem);
    EXPECT_EQ(std::pair(record.ClipWidth, record.ClipHeight), std::pair(160, 120));
    EXPECT_EQ(record.FrameRate, 25);
    EXPECT_TRUE(pictureMoves(1));

    device.start();
    record.ForwardBuffer->setVolume(0);
    record.ForwardBuffer->play(true);
    EXPECT_TRUE(waitFor([&] {
        device.advance(20);
        return loudest > 0.05f;
    })) << "the stream's tone (0.088 at its loudest) is mixed";
    record.ForwardBuffer->setVolume(-10000);
    device.advance(20);
    loudest = 0.0f;
    device.advance(200);
    EXPECT_EQ(loudest, 0.0f) << "with the slot's volume";

    sender.stop();
    const std::string lost
        = "Live source lost: " + sender.url() + " (nothing came for 2 seconds); reconnecting";
    ASSERT_TRUE(waitFor([&] { return told(lost); }));
    EXPECT_EQ(ui.statusColours.back(),
        (test::RecordingUserInterface::SlotColourCall { 1, SlotColour::Blue }));
    EXPECT_FALSE(pictureMoves(1)) << "the last picture stays while the source is lost";
    std::this_thread::sleep_for(1500ms); // failed attempts to reach it again
    EXPECT_EQ(std::ranges::count(ui.statusTexts, lost), 1) << "told once";

    ASSERT_TRUE(sender.start());
    ASSERT_TRUE(waitFor([&] { return told("Live source back: " + sender.url()); }, 15000ms));
    EXPECT_TRUE(pictureMoves(1));
}

// A source that cannot be reached when it is loaded loads lost and black, is told once, and
// comes in by itself once it answers; a name that is not a source is refused.
TEST_F(LiveSourceSlotTest, WhatCannotBeReachedLoadsLostAndWhatIsNoAddressIsRefused)
{
    sender.stop();
    struct Case {
        std::string name;
        std::string told;
    };
    for (const Case& c : std::vector<Case> {
             { sender.url(), "(nothing came for 1 second)" },
             { "rtmp://user:pw@127.0.0.1:1/app/KEY", "(Connection refused)" },
         }) {
        ui.statusTexts.clear();
        ASSERT_TRUE(loader.LoadClipIntoSlot(3, c.name, false, false)) << c.name;
        EXPECT_EQ(std::pair(performance.slot(3).ClipWidth, performance.slot(3).ClipHeight),
            std::pair(LiveSource::kWaitingWidth, LiveSource::kWaitingHeight));
        const std::vector<std::uint8_t> black = frame(3);
        EXPECT_EQ(std::ranges::count(black, 0), std::ssize(black)) << c.name;
        mainThread.processPending();
        const auto lost = std::ranges::find_if(ui.statusTexts,
            [](const std::string& text) { return text.starts_with("Live source lost: "); });
        ASSERT_NE(lost, ui.statusTexts.end()) << c.name;
        EXPECT_NE(lost->find(c.told), std::string::npos) << *lost;
        EXPECT_EQ(lost->find("pw"), std::string::npos) << *lost;
        EXPECT_EQ(lost->find("KEY"), std::string::npos) << *lost;
    }

    ASSERT_TRUE(loader.LoadClipIntoSlot(3, sender.url(), false, false));
    ASSERT_TRUE(sender.start());
    EXPECT_TRUE(waitFor([&] { return told("Live source back: " + sender.url()); }, 15000ms));
    EXPECT_TRUE(pictureMoves(3));

    for (const std::string name : { "file:///etc/passwd", "udp://host\n:1", "camera:None" }) {
        EXPECT_FALSE(loader.LoadClipIntoSlot(4, name, false, false)) << name;
        EXPECT_FALSE(performance.slot(4).Loaded);
    }
    EXPECT_NE(ui.messages.back().find("There is no camera \"None\""), std::string::npos)
        << ui.messages.back();
}

// A patch keeps the source's address as the slot's clip name; opening it for a patch
// reopens the live source.
TEST_F(LiveSourceSlotTest, APatchReopensTheSourceByItsAddress)
{
    TPlayAvistruct& record = performance.slot(2);
    record.FileName = sender.url();
    bool fellBack = true;
    ASSERT_TRUE(loader.openPatchClip(2, false, fellBack));
    EXPECT_FALSE(fellBack);
    EXPECT_EQ(record.SourceSystem, kLiveSourceSystem);
    EXPECT_EQ(record.FileName.str(), sender.url());
    EXPECT_TRUE(pictureMoves(2));
}

} // namespace
} // namespace oskel
