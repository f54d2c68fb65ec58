#include <gtest/gtest.h>

#include "core/shown_text.h"

namespace oskel {
namespace {

using namespace std::string_literals;

TEST(ShownText, WhatCouldActOnATerminalIsEscapedAndValidUtf8IsKept)
{
    struct Case {
        std::string text;
        std::string shown;
    };
    for (const Case& c : std::vector<Case> {
             { "clips/intro.avi", "clips/intro.avi" },
             { "\x1b]0;owned\x07title", "\\e]0;owned\\x07title" }, // retitles the terminal
             { "\x1b[2J\x1b[H", "\\e[2J\\e[H" }, // clears it
             { "two\nlines\r\tand\x7f", "two\\nlines\\r\\tand\\x7f" },
             { "a.avi\0.mov"s, "a.avi\\0.mov" },
             { "caf\xc3\xa9 \xe2\x98\x95 \xe6\x97\xa5 \xf0\x9f\x8e\xac", // café ☕ 日 🎬
                 "caf\xc3\xa9 \xe2\x98\x95 \xe6\x97\xa5 \xf0\x9f\x8e\xac" },
             { "\xc2\x9b"
               "2J",
                 "\\u009b2J" }, // the one-character CSI
             { "evil\xe2\x80\xae"
               "iva.exe",
                 "evil\\u202eiva.exe" }, // turns the text around
             { "\xe2\x80\xa8", "\\u2028" },
             { "\xff\xfe", "\\xff\\xfe" },
             { "\x80x", "\\x80x" }, // a continuation byte alone
             { "\xe2\x82", "\\xe2\\x82" }, // a character cut short
             { "\xc0\xaf", "\\xc0\\xaf" }, // "/" in a longer form than it needs
             { "\xed\xa0\x80", "\\xed\\xa0\\x80" }, // a surrogate
             { "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80" }, // beyond U+10FFFF
             { "C:\\clips\\\"a\".avi", "C:\\clips\\\"a\".avi" },
             { "", "" },
         }) {
        EXPECT_EQ(shownText(c.text), c.shown) << c.shown;
        EXPECT_EQ(quotedText(c.text), '"' + c.shown + '"') << c.shown;
    }
}

TEST(ShownText, ALongTextIsCutAtAWholeCharacterAndSaysItsLength)
{
    struct Case {
        std::string text;
        std::string kept;
    };
    const std::string megabyte(1 << 20, 'a');
    std::string coffees;
    for (int k = 0; k < 100; ++k) {
        coffees += "\xe2\x98\x95";
    }
    for (const Case& c : std::vector<Case> {
             { megabyte, std::string(200, 'a') },
             { std::string(200, 'b'), std::string(200, 'b') }, // just fits
             { std::string(201, 'c'), std::string(200, 'c') },
             { coffees, coffees.substr(0, 66 * 3) }, // 198 bytes: the 67th would not fit
             { std::string(300, '\x1b'),
                 [] {
                     std::string escapes;
                     for (int k = 0; k < 200; ++k) {
                         escapes += "\\e";
                     }
                     return escapes;
                 }() },
         }) {
        const std::string note = " (" + std::to_string(c.text.size()) + " bytes)";
        const bool cut = c.text.size() > kShownBytes;
        EXPECT_EQ(shownText(c.text), c.kept + (cut ? "..." + note : ""));
        EXPECT_EQ(quotedText(c.text), '"' + c.kept + (cut ? "...\"" + note : "\""));
    }
    EXPECT_EQ(shownText("abcdef", 3), "abc... (6 bytes)");
    EXPECT_EQ(shownText(std::filesystem::path(megabyte)).size(), 200 + 3 + 16);
}

TEST(ShownText, AWholeMessageKeepsItsLineBreaksOnlyAndIsNotCut)
{
    EXPECT_EQ(printableMessage("Sorry\nno \x1b[31mred\x1b[0m\there\r"),
        "Sorry\nno \\e[31mred\\e[0m\\there\\r");
    EXPECT_EQ(printableMessage("a \\e stays a backslash"), "a \\e stays a backslash");
    const std::string megabyte(1 << 20, 'x');
    EXPECT_EQ(printableMessage(megabyte), megabyte);
}

TEST(ShownText, ANameWithANulByteIsFound)
{
    EXPECT_TRUE(holdsNul("a.avi\0x"s));
    EXPECT_TRUE(holdsNul(std::filesystem::path("\0"s)));
    EXPECT_FALSE(holdsNul(std::filesystem::path("/clips/a.avi")));
}

} // namespace
} // namespace oskel
