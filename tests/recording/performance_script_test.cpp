#include <gtest/gtest.h>
#include <sys/stat.h>

#include "recording/performance_script.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

const std::filesystem::path kFolder = "/shows/tonight";

const TSlotEvent& eventOf(const ScriptAction& action)
{
    return std::get<EventAction>(action.command).event;
}

const LoadAction& loadOf(const ScriptAction& action)
{
    return std::get<LoadAction>(action.command);
}

TEST(PerformanceScript, ReadsEventsAndLoadsSkippingCommentsAndBlankLines)
{
    const ScriptReadResult read
        = parsePerformanceScript("# a performance\n"
                                 "\n"
                                 "   \t \r\n"
                                 "0 load 1 intro.avi\n"
                                 "40 event 0 -8000 64 1   # trigger, muted\n"
                                 "\t120\tevent\t37\t255\t2\t1\r\n"
                                 "200 load 16 /clips/my clip #2.avi\n"
                                 "300 load 2 \"odd #name .avi\"  # quoted\n"
                                 "400 load 3 ../other/outro.mov\n"
                                 "500 load 4 udp://127.0.0.1:5000\n"
                                 "600 load 5 \"camera:USB Capture\"\n",
            kFolder);
    ASSERT_FALSE(read.problem) << read.problem->what;
    ASSERT_EQ(read.actions.size(), 8u);

    EXPECT_EQ(read.actions[0].timeMs, 0);
    EXPECT_EQ(loadOf(read.actions[0]).slot, 1);
    EXPECT_EQ(loadOf(read.actions[0]).file, kFolder / "intro.avi");

    const TSlotEvent& trigger = eventOf(read.actions[1]);
    EXPECT_EQ(read.actions[1].timeMs, 40);
    EXPECT_EQ(trigger.Code, 0);
    EXPECT_EQ(trigger.Value, -8000);
    EXPECT_EQ(trigger.Value2, 64);
    EXPECT_EQ(trigger.Slot, 1);

    const TSlotEvent& crossfade = eventOf(read.actions[2]);
    EXPECT_EQ(read.actions[2].timeMs, 120);
    EXPECT_EQ(crossfade.Code, 37);
    EXPECT_EQ(crossfade.Value, 255);
    EXPECT_EQ(crossfade.Value2, 2);
    EXPECT_EQ(crossfade.Slot, 1);

    EXPECT_EQ(loadOf(read.actions[3]).file, "/clips/my clip") << "a blank then # starts a comment";
    EXPECT_EQ(loadOf(read.actions[4]).file, kFolder / "odd #name .avi");
    EXPECT_EQ(loadOf(read.actions[5]).file, kFolder / "../other/outro.mov");
    EXPECT_EQ(loadOf(read.actions[6]).file, "udp://127.0.0.1:5000") << "live sources as named";
    EXPECT_EQ(loadOf(read.actions[7]).file, "camera:USB Capture");
}

TEST(PerformanceScript, NegativeTimesCountAsZeroAndTheFileOrderIsKept)
{
    const ScriptReadResult read = parsePerformanceScript(
        "500 event 11 0 0 0\n-30 event 12 1 0 0\n100 event 13 1 0 0\n", kFolder);
    ASSERT_FALSE(read.problem);
    ASSERT_EQ(read.actions.size(), 3u);
    EXPECT_EQ(read.actions[0].timeMs, 500);
    EXPECT_EQ(read.actions[1].timeMs, 0);
    EXPECT_EQ(read.actions[2].timeMs, 100);
    EXPECT_EQ(eventOf(read.actions[2]).Code, 13);
}

