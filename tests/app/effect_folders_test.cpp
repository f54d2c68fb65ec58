#include <gtest/gtest.h>

#include "app/effect_folders.h"

namespace oskel {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(EffectFolders, TheProgramsOwnFirstThenThePerformersWithTheMixerBesideEither)
{
    Locations locations;
    locations.dataFolder = "/home/me/.local/share/oskel3";
    const EffectFolders folders = effectFolders(locations, "/opt/oskel/bin", { "/f0r" });
    EXPECT_EQ(folders.plugins,
        (Paths { "/opt/oskel/bin/plugins", "/opt/oskel/lib/oskel3/plugins",
            "/home/me/.local/share/oskel3/plugins" }));
    EXPECT_EQ(folders.mixerFiles.front(), "/opt/oskel/bin/plugins/TarnMixer.so");
    EXPECT_EQ(folders.mixerFiles.back(), "/opt/oskel/lib/oskel3/TarnMixer.so");
    EXPECT_EQ(folders.frei0r, Paths { "/f0r" });
}

TEST(EffectFolders, Frei0rPathNamesTheFoldersElseTheUsualOnes)
{
    const auto lookup = [](std::optional<std::string> path) {
        return [path](const char* name) -> std::optional<std::string> {
            if (std::string(name) == "FREI0R_PATH") {
                return path;
            }
            return std::string(name) == "HOME" ? std::optional<std::string>("/home/me")
                                               : std::nullopt;
        };
    };
    EXPECT_EQ(frei0rFolders(lookup("/a:/b::/c")), (Paths { "/a", "/b", "/c" }));
    const Paths usual = frei0rFolders(lookup(std::nullopt));
    ASSERT_FALSE(usual.empty());
    EXPECT_EQ(usual.front(), "/home/me/.frei0r-1/lib");
    EXPECT_NE(std::find(usual.begin(), usual.end(), "/usr/lib/frei0r-1"), usual.end());
    EXPECT_EQ(frei0rFolders(lookup("")), usual) << "an empty FREI0R_PATH counts as none";
}

} // namespace
} // namespace oskel
