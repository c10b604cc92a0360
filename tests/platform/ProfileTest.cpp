#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "PlatformFixture.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace {

using namespace platform;
using platformtest::PlatformTest;
using namespace std::string_literals;
namespace fs = std::filesystem;

struct ReadCase {
    const char* rule;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

// Test names come from the rule; the listing shows the same instead of raw bytes.
void PrintTo(const ReadCase& test, std::ostream* out) {
    *out << test.rule;
}

class ReadingRuleTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadingRuleTest, ReadsAsWindowsDoes) {
    const auto& rule = GetParam();
    EXPECT_EQ(profile::ReadValue(rule.text, rule.section, rule.key), rule.expected) << rule.rule;
}

const std::string kLong(2000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadingRuleTest,
    ::testing::Values(
        ReadCase{"names_ignore_case", "[Options]\r\nLogo=0\r\n", "oPTIONS", "LOGO", "0"},
        ReadCase{"query_names_trimmed", "[Options]\r\nLogo=0\r\n", " Options\t", " Logo ", "0"},
        ReadCase{"blanks_around_name_equals_and_value_end", "[S]\r\n \tKey \t=  a b \t\r\n", "S",
                 "Key", "a b"},
        ReadCase{"double_quotes_removed", "[S]\r\nKey=\" a b \"\r\n", "S", "Key", " a b "},
        ReadCase{"single_quotes_removed", "[S]\r\nKey='x'\r\n", "S", "Key", "x"},
        ReadCase{"unbalanced_quotes_stay", "[S]\r\nKey=\"x\r\n", "S", "Key", "\"x"},
        ReadCase{"mixed_quotes_stay", "[S]\r\nKey='x\"\r\n", "S", "Key", "'x\""},
        ReadCase{"lone_quote_stays", "[S]\r\nKey=\"\r\n", "S", "Key", "\""},
        ReadCase{"key_names_never_unquoted", "[S]\r\n\"Key\"=1\r\n", "S", "Key", std::nullopt},
        ReadCase{"empty_value_is_empty_not_default", "[S]\r\nKey=\r\n", "S", "Key", ""},
        ReadCase{"blank_value_is_empty", "[S]\r\nKey=   \r\n", "S", "Key", ""},
        ReadCase{"missing_key", "[S]\r\nOther=1\r\n", "S", "Key", std::nullopt},
        ReadCase{"missing_section", "[T]\r\nKey=1\r\n", "S", "Key", std::nullopt},
        ReadCase{"empty_text", "", "S", "Key", std::nullopt},
        ReadCase{"first_section_of_a_name_counts", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nB=2\r\n", "S", "B",
                 std::nullopt},
        ReadCase{"first_key_wins", "[S]\r\nA=1\r\na=2\r\n", "S", "A", "1"},
        ReadCase{"semicolon_comment", "[S]\r\n;A=1\r\n", "S", "A", std::nullopt},
        ReadCase{"indented_comment", "[S]\r\n  ;A=1\r\n", "S", "A", std::nullopt},
        ReadCase{"hash_is_no_comment", "[S]\r\n#A=1\r\n", "S", "#A", "1"},
        ReadCase{"semicolon_after_value_is_value", "[S]\r\nA=1 ; note\r\n", "S", "A", "1 ; note"},
        ReadCase{"line_without_equals_is_no_key", "[S]\r\nA\r\nA=2\r\n", "S", "A", "2"},
        ReadCase{"equals_inside_value", "[S]\r\nA=b=c\r\n", "S", "A", "b=c"},
        ReadCase{"blanks_inside_key_name", "[S]\r\nMy Key = v\r\n", "S", "my key", "v"},
        ReadCase{"section_name_trimmed", "[ Options ]\r\nLogo=0\r\n", "Options", "Logo", "0"},
        ReadCase{"text_after_bracket_ignored", "  [Options] junk\r\nLogo=0\r\n", "Options", "Logo",
                 "0"},
        ReadCase{"section_runs_to_last_bracket", "[a]b]\r\nK=1\r\n", "a]b", "K", "1"},
        ReadCase{"unclosed_is_no_header", "[S]\r\n[Unclosed\r\nA=1\r\n", "S", "A", "1"},
        ReadCase{"unclosed_cannot_be_asked_for", "[Unclosed\r\nA=1\r\n", "Unclosed", "A",
                 std::nullopt},
        ReadCase{"keys_before_first_header", "A=1\r\n[S]\r\n", "", "A", std::nullopt},
        ReadCase{"empty_section_name", "[]\r\nA=1\r\n", "", "A", std::nullopt},
        ReadCase{"empty_key_name", "[S]\r\n=1\r\n", "S", "", std::nullopt},
        ReadCase{"lf_line_ends", "[S]\nA=1\nB=2\n", "S", "B", "2"},
        ReadCase{"cr_line_ends", "[S]\rA=1\rB=2\r", "S", "B", "2"},
        ReadCase{"lf_cr_line_ends", "[S]\n\rA=1\n\rB=2", "S", "A", "1"},
        ReadCase{"mixed_line_ends", "[S]\r\nA=1\rB=2\nC=3\n\rD=4", "S", "D", "4"},
        ReadCase{"no_final_line_end", "[S]\r\nA=1", "S", "A", "1"},
        ReadCase{"nul_ends_the_line_text", "[S]\r\nA=ab\0cd\r\nB=2"s, "S", "A", "ab"},
        ReadCase{"nul_keeps_following_lines", "[S]\r\nA=ab\0cd\r\nB=2"s, "S", "B", "2"},
        ReadCase{"nul_before_equals", "[S]\r\nA\0=1\r\n"s, "S", "A", std::nullopt},
        ReadCase{"nul_in_header", "[S\0]\r\nA=1\r\n"s, "S", "A", std::nullopt},
        ReadCase{"bom_not_part_of_first_line", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "1"},
        ReadCase{"utf8_names_ignore_case", "[Ölbilder]\r\nÄNDERN=1\r\n", "ölbilder", "ändern", "1"},
        ReadCase{"dos_end_of_file_is_blank", "[S]\r\nA=1\x1a\r\n", "S", "A", "1"},
        ReadCase{"value_cut_to_1023", "[S]\r\nA=" + kLong + "\r\n", "S", "A",
                 std::string(1023, 'x')},
        ReadCase{"quoted_value_cut_to_1023", "[S]\r\nA=\"" + kLong + "\"\r\n", "S", "A",
                 std::string(1023, 'x')},
        ReadCase{"cut_does_not_split_a_character", "[S]\r\nA=" + std::string(1022, 'x') + "é\r\n",
                 "S", "A", std::string(1022, 'x')}),
    [](const auto& test) { return std::string(test.param.rule); });

