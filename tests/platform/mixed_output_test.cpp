#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "pcm_test_signals.h"

namespace oskel {
namespace {

using test::channel;
using test::fillBuffer;
using test::kFullMasterGain;
using test::MixCapture;
using test::rms;

constexpr int kOutputRate = 48000;
constexpr WaveFormat kMono16 { 1, 44100, 16 };

// One second of a 441 Hz sine at half scale: whole periods at both 44100 and 48000 Hz.
std::shared_ptr<SoundBuffer> halfScaleSine(SoundDevice& device)
{
    auto buffer = device.createBuffer(kMono16, 2 * 44100);
    fillBuffer(*buffer, test::sine(441.0, 0.5, 44100));
    return buffer;
}

const double kSineRms = 0.5 / std::sqrt(2.0) * kFullMasterGain;

TEST(MixedOutput, ASineAtFullVolumeCentredKeepsItsLevelInBothChannels)
{
    MixCapture capture(kOutputRate);
    auto buffer = halfScaleSine(capture.device());
    buffer->play(true);
    const std::vector<float>& mix = capture.render(kOutputRate);

    EXPECT_NEAR(rms(channel(mix, 0)), kSineRms, kSineRms * 0.01);
    EXPECT_NEAR(rms(channel(mix, 1)), kSineRms, kSineRms * 0.01);
}

struct GainCase {
    int volume;
    int pan;
    double left; // 10^(-dB / 20) of the attenuation each side should get
    double right;
};

TEST(MixedOutput, VolumeAndPanAttenuateEachSideByTheirHundredthsOfADecibel)
{
    const std::vector<GainCase> cases {
        { -600, 0, 0.50119, 0.50119 }, // -6 dB halves the amplitude
        { -2000, 0, 0.1, 0.1 },
        { -10000, 0, 0.0, 0.0 },
        { 0, -10000, 1.0, 0.0 },
        { 0, 10000, 0.0, 1.0 },
        { 0, -600, 1.0, 0.50119 },
        { 0, 2000, 0.1, 1.0 },
        { -600, 600, 0.25119, 0.50119 },
    };
    for (const GainCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << ", pan " << c.pan);
        MixCapture capture(kOutputRate);
        auto buffer = halfScaleSine(capture.device());
        buffer->setVolume(c.volume);
        buffer->setPan(c.pan);
        buffer->play(true);
        const std::vector<float>& mix = capture.render(kOutputRate);

        EXPECT_NEAR(rms(channel(mix, 0)), kSineRms * c.left, kSineRms * c.left * 0.01 + 1e-9);
        EXPECT_NEAR(rms(channel(mix, 1)), kSineRms * c.right, kSineRms * c.right * 0.01 + 1e-9);
    }
}

TEST(MixedOutput, MasterVolumeScalesTheWholeMix)
{
    for (const int level : { 0, 64, 128, 255 }) {
        SCOPED_TRACE(level);
        MixCapture capture(kOutputRate);
        capture.device().setMasterVolume(level);
        auto buffer = halfScaleSine(capture.device());
        buffer->play(true);
        const double expected = 0.5 / std::sqrt(2.0) * level * 256.0 / 65535.0;

        EXPECT_NEAR(rms(channel(capture.render(kOutputRate), 0)), expected, expected * 0.01 + 1e-9);
    }
}

TEST(MixedOutput, TwiceTheBaseFrequencyDoublesThePitch)
{
    // 200 Hz at 22050 Hz: 200 whole periods in one second, so the loop is seamless.
    constexpr WaveFormat format { 1, 22050, 16 };
    for (const int multiple : { 1, 2 }) {
        SCOPED_TRACE(multiple);
        MixCapture capture(kOutputRate);
        auto buffer = capture.device().createBuffer(format, 2 * 22050);
        fillBuffer(*buffer, test::sine(200.0, 0.5, 22050));
        buffer->setFrequency(22050 * multiple);
        buffer->play(true);
        const int crossings = test::zeroCrossings(channel(capture.render(kOutputRate), 0));

        EXPECT_NEAR(crossings, 400 * multiple, 2) << "two zero crossings per period";
    }
}

TEST(MixedOutput, LoudVoicesSumToAClampedMixNeverAWrappedOne)
{
    MixCapture capture(kOutputRate);
    std::vector<std::shared_ptr<SoundBuffer>> voices;
    for (int i = 0; i < 4; ++i) {
        voices.push_back(capture.device().createBuffer(kMono16, 2 * 44100));
        fillBuffer(*voices.back(), test::sine(441.0, 0.9, 44100));
        voices.back()->play(true);
    }
    const std::vector<float> left = channel(capture.render(kOutputRate), 0);

    const double sum = 4 * 0.9 * kFullMasterGain;
    int clamped = 0;
    for (std::size_t i = 0; i < left.size(); ++i) {
        const double wanted = sum * std::sin(2.0 * std::numbers::pi * 441.0 * double(i) / 48000);
        ASSERT_LE(std::abs(left[i]), 1.0f) << i;
        if (std::abs(wanted) > 1.01) {
            ASSERT_EQ(left[i], wanted > 0 ? 1.0f : -1.0f) << i;
            ++clamped;
        }
    }
    EXPECT_GT(clamped, kOutputRate / 2) << "most of a 3.6 x full-scale sine is clamped";
}

struct DecodeCase {
    const char* name;
    WaveFormat format;
    std::vector<std::uint8_t> frame;
    float left;
    float right;
};

TEST(MixedOutput, DecodesEachSampleFormatMonoToBothChannels)
{
    const std::vector<DecodeCase> cases {
        { "8-bit mono", { 1, 48000, 8 }, { 0xC0 }, 0.5f, 0.5f },
        { "8-bit stereo", { 2, 48000, 8 }, { 0x00, 0xFF }, -1.0f, 127.0f / 128 },
        { "16-bit mono", { 1, 48000, 16 }, { 0x00, 0x40 }, 0.5f, 0.5f },
        { "16-bit stereo", { 2, 48000, 16 }, { 0x00, 0xC0, 0xFF, 0x7F }, -0.5f, 32767.0f / 32768 },
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        MixCapture capture(kOutputRate);
        auto buffer = capture.device().createBuffer(c.format, c.format.blockAlign() * 100);
        const std::span<std::uint8_t> bytes = buffer->lock();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = c.frame[i % c.frame.size()];
        }
        buffer->unlock();
        buffer->play(false);
        const std::vector<float>& mix = capture.render(50);

        for (std::size_t i = 0; i < mix.size(); i += 2) {
            ASSERT_FLOAT_EQ(mix[i], float(c.left * kFullMasterGain)) << i;
            ASSERT_FLOAT_EQ(mix[i + 1], float(c.right * kFullMasterGain)) << i;
        }
    }
}

