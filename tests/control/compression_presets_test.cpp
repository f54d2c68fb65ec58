#include <gtest/gtest.h>

#include "control/compression_presets.h"

namespace oskel {
namespace {

using namespace compression_presets;

std::vector<std::string> names(const std::vector<CompressionPreset>& presets)
{
    std::vector<std::string> all;
    for (const CompressionPreset& preset : presets) {
        all.push_back(preset.name);
    }
    return all;
}

TEST(CompressionPresets, TheNameRules)
{
    const std::vector<CompressionPreset> presets { { "fast", 50, 1, 0, "H.264", "" } };
    struct Case {
        std::string name;
        NameCheck check;
    };
    for (const Case& c : std::vector<Case> {
             { "", NameCheck::Refused },
             { "   ", NameCheck::Refused },
             { "Default", NameCheck::Refused },
             { std::string(25, 'a'), NameCheck::Refused },
             { std::string(24, 'a'), NameCheck::Fine },
             { "Fast", NameCheck::Exists },
             { " fast ", NameCheck::Exists },
             { "Slow", NameCheck::Fine },
         }) {
        EXPECT_EQ(checkName(c.name, presets), c.check) << '"' << c.name << '"';
    }
}

// Adding "Fast" where "fast" is leaves one entry; the list stays sorted, until a "Default"
// preset comes to its top.
TEST(CompressionPresets, AddingReplacesSortsAndDefaultGoesToTheTop)
{
    std::vector<CompressionPreset> presets;
    for (const char* name : { "web", "Archive", "fast", "Fast" }) {
        add(presets, { name, 50, 1, 0, "H.264", "" });
    }
    EXPECT_EQ(names(presets), (std::vector<std::string> { "Archive", "Fast", "web" }));
    add(presets, { "Default", 100, 0, 0, "MJPEG", "" });
    add(presets, { "Beta", 100, 0, 0, "MJPEG", "" });
    EXPECT_EQ(
        names(presets), (std::vector<std::string> { "Default", "Archive", "Fast", "web", "Beta" }));
}

TEST(CompressionPresets, APresetWhoseCompressorIsGoneSaysSo)
{
    const std::vector<std::string> installed { "Uncompressed Video", "H.264" };
    EXPECT_EQ(missingCompressor({ "a", 50, 1, 0, "h.264", "" }, installed), std::nullopt);
    EXPECT_EQ(missingCompressor({ "b", 50, 1, 0, "Cinepak", "" }, installed),
        "Cinepak is no longer installed!");
}

} // namespace
} // namespace oskel
