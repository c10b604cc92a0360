#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <thread>
#include <tuple>

#include "core/ProgErrors.h"
#include "lists/EntryIndex.h"
#include "lists/FakeListView.h"
#include "lists/ListFile.h"
#include "lists/Pathlist.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "support/TestEnv.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class PathlistTest : public testenv::MachineTest {
protected:
    testenv::fs::path ListHost() const { return ProgramDir() / "brboot.dat"; }
    std::string List() const { return GlobalInfo().BootListFile; }
    void WriteList(const std::string& contents) const { WriteFile(ListHost(), contents); }
    // A logo file on C:, by its Windows path.
    std::string MakeLogo(const std::string& name) const {
        WriteFile(DriveC() / "Logos" / name, "logo " + name);
        return "C:\\Logos\\" + name;
    }
};

// ---- Reading ----

struct ReadCase {
    const char* name;
    std::string contents;
    std::vector<std::string> fileEntries;  // TFileStringlist keeps every line
    std::vector<std::string> pathEntries;  // TPathStringList drops duplicates
};

void PrintTo(const ReadCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class ReadRules : public PathlistTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadRules, LinesBecomeEntries) {
    WriteList(GetParam().contents);
    TFileStringlist file(List());
    TPathStringList paths(List());
    EXPECT_TRUE(file.Exists);
    EXPECT_EQ(file.Strings(), GetParam().fileEntries);
    EXPECT_EQ(paths.Strings(), GetParam().pathEntries);
    // Read for one entry, the list has the same entries as the list object.
    const TPathListEntries entries(List());
    EXPECT_TRUE(entries.Exists);
    std::vector<std::string> read;
    for (std::size_t i = 0; i < entries.Count(); ++i) read.emplace_back(entries[i]);
    EXPECT_EQ(read, GetParam().pathEntries);
    // The hash taken while the line's end is sought is the entry's own.
    TListFileText(List()).ForEachLine([](const TListFileText::TLine& line) {
        EXPECT_EQ(line.hash, EntryHash(line.text)) << line.text;
    });
}