struct WriteCase {
    const char* rule;
    std::string before;
    std::string section;
    std::string key;
    std::optional<std::string> value;
    std::string after;
};

void PrintTo(const WriteCase& test, std::ostream* out) {
    *out << test.rule;
}

class WritingRuleTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WritingRuleTest, ChangesOnlyTheBytesConcerned) {
    const auto& rule = GetParam();
    std::optional<std::string_view> value;
    if (rule.value)
        value = *rule.value;
    std::string after = profile::WithValue(rule.before, rule.section, rule.key, value);
    EXPECT_EQ(after, rule.after) << rule.rule;
    auto read = profile::ReadValue(after, rule.section, rule.key);
    if (after != rule.before) {
        EXPECT_EQ(read, rule.value);
    }
}

const std::string kMsdos =
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\n\r\n[Options]\r\nBootGUI=1\r\n;padding xxxxxxxx\r\n"
    ";padding xxxxxxxx\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, WritingRuleTest,
    ::testing::Values(
        WriteCase{"new_key_after_the_sections_last_key_line", kMsdos, "Options", "Logo", "0",
                  "[Paths]\r\nWinDir=C:\\WINDOWS\r\n\r\n[Options]\r\nBootGUI=1\r\nLogo=0\r\n"
                  ";padding xxxxxxxx\r\n;padding xxxxxxxx\r\n"},
        WriteCase{"new_key_before_blank_lines_of_a_section", kMsdos, "paths", "WinBootDir", "C:\\W",
                  "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\W\r\n\r\n[Options]\r\n"
                  "BootGUI=1\r\n;padding xxxxxxxx\r\n;padding xxxxxxxx\r\n"},
        WriteCase{"existing_key_in_place_keeping_spelling_and_blanks",
                  "[Options]\r\n  LOGO = 1  ; old\r\nX=1\r\n", "options", "Logo", "0",
                  "[Options]\r\n  LOGO = 0\r\nX=1\r\n"},
        WriteCase{"existing_empty_value", "[S]\r\nA=\r\n", "S", "A", "v", "[S]\r\nA=v\r\n"},
        WriteCase{"first_key_of_a_name_changes", "[S]\r\nA=1\r\nA=2\r\n", "S", "A", "3",
                  "[S]\r\nA=3\r\nA=2\r\n"},
        WriteCase{"section_without_keys", "[Options]\r\n;pad\r\n", "Options", "Logo", "0",
                  "[Options]\r\nLogo=0\r\n;pad\r\n"},
        WriteCase{"first_of_two_sections_of_a_name", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nB=1\r\n", "S",
                  "B", "2", "[S]\r\nA=1\r\nB=2\r\n[T]\r\n[S]\r\nB=1\r\n"},
        WriteCase{"new_section_at_the_end", "[A]\r\nx=1\r\n", "B", "k", "v",
                  "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"new_section_after_a_last_line_without_line_end", "[A]\r\nx=1", "B", "k", "v",
                  "[A]\r\nx=1\r\n[B]\r\nk=v"},
        WriteCase{"new_key_after_a_last_line_without_line_end", "[A]\r\nx=1", "A", "k", "v",
                  "[A]\r\nx=1\r\nk=v"},
        WriteCase{"new_file", "", "Options", "Logo", "0", "[Options]\r\nLogo=0\r\n"},
        WriteCase{"bom_only", "\xEF\xBB\xBF", "S", "k", "v", "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
        WriteCase{"bom_kept", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "2",
                  "\xEF\xBB\xBF[S]\r\nA=2\r\n"},
        WriteCase{"lf_file_gets_lf", "[S]\nA=1\n", "S", "B", "2", "[S]\nA=1\nB=2\n"},
        WriteCase{"cr_file_gets_cr", "[S]\rA=1\r", "T", "B", "2", "[S]\rA=1\r[T]\rB=2\r"},
        WriteCase{"lf_cr_file_gets_lf_cr", "[S]\n\rA=1\n\r", "S", "B", "2",
                  "[S]\n\rA=1\n\rB=2\n\r"},
        WriteCase{"junk_after_nul_goes_with_the_value", "[S]\r\nA=1\0junk\r\n"s, "S", "A", "2",
                  "[S]\r\nA=2\r\n"},
        WriteCase{"delete_removes_the_line", kMsdos, "PATHS", "windir", std::nullopt,
                  "[Paths]\r\n\r\n[Options]\r\nBootGUI=1\r\n;padding xxxxxxxx\r\n"
                  ";padding xxxxxxxx\r\n"},
        WriteCase{"delete_removes_every_line_that_could_be_read",
                  "[S]\r\nA=1\r\nB=2\r\na=3\r\n[T]\r\nA=4\r\n", "S", "A", std::nullopt,
                  "[S]\r\nB=2\r\n[T]\r\nA=4\r\n"},
        WriteCase{"delete_last_line_without_line_end", "[S]\r\nB=2\r\nA=1", "S", "A", std::nullopt,
                  "[S]\r\nB=2\r\n"},
        WriteCase{"delete_missing_key", kMsdos, "Options", "Logo", std::nullopt, kMsdos},
        WriteCase{"delete_in_missing_section", kMsdos, "Boot", "Logo", std::nullopt, kMsdos},
        WriteCase{"refuses_a_line_break_in_the_value", kMsdos, "Options", "Logo", "0\r\n[X]",
                  kMsdos},
        WriteCase{"refuses_an_equals_sign_in_the_key", kMsdos, "Options", "a=b", "1", kMsdos},
        WriteCase{"refuses_an_empty_key", kMsdos, "Options", " ", "1", kMsdos},
        WriteCase{"refuses_a_line_break_in_the_section", kMsdos, "Opt\nions", "Logo", "1", kMsdos}),
    [](const auto& test) { return std::string(test.param.rule); });

