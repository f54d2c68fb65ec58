#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "recording/osc_commands.h"
#include "recording/osc_feedback.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

OscRequest translate(std::string address, std::vector<OscArgument> arguments = {})
{
    return translateOscMessage({ std::move(address), std::move(arguments) });
}

// The control and value a message sets; fails the test when it sets none.
std::pair<std::string, std::int32_t> setOf(const OscRequest& request)
{
    const auto* command = std::get_if<ScriptCommand>(&request);
    const auto* set = command != nullptr ? std::get_if<SetAction>(command) : nullptr;
    if (set == nullptr) {
        ADD_FAILURE() << "no setting";
        return {};
    }
    return { controlName(set->control), set->value };
}

TEST(OscCommands, ControlsAreSetByTheirAddressWithTheValueTheirKindTakes)
{
    struct Case {
        const char* address;
        OscArgument value;
        const char* control;
        std::int32_t expected;
    };
    const std::vector<Case> cases {
        { "/oskel/master/loop", std::int64_t { 0 }, "[Master] Loop", 0 },
        { "/oskel/master/loop", true, "[Master] Loop", 1 },
        { "/oskel/master/loop", 0.9, "[Master] Loop", 1 }, // a tablet's toggle sends floats
        { "/oskel/slot/3/lumakeylevel", std::int64_t { 300 }, "[Slot3] LumaKeyLevel", 300 },
        { "/oskel/slot/16/LumaKeyLevel", 299.6, "[Slot16] LumaKeyLevel", 300 },
        // The table keeps a value in its range when it is set; here it is passed on as sent.
        { "/oskel/slot/3/lumakeylevel", std::int64_t { 5000 }, "[Slot3] LumaKeyLevel", 5000 },
        { "/oskel/master/tempo", 128.5, "[Master] Tempo", 128500 },
        { "/oskel/master/tempo", std::int64_t { 90 }, "[Master] Tempo", 90000 },
        { "/oskel/master/tempo", 1e300, "[Master] Tempo", 2147483647 },
        { "/oskel/master/controlleropacity", std::int64_t { 20 }, "[Master] ControllerOpacity",
            20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(setOf(translate(c.address, { c.value })),
            (std::pair<std::string, std::int32_t> { c.control, c.expected }));
    }
}

TEST(OscCommands, ActionsKeysAndPatches)
{
    EXPECT_EQ(setOf(translate("/oskel/slot/3/trigger")).first, "[Slot3] Trigger");
    EXPECT_EQ(setOf(translate("/oskel/master/stopall", { 1.0 })).first, "[Master] StopAll");
    EXPECT_TRUE(std::holds_alternative<OscNothing>(translate("/oskel/master/stopall", { 0.0 })));

    const auto key = std::get<KeyAction>(
        std::get<ScriptCommand>(translate("/oskel/key/q", { std::int64_t { 1 } })));
    EXPECT_TRUE(key.down);
    EXPECT_EQ(key.key, keyNamed("q"));
    EXPECT_FALSE(
        std::get<KeyAction>(std::get<ScriptCommand>(translate("/oskel/key/Q", { false }))).down);

    const auto patch = std::get<PatchAction>(std::get<ScriptCommand>(
        translate("/oskel/patch/load", { std::string("/shows/first.okp") })));
    EXPECT_EQ(patch.file, "/shows/first.okp");
    EXPECT_FALSE(patch.save);

    EXPECT_TRUE(std::holds_alternative<OscListRequest>(translate("/oskel/list")));
    EXPECT_TRUE(std::get<OscSubscription>(translate("/oskel/subscribe")).on);
    EXPECT_FALSE(std::get<OscSubscription>(translate("/oskel/unsubscribe")).on);
}

TEST(OscCommands, WhatNoControlTakesIsRefusedWithTheReason)
{
    struct Case {
        const char* address;
        std::vector<OscArgument> arguments;
        const char* reason;
    };
    const std::vector<Case> cases {
        { "/other/master/loop", { std::int64_t { 1 } }, "no control at /other/master/loop" },
        { "/oskel/master/lop", { std::int64_t { 1 } }, "no control at /oskel/master/lop" },
        { "/oskel/slot/17/lumakeylevel", { std::int64_t { 1 } },
            "no control at /oskel/slot/17/lumakeylevel" },
        { "/oskel/slot/03/lumakeylevel", { std::int64_t { 1 } },
            "no control at /oskel/slot/03/lumakeylevel" },
        { "/oskel/slot/3/lumakeylevel", {}, "/oskel/slot/3/lumakeylevel takes one value" },
        { "/oskel/slot/3/lumakeylevel", { std::int64_t { 1 }, std::int64_t { 2 } },
            "/oskel/slot/3/lumakeylevel takes one value" },
        { "/oskel/slot/3/lumakeylevel", { std::string("300") },
            "/oskel/slot/3/lumakeylevel takes a number" },
        { "/oskel/master/tempo", { std::numeric_limits<double>::quiet_NaN() },
            "/oskel/master/tempo takes a number" },
        { "/oskel/slot/3/trigger", { 1.0, 1.0 }, "/oskel/slot/3/trigger takes no value or one" },
        { "/oskel/key/nokey", { std::int64_t { 1 } }, "no key named \"nokey\"" },
        { "/oskel/key/q", {}, "/oskel/key/q takes 1 (pressed) or 0 (released)" },
        { "/oskel/patch/load", { std::int64_t { 3 } },
            "/oskel/patch/load takes the patch file's name" },
        { "/oskel/list", { std::int64_t { 1 } }, "/oskel/list takes no value" },
        { "/oskel", {}, "no control at /oskel" },
        { "/oskel/", {}, "no control at /oskel/" },
    };
    for (const Case& c : cases) {
        const OscRequest request = translate(c.address, c.arguments);
        ASSERT_TRUE(std::holds_alternative<OscRefusal>(request)) << c.address;
        EXPECT_EQ(std::get<OscRefusal>(request).reason, c.reason);
    }
}

// Subscribers hear every control once, then only what changed, whoever changed it.
TEST(OscFeedback, FirstEverythingThenOnlyTheChanges)
{
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    OscFeedback feedback;

    const std::size_t everything = feedback.changes(performance).size();
    EXPECT_GT(everything, 16u * 30u);
    EXPECT_TRUE(feedback.changes(performance).empty());

    setControl(processor, performance, masterControl("Trails"), 1);
    performance.options().midi.controllers[12] = 5;
    const std::vector<OscMessage> changed = feedback.changes(performance);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].address, "/oskel/master/trails");
    EXPECT_EQ(changed[0].arguments, std::vector<OscArgument> { std::int64_t { 1 } });
    EXPECT_EQ(changed[1].address, "/oskel/master/controlleropacity");

    feedback.forget();
    EXPECT_EQ(feedback.changes(performance).size(), everything);
}

TEST(OscFeedback, TheAddressListNamesEveryControlWithItsKindAndRange)
{
    const std::vector<OscMessage> list = oscAddressList();
    EXPECT_EQ(list.size(), controlTable().size() + 2);
    const auto tempo = std::find_if(list.begin(), list.end(), [](const OscMessage& m) {
        return std::get<std::string>(m.arguments.at(0)) == "/oskel/master/tempo";
    });
    ASSERT_NE(tempo, list.end());
    EXPECT_EQ(tempo->address, "/oskel/address");
    EXPECT_EQ(tempo->arguments,
        (std::vector<OscArgument> {
            std::string("/oskel/master/tempo"), std::string("decimal"), 0.0, 2000000.0, 150.0 }));
    const auto luma = std::find_if(list.begin(), list.end(), [](const OscMessage& m) {
        return std::get<std::string>(m.arguments.at(0)) == "/oskel/slot/{1-16}/lumakeylevel";
    });
    EXPECT_NE(luma, list.end());
}

} // namespace
} // namespace oskel
