#include <array>

#include <gtest/gtest.h>

#include "core/network_address.h"

namespace oskel {
namespace {

// The shown name is what every message repeats of an address: never its user, password,
// path or stream key, and nothing that could steer a terminal.
TEST(NetworkAddressTest, TheShownNameKeepsOnlyTheSchemeMachineAndPort)
{
    struct Case {
        std::string url;
        std::string shown;
    };
    for (const Case& c : std::vector<Case> {
             { "rtmp://live.example/app/STREAMKEY", "rtmp://live.example" },
             { "srt://user:pw@10.0.0.2:9000?passphrase=hunter2", "srt://10.0.0.2:9000" },
             { "udp://[::1]:5000", "udp://[::1]:5000" },
             { "no scheme/with/path", "no scheme" },
             { "mailto:me@secret", "mailto:me" },
             { "udp://\x1b[2J@host", "udp://host" },
             { "udp://\x1b[2Jhost", "udp://\\e[2Jhost" },
         }) {
        EXPECT_EQ(shownAddress(c.url), c.shown) << c.url;
    }
}

TEST(NetworkAddressTest, SchemesAreListedInTheRefusal)
{
    constexpr std::array<std::string_view, 2> kSchemes { "udp", "srt" };
    const NetworkAddressCheck check = checkNetworkAddress("ftp://x", kSchemes, "thing");
    EXPECT_FALSE(check.address);
    EXPECT_EQ(check.problem, "The thing \"ftp://x\" must start with udp:// or srt://");
    EXPECT_EQ(checkNetworkAddress("", kSchemes, "thing").problem, "No thing is set");
    const NetworkAddressCheck taken = checkNetworkAddress("SRT://h:1/k", kSchemes, "x");
    ASSERT_TRUE(taken.address);
    EXPECT_EQ(taken.address->url, "srt://h:1/k");
    EXPECT_EQ(taken.address->scheme, "srt");
    EXPECT_EQ(taken.address->shownName, "srt://h:1");
}

} // namespace
} // namespace oskel