TEST(MixedOutput, LoopingRepeatsTheSamplesAndAOneShotEndsInSilence)
{
    constexpr WaveFormat format { 1, kOutputRate, 16 };
    const std::vector<double> samples { 0.1, 0.2, 0.3, 0.4, 0.5 };
    for (const bool looping : { true, false }) {
        SCOPED_TRACE(looping);
        MixCapture capture(kOutputRate);
        auto buffer = capture.device().createBuffer(format, 2 * 5);
        fillBuffer(*buffer, [&](std::int64_t frame, int) { return samples[frame]; });
        buffer->play(looping);
        const std::vector<float> left = channel(capture.render(12), 0);

        for (std::size_t i = 0; i < left.size(); ++i) {
            const double wanted = looping || i < 5 ? samples[i % 5] * kFullMasterGain : 0.0;
            EXPECT_NEAR(left[i], wanted, 1e-4) << i;
        }
    }
}

// Hears the mix beside the output, as a stream does.
class CollectingListener final : public MixListener {
public:
    void mixed(std::span<const float> interleavedStereo) noexcept override
    {
        heard.insert(heard.end(), interleavedStereo.begin(), interleavedStereo.end());
    }
    std::vector<float> heard;
};

TEST(MixedOutput, AListenerHearsExactlyTheMixUntilTakenAway)
{
    MixCapture capture(kOutputRate);
    auto buffer = halfScaleSine(capture.device());
    buffer->play(true);
    CollectingListener listener;
    capture.device().setMixListener(&listener);
    const std::vector<float> mix = capture.render(3000);
    EXPECT_EQ(listener.heard, mix);
    EXPECT_GT(rms(listener.heard), kSineRms * 0.9);
    capture.device().setMixListener(nullptr);
    capture.render(3000);
    EXPECT_EQ(listener.heard.size(), mix.size());
}

} // namespace
} // namespace oskel
