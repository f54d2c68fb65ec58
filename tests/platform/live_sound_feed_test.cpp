// A live source's sound carried by a slot's buffer: mixed only while the buffer plays, with
// its volume and pan, never more than a little behind, and never blocking either side.
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/live_sound_feed.h"
#include "platform/mixed_sound_buffer.h"
#include "platform/sound_gains.h"
#include "platform/sound_mixer.h"

namespace oskel {
namespace {

constexpr int kRate = 48000;

class LiveSoundFeedTest : public ::testing::Test {
protected:
    std::vector<float> mix(std::size_t frames)
    {
        std::vector<float> out(2 * frames);
        mixer->mix(out);
        return out;
    }

    std::shared_ptr<SoundMixer> mixer = std::make_shared<SoundMixer>(kRate);
    MixedSoundBuffer buffer { mixer, WaveFormat { 1, 44100, 16 }, 44100 * 2 };
    std::shared_ptr<LiveSoundFeed> feed = std::make_shared<LiveSoundFeed>(kRate, 4096, 256);
};

TEST_F(LiveSoundFeedTest, SoundsOnlyWhileItsBufferPlaysWithItsVolumeAndPan)
{
    ASSERT_TRUE(buffer.carryLiveSound(feed));
    for (int i = 0; i < 200; ++i) {
        feed->push({ 0.5f, -0.25f });
    }
    EXPECT_EQ(mix(64), std::vector<float>(128, 0.0f)) << "a stopped buffer takes nothing";
    EXPECT_EQ(feed->waiting(), 200u);

    buffer.setVolume(-600);
    buffer.setPan(-1000);
    buffer.play(true);
    const std::vector<float> out = mix(100);
    const StereoGains gains = voiceGains(-600, -1000);
    const float master = masterGain(255);
    EXPECT_FLOAT_EQ(out[0], 0.5f * gains.left * master);
    EXPECT_FLOAT_EQ(out[199], -0.25f * gains.right * master);
    EXPECT_EQ(feed->waiting(), 100u);
    EXPECT_FLOAT_EQ(mix(150)[2 * 120], 0.0f) << "an empty feed plays silence";
}

TEST_F(LiveSoundFeedTest, SoundThatFellBehindIsSkippedAndAFullFeedDropsWhatComes)
{
    ASSERT_TRUE(buffer.carryLiveSound(feed));
    int pushed = 0;
    // Each sample says where it was in the feed.
    const auto place = [](int index) { return float(index) / 8192.0f; };
    while (feed->push({ place(pushed), 0.0f })) {
        ++pushed;
    }
    EXPECT_EQ(pushed, 4096);
    buffer.play(true);
    buffer.setVolume(0);
    const std::vector<float> out = mix(64);
    const float master = masterGain(255);
    EXPECT_FLOAT_EQ(out[0], place(4096 - 64 - 256) * master) << "at most the lag behind";
    EXPECT_FLOAT_EQ(out[2 * 63], place(4096 - 256 - 1) * master);
}

TEST_F(LiveSoundFeedTest, AFeedAtAnotherRateIsRefused)
{
    EXPECT_FALSE(buffer.carryLiveSound(std::make_shared<LiveSoundFeed>(44100, 64, 8)));
}

// The decode thread pushes while the sound thread mixes and the feed is replaced: under the
// thread sanitizer, no race; the mix stays within what was pushed.
TEST_F(LiveSoundFeedTest, PushingWhileMixingIsSafe)
{
    ASSERT_TRUE(buffer.carryLiveSound(feed));
    buffer.setVolume(0);
    buffer.play(true);
    std::atomic<bool> done = false;
    std::thread decoder([&] {
        while (!done) {
            feed->push({ 0.25f, 0.25f });
        }
    });
    float loudest = 0.0f;
    for (int block = 0; block < 2000; ++block) {
        for (const float sample : mix(256)) {
            loudest = std::max(loudest, sample);
        }
    }
    done = true;
    decoder.join();
    EXPECT_GT(loudest, 0.0f);
    EXPECT_LE(loudest, 0.25f);
    EXPECT_TRUE(buffer.carryLiveSound(nullptr));
    EXPECT_EQ(mix(16), std::vector<float>(32, 0.0f)) << "a buffer without a feed is silent";
}

} // namespace
} // namespace oskel
