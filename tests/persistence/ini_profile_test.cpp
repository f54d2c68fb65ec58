#include <cfloat>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "persistence/ini_profile.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

using namespace std::string_literals;

constexpr std::int64_t kNoInteger = -4242;
constexpr double kNoFloat = -42.5;

std::string readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Every value type comes back as written, from memory and from the saved text.
TEST(IniProfile, ValuesOfEveryTypeReadBackAsWritten)
{
    IniProfile profile;
    profile.writeString("Clips", "File", "/home/vj/clips/loop 1.avi");
    profile.writeString("Clips", "Empty", "");
    profile.writeInteger("Numbers", "Max", std::numeric_limits<std::int64_t>::max());
    profile.writeInteger("Numbers", "Min", std::numeric_limits<std::int64_t>::min());
    profile.writeInteger("Numbers", "Zero", 0);
    profile.writeBool("Flags", "On", true);
    profile.writeBool("Flags", "Off", false);
    profile.writeFloat("Floats", "BPM", 150.0);
    profile.writeFloat("Floats", "Third", 1.0 / 3.0);
    profile.writeFloat("Floats", "Tiny", -2.5e-300);
    profile.writeFloat("Floats", "Largest", DBL_MAX);

    for (const IniProfile& copy : { profile, IniProfile(profile.text()) }) {
        EXPECT_EQ(copy.readString("Clips", "File", "-"), "/home/vj/clips/loop 1.avi");
        EXPECT_EQ(copy.readString("Clips", "Empty", "-"), "");
        EXPECT_EQ(copy.readInteger("Numbers", "Max", 0), std::numeric_limits<std::int64_t>::max());
        EXPECT_EQ(copy.readInteger("Numbers", "Min", 0), std::numeric_limits<std::int64_t>::min());
        EXPECT_EQ(copy.readInteger("Numbers", "Zero", kNoInteger), 0);
        EXPECT_TRUE(copy.readBool("Flags", "On", false));
        EXPECT_FALSE(copy.readBool("Flags", "Off", true));
        EXPECT_EQ(copy.readFloat("Floats", "BPM", 0), 150.0);
        // Fifteen significant digits are kept.
        EXPECT_EQ(copy.readFloat("Floats", "Third", 0), 0.333333333333333);
        EXPECT_EQ(copy.readFloat("Floats", "Tiny", 0), -2.5e-300);
        EXPECT_EQ(copy.readFloat("Floats", "Largest", 0), DBL_MAX);
    }
    EXPECT_EQ(profile.readString("Clips", "Missing", "fallback"), "fallback");
    EXPECT_EQ(profile.readInteger("Nowhere", "Max", kNoInteger), kNoInteger);
    EXPECT_EQ(profile.readRaw("Clips", "Missing"), std::nullopt);
}

TEST(IniProfile, NamesMatchWithoutRegardToLetterCase)
{
    IniProfile profile("[Globals]\nMidiKeyLetters=1\n[playback]\nLoop=0\n");
    EXPECT_TRUE(profile.readBool("GLOBALS", "midikeyletters", false));
    EXPECT_FALSE(profile.readBool("Playback", "LOOP", true));
    EXPECT_TRUE(profile.hasSection("gLoBaLs"));
    EXPECT_TRUE(profile.hasKey("PLAYBACK", "loop"));

    // Writing under another spelling updates the line, which keeps the file's spelling.
    profile.writeBool("PLAYBACK", "LOOP", true);
    EXPECT_EQ(profile.text(), "[Globals]\nMidiKeyLetters=1\n[playback]\nLoop=1\n");
}

