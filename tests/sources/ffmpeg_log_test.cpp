// FFmpeg's own log, through ours: the level the performer chooses, and lines that cannot act
// on the terminal.
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sources/decoded_media.h"
#include "sources/ffmpeg_log.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

// FFmpeg's levels (libavutil/log.h).
constexpr int kPanic = 0;
constexpr int kError = 16;
constexpr int kWarning = 24;
constexpr int kInfo = 32;
constexpr int kVerbose = 40;
constexpr int kColoured = 0x0300; // a colour asked for above the level's byte

// What reached the sink; FFmpeg may log from its decoding threads.
std::mutex g_caughtLock;
std::vector<std::string> g_caught;

void catchLine(std::string_view line)
{
    std::lock_guard lock(g_caughtLock);
    g_caught.emplace_back(line);
}

TEST(FfmpegLog, TheLevelIsChosenByNameAndDecidesWhichLinesShow)
{
    EXPECT_EQ(ffmpegLogLevelNamed("quiet"), FfmpegLogLevel::Quiet);
    EXPECT_EQ(ffmpegLogLevelNamed("error"), FfmpegLogLevel::Error);
    EXPECT_EQ(ffmpegLogLevelNamed("Warning"), FfmpegLogLevel::Warning);
    EXPECT_EQ(ffmpegLogLevelNamed("INFO"), FfmpegLogLevel::Info);
    for (const char* other : { "", "debug", "errors", "2", "warn" }) {
        EXPECT_FALSE(ffmpegLogLevelNamed(other)) << other;
    }
    EXPECT_EQ(kDefaultFfmpegLogLevel, FfmpegLogLevel::Error);

    struct Case {
        FfmpegLogLevel chosen;
        std::vector<int> shown;
        std::vector<int> hidden;
    };
    for (const Case& c : std::vector<Case> {
             { FfmpegLogLevel::Quiet, {}, { kPanic, kError, kWarning, kInfo } },
             { FfmpegLogLevel::Error, { kPanic, kError, kError | kColoured },
                 { kWarning, kInfo, kWarning | kColoured } },
             { FfmpegLogLevel::Warning, { kError, kWarning }, { kInfo, kVerbose } },
             { FfmpegLogLevel::Info, { kError, kWarning, kInfo }, { kVerbose } },
         }) {
        for (const int level : c.shown) {
            EXPECT_TRUE(ffmpegLineShown(level, c.chosen)) << level;
        }
        for (const int level : c.hidden) {
            EXPECT_FALSE(ffmpegLineShown(level, c.chosen)) << level;
        }
    }
}

TEST(FfmpegLog, ALineIsPrefixedEscapedAndCut)
{
    EXPECT_EQ(ffmpegLogLine("[avi @ 0x5] title \x1b]0;owned\x07 \x1b[2J\r"),
        "oskel3: FFmpeg: [avi @ 0x5] title \\e]0;owned\\x07 \\e[2J\\r");
    EXPECT_LT(ffmpegLogLine(std::string(1 << 20, 'x')).size(), 1100u);
}

// The scaler warns of the pixel format MJPEG decodes to: a warning the performer sees only
// when asking for warnings. Opening a clip keeps the routing it finds.
TEST(FfmpegLog, FfmpegsOwnWarningsReachTheSinkOnlyWhenAskedFor)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = test::makeClip(
        "log.avi", test::joinArgs({ test::testPicture("64x48", "25", "1"), { "-c:v", "mjpeg" } }));
    for (const FfmpegLogLevel level : { FfmpegLogLevel::Error, FfmpegLogLevel::Warning }) {
        g_caught.clear();
        routeFfmpegLog(level, catchLine);
        std::string error;
        const auto decoder = openVideoDecoder(clip, "", error);
        ASSERT_NE(decoder, nullptr) << error;
        ASSERT_NE(decoder->frameAt(10), nullptr);
        std::lock_guard lock(g_caughtLock);
        const bool warned
            = std::any_of(g_caught.begin(), g_caught.end(), [](const std::string& line) {
                  return line.find("deprecated pixel format") != line.npos;
              });
        EXPECT_EQ(warned, level == FfmpegLogLevel::Warning);
        for (const std::string& line : g_caught) {
            EXPECT_EQ(line.rfind("oskel3: FFmpeg: [", 0), 0) << line;
            EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20;
            })) << line;
        }
    }
    routeFfmpegLog(FfmpegLogLevel::Quiet);
}

} // namespace
} // namespace oskel
