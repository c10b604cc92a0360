#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/MessageBox.h"
#include "support/TestEnv.h"

namespace {

using namespace platform;

class LogBoxesTest : public ::testing::Test {
protected:
    std::string LogFile() const { return (temp_.Path() / "boxes.log").string(); }
    std::string Log() const {
        std::ifstream in(LogFile(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    testenv::TempDir temp_;
};

TEST_F(LogBoxesTest, WritesOneLinePerBoxWithCarriageReturnsSpelledOut) {
    auto boxes = MakeLogMessageBoxes(LogFile(), "");
    EXPECT_EQ(boxes->Show(BoxKind::Error, "Bootrama", "Error reading\rError: EFOpenError"), IDOK);
    EXPECT_EQ(boxes->Show(BoxKind::Warning, "Backup", "w"), IDOK);
    EXPECT_EQ(boxes->Show(BoxKind::Information, "Bootrama", "C:\\WINDOWS\\"), IDOK);
    EXPECT_EQ(Log(),
              "error\tBootrama\tError reading\\rError: EFOpenError\tok\n"
              "warning\tBackup\tw\tok\n"
              "information\tBootrama\tC:\\\\WINDOWS\\\\\tok\n");
}

TEST_F(LogBoxesTest, QuestionsTakeScriptedAnswersInOrderThenDefaults) {
    auto boxes = MakeLogMessageBoxes(LogFile(), "yes, NO ,cancel,ok");
    EXPECT_EQ(boxes->Show(BoxKind::YesNo, "t", "1"), IDYES);
    EXPECT_EQ(boxes->Show(BoxKind::Error, "t", "plain boxes take no answer"), IDOK);
    EXPECT_EQ(boxes->Show(BoxKind::YesNoCancel, "t", "2"), IDNO);
    EXPECT_EQ(boxes->Show(BoxKind::YesNoCancel, "t", "3"), IDCANCEL);
    EXPECT_EQ(boxes->Show(BoxKind::OkCancel, "t", "4"), IDOK);
    EXPECT_EQ(boxes->Show(BoxKind::YesNo, "t", "5"), IDNO);
    EXPECT_EQ(boxes->Show(BoxKind::YesNoCancel, "t", "6"), IDCANCEL);
    EXPECT_EQ(boxes->Show(BoxKind::OkCancel, "t", "7"), IDCANCEL);
    EXPECT_EQ(Log(),
              "yesno\tt\t1\tyes\n"
              "error\tt\tplain boxes take no answer\tok\n"
              "yesnocancel\tt\t2\tno\n"
              "yesnocancel\tt\t3\tcancel\n"
              "okcancel\tt\t4\tok\n"
              "yesno\tt\t5\tno\n"
              "yesnocancel\tt\t6\tcancel\n"
              "okcancel\tt\t7\tcancel\n");
}

struct MisfitCase {
    BoxKind kind;
    const char* word;
    BoxAnswer answer;
};

void PrintTo(const MisfitCase& test, std::ostream* out) {
    *out << BoxKindName(test.kind) << " answered " << test.word;
}

class MisfitAnswerTest : public LogBoxesTest, public ::testing::WithParamInterface<MisfitCase> {};

TEST_P(MisfitAnswerTest, AnswerOfAnotherBoxCountsByItsSense) {
    auto boxes = MakeLogMessageBoxes(LogFile(), GetParam().word);
    EXPECT_EQ(boxes->Show(GetParam().kind, "t", "x"), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Words, MisfitAnswerTest,
                         ::testing::Values(MisfitCase{BoxKind::OkCancel, "yes", IDOK},
                                           MisfitCase{BoxKind::OkCancel, "no", IDCANCEL},
                                           MisfitCase{BoxKind::YesNo, "ok", IDYES},
                                           MisfitCase{BoxKind::YesNo, "cancel", IDNO},
                                           MisfitCase{BoxKind::YesNoCancel, "ok", IDYES},
                                           MisfitCase{BoxKind::YesNo, "maybe", IDNO},
                                           MisfitCase{BoxKind::OkCancel, "", IDCANCEL}),
                         [](const auto& test) {
                             return std::string(BoxKindName(test.param.kind)) + "_" +
                                    std::to_string(test.index);
                         });

TEST_F(LogBoxesTest, LogLinesStayOneLineEachWithTabsAndLineFeedsInTexts) {
    auto boxes = MakeLogMessageBoxes(LogFile(), "");
    boxes->Show(BoxKind::Information, "a\tb", "x\ny");
    EXPECT_EQ(Log(), "information\ta\\tb\tx\\ny\tok\n");
}

TEST_F(LogBoxesTest, EnvironmentChoosesTheLogAndItsAnswers) {
    unsetenv("BOOTRAMA_MESSAGE_LOG");
    EXPECT_EQ(MessageBoxesFromEnvironment(), nullptr);
    setenv("BOOTRAMA_MESSAGE_LOG", LogFile().c_str(), 1);
    setenv("BOOTRAMA_ANSWERS", "yes", 1);
    SetMessageBoxes(nullptr);
    EXPECT_EQ(CurrentMessageBoxes().Show(BoxKind::YesNo, "t", "x"), IDYES);
    unsetenv("BOOTRAMA_MESSAGE_LOG");
    unsetenv("BOOTRAMA_ANSWERS");
    SetMessageBoxes(nullptr);
    EXPECT_EQ(Log(), "yesno\tt\tx\tyes\n");
}

TEST(StderrBoxesTest, PrintsTheSameLineAndAnswersWithDefaults) {
    auto boxes = MakeStderrMessageBoxes();
    ::testing::internal::CaptureStderr();
    BoxAnswer answer = boxes->Show(BoxKind::YesNoCancel, "Data file", "Create?\rNow");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "yesnocancel\tData file\tCreate?\\rNow\tcancel\n");
    EXPECT_EQ(answer, IDCANCEL);
}

TEST(BoxKindTest, NamesAndDefaults) {
    EXPECT_STREQ(BoxKindName(BoxKind::OkCancel), "okcancel");
    EXPECT_STREQ(BoxKindName(BoxKind::YesNoCancel), "yesnocancel");
    EXPECT_EQ(DefaultAnswer(BoxKind::Warning), IDOK);
    EXPECT_EQ(DefaultAnswer(BoxKind::YesNo), IDNO);
    EXPECT_EQ(DefaultAnswer(BoxKind::OkCancel), IDCANCEL);
}

}  // namespace