TEST(PerformanceScript, ALineThatCannotBeReadIsNamedWithWhatIsWrong)
{
    struct Case {
        std::string line;
        std::string what;
    };
    for (const Case& c :
        std::vector<Case> {
            { "12.5 event 0 0 64 1", "\"12.5\" is not a time in milliseconds" },
            { "abc", "\"abc\" is not a time in milliseconds" },
            { "40",
                "the kind of line is missing after the time (event, load, set, key, patch, "
                "save-patch, midi)" },
            { "40 evnt 0 0 64 1",
                "\"evnt\" is not a kind of line (event, load, set, key, patch, save-patch, midi)" },
            { "40 EVENT 0 0 64 1",
                "\"EVENT\" is not a kind of line (event, load, set, key, patch, save-patch, "
                "midi)" },
            { "40 event 0 0 64", "the Slot is missing" },
            { "40 event", "the event code is missing" },
            { "40 event 42 0 0 1", "the event code 42 is not one of 0..41" },
            { "40 event -1 0 0 1", "the event code -1 is not one of 0..41" },
            { "40 event 0 x 64 1", "the Value \"x\" is not a whole number" },
            { "40 event 0 0 2147483648 1", "the Value2 \"2147483648\" is out of range" },
            { "40 event 0 0 64 1 7", "unexpected \"7\" at the end of the line" },
            { "40 event 0 0 64 1#", "the Slot \"1#\" is not a whole number" },
            { "40 load 17 a.avi", "the slot 17 is not one of 1..16" },
            { "40 load 0 a.avi", "the slot 0 is not one of 1..16" },
            { "40 load 1", "the clip file is missing" },
            { "40 load 1   # no file", "the clip file is missing" },
            { "40 load 1 \"a.avi", "the quoted file name has no closing quote" },
            { "40 patch", "the patch file is missing" },
            { "40 midi 0xF8 0", "the MIDI status \"0xF8\" is not one of 128..239" },
            { "40 midi 0x90 128 1", "the MIDI data 1 \"128\" is not one of 0..127" },
            { "40 midi \x05 1", "the MIDI status \"\\x05\" is not one of 128..239" },
            { "40 midi 0x90", "the MIDI data 1 is missing" },
            { "40 midi 0x90 48 100 1", "unexpected \"1\" at the end of the line" },
            { "40 save-patch  # nowhere", "the patch file is missing" },
            { "40 set [Slot3] LumaKeyLevel 900",
                "[Slot3] LumaKeyLevel: the value 900 is out of range (0..765)" },
            { "40 set [Slot3] LumaKeyLevel 1.5",
                "[Slot3] LumaKeyLevel: the value \"1.5\" is not a whole number (0..765)" },
            { "40 set [Slot3] LumaKeyLevel",
                "the value of [Slot3] LumaKeyLevel is missing (0..765)" },
            { "40 set [Slot17] LumaKeyLevel 1",
                "\"[Slot17] LumaKeyLevel\" is not a control (oskel3 --list-controls lists them)" },
            { "40 set [Master] Lop 1",
                "\"[Master] Lop\" is not a control (oskel3 --list-controls lists them)" },
            { "40 set [Master] Loop 2", "[Master] Loop: the value 2 is out of range (0 or 1)" },
            { "40 set [Master] StopAll 1",
                "[Master] StopAll: takes no value, but \"1\" was given" },
            { "40 set [Master] Tempo 120 x", "unexpected \"x\" at the end of the line" },
            { "40 key press q", "a key line says \"down\" or \"up\" after \"key\"" },
            { "40 key down q meta", "\"meta\" is not a modifier (shift, ctrl, alt)" },
            { "1000000000001 event 11 0 0 0",
                "the time 1000000000001 is later than 1000000000000 ms" },
            { "99999999999999999999 event 11 0 0 0",
                "\"99999999999999999999\" is not a time in milliseconds" },
        }) {
        const ScriptReadResult read = parsePerformanceScript(
            "# first\n0 event 11 0 0 0\n" + c.line + "\n1 event 11 0 0 0\n", kFolder);
        ASSERT_TRUE(read.problem) << c.line;
        EXPECT_EQ(read.problem->line, 3) << c.line;
        EXPECT_EQ(read.problem->what, c.what) << c.line;
        EXPECT_TRUE(read.actions.empty()) << "nothing is half read";
    }
}

