#include <future>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "recording/background_render_output.h"
#include "recording/output_file.h"

namespace oskel {
namespace {

constexpr std::size_t kPictureBytes = 384 * 288 * 3;

// Remembers what reached it, in order; can fail at a chosen picture or hold pictures back.
class LoggingOutput : public RenderOutput {
public:
    struct Log {
        std::mutex lock;
        std::vector<std::string> calls;
        bool finished = false;
        bool dropped = false;
    };

    explicit LoggingOutput(Log& log)
        : m_log(log)
    {
    }
    ~LoggingOutput() override { m_log.dropped = true; }

    void writeFrame(const std::uint8_t* bgr) override
    {
        if (gate.valid()) {
            gate.wait();
        }
        std::lock_guard guard(m_log.lock);
        if (int(m_log.calls.size()) == failAt) {
            throw OutputError("Could not write take.avi: No space left on device");
        }
        m_log.calls.push_back(
            "picture " + std::to_string(bgr[0]) + " " + std::to_string(bgr[kPictureBytes - 1]));
    }
    void writeSound(std::span<const std::int16_t> samples) override
    {
        std::lock_guard guard(m_log.lock);
        m_log.calls.push_back("sound " + std::to_string(samples.size()) + " from "
            + std::to_string(samples.empty() ? 0 : samples[0]));
    }
    void finish() override { m_log.finished = true; }

    int failAt = -1;
    std::shared_future<void> gate;

private:
    Log& m_log;
};

std::vector<std::uint8_t> picture(std::uint8_t value)
{
    return std::vector<std::uint8_t>(kPictureBytes, value);
}

TEST(BackgroundRenderOutput, EverythingArrivesInTheOrderWrittenBeforeTheOutputIsFinished)
{
    LoggingOutput::Log log;
    std::vector<std::string> expected;
    {
        BackgroundRenderOutput output(std::make_unique<LoggingOutput>(log));
        for (int n = 0; n < 20; ++n) {
            const std::vector<std::int16_t> sound(2 * (n + 1), std::int16_t(n));
            output.writeSound(sound);
            auto bgr = picture(std::uint8_t(n));
            output.writeFrame(bgr.data());
            bgr.assign(bgr.size(), 0xEE); // the caller's buffer is free again at once
            expected.push_back(
                "sound " + std::to_string(2 * (n + 1)) + " from " + std::to_string(n));
            expected.push_back("picture " + std::to_string(n) + " " + std::to_string(n));
        }
        output.finish();
        EXPECT_TRUE(log.finished);
    }
    EXPECT_EQ(log.calls, expected);
}

TEST(BackgroundRenderOutput, AFailureShowsAtTheNextCallAndTheOutputIsNeverFinished)
{
    LoggingOutput::Log log;
    auto failing = std::make_unique<LoggingOutput>(log);
    failing->failAt = 2;
    BackgroundRenderOutput output(std::move(failing));
    const auto bgr = picture(1);
    try {
        for (int n = 0; n < 1000; ++n) {
            output.writeFrame(bgr.data());
        }
        output.finish();
        FAIL() << "the failure was lost";
    } catch (const OutputError& error) {
        EXPECT_EQ(std::string(error.what()), "Could not write take.avi: No space left on device");
    }
    EXPECT_THROW(output.finish(), OutputError);
    EXPECT_FALSE(log.finished);
}

TEST(BackgroundRenderOutput, OnlyAFewPicturesWaitAndDroppingItUnfinishedDropsTheOutput)
{
    LoggingOutput::Log log;
    std::promise<void> open;
    auto held = std::make_unique<LoggingOutput>(log);
    held->gate = open.get_future().share();
    {
        BackgroundRenderOutput output(std::move(held));
        const auto bgr = picture(7);
        // One picture with the output, three waiting; the fifth must wait for room.
        auto writing = std::async(std::launch::async, [&] {
            for (int n = 0; n < 5; ++n) {
                output.writeFrame(bgr.data());
            }
        });
        EXPECT_EQ(writing.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
        open.set_value();
        writing.get();
    }
    EXPECT_FALSE(log.finished);
    EXPECT_TRUE(log.dropped);
}

} // namespace
} // namespace oskel
