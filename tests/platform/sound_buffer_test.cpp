#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pcm_test_signals.h"
#include "platform/manual_clock_sound_device.h"
#include "platform/sound_mixer.h"

namespace oskel {
namespace {

constexpr WaveFormat kStereo16 { 2, 44100, 16 };

void expectSoundError(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no SoundError, expected \"" << message << "\"";
    } catch (const SoundError& error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
}

struct Setting {
    const char* name;
    std::function<void(SoundBuffer&, int)> set;
    std::function<int(const SoundBuffer&)> get;
    int initial;
    std::vector<int> accepted;
    std::vector<int> refused;
    const char* message;
};

TEST(SoundBufferSettings, AcceptTheirRangeAndRefuseBeyondItLeavingTheBufferAsItWas)
{
    const std::vector<Setting> settings {
        { "frequency", [](SoundBuffer& b, int v) { b.setFrequency(v); },
            [](const SoundBuffer& b) { return b.frequency(); }, 30000, { 100, 200000 },
            { 99, 200001, 0, -44100 }, "Could not set frequency" },
        { "volume", [](SoundBuffer& b, int v) { b.setVolume(v); },
            [](const SoundBuffer& b) { return b.volume(); }, -300, { -10000, 0 },
            { 1, -10001, 10000 }, "Could not set volume" },
        { "pan", [](SoundBuffer& b, int v) { b.setPan(v); },
            [](const SoundBuffer& b) { return b.pan(); }, 500, { -10000, 10000 }, { 10001, -10001 },
            "Could not set DS Pan" },
    };
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer(kStereo16, 4 * 1000);
    device.start();
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name);
        for (const int value : setting.accepted) {
            setting.set(*buffer, value);
            EXPECT_EQ(setting.get(*buffer), value);
        }
        setting.set(*buffer, setting.initial);
        buffer->play(true);
        device.advanceFrames(100);
        const std::int64_t cursor = buffer->playCursor();
        for (const int value : setting.refused) {
            expectSoundError([&] { setting.set(*buffer, value); }, setting.message);
            EXPECT_EQ(setting.get(*buffer), setting.initial) << value;
        }
        EXPECT_TRUE(buffer->isPlaying());
        EXPECT_EQ(buffer->playCursor(), cursor);
        buffer->stop();
    }
}

TEST(SoundBufferSettings, StartAtTheFormatsRateFullVolumeCentred)
{
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer({ 1, 22050, 8 }, 100);
    EXPECT_EQ(buffer->frequency(), 22050);
    EXPECT_EQ(buffer->volume(), 0);
    EXPECT_EQ(buffer->pan(), 0);
    EXPECT_FALSE(buffer->isPlaying());
    EXPECT_EQ(buffer->playCursor(), 0);
    EXPECT_EQ(buffer->length(), 100);
}

struct Creation {
    const char* name;
    WaveFormat format;
    std::int64_t lengthBytes;
};

TEST(SoundBufferCreation, RefusesUnsupportedFormatsAndLengthsThatAreNotWholeFrames)
{
    const std::vector<Creation> refused {
        { "three channels", { 3, 44100, 16 }, 600 },
        { "no channels", { 0, 44100, 16 }, 600 },
        { "24-bit", { 2, 44100, 24 }, 600 },
        { "12-bit", { 1, 44100, 12 }, 600 },
        { "rate below 100", { 1, 99, 16 }, 600 },
        { "rate above 200000", { 1, 200001, 16 }, 600 },
        { "zero length", { 1, 44100, 16 }, 0 },
        { "negative length", { 1, 44100, 16 }, -4 },
        { "half a 16-bit mono frame", { 1, 44100, 16 }, 3 },
        { "half a 16-bit stereo frame", { 2, 44100, 16 }, 6 },
        { "half an 8-bit stereo frame", { 2, 44100, 8 }, 5 },
    };
    ManualClockSoundDevice device(48000);
    for (const Creation& c : refused) {
        SCOPED_TRACE(c.name);
        expectSoundError([&] { device.createBuffer(c.format, c.lengthBytes); },
            "Could not create secondary sound buffer");
    }
    EXPECT_NO_THROW(device.createBuffer({ 1, 100, 8 }, 1));
    EXPECT_NO_THROW(device.createBuffer({ 2, 200000, 16 }, 4));
}

TEST(SoundBufferCreation, RefusesWhenTheVoiceTableIsFullUntilABufferIsDropped)
{
    ManualClockSoundDevice device(48000);
    std::vector<std::shared_ptr<SoundBuffer>> buffers;
    for (int i = 0; i < SoundMixer::kVoiceCapacity; ++i) {
        buffers.push_back(device.createBuffer(kStereo16, 4));
    }
    expectSoundError(
        [&] { device.createBuffer(kStereo16, 4); }, "Could not create secondary sound buffer");

    buffers[17].reset();
    EXPECT_NO_THROW(buffers[17] = device.createBuffer(kStereo16, 4));
}

TEST(SoundBufferLock, GivesTheWholeBufferOnlyWhileStoppedAndPlayWaitsForUnlock)
{
    ManualClockSoundDevice device(48000);
    auto buffer = device.createBuffer(kStereo16, 4 * 100);
    device.start();

    EXPECT_EQ(buffer->lock().size(), 400u);
    expectSoundError([&] { buffer->play(false); }, "Could not play");
    buffer->unlock();

    buffer->play(false);
    expectSoundError([&] { buffer->lock(); }, "Could not lock secondary sound buffer");
    EXPECT_TRUE(buffer->isPlaying());
    buffer->stop();
    EXPECT_EQ(buffer->lock().size(), 400u);
    buffer->unlock();
}

TEST(SoundBufferLock, NewBuffersSoundSilentInEitherSampleSize)
{
    for (const WaveFormat format : { WaveFormat { 1, 48000, 8 }, WaveFormat { 2, 48000, 16 } }) {
        SCOPED_TRACE(format.bitsPerSample);
        test::MixCapture capture(48000);
        auto buffer = capture.device().createBuffer(format, format.blockAlign() * 480);
        buffer->play(false);
        for (const float sample : capture.render(480)) {
            ASSERT_EQ(sample, 0.0f);
        }
    }
}

TEST(SoundBufferLifetime, BuffersOutliveTheirDevice)
{
    auto device = std::make_unique<ManualClockSoundDevice>(48000);
    auto buffer = device->createBuffer(kStereo16, 400);
    buffer->play(true);
    device.reset();
    buffer->setPosition(8);
    EXPECT_EQ(buffer->playCursor(), 8);
    EXPECT_TRUE(buffer->isPlaying());
}

} // namespace
} // namespace oskel