// What a line quotes back cannot act on the terminal the problem is printed on, nor flood it.
TEST(PerformanceScript, AProblemQuotesTheLineSafely)
{
    using namespace std::string_literals;
    const std::string megabyte(1 << 20, '7');
    struct Case {
        std::string line;
        std::string what;
    };
    for (const Case& c : std::vector<Case> {
             { "\x1b]0;owned\x07 event 0 0 64 1",
                 "\"\\e]0;owned\\x07\" is not a time in milliseconds" },
             { "40 \x1b[2Jevent 0 0 64 1",
                 "\"\\e[2Jevent\" is not a kind of line (event, load, set, key, patch, "
                 "save-patch, midi)" },
             { "40 key down \x1b[31mq", "\"\\e[31mq\" is not a key (the keys: " },
             { "40 set [Slot\x1b[K3] LumaKeyLevel 1",
                 "\"[Slot\\e[K3] LumaKeyLevel\" is not a control" },
             { "40 set [Master] StopAll \x9b\xff",
                 "[Master] StopAll: takes no value, but \"\\x9b\\xff\" was given" },
             { "40 event 0 0 64 1 \xc3\xa9t\xc3\xa9",
                 "unexpected \"\xc3\xa9t\xc3\xa9\" at the end" },
             { "40 event 0 " + megabyte + " 64 1",
                 "the Value \"" + std::string(200, '7')
                     + "...\" (1048576 bytes) is not a whole number" },
             { "40 load 1 clip.avi\0.mov"s, "the file name holds a NUL byte" },
             { "40 patch \"a\0b.okp\""s, "the file name holds a NUL byte" },
         }) {
        const ScriptReadResult read = parsePerformanceScript(c.line + "\n", kFolder);
        ASSERT_TRUE(read.problem) << c.what;
        EXPECT_EQ(read.problem->what.rfind(c.what, 0), 0) << read.problem->what;
        EXPECT_LT(read.problem->what.size(), 1000u) << c.what;
    }
}

TEST(PerformanceScript, LinesEndInAnyOfTheUsualWaysAndAByteOrderMarkIsSkipped)
{
    for (const std::string& text : {
             std::string("\xEF\xBB\xBF"
                         "0 event 11 0 0 0\n40 load 2 a.avi\n80 event 12 1 0 0\n"),
             std::string("0 event 11 0 0 0\r40 load 2 a.avi\r80 event 12 1 0 0\r"),
             std::string("0 event 11 0 0 0\r\n40 load 2 a.avi\r\n80 event 12 1 0 0"),
             std::string("\xEF\xBB\xBF"
                         "0 event 11 0 0 0\r\n40 load 2 a.avi\r80 event 12 1 0 0\n"),
         }) {
        const ScriptReadResult read = parsePerformanceScript(text, kFolder);
        ASSERT_FALSE(read.problem) << read.problem->line << ": " << read.problem->what;
        ASSERT_EQ(read.actions.size(), 3u);
        EXPECT_EQ(eventOf(read.actions[0]).Code, 11);
        EXPECT_EQ(loadOf(read.actions[1]).file, kFolder / "a.avi") << "no \\r in the name";
        EXPECT_EQ(read.actions[2].timeMs, 80);
    }
    // Line numbers count every kind of line end; a blank line between "\r\n" and "\r" too.
    const ScriptReadResult bad
        = parsePerformanceScript("0 event 11 0 0 0\r\n\r1 event 11 0 0 0\n\rx\n", kFolder);
    ASSERT_TRUE(bad.problem);
    EXPECT_EQ(bad.problem->line, 5);
    // A mark anywhere but at the start is a character like any other.
    const ScriptReadResult late = parsePerformanceScript("0 event 11 0 0 0\n\xEF\xBB\xBF"
                                                         "1 event 11 0 0 0\n",
        kFolder);
    ASSERT_TRUE(late.problem);
    EXPECT_EQ(late.problem->line, 2);
}