TEST(IniProfile, ReadsIgnoreBlanksQuotesAndCarriageReturns)
{
    const IniProfile profile("  [ Paths ]  \r\n"
                             "  Clip One  =   spaced value \t\r\n"
                             "Quoted=\"  kept blanks  \"\r\n"
                             "HalfQuoted=\"open\r\n"
                             "Equals=a=b\r\n"
                             "Number = -$10 \r\n");
    EXPECT_EQ(profile.readString("Paths", "clip one", "-"), "spaced value");
    EXPECT_EQ(profile.readString("Paths", "Quoted", "-"), "  kept blanks  ");
    EXPECT_EQ(profile.readString("Paths", "HalfQuoted", "-"), "\"open");
    EXPECT_EQ(profile.readString("Paths", "Equals", "-"), "a=b");
    EXPECT_EQ(profile.readInteger("Paths", "Number", 0), -16);
    EXPECT_EQ(profile.keys("paths"),
        (std::vector<std::string> { "Clip One", "Quoted", "HalfQuoted", "Equals", "Number" }));
    // Lines are saved as they came, carriage returns and all.
    EXPECT_EQ(profile.text(),
        "  [ Paths ]  \r\n  Clip One  =   spaced value \t\r\nQuoted=\"  kept blanks  \"\r\n"
        "HalfQuoted=\"open\r\nEquals=a=b\r\nNumber = -$10 \r\n");
}