TEST(ProfileBadInputTest, LongLinesAndJunkNeverCrashAndWritesReadBack) {
    std::mt19937 random(1234);
    std::vector<std::string> texts = {
        std::string(100000, 'a'),
        "[S]\r\nA=" + std::string(100000, 'v') + "\r\n",
        "[" + std::string(100000, 'S') + "\n",
        std::string(100000, '\r'),
        std::string(100000, '\n'),
        std::string(1000, '\0'),
        "[S]\r\n" + std::string(50000, '='),
    };
    for (int i = 0; i < 20; ++i) {
        std::string junk(5000, '\0');
        for (char& c : junk) c = static_cast<char>(random());
        texts.push_back(junk);
        texts.push_back("[S]\r\n" + junk + "\r\nA=1\r\n");
    }
    for (const auto& text : texts) {
        profile::ReadValue(text, "S", "A");
        std::string written = profile::WithValue(text, "S", "A", "value");
        EXPECT_EQ(profile::ReadValue(written, "S", "A"), "value");
        std::string deleted = profile::WithValue(written, "S", "A", std::nullopt);
        EXPECT_EQ(profile::ReadValue(deleted, "S", "A"), std::nullopt);
    }
}

class ProfileFileTest : public PlatformTest {};

TEST_F(ProfileFileTest, ReadsFilesThroughWindowsPaths) {
    Write(DriveC() / "WINDOWS" / "test.ini", "[Bootrama-Options]\r\nLogoPath=C:\\Logos\\\r\n");
    EXPECT_EQ(GetPrivateProfileString("bootrama-options", "logopath", "d", "c:\\windows\\TEST.INI"),
              "C:\\Logos\\");
    EXPECT_EQ(GetPrivateProfileString("Bootrama-Options", "Missing", "d", "C:\\WINDOWS\\test.ini"),
              "d");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "d", "C:\\missing.ini"), "d");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "d", "C:\\WINDOWS"), "d");
    EXPECT_EQ(GetPrivateProfileString("S", "K", "d", "no drive"), "d");
    EXPECT_EQ(GetPrivateProfileString("S", "K", std::string(1500, 'd'), "C:\\missing.ini"),
              std::string(1023, 'd'));
}