TEST(PerformanceScript, EveryActionReadsBackAsItWasWritten)
{
    const std::vector<ScriptAction> actions {
        { 0, EventAction { TSlotEvent { 0, -10000, 127, 16 } } },
        { 1234567, EventAction { TSlotEvent { 41, -2147483647 - 1, 2147483647, -3 } } },
        { 5, LoadAction { 4, kFolder / "clips/a b.avi" } },
        { 6, LoadAction { 5, "/elsewhere/#1.mp4" } },
        { 7, LoadAction { 6, kFolder / " padded .avi " } },
        { 8, LoadAction { 7, "/x/\"quoted\".avi" } },
        { 9, SetAction { *findControl("[Slot3]", "LumaKeyLevel"), 200 } },
        { 10, SetAction { *findControl("[Master]", "Tempo"), 128500 } },
        { 11, SetAction { *findControl("[Master]", "StopAll"), 0 } },
        { 12, KeyAction { true, Key::F8, {} } },
        { 13, KeyAction { false, Key::Q, { true, true, true } } },
        { 14, PatchAction { kFolder / "patches/show one.okp", false } },
        { 15, PatchAction { "/elsewhere/#2.okp", true } },
        { 16, MidiAction { 0x90, 48, 100 } },
        { 17, MidiAction { 0xC3, 5, 0 } },
    };
    std::string text;
    for (const ScriptAction& action : actions) {
        const auto line = formatScriptAction(action, kFolder);
        ASSERT_TRUE(line) << action.timeMs;
        text += *line + "\n";
    }
    EXPECT_NE(text.find("10 set [Master] Tempo 128.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("13 key up q shift ctrl alt\n"), std::string::npos) << text;
    EXPECT_NE(text.find("14 patch patches/show one.okp\n"), std::string::npos) << text;
    EXPECT_NE(text.find("16 midi 0x90 48 100\n"), std::string::npos) << text;
    EXPECT_NE(text.find("15 save-patch \"/elsewhere/#2.okp\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("5 load 4 clips/a b.avi\n"), std::string::npos)
        << "clips in the performance's folder are named relative to it:\n"
        << text;
    const ScriptReadResult read = parsePerformanceScript(text, kFolder);
    ASSERT_FALSE(read.problem) << read.problem->what << "\n" << text;
    ASSERT_EQ(read.actions.size(), actions.size());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        EXPECT_TRUE(sameAction(read.actions[i], actions[i])) << i << "\n" << text;
    }
}

TEST(PerformanceScript, AnUnknownKeyListsTheKeyNames)
{
    const ScriptReadResult read = parsePerformanceScript("0 key down hyper\n", kFolder);
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(read.problem->what.rfind("\"hyper\" is not a key (the keys: a b c", 0), 0)
        << read.problem->what;
    EXPECT_NE(read.problem->what.find("f12"), std::string::npos);
    EXPECT_EQ(parsePerformanceScript("0 key down F8\n", kFolder).actions.size(), 1u)
        << "names without regard to case";
}

TEST(PerformanceScript, AFileNameThatNoLineCanHoldIsNotWritten)
{
    EXPECT_FALSE(formatScriptAction({ 0, LoadAction { 1, "/x/two\nlines.avi" } }, kFolder));
    EXPECT_FALSE(formatScriptAction({ 0, LoadAction { 1, "/x/two\rlines.avi" } }, kFolder));
    EXPECT_FALSE(
        formatScriptAction({ 0, LoadAction { 1, std::string("/x/nul\0.avi", 11) } }, kFolder));
    EXPECT_FALSE(formatScriptAction({ 0, LoadAction { 1, "" } }, kFolder));
    // Quoted, it would end after "hi": the comment rule wins.
    EXPECT_FALSE(formatScriptAction({ 0, LoadAction { 1, "/x/say \"hi\" # there.avi" } }, kFolder));
}

TEST(PerformanceScript, FilesAreReadFromTheirFolderAndUnreadableOnesSaySo)
{
    test::TempDir folder;
    test::writeFileBytes(folder / "show.txt",
        { '1', '0', ' ', 'l', 'o', 'a', 'd', ' ', '2', ' ', 'c', '.', 'a', 'v', 'i' });
    const ScriptReadResult read = readPerformanceScript(folder / "show.txt");
    ASSERT_FALSE(read.problem);
    ASSERT_EQ(read.actions.size(), 1u);
    EXPECT_EQ(loadOf(read.actions[0]).file, folder.path() / "c.avi");

    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "zero.txt");
    for (const std::filesystem::path& unreadable :
        { folder / "missing.txt", folder.path(), folder / "fifo.txt", folder / "zero.txt" }) {
        const ScriptReadResult failed = readPerformanceScript(unreadable);
        ASSERT_TRUE(failed.problem) << unreadable;
        EXPECT_EQ(failed.problem->line, 0);
        EXPECT_NE(failed.problem->what.find("cannot read the file"), std::string::npos);
    }
}

} // namespace
} // namespace oskel