INSTANTIATE_TEST_SUITE_P(
    ListFile, ReadRules,
    ::testing::Values(
        ReadCase{"CaseDuplicates",
                 "C:\\A.SYS\r\nc:\\a.sys\r\nC:\\b.sys\r\n",
                 {"C:\\A.SYS", "c:\\a.sys", "C:\\b.sys"},
                 {"C:\\A.SYS", "C:\\b.sys"}},
        ReadCase{"LastLineWithoutBreak",
                 "C:\\b.sys\r\nC:\\a.sys",
                 {"C:\\b.sys", "C:\\a.sys"},
                 {"C:\\b.sys", "C:\\a.sys"}},
        ReadCase{"ZeroBytes", "", {}, {}},
        ReadCase{"CarriageReturnsOnly", "x\ry\rz", {"x", "y", "z"}, {"x", "y", "z"}},
        ReadCase{"LineFeedsOnly", "x\ny\n", {"x", "y"}, {"x", "y"}},
        ReadCase{
            "EmptyLinesAreEntries", "x\r\n\r\n\ry\n\n", {"x", "", "", "y", ""}, {"x", "", "y"}},
        ReadCase{"NulEndsTheText", std::string("x\r\ny\0z\r\nw", 9), {"x", "y"}, {"x", "y"}},
        ReadCase{"LeadingNul", std::string("\0x\r\n", 4), {}, {}},
        ReadCase{"BlanksStay", " C:\\a.sys \r\n", {" C:\\a.sys "}, {" C:\\a.sys "}},
        // Letters in every place of the eight-character words the comparison reads.
        ReadCase{"CaseAcrossWords",
                 "abcdefg\nABCDEFG\nabcdefgh\nABCDEFGH\nabcdefghi\nabcdefghI\nAbcdefghijklmnopq\n"
                 "aBCDEFGHIJKLMNOPQ\n",
                 {"abcdefg", "ABCDEFG", "abcdefgh", "ABCDEFGH", "abcdefghi", "abcdefghI",
                  "Abcdefghijklmnopq", "aBCDEFGHIJKLMNOPQ"},
                 {"abcdefg", "abcdefgh", "abcdefghi", "Abcdefghijklmnopq"}},
        // Line ends in every place of a word, and the text ending inside one.
        ReadCase{"EndsAcrossWords",
                 "C:\\LOGOS\\A.SYS\rc:\\logos\\a.sys\nC:\\Logos\\Ab.sys\r\n1234567\r12345678\r\n"
                 "123456789\n1234567\n12345678\r\n123456789\rc:\\logos\\ab.SYS",
                 {"C:\\LOGOS\\A.SYS", "c:\\logos\\a.sys", "C:\\Logos\\Ab.sys", "1234567",
                  "12345678", "123456789", "1234567", "12345678", "123456789", "c:\\logos\\ab.SYS"},
                 {"C:\\LOGOS\\A.SYS", "C:\\Logos\\Ab.sys", "1234567", "12345678", "123456789"}},
        // @ [ ` { lie next to the letters and are no case of one another.
        ReadCase{"NeighboursOfTheLetters",
                 "x@\nx`\nx[\nx{\nX@\n",
                 {"x@", "x`", "x[", "x{", "X@"},
                 {"x@", "x`", "x[", "x{"}},
        ReadCase{"BeyondAscii",
                 "C:\\K.sys\nC:\\\xE2\x84\xAA.sys\nC:\\\xC3\x84.sys\nc:\\\xC3\xA4.SYS\n",
                 {"C:\\K.sys", "C:\\\xE2\x84\xAA.sys", "C:\\\xC3\x84.sys", "c:\\\xC3\xA4.SYS"},
                 {"C:\\K.sys", "C:\\\xC3\x84.sys"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(PathlistTest, MissingFileLeavesAnEmptyListWithoutAsking) {
    TPathStringList list(List());
    EXPECT_FALSE(list.Exists);
    EXPECT_EQ(list.Count(), 0);
    const TPathListEntries entries(List());
    EXPECT_FALSE(entries.Exists);
    EXPECT_EQ(entries.Count(), 0u);
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(PathlistTest, DirectoryIsNoListFile) {
    testenv::fs::create_directories(ListHost());
    TFileStringlist list(List());
    EXPECT_FALSE(list.Exists);
}

TEST_F(PathlistTest, HugeAndJunkFilesAreReadByTheRules) {
    std::string longLine(100000, 'x');
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "C:\\Logos\\n" + std::to_string(i % 50000) + ".SYS\r\n";
    std::mt19937 random(7);
    std::string junk;
    for (int i = 0; i < 200000; ++i) junk += static_cast<char>(random() % 256);

    WriteList(longLine + "\r\n" + longLine);
    EXPECT_EQ(TFileStringlist(List()).Count(), 2);
    EXPECT_EQ(TPathStringList(List()).Count(), 1);

    WriteList(many);
    EXPECT_EQ(TFileStringlist(List()).Count(), 100000);
    EXPECT_EQ(TPathStringList(List()).Count(), 50000);
    EXPECT_EQ(TPathListEntries(List()).Count(), 50000u);

    // Lines far shorter than the index expects make it grow while the list is read.
    std::string shortLines;
    for (int i = 0; i < 30000; ++i) shortLines += std::to_string(i % 20000) + "\n";
    WriteList(shortLines);
    EXPECT_EQ(TPathListEntries(List()).Count(), 20000u);

    WriteList(junk);
    TFileStringlist junkList(List());
    EXPECT_EQ(TPathListEntries(List()).Count(), std::size_t(TPathStringList(List()).Count()));
    std::string expected = junk.substr(0, junk.find('\0'));
    std::size_t bytes = 0;
    for (const auto& entry : junkList.Strings()) bytes += entry.size();
    EXPECT_LE(bytes, expected.size());
}

// Many short lines of a few signs in either case, so that equal lines, and unequal ones of
// one length (~ and ^ hash alike), abound and the tables grow; beyond ASCII from a random
// line on, where the list's comparison takes over; some lists cut by a NUL.
TEST_F(PathlistTest, ReadForOneEntryAgreesWithTheListObjectOnRandomLists) {
    const std::vector<std::string> ascii = {"a", "B", "k", "K", "\\", ".", "~", "^"};
    const std::vector<std::string> beyond = {"\xE2\x84\xAA", "\xC3\x84", "\xC3\xA4"};
    const std::vector<std::string> ends = {"\r", "\n", "\r\n", "\n\r"};
    std::mt19937 random(11);
    for (int list = 0; list < 6; ++list) {
        const std::size_t lines = 20000;
        const std::size_t firstBeyond = list == 0 ? lines : random() % lines;
        std::string contents;
        for (std::size_t line = 0; line < lines; ++line) {
            for (std::size_t piece = random() % 7; piece > 0; --piece) {
                contents += line >= firstBeyond && random() % 8 == 0
                                ? beyond[random() % beyond.size()]
                                : ascii[random() % ascii.size()];
            }
            contents += ends[random() % ends.size()];
        }
        if (list % 2 == 1)
            contents.insert(contents.size() / 2, 1, '\0');
        WriteList(contents);
        const TPathListEntries entries(List());
        std::vector<std::string> read;
        for (std::size_t i = 0; i < entries.Count(); ++i) read.emplace_back(entries[i]);
        EXPECT_EQ(read, TPathStringList(List()).Strings()) << "list " << list;
    }
}

// A list read once in full is known to hold no entry twice while it stays unchanged; then it
// is read as its lines. Lists of every kind of line end, an empty line, entries beyond ASCII,
// a last line without its end, a NUL, and one that holds an entry twice.
TEST_F(PathlistTest, AListKnownToHoldNoEntryTwiceIsReadAsItsLines) {
    const std::vector<std::string> ends = {"\r", "\n", "\r\n"};
    std::mt19937 random(5);
    std::vector<std::string> lists;
    for (int list = 0; list < 6; ++list) {
        std::string contents = list == 1 ? "first\n\r" : "";
        // The last with lines so long that a line is sought beyond the first part read.
        const std::string folder = list == 5 ? std::string(90, 'x') + "\\" : "Logos\\";
        for (int line = 0; line < 3000; ++line) {
            contents += (line % 7 == 0 ? "C:\\\xC3\x96l\\" : "c:\\" + folder) +
                        std::to_string(line) + ".sys" + ends[random() % ends.size()];
        }
        if (list == 2)
            contents += "C:\\last.sys";
        if (list == 3)
            contents.insert(contents.size() / 3, 1, '\0');
        if (list == 4)
            contents += "c:\\LOGOS\\12.SYS\r\n";
        lists.push_back(GlobalInfo().AppPath + "list" + std::to_string(list) + ".dat");
        WriteFile(ProgramDir() / ("list" + std::to_string(list) + ".dat"), contents);
    }
    // Only a file whose change time has settled can be known unchanged.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const auto read = [](const std::string& list) {
        const TPathListEntries entries(list);
        std::vector<std::string> entryTexts;
        for (std::size_t i = 0; i < entries.Count(); ++i) entryTexts.emplace_back(entries[i]);
        return entryTexts;
    };
    for (const std::string& list : lists) {
        const std::vector<std::string> expected = TPathStringList(list).Strings();
        EXPECT_EQ(read(list), expected) << list;
        EXPECT_EQ(read(list), expected) << list << ", read again";
    }
    const std::string known = ReadFile(MachineRoot() / "remembered");
    EXPECT_EQ(std::count(known.begin(), known.end(), '\n'), 5) << known;
    // Changed in place to the same size, with an entry now twice, and settled again.
    const std::size_t two = ReadFile(ProgramDir() / "list0.dat").find("\\2.sys");
    std::fstream(ProgramDir() / "list0.dat", std::ios::in | std::ios::out | std::ios::binary)
            .seekp(std::streamoff(two + 1))
        << '3';
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(read(lists[0]), TPathStringList(lists[0]).Strings());
    EXPECT_EQ(read(lists[0]).size(), 2999u);
}

// What the machine remembers of a list is its own file: damaged, it is not believed.
TEST_F(PathlistTest, ADamagedRememberedFactIsNotBelieved) {
    std::string contents;
    for (int line = 0; line < 600; ++line) contents += "C:\\" + std::to_string(line) + ".sys\r\n";
    WriteList(contents);
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const std::vector<std::string> expected = TPathStringList(List()).Strings();
    const auto stamp = platform::SettledStamp(List());
    ASSERT_TRUE(stamp);
    const std::string key = "distinct-lines " + std::to_string(stamp->device) + ' ' +
                            std::to_string(stamp->inode) + ' ' + std::to_string(stamp->size) + ' ' +
                            std::to_string(stamp->modified) + ' ' + std::to_string(stamp->changed) +
                            ' ';
    const std::string marks = " " + std::to_string(256 * 11) + ' ' + std::to_string(512 * 11);
    // Where lines 256 and 512 start, one character off.
    const std::string offMarks = " " + std::to_string(contents.find("\r\nC:\\256.") + 3) + ' ' +
                                 std::to_string(contents.find("\r\nC:\\512.") + 3);
    const std::vector<std::string> facts = {"",
                                            "many",
                                            "600",
                                            "600" + marks + " 9",
                                            "600 5632 2816",
                                            "600" + marks.substr(0, marks.size() - 1) + "9999999",
                                            "99999999999999999999999" + marks,
                                            "1 2",
                                            "600" + offMarks,
                                            "600x" + marks.substr(1)};
    int round = 0;
    for (const std::string& fact : facts) {
        // A machine of its own for each, as the facts are read once for each machine.
        const testenv::fs::path root =
            MachineRoot().parent_path() / ("m" + std::to_string(round++));
        platform::UseMachine(root);
        WriteFile(root / "remembered", key + fact + "\n");
        const TPathListEntries entries(List());
        std::vector<std::string> read;
        for (std::size_t i = 0; i < entries.Count(); ++i) read.push_back(entries[i]);
        EXPECT_EQ(read, expected) << "fact: " << fact;
        // The damaged fact gives way to the one found out.
        const std::string known = ReadFile(root / "remembered");
        EXPECT_EQ(std::count(known.begin(), known.end(), '\n'), 1) << known;
        EXPECT_NE(known, key + fact + "\n");
    }
}

// ---- Writing ----

TEST_F(PathlistTest, SavedListIsSortedWithCrLfAfterEveryLine) {
    WriteList("");
    TFileStringlist list(List());
    list.Add("d:\\x.sys");
    list.Add("C:\\b.sys");
    list.Add("c:\\A.sys");
    EXPECT_EQ(list.SaveList(), platform::IDYES);
    EXPECT_EQ(ReadFile(ListHost()), "c:\\A.sys\r\nC:\\b.sys\r\nd:\\x.sys\r\n");
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(PathlistTest, EmptyListIsWrittenAsZeroBytes) {
    WriteList("C:\\a.sys\r\n");
    TFileStringlist list(List());
    list.Clear();
    list.SaveList();
    EXPECT_EQ(ReadFile(ListHost()), "");
}

TEST_F(PathlistTest, MissingFileIsCreatedOnlyOnYes) {
    const std::string question = "Can not find logo list file " + List() + ".\rCreate new?";
    for (platform::BoxAnswer answer : {platform::IDNO, platform::IDCANCEL}) {
        TPathStringList list(List());
        list.Add("C:\\a.sys");
        Answer({answer});
        EXPECT_EQ(list.SaveList(), answer);
        EXPECT_FALSE(list.Exists);
        EXPECT_FALSE(testenv::fs::exists(ListHost()));
    }
    TPathStringList list(List());
    list.Add("C:\\a.sys");
    Answer({platform::IDYES});
    EXPECT_EQ(list.SaveList(), platform::IDYES);
    EXPECT_EQ(ReadFile(ListHost()), "C:\\a.sys\r\n");
    ASSERT_EQ(Boxes().size(), 3u);
    for (const auto& box : Boxes()) {
        EXPECT_EQ(box->kind, platform::BoxKind::YesNoCancel);
        EXPECT_EQ(box->title, "Data file");
        EXPECT_EQ(box->text, question);
    }
}

TEST_F(PathlistTest, FailedWriteRaisesAndKeepsTheOldFile) {
    WriteList("C:\\old.sys\r\n");
    platform::SetFileAttributes(List(), platform::FILE_ATTRIBUTE_READONLY);
    TFileStringlist list(List());
    list.Add("C:\\new.sys");
    try {
        list.SaveList();
        FAIL() << "a read-only list file was overwritten";
    } catch (const EFileListError& error) {
        EXPECT_EQ(error.Message(),
                  "Error creating the file \"" + List() + "\"!\rError: EFCreateError");
    }
    EXPECT_EQ(ReadFile(ListHost()), "C:\\old.sys\r\n");
}

TEST_F(PathlistTest, WriteIntoMissingFolderRaises) {
    TFileStringlist list(Win(ProgramDir() / "gone" / "brboot.dat"));
    Answer({platform::IDYES});
    EXPECT_THROW(list.SaveList(), EFileListError);
}

// ---- List operations and the bound view ----

TEST_F(PathlistTest, AddRefusesAnEntryThatDiffersOnlyInCase) {
    FakeListView view;
    TPathStringList list(List(), &view);
    EXPECT_EQ(list.Add("C:\\Logos\\Sky.sys"), 0);
    EXPECT_EQ(list.Add("c:\\logos\\SKY.SYS"), -1);
    list.Insert(0, "C:\\LOGOS\\sky.sys");
    EXPECT_THAT(list.Strings(), ElementsAre("C:\\Logos\\Sky.sys"));
    EXPECT_THAT(view.items, ElementsAre("C:\\Logos\\Sky.sys"));
    EXPECT_EQ(list.IndexOf("c:\\LOGOS\\sky.SYS"), 0);
    EXPECT_EQ(list.IndexOf("C:\\Logos\\Sea.sys"), -1);
}

TEST_F(PathlistTest, DuplicatesBeyondAsciiFollowTheComparison) {
    const std::string kelvin = "C:\\\xE2\x84\xAA.sys";  // the Kelvin sign folds to k
    for (const auto& [first, second, same] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"C:\\K.sys", kelvin, true},
             {kelvin, "C:\\k.SYS", true},
             {"C:\\\xC3\x84.sys", "c:\\\xC3\xA4.SYS", true},  // Ä and ä
             {"C:\\stra\xC3\x9F"
              "e.sys",
              "C:\\strasse.sys", false},
             {"C:\\\xFF.sys", "C:\\\xFF.SYS", true},  // not UTF-8
             {"C:\\\xFF.sys", "C:\\\xFE.sys", false}}) {
        TPathStringList list(List());
        list.Add(first);
        EXPECT_EQ(list.Add(second), same ? -1 : 1) << first << " " << second;
        EXPECT_EQ(list.IndexOf(second), same ? 0 : 1);
    }
}

TEST_F(PathlistTest, ViewMirrorsEveryChange) {
    FakeListView view;
    TPathStringList list(List(), &view);
    auto expectMirrored = [&] { EXPECT_EQ(view.items, list.Strings()); };

    list.Add("C:\\c.sys");
    list.Add("C:\\a.sys");
    list.Insert(1, "C:\\b.sys");
    expectMirrored();
    list.Move(0, 2);
    EXPECT_THAT(list.Strings(), ElementsAre("C:\\b.sys", "C:\\a.sys", "C:\\c.sys"));
    expectMirrored();
    list.Move(2, 0);
    expectMirrored();
    list.Exchange(0, 2);
    expectMirrored();
    list.Delete(1);
    expectMirrored();
    list.AddStrings(std::vector<std::string>{"C:\\d.sys", "c:\\A.SYS", "C:\\d.sys"});
    EXPECT_EQ(list.Count(), 3);
    expectMirrored();
    list.AddStrings(list);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_THAT(view.items, IsEmpty());
    list.Add("C:\\a.sys");
    EXPECT_EQ(list.IndexOf("C:\\A.SYS"), 0);
}

TEST_F(PathlistTest, DeletedEntryCanBeAddedAgain) {
    TPathStringList list(List());
    list.Add("C:\\a.sys");
    list.Add("C:\\A.sys");
    list.Delete(0);
    EXPECT_EQ(list.Add("c:\\a.sys"), 0);
}

TEST_F(PathlistTest, IndexOutOfBoundsRaisesStringListError) {
    FakeListView view;
    TPathStringList list(List(), &view);
    list.Add("C:\\a.sys");
    EXPECT_THROW(list.Delete(1), platform::EStringListError);
    EXPECT_THROW(list.Delete(-1), platform::EStringListError);
    EXPECT_THROW(list.Insert(2, "C:\\b.sys"), platform::EStringListError);
    EXPECT_THROW(list.Move(0, 1), platform::EStringListError);
    EXPECT_THROW(list.Exchange(1, 0), platform::EStringListError);
    EXPECT_THROW(list[1], platform::EStringListError);
    try {
        list.Delete(5);
    } catch (const platform::EStringListError& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds (5)");
    }
    EXPECT_EQ(view.items, list.Strings());
}

TEST_F(PathlistTest, ListWithoutViewKeepsTheFileOrder) {
    WriteList("C:\\z.sys\r\nC:\\a.sys\r\n");
    TPathStringList list(List());
    EXPECT_THAT(list.Strings(), ElementsAre("C:\\z.sys", "C:\\a.sys"));
    EXPECT_EQ(list.Breite(), 0);
}

TEST_F(PathlistTest, BoundViewShowsTheSortedListFilledInOneUpdate) {
    WriteList("C:\\z.sys\r\nC:\\a.sys\r\nc:\\Z.SYS\r\n");
    FakeListView view;
    TPathStringList list(List(), &view);
    EXPECT_THAT(list.Strings(), ElementsAre("C:\\a.sys", "C:\\z.sys"));
    EXPECT_EQ(view.items, list.Strings());
    EXPECT_EQ(view.addsOutsideUpdate, 0);
    EXPECT_EQ(view.updateDepth, 0);
}

TEST_F(PathlistTest, ViewIsDisconnectedWhenTheListGoes) {
    FakeListView view;
    {
        TPathStringList list(List(), &view);
        ASSERT_TRUE(view.mouseMove);
    }
    EXPECT_FALSE(view.mouseMove);
}

// ---- Display ----

TEST_F(PathlistTest, ScrollBarIsTakenOffWhenRowsOverflow) {
    FakeListView view;
    view.clientHeight = 50;  // three whole rows of 16
    TPathStringList list(List(), &view);
    list.AddStrings(std::vector<std::string>{"a", "b", "c"});
    EXPECT_EQ(list.Breite(), 1000);
    list.Add("d");
    EXPECT_EQ(list.Breite(), 1000 - 17);
}

struct ShortenCase {
    const char* name;
    std::string path;
    int width;
    std::string shown;
};

void PrintTo(const ShortenCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class ShortenPathRule : public PathlistTest, public ::testing::WithParamInterface<ShortenCase> {};

TEST_P(ShortenPathRule, ShortensTheDirectoryOnly) {
    FakeListView view;
    view.clientWidth = GetParam().width;
    TPathStringList list(List(), &view);
    EXPECT_EQ(list.ShortenPath(GetParam().path), GetParam().shown);
}

// In the fake view a byte is 10 pixels wide, a dot 1; the worked path is 351 pixels wide
// and its file name 111.
const std::string mountain = "C:\\Windows\\Logos\\Nature\\mountain.sys";
INSTANTIATE_TEST_SUITE_P(
    Display, ShortenPathRule,
    ::testing::Values(
        ShortenCase{"Fits", mountain, 351, mountain},
        ShortenCase{"OneCharacter", mountain, 350, "C:\\...indows\\Logos\\Nature\\mountain.sys"},
        ShortenCase{"TwoCharacters", mountain, 340, "C:\\...ndows\\Logos\\Nature\\mountain.sys"},
        ShortenCase{"Shortest", mountain, 50, "C:\\...\\mountain.sys"},
        ShortenCase{"DriveRoot", "C:\\" + std::string(40, 'n') + ".sys", 100,
                    "C:\\..." + std::string(40, 'n') + ".sys"},
        ShortenCase{"NoDirectory", std::string(30, 'n'), 100, "..." + std::string(30, 'n')},
        ShortenCase{"WideCharacters", "C:\\\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C\\x.sys", 130,
                    "C:\\...\xC3\x9C\xC3\x9C\\x.sys"},
        ShortenCase{"FailingCanvas", "C:\\a\x01\\b.sys", 10, "C:\\a\x01\\b.sys"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(PathlistTest, HintShowsFullPathsThatComeNearTheEdge) {
    FakeListView view;
    view.clientWidth = 105;
    view.topIndex = 1;
    TPathStringList list(List(), &view);
    list.AddStrings(std::vector<std::string>{"aaaaaaaaaa", "bbbbbbbbb", "ccccccccccc", "dddd"});
    // Rows under the pointer: y 0..15 is row 1 ("bbbbbbbbb", 90 px), 16..31 row 2, ...
    view.mouseMove(20);  // "ccccccccccc", 110 px: shortened
    EXPECT_EQ(view.hint, "ccccccccccc|");
    view.mouseMove(0);  // 90 px, not within 5 px of 105
    EXPECT_EQ(view.hint, "");
    view.clientWidth = 94;
    list.UpdateHint(15);  // 90 px, within 5 px of 94
    EXPECT_EQ(view.hint, "bbbbbbbbb|");
    list.UpdateHint(16 * 3);  // below the last entry
    EXPECT_EQ(view.hint, "bbbbbbbbb|");
    list.UpdateHint(-20);  // above the first row
    EXPECT_EQ(view.hint, "bbbbbbbbb|");
}

TEST_F(PathlistTest, HintReportsAFailure) {
    FakeListView view;
    TPathStringList list(List(), &view);
    list.Add("C:\\a\x01.sys");
    list.UpdateHint(0);
    EXPECT_EQ(view.hint, "Error creating the hint\rError: Exception");
}

// ---- CheckEntries ----

struct Progress {
    TProgressStage stage;
    int percent;
    std::string message;
    bool operator==(const Progress&) const = default;
};

void PrintTo(const Progress& p, std::ostream* out) {
    *out << static_cast<int>(p.stage) << "/" << p.percent << "/" << p.message;
}

class CheckEntriesTest : public PathlistTest {
protected:
    TCheckProgressEvent Recorder(const TPathStringList& expected) {
        return [this, &expected](TPathStringList& sender, TProgressStage stage, int percent,
                                 const std::string& message) {
            EXPECT_EQ(&sender, &expected);
            progress.push_back({stage, percent, message});
        };
    }
    std::vector<Progress> progress;
};

const std::string invalidQuestion =
    "The logo list contains one or more invalid entries.\rInvalid entries: 1\rDo you want to "
    "remove these entries from the logo list?";

TEST_F(CheckEntriesTest, WorkedExampleReportsEveryStep) {
    FakeListView view;
    TPathStringList list(List(), &view);
    list.AddStrings(
        std::vector<std::string>{MakeLogo("a.sys"), "C:\\Logos\\b.sys", MakeLogo("c.sys")});
    Answer({platform::IDYES});
    list.CheckEntries(Recorder(list));

    EXPECT_THAT(progress,
                ElementsAre(Progress{TProgressStage::psRunning, 33, "Checking list"},
                            Progress{TProgressStage::psRunning, 67, "Checking list"},
                            Progress{TProgressStage::psRunning, 100, "Checking list"},
                            Progress{TProgressStage::psRunning, 33, "Deleting invalid entries"},
                            Progress{TProgressStage::psRunning, 50, "Deleting invalid entries"},
                            Progress{TProgressStage::psRunning, 100, "Deleting invalid entries"},
                            Progress{TProgressStage::psEnding, 0, ""}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::YesNo);
    EXPECT_EQ(Boxes()[0]->title, "Switch logo");
    EXPECT_EQ(Boxes()[0]->text, invalidQuestion);
    EXPECT_THAT(list.Strings(), ElementsAre("C:\\Logos\\a.sys", "C:\\Logos\\c.sys"));
    EXPECT_EQ(view.items, list.Strings());
}

TEST_F(CheckEntriesTest, NoKeepsEverythingAndStillEnds) {
    TPathStringList list(List());
    list.AddStrings(std::vector<std::string>{"C:\\gone.sys", MakeLogo("a.sys")});
    Answer({platform::IDNO});
    list.CheckEntries(Recorder(list));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress.back(), (Progress{TProgressStage::psEnding, 0, ""}));
}

TEST_F(CheckEntriesTest, ValidListAsksNothing) {
    TPathStringList list(List());
    list.Add(MakeLogo("a.sys"));
    list.CheckEntries(Recorder(list));
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_THAT(progress, ElementsAre(Progress{TProgressStage::psRunning, 100, "Checking list"},
                                      Progress{TProgressStage::psEnding, 0, ""}));
}

TEST_F(CheckEntriesTest, AllInvalidEndsEmptyAtHundred) {
    TPathStringList list(List());
    testenv::fs::create_directories(DriveC() / "Logos" / "folder.sys");
    list.AddStrings(std::vector<std::string>{"C:\\Logos\\folder.sys", "Q:\\x.sys", ""});
    Answer({platform::IDYES});
    list.CheckEntries(Recorder(list));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THAT(Boxes()[0]->text, HasSubstr("\rInvalid entries: 3\r"));
    ASSERT_EQ(progress.size(), 7u);
    EXPECT_EQ(progress[5], (Progress{TProgressStage::psRunning, 100, "Deleting invalid entries"}));
}

TEST_F(CheckEntriesTest, FileThatReappearsStays) {
    TPathStringList list(List());
    list.AddStrings(std::vector<std::string>{"C:\\Logos\\back.sys", MakeLogo("a.sys")});
    Answer({platform::IDYES});
    list.CheckEntries(
        [&](TPathStringList&, TProgressStage, int percent, const std::string& message) {
            if (message == "Checking list" && percent == 100)
                MakeLogo("back.sys");
        });
    EXPECT_EQ(list.Count(), 2);
}

TEST(RoundedPercent, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundedPercent(1, 3), 33);
    EXPECT_EQ(RoundedPercent(2, 3), 67);
    EXPECT_EQ(RoundedPercent(1, 8), 12);   // 12.5
    EXPECT_EQ(RoundedPercent(3, 8), 38);   // 37.5
    EXPECT_EQ(RoundedPercent(1, 200), 0);  // 0.5
    EXPECT_EQ(RoundedPercent(3, 200), 2);  // 1.5
    EXPECT_EQ(RoundedPercent(7, 7), 100);
}

}  // namespace
