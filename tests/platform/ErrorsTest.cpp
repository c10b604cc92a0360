#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/Errors.h"

namespace {

using namespace platform;

struct ClassCase {
    std::function<void()> raise;
    const char* className;
};

// Test names come from the rule; the listing shows the same instead of raw bytes.
void PrintTo(const ClassCase& test, std::ostream* out) {
    *out << test.className;
}

class ClassNameTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassNameTest, NamesTheClassOfACaughtError) {
    try {
        GetParam().raise();
        FAIL() << "nothing raised";
    } catch (const std::exception& error) {
        EXPECT_EQ(ClassNameOf(error), GetParam().className);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllClasses, ClassNameTest,
    ::testing::Values(ClassCase{[] { throw Exception("x"); }, "Exception"},
                      ClassCase{[] { throw EStreamError("x"); }, "EStreamError"},
                      ClassCase{[] { throw EFOpenError("x"); }, "EFOpenError"},
                      ClassCase{[] { throw EFCreateError("x"); }, "EFCreateError"},
                      ClassCase{[] { throw EFilerError("x"); }, "EFilerError"},
                      ClassCase{[] { throw EReadError("x"); }, "EReadError"},
                      ClassCase{[] { throw EWriteError("x"); }, "EWriteError"},
                      ClassCase{[] { throw EInOutError("x", 28); }, "EInOutError"},
                      ClassCase{[] { throw EInvalidGraphic("x"); }, "EInvalidGraphic"},
                      ClassCase{[] { throw EConvertError("x"); }, "EConvertError"},
                      ClassCase{[] { throw EStringListError("x"); }, "EStringListError"},
                      ClassCase{[] { throw EIniFileException("x"); }, "EIniFileException"},
                      ClassCase{[] { throw ERegistryException("x"); }, "ERegistryException"},
                      ClassCase{[] { throw EOutOfMemory("x"); }, "EOutOfMemory"},
                      ClassCase{[] { throw std::bad_alloc(); }, "EOutOfMemory"},
                      ClassCase{[] { throw std::runtime_error("x"); }, "Exception"}),
    [](const auto& test) { return std::to_string(test.index) + "_" + test.param.className; });

TEST(ErrorTreeTest, StreamErrorsAreCaughtByTheirParents) {
    EXPECT_THROW(throw EFOpenError("x"), EStreamError);
    EXPECT_THROW(throw EFCreateError("x"), EStreamError);
    EXPECT_THROW(throw EReadError("x"), EFilerError);
    EXPECT_THROW(throw EWriteError("x"), EStreamError);
    EXPECT_THROW(throw EInOutError("x", 5), Exception);
    EXPECT_THROW(throw ERegistryException("x"), Exception);
}

TEST(ErrorTreeTest, CarriesMessageHelpContextAndErrorCode) {
    EFOpenError open("Cannot open file", 22);
    EXPECT_EQ(open.Message(), "Cannot open file");
    EXPECT_STREQ(open.what(), "Cannot open file");
    EXPECT_EQ(open.HelpContext(), 22);
    EXPECT_EQ(EInOutError("I/O error 28", 28).ErrorCode(), 28);
}

}  // namespace
