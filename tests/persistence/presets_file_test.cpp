#include <gtest/gtest.h>

#include "persistence/presets_file.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::int64_t value)
{
    for (int k = 0; k < 4; ++k) {
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * k)));
    }
}

// One record as the file holds it, 92 bytes or the older 88, its reserved bytes not zero.
Bytes record(std::string_view name, int quality, int keyFrame, int rate,
    std::string_view compressor, std::size_t size = 92)
{
    Bytes bytes(size, 0xEE);
    bytes[0] = static_cast<std::uint8_t>(name.size());
    std::copy(name.begin(), name.end(), bytes.begin() + 1);
    bytes[25] = static_cast<std::uint8_t>(quality);
    Bytes numbers;
    put32(numbers, keyFrame);
    put32(numbers, rate);
    std::copy(numbers.begin(), numbers.end(), bytes.begin() + 28);
    bytes[36] = static_cast<std::uint8_t>(compressor.size());
    std::copy(compressor.begin(), compressor.end(), bytes.begin() + 37);
    return bytes;
}

Bytes header(std::int32_t version, std::int64_t count)
{
    Bytes bytes;
    put32(bytes, 0x0BADF00D);
    put32(bytes, version);
    put32(bytes, count);
    return bytes;
}

void append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

TEST(PresetsFile, BothFormatsRead)
{
    Bytes current = header(0, 3);
    append(current, record("", 75, 0, 0, "MJPEG"));
    append(current, record("Fast", 50, 10, 0, "H.264"));
    append(current, record("Archive", 100, 1, 2000, "FFV1"));
    const PresetsRead read = parsePresets(current);
    EXPECT_EQ(read.problem, "");
    ASSERT_EQ(read.presets.size(), 3u);
    EXPECT_EQ(read.presets[0], (CompressionPreset { "", 75, 0, 0, "MJPEG", "" }));
    EXPECT_EQ(read.presets[2], (CompressionPreset { "Archive", 100, 1, 2000, "FFV1", "" }));

    Bytes older;
    put32(older, 2);
    append(older, record("", 90, 5, 0, "Uncompressed Video", 88));
    append(older, record("Web", 40, 25, 300, "MPEG-4", 88));
    const PresetsRead old = parsePresets(older);
    EXPECT_EQ(old.problem, "");
    ASSERT_EQ(old.presets.size(), 2u);
    EXPECT_EQ(old.presets[1], (CompressionPreset { "Web", 40, 25, 300, "MPEG-4", "" }));
}

TEST(PresetsFile, TheCurrentFormatRoundTripsWithTheCompressorsState)
{
    const std::vector<CompressionPreset> presets {
        { "", 100, 0, 0, "Uncompressed Video", "" },
        { "Small", 30, 50, 500, "H.264", "crf=28:preset=veryfast" },
        { std::string(24, 'n'), 0, 1, 0, std::string(48, 'c'), std::string(3000, 's') },
    };
    const PresetsRead read = parsePresets(serialisePresets(presets));
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.presets, presets);
}

TEST(PresetsFile, DamageIsSaidAndWhatCameBeforeItIsKept)
{
    const Bytes good = record("Good", 50, 1, 0, "MJPEG");
    struct Case {
        const char* what;
        Bytes bytes;
        std::size_t kept;
        const char* problem;
    };
    std::vector<Case> cases;
    {
        Bytes b = header(1, 2147483647);
        append(b, good);
        put32(b, 0);
        cases.push_back({ "a count of 2^31 - 1", b, 1,
            "The presets file is damaged: the file ends inside the record of preset 2" });
    }
    {
        Bytes b = header(0, 2);
        append(b, good);
        append(b, record(std::string(30, 'x'), 50, 1, 0, "MJPEG"));
        cases.push_back({ "a name longer than its field", b, 1,
            "The presets file is damaged: a name longer than its field of preset 2" });
    }
    {
        Bytes b = header(1, 2);
        append(b, good);
        put32(b, -5); // no state
        append(b, good);
        put32(b, 1000); // more than there is
        cases.push_back({ "state sizes", b, 1,
            "The presets file is damaged: a compressor state that does not fit of preset 2" });
    }
    {
        Bytes b;
        put32(b, 3); // the older format, but only one record follows
        append(b, record("", 50, 1, 0, "MJPEG", 88));
        cases.push_back({ "a count that does not fit", b, 0,
            "The presets file is not a presets file: its count 3 does not fit its size" });
    }
    cases.push_back({ "cut short", Bytes { 0x0D, 0xF0, 0xAD, 0x0B, 1, 0 }, 0,
        "The presets file is too short to hold its version and count" });
    cases.push_back({ "empty", Bytes {}, 0, "" });
    for (const Case& c : cases) {
        const PresetsRead read = parsePresets(c.bytes);
        EXPECT_EQ(read.presets.size(), c.kept) << c.what;
        EXPECT_EQ(read.problem, c.problem) << c.what;
    }
}

TEST(PresetsFile, AFileReadsBackAndAMissingOneHoldsNothing)
{
    test::TempDir folder;
    const auto file = folder / "presets.bin";
    EXPECT_EQ(readPresetsFile(file).problem, "");
    EXPECT_TRUE(readPresetsFile(file).presets.empty());
    const std::vector<CompressionPreset> presets { { "", 80, 0, 0, "MJPEG", "" } };
    ASSERT_EQ(writePresetsFile(file, presets), std::nullopt);
    EXPECT_EQ(readPresetsFile(file).presets, presets);
    EXPECT_NE(readPresetsFile(folder.path()).problem, "") << "a folder is no presets file";
}

} // namespace
} // namespace oskel