// Settings unchanged for a while may be answered from memory; whatever changes them shows
// at once: a rewrite in place of the same size, a replacement, a folder in their place.
TEST_F(ProfileFileTest, ASettledFileIsReadAnewAfterEveryChange) {
    const fs::path ini = DriveC() / "settled.ini";
    Write(ini, "[S]\r\nK=one\r\n");
    // Its change time can't be set back: it settles by waiting.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const auto value = [] { return GetPrivateProfileString("S", "K", "d", "C:\\settled.ini"); };
    EXPECT_EQ(value(), "one");
    EXPECT_EQ(value(), "one");
    std::fstream(ini, std::ios::in | std::ios::out | std::ios::binary).seekp(7) << "two";
    EXPECT_EQ(value(), "two");
    Write(DriveC() / "next.ini", "[S]\r\nK=six\r\n");
    fs::rename(DriveC() / "next.ini", ini);
    EXPECT_EQ(value(), "six");
    fs::remove(ini);
    fs::create_directory(ini);
    EXPECT_EQ(value(), "d");
}

TEST_F(ProfileFileTest, WritingCreatesAMissingFileButNoFolder) {
    EXPECT_TRUE(WritePrivateProfileString("Bootrama-Options", "NewInstalled", "1", "C:\\new.ini"));
    EXPECT_EQ(Read(DriveC() / "new.ini"), "[Bootrama-Options]\r\nNewInstalled=1\r\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "1", "C:\\no folder\\new.ini"));
    EXPECT_FALSE(fs::exists(DriveC() / "no folder"));
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "1", "C:\\WINDOWS"));
}

TEST_F(ProfileFileTest, DeletingFromAMissingFileSucceedsWithoutCreatingIt) {
    EXPECT_TRUE(WritePrivateProfileString("Options", "Logo", std::nullopt, "C:\\none.ini"));
    EXPECT_FALSE(fs::exists(DriveC() / "none.ini"));
}

TEST_F(ProfileFileTest, ReadOnlyFileIsNotWritten) {
    ASSERT_TRUE(SetFileAttributes("C:\\MSDOS.SYS", FILE_ATTRIBUTE_READONLY));
    std::string before = Read(DriveC() / "MSDOS.SYS");
    EXPECT_FALSE(WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));
    EXPECT_FALSE(WritePrivateProfileString("Options", "BootGUI", std::nullopt, "C:\\MSDOS.SYS"));
    EXPECT_EQ(Read(DriveC() / "MSDOS.SYS"), before);
    // Deleting what is not there changes nothing, so there is nothing to refuse.
    EXPECT_TRUE(WritePrivateProfileString("Options", "Logo", std::nullopt, "C:\\MSDOS.SYS"));
}

TEST_F(ProfileFileTest, HiddenSystemFileKeepsItsAttributes) {
    SetFileAttributes("C:\\MSDOS.SYS", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::uint32_t before = GetFileAttributes("C:\\MSDOS.SYS");
    EXPECT_TRUE(WritePrivateProfileString("Options", "Logo", "0", "C:\\msdos.sys"));
    EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), before);
    EXPECT_EQ(GetPrivateProfileString("Options", "Logo", "1", "C:\\MSDOS.SYS"), "0");
    EXPECT_TRUE(WritePrivateProfileString("Options", "Logo", std::nullopt, "C:\\MSDOS.SYS"));
    EXPECT_EQ(Read(DriveC() / "MSDOS.SYS"),
              "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n"
              "\r\n[Options]\r\nBootGUI=1\r\n");
    EXPECT_EQ(Listing(DriveC()), (std::vector<std::string>{"MSDOS.SYS", "WINDOWS"}));
}

TEST_F(ProfileFileTest, UnwritableInputIsRefused) {
    EXPECT_FALSE(WritePrivateProfileString("Options", "Logo", "0\r\nBootGUI=0", "C:\\MSDOS.SYS"));
    EXPECT_EQ(GetPrivateProfileString("Options", "BootGUI", "", "C:\\MSDOS.SYS"), "1");
}

}  // namespace