TEST(IniProfile, SectionHeaders)
{
    struct Case {
        std::string line;
        std::optional<std::string> section; // nothing: the line does not start a section
    };
    const std::vector<Case> cases = {
        { "[Globals]", "Globals" },
        { "\t[ Globals ]  ", "Globals" },
        { "[Slot]1]", "Slot]1" },
        { "[]", "" },
        { "[Globals] ; note", "Globals" },
        { "[Globals", std::nullopt },
        { "x[Globals]", std::nullopt },
        { "; [Globals]", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const IniProfile profile("[Before]\n" + c.line + "\nKey=7\n");
        if (c.section) {
            EXPECT_EQ(profile.readInteger(*c.section, "Key", 0), 7);
            EXPECT_FALSE(profile.hasKey("Before", "Key"));
        } else {
            // The key stays in the section above.
            EXPECT_EQ(profile.readInteger("Before", "Key", 0), 7);
        }
    }
}

TEST(IniProfile, CommentsJunkAndKeysAboveTheFirstSectionAreIgnoredByReads)
{
    const IniProfile profile("Orphan=1\n"
                             "[S]\n"
                             "; Commented=2\n"
                             "# Hashed=3\n"
                             "no equals sign here\n"
                             "[NotAKey=4\n"
                             "Real=5\n");
    EXPECT_EQ(profile.keys("S"), std::vector<std::string> { "Real" });
    EXPECT_FALSE(profile.hasKey("", "Orphan"));
    EXPECT_FALSE(profile.hasKey("S", "Orphan"));
    EXPECT_FALSE(profile.hasKey("S", "; Commented"));
}

// Writes touch only their own line: other keys, comments and junk keep every byte.
TEST(IniProfile, WritesUpdateInPlace)
{
    const std::string original = "; saved by an older version\r\n"
                                 "Orphan=1\n"
                                 "[Globals]\n"
                                 "  BPM = 120 ; tempo\n"
                                 "Foreign=kept\n"
                                 "garbage \x01\x02 line\n"
                                 "\n"
                                 "; about the next section\n"
                                 "[Empty]\n"
                                 "[Playback]\n"
                                 "Loop=1";
    IniProfile profile(original);
    profile.writeFloat("Globals", "bpm", 140.5);
    profile.writeBool("Globals", "DisableTAB", true);
    profile.writeInteger("Empty", "Count", 3);
    profile.writeString("Playback", "Loop", "0");
    profile.writeString("Version", "OKP", "Low1");

    EXPECT_EQ(profile.text(),
        "; saved by an older version\r\n"
        "Orphan=1\n"
        "[Globals]\n"
        "BPM=140.5\n"
        "Foreign=kept\n"
        "DisableTAB=1\n" // after the last key, before the junk and the blank line
        "garbage \x01\x02 line\n"
        "\n"
        "; about the next section\n"
        "[Empty]\n"
        "Count=3\n"
        "[Playback]\n"
        "Loop=0\n"
        "\n"
        "[Version]\n"
        "OKP=Low1\n");
}

TEST(IniProfile, WritesNeverAddLines)
{
    IniProfile profile;
    profile.writeString("Sec\ntion", "Ke\r\ny", "two\nlines\r");
    EXPECT_EQ(profile.text(), "[Sec tion]\nKe  y=two lines \n");
    // Names read back under the spelling they were written with.
    EXPECT_EQ(profile.readString("Sec\ntion", "Ke\r\ny", "-"), "two lines");

    // A key that a line cannot hold is not written at all.
    for (const std::string key : { "a=b", "[Key", ";Key", "#Key", " ;Key" }) {
        SCOPED_TRACE(key);
        IniProfile unchanged("[S]\nx=1\n");
        unchanged.writeString("S", key, "v");
        EXPECT_EQ(unchanged.text(), "[S]\nx=1\n");
    }
}

TEST(IniProfile, DuplicatesReadAndUpdateTheFirstCopy)
{
    IniProfile profile("[Clips]\n"
                       "A=first\n"
                       "a=second\n"
                       "[CLIPS]\n"
                       "A=other section\n"
                       "B=only here\n");
    EXPECT_EQ(profile.readString("clips", "a", "-"), "first");
    EXPECT_FALSE(profile.hasKey("Clips", "B"));
    EXPECT_EQ(profile.keys("Clips"), std::vector<std::string> { "A" });

    profile.writeString("Clips", "A", "updated");
    profile.writeString("Clips", "B", "new");
    EXPECT_EQ(profile.text(),
        "[Clips]\n"
        "A=updated\n"
        "a=second\n"
        "B=new\n"
        "[CLIPS]\n"
        "A=other section\n"
        "B=only here\n");
}

TEST(IniProfile, DeletingRemovesEveryCopy)
{
    IniProfile profile("[Keep]\n"
                       "Pans=stays\n"
                       "[Pans]\n"
                       "1=0.5\n"
                       "; comment inside\n"
                       "[Keep2]\n"
                       "X=1\n"
                       "x=2\n"
                       "Y=3\n"
                       "[pans]\n"
                       "2=0.25\n");
    profile.deleteSection("PANS");
    profile.deleteKey("keep2", "X");
    profile.deleteSection("Missing");
    profile.deleteKey("Keep", "Missing");
    EXPECT_EQ(profile.text(), "[Keep]\nPans=stays\n[Keep2]\nY=3\n");
    EXPECT_FALSE(profile.hasSection("Pans"));

    // A section written after the delete is a fresh one.
    profile.writeInteger("Pans", "3", 1);
    EXPECT_EQ(profile.keys("Pans"), std::vector<std::string> { "3" });
}

TEST(IniValues, Integers)
{
    struct Case {
        std::string text;
        std::optional<std::int64_t> value;
    };
    const std::vector<Case> cases = {
        { "0", 0 },
        { " 42\t", 42 },
        { "+7", 7 },
        { "-15", -15 },
        { "007", 7 },
        { "$FF", 255 },
        { "$ff", 255 },
        { "-$10", -16 },
        { "9223372036854775807", std::numeric_limits<std::int64_t>::max() },
        { "-9223372036854775808", std::numeric_limits<std::int64_t>::min() },
        { "$7FFFFFFFFFFFFFFF", std::numeric_limits<std::int64_t>::max() },
        { "-$8000000000000000", std::numeric_limits<std::int64_t>::min() },
        { "9223372036854775808", std::nullopt },
        { "-9223372036854775809", std::nullopt },
        { "$8000000000000000", std::nullopt },
        { "$FFFFFFFFFFFFFFFF", std::nullopt },
        { "99999999999999999999999", std::nullopt },
        { "", std::nullopt },
        { "   ", std::nullopt },
        { "-", std::nullopt },
        { "$", std::nullopt },
        { "-$", std::nullopt },
        { "12abc", std::nullopt },
        { "1 2", std::nullopt },
        { "- 1", std::nullopt },
        { "--1", std::nullopt },
        { "+-1", std::nullopt },
        { "$-1", std::nullopt },
        { "$G", std::nullopt },
        { "0x10", std::nullopt },
        { "1.0", std::nullopt },
        { "1\0"s, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(parseIniInteger(c.text), c.value);
        const IniProfile profile("[S]\nKey=" + c.text + "\n");
        EXPECT_EQ(profile.readInteger("S", "Key", kNoInteger), c.value.value_or(kNoInteger));
    }
}

TEST(IniValues, BooleansAreReadAsIntegers)
{
    struct Case {
        std::string text;
        std::optional<bool> value;
    };
    const std::vector<Case> cases = {
        { "1", true },
        { "0", false },
        { "-1", true },
        { "2", true },
        { "$0", false },
        { " 00 ", false },
        { "", std::nullopt },
        { "true", std::nullopt },
        { "yes", std::nullopt },
        { "1.0", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        const IniProfile profile("[S]\nKey=" + c.text + "\n");
        for (const bool defaultValue : { false, true }) {
            EXPECT_EQ(profile.readBool("S", "Key", defaultValue), c.value.value_or(defaultValue));
        }
    }
}

TEST(IniValues, FloatsAreWrittenWithAtMostFifteenDigits)
{
    struct Case {
        double value;
        std::string text;
    };
    const std::vector<Case> cases = {
        { 150.0, "150" },
        { 5.0, "5" },
        { 0.1, "0.1" },
        { 2.5, "2.5" },
        { -0.75, "-0.75" },
        { 1.0 / 3.0, "0.333333333333333" },
        { 2.0 / 3.0, "0.666666666666667" },
        { 0.1 + 0.2, "0.3" },
        { 0.0001, "0.0001" },
        { 123456789012345.0, "123456789012345" },
        { 1234567890123456789.0, "1.23456789012346e+18" },
        { 1e20, "1e+20" },
        { 1.5e-7, "1.5e-07" },
        { 0.0, "0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatIniFloat(c.value), c.text);
        EXPECT_EQ(parseIniFloat(c.text), std::stod(c.text));
    }
    // Rounding the largest double to 15 digits would overflow; it is written in full.
    EXPECT_EQ(parseIniFloat(formatIniFloat(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(parseIniFloat(formatIniFloat(-DBL_MAX)), -DBL_MAX);
}

TEST(IniValues, FloatsAreReadWithPointOrComma)
{
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
        { "2.5", 2.5 },
        { "2,5", 2.5 },
        { " -0,25 ", -0.25 },
        { "+1.5", 1.5 },
        { "150", 150.0 },
        { ".5", 0.5 },
        { "1e3", 1000.0 },
        { "1E-2", 0.01 },
        { "1,5e2", 150.0 },
        { "INF", std::nullopt },
        { "-inf", std::nullopt },
        { "nan", std::nullopt },
        { "NAN", std::nullopt },
        { "1e400", std::nullopt },
        { "1,5.2", std::nullopt },
        { "1.2.3", std::nullopt },
        { "1,000,000", std::nullopt },
        { "12abc", std::nullopt },
        { "0x1p3", std::nullopt },
        { "+-1", std::nullopt },
        { "--1", std::nullopt },
        { "", std::nullopt },
        { ",", std::nullopt },
        { "1 000", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(parseIniFloat(c.text), c.value);
        const IniProfile profile("[S]\nKey=" + c.text + "\n");
        EXPECT_EQ(profile.readFloat("S", "Key", kNoFloat), c.value.value_or(kNoFloat));
    }
}

TEST(IniProfile, NonFiniteFloatsAreWrittenButReadAsTheDefault)
{
    IniProfile profile;
    profile.writeFloat("Globals", "BPM", std::numeric_limits<double>::infinity());
    profile.writeFloat("Globals", "Jog", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(profile.readString("Globals", "BPM", "-"), "inf");
    EXPECT_EQ(profile.readFloat("Globals", "BPM", 150.0), 150.0);
    EXPECT_EQ(profile.readFloat("Globals", "Jog", 5.0), 5.0);
}

TEST(IniProfile, StringsAreReadUpToTheLongestValue)
{
    constexpr std::size_t kMax = IniProfile::kMaxValueLength;
    const std::string eAcute = "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    struct Case {
        std::string value;
        std::string read;
    };
    const std::vector<Case> cases = {
        { std::string(kMax, 'a'), std::string(kMax, 'a') },
        { std::string(kMax + 1, 'a'), std::string(kMax, 'a') },
        { std::string(100000, 'b'), std::string(kMax, 'b') },
        // A character that would straddle the limit is left out whole.
        { std::string(kMax - 1, 'a') + eAcute, std::string(kMax - 1, 'a') },
        { std::string(kMax - 2, 'a') + euro, std::string(kMax - 2, 'a') },
        { std::string(kMax - 2, 'a') + eAcute + "z", std::string(kMax - 2, 'a') + eAcute },
        // Stray continuation bytes are cut like any other byte.
        { std::string(kMax + 5, '\x80'), std::string(kMax, '\x80') },
        // The limit applies to the value inside its quotes.
        { '"' + std::string(kMax, 'q') + '"', std::string(kMax, 'q') },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.size());
        IniProfile profile;
        profile.writeString("S", "Key", c.value);
        EXPECT_EQ(profile.readString("S", "Key", "-"), c.read);
        EXPECT_EQ(profile.readRaw("S", "Key"), c.read);
    }
}

// What the profile cannot read it keeps, byte for byte, and counts.
TEST(IniProfile, UnreadableLinesAreCountedAndKeptByteForByte)
{
    std::string binary;
    for (int k = 0; k < 2000; ++k) {
        binary += static_cast<char>((k * 131 + 7) % 256);
    }
    for (const auto& [text, unreadable] : std::vector<std::pair<std::string, std::size_t>> {
             { "[A]\nkey=1\n; comment\n# comment\n\n   \n", 0 },
             { "just words\n[A]\nkey=1\nmore words\r\n", 2 },
             { "no line break at the end", 1 },
             { "\r\r\n\r", 0 },
         }) {
        const IniProfile profile(text);
        EXPECT_EQ(profile.unreadableLines(), unreadable) << text;
        EXPECT_EQ(profile.text(), text);
    }
    const IniProfile garbage(binary);
    EXPECT_GT(garbage.unreadableLines(), 0u);
    EXPECT_EQ(garbage.text(), binary);
}

TEST(IniProfile, AnyBytesParse)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string junk;
    for (int i = 0; i < 200000; ++i) {
        // Plenty of the bytes that mean something in the format.
        const int pick = byte(random);
        junk += pick < 40 ? "[]=\n\r;#$\" \t"[pick % 12] : static_cast<char>(pick);
    }
    IniProfile profile(junk);
    const IniProfile reparsed(profile.text());
    EXPECT_EQ(reparsed.text(), profile.text());

    // NUL bytes are ordinary characters of names and values.
    profile = IniProfile("[Nul\0Section]\nk\0ey=va\0lue\n"s);
    EXPECT_EQ(profile.readString("nul\0section"s, "K\0EY"s, "-"), "va\0lue"s);
    EXPECT_FALSE(profile.hasSection("Nul"));
}

TEST(IniProfile, LargeTextsLoadInLinearTime)
{
    // About 4 MB: many sections of many keys, then one line of 2 MB without a line break.
    std::string text;
    for (int section = 0; section < 2000; ++section) {
        text += "[Section" + std::to_string(section) + "]\n";
        for (int key = 0; key < 100; ++key) {
            text += "Key" + std::to_string(key) + "=" + std::to_string(section * key) + "\n";
        }
    }
    text += "[Long]\nValue=" + std::string(2 << 20, 'x');

    const auto start = std::chrono::steady_clock::now();
    IniProfile profile(text);
    std::int64_t sum = 0;
    for (int section = 0; section < 2000; ++section) {
        sum += profile.readInteger("section" + std::to_string(section), "KEY99", 0);
    }
    profile.writeString("Section1999", "Key0", "changed");
    const std::string saved = profile.text();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(sum, 99 * (1999 * 2000 / 2));
    EXPECT_EQ(profile.readString("Long", "Value", "").size(), IniProfile::kMaxValueLength);
    EXPECT_EQ(saved.size(), text.size() + std::string("changed").size() - 1);
    // Generous enough for a sanitized debug build; a quadratic parse takes minutes.
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

TEST(IniFile, SavesAndLoadsAProfile)
{
    const test::TempDir folder;
    const auto path = folder / "oskelstandard.ini";
    IniProfile profile("; hand-written\r\n[Globals]\r\nLocale=fr\r\n");
    profile.writeFloat("Globals", "BPM", 128.5);

    EXPECT_EQ(writeIniFile(path, profile), std::nullopt);
    EXPECT_EQ(readFileBytes(path), "; hand-written\r\n[Globals]\r\nLocale=fr\r\nBPM=128.5\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "oskelstandard.ini.new"));

    const IniReadResult loaded = readIniFile(path);
    EXPECT_EQ(loaded.status, IniFileStatus::Ok);
    EXPECT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.profile.text(), profile.text());
}

TEST(IniFile, SavingKeepsTheFilePermissions)
{
    const test::TempDir folder;
    const auto path = folder / "patch.okp";
    writeFileBytes(path, "[Version]\nOKP=Low1\n");
    std::filesystem::permissions(path,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
            | std::filesystem::perms::group_read);
    const auto before = std::filesystem::status(path).permissions();

    ASSERT_EQ(writeIniFile(path, IniProfile("[Version]\nOKP=Low1\nBPM=3\n")), std::nullopt);
    EXPECT_EQ(std::filesystem::status(path).permissions(), before);
}

TEST(IniFile, MissingAndUnreadableFiles)
{
    const test::TempDir folder;
    const IniReadResult missing = readIniFile(folder / "absent.ini");
    EXPECT_EQ(missing.status, IniFileStatus::Missing);
    EXPECT_EQ(missing.error, "");
    EXPECT_EQ(missing.profile.text(), "");

    const IniReadResult directory = readIniFile(folder.path());
    EXPECT_EQ(directory.status, IniFileStatus::Unreadable);
    EXPECT_EQ(
        directory.error, "Cannot read " + folder.path().string() + ": it is not a regular file");
    EXPECT_EQ(directory.profile.text(), "");
}

// Files that are not files are refused at once: a FIFO without a writer would block the
// open, a link to an endless device would be read until memory runs out.
TEST(IniFile, OnlyRegularFilesOfBoundedSizeAreRead)
{
    const test::TempDir folder;
    const auto fifo = folder / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto zero = folder / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", zero);
    const auto huge = folder / "huge.ini";
    writeFileBytes(huge, "[A]\nb=1\n");
    std::filesystem::resize_file(huge, kMaxIniFileBytes + 1);

    for (const auto& [path, reason] : { std::pair { fifo, "it is not a regular file"s },
             std::pair { zero, "it is not a regular file"s },
             std::pair { huge, "it is larger than 16 MB"s } }) {
        const IniReadResult result = readIniFile(path);
        EXPECT_EQ(result.status, IniFileStatus::Unreadable) << path;
        EXPECT_EQ(result.error, "Cannot read " + path.string() + ": " + reason);
        EXPECT_EQ(result.profile.text(), "");
    }
}

// A failed save leaves whatever was there untouched and no file of its own behind.
TEST(IniFile, FailedSavesLeaveTheOldFile)
{
    const test::TempDir folder;
    const IniProfile profile("[Globals]\nBPM=150\n");

    // The target names a folder.
    const auto directory = folder / "settings.ini";
    std::filesystem::create_directory(directory);
    const auto intoFolder = writeIniFile(directory, profile);
    ASSERT_TRUE(intoFolder.has_value());
    EXPECT_EQ(intoFolder->rfind("Cannot save the file " + directory.string() + ": ", 0), 0u)
        << *intoFolder;
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_FALSE(std::filesystem::exists(folder / "settings.ini.new"));

    // The folder does not exist: nothing gets created.
    const auto nowhere = folder / "missing" / "settings.ini";
    EXPECT_TRUE(writeIniFile(nowhere, profile).has_value());
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));

    // The new file cannot be made beside an existing old one.
    const auto old = folder / "old.ini";
    const std::string oldBytes = "[Globals]\r\nBPM=120\r\n; keep me\r\n";
    writeFileBytes(old, oldBytes);
    std::filesystem::create_directory(folder / "old.ini.new");
    EXPECT_TRUE(writeIniFile(old, profile).has_value());
    EXPECT_EQ(readFileBytes(old), oldBytes);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "old.ini.new"));
}

} // namespace
} // namespace oskel
