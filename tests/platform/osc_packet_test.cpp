#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include <gtest/gtest.h>

#include "platform/osc_packet.h"
#include "platform/udp_osc_port.h"

namespace oskel {
namespace {

std::vector<std::uint8_t> bundleOf(const std::vector<std::vector<std::uint8_t>>& elements)
{
    std::vector<std::uint8_t> bytes { '#', 'b', 'u', 'n', 'd', 'l', 'e', 0 };
    bytes.insert(bytes.end(), { 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1 }); // far in the future
    for (const auto& element : elements) {
        const auto size = static_cast<std::uint32_t>(element.size());
        bytes.insert(bytes.end(),
            { std::uint8_t(size >> 24), std::uint8_t(size >> 16), std::uint8_t(size >> 8),
                std::uint8_t(size) });
        bytes.insert(bytes.end(), element.begin(), element.end());
    }
    return bytes;
}

TEST(OscPacket, EveryArgumentKindSurvivesTheWire)
{
    const OscMessage sent { "/oskel/slot/3/size3d",
        { std::int64_t { -7 }, std::int64_t { 5000000000 }, 2.5, std::string("a file.okp"), true,
            false } };
    const OscPacket packet = decodeOscPacket(encodeOscMessage(sent));
    ASSERT_TRUE(packet.problems.empty());
    ASSERT_EQ(packet.messages.size(), 1u);
    EXPECT_EQ(packet.messages[0].address, sent.address);
    EXPECT_EQ(packet.messages[0].arguments, sent.arguments);
}

// A bundle's messages are taken at once, in order, whatever its time tag says, and nested
// bundles too, up to a depth.
TEST(OscPacket, BundlesAreTakenAtOnceAndInOrder)
{
    const auto first = encodeOscMessage({ "/oskel/master/loop", { std::int64_t { 1 } } });
    const auto second = encodeOscMessage({ "/oskel/list", {} });
    const OscPacket packet = decodeOscPacket(bundleOf({ first, bundleOf({ second }) }));
    ASSERT_EQ(packet.messages.size(), 2u);
    EXPECT_EQ(packet.messages[0].address, "/oskel/master/loop");
    EXPECT_EQ(packet.messages[1].address, "/oskel/list");

    std::vector<std::uint8_t> deep = second;
    for (int level = 0; level < 6; ++level) {
        deep = bundleOf({ deep });
    }
    EXPECT_TRUE(decodeOscPacket(deep).messages.empty());
    EXPECT_EQ(decodeOscPacket(deep).problems.size(), 1u);
}

TEST(OscPacket, MalformedPartsAreProblemsAndTheRestIsKept)
{
    const auto good = encodeOscMessage({ "/oskel/master/loop", { std::int64_t { 1 } } });
    auto badSize = bundleOf({ good });
    badSize[16 + 3] = 0xF0; // the element claims more bytes than follow
    const std::vector<std::uint8_t> blob { '/', 'x', 0, 0, ',', 'b', 0, 0, 0, 0, 0, 1, 7, 0, 0, 0 };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t messages;
    };
    const std::vector<Case> cases {
        { "empty", {}, 0 },
        { "not OSC", { 'h', 'e', 'l', 'l', 'o' }, 0 },
        { "cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 3), 0 },
        { "a bundle element too large", badSize, 0 },
        { "a bundle without its time tag", { '#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 1 }, 0 },
        { "a blob argument", blob, 0 },
        { "a good message beside a bad one", bundleOf({ good, { 1, 2, 3, 4 } }), 1 },
        { "oversized", std::vector<std::uint8_t>(kMaxOscPacket + 4, 0), 0 },
    };
    for (const Case& c : cases) {
        const OscPacket packet = decodeOscPacket(c.bytes);
        EXPECT_EQ(packet.messages.size(), c.messages) << c.name;
        EXPECT_FALSE(packet.problems.empty()) << c.name;
    }

    std::vector<std::vector<std::uint8_t>> many(100, good);
    EXPECT_EQ(decodeOscPacket(bundleOf(many)).messages.size(), 64u);
}

TEST(OscPacket, WhatOscCannotCarryIsNotEncoded)
{
    EXPECT_TRUE(encodeOscMessage({ "no-slash", {} }).empty());
    EXPECT_TRUE(encodeOscMessage({ "/x", { std::string("a\0b", 3) } }).empty());
}

// Two ports on 127.0.0.1 talk to each other; the receiver learns where the answer goes.
TEST(UdpOscPort, MessagesTravelBetweenTwoPortsOnTheLoopback)
{
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<std::pair<OscMessage, OscClient>> received;
    UdpOscPort listener;
    listener.setReceiver([&](OscPacket packet, const OscClient& from) {
        const std::scoped_lock held(lock);
        for (auto& message : packet.messages) {
            received.emplace_back(std::move(message), from);
        }
        arrived.notify_all();
    });
    ASSERT_EQ(listener.open(0, false), "");
    ASSERT_NE(listener.boundPort(), 0);
    UdpOscPort sender;
    ASSERT_EQ(sender.open(0, false), "");

    const OscMessage message { "/oskel/key/q", { std::int64_t { 1 } } };
    ASSERT_TRUE(sender.send({ 0x7F000001, listener.boundPort() }, message));
    std::unique_lock waiting(lock);
    ASSERT_TRUE(
        arrived.wait_for(waiting, std::chrono::seconds(5), [&] { return !received.empty(); }));
    EXPECT_EQ(received[0].first.address, message.address);
    EXPECT_EQ(received[0].second, (OscClient { 0x7F000001, sender.boundPort() }));
    EXPECT_EQ(received[0].second.text(), "127.0.0.1:" + std::to_string(sender.boundPort()));

    UdpOscPort second;
    const std::string problem = second.open(listener.boundPort(), false);
    EXPECT_NE(problem.find("OSC could not listen on UDP port"), std::string::npos) << problem;
}

} // namespace
} // namespace oskel
