#include <gtest/gtest.h>

#include <string>

#include "platform/SessionAutostart.h"

namespace {

struct QuotingCase {
    const char* name;
    std::string argument;
    std::string quoted;  // as the Exec line holds it
};

void PrintTo(const QuotingCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class ExecQuoting : public ::testing::TestWithParam<QuotingCase> {};

// The standard's two layers: quoting escapes " ` $ \ with a backslash, and the string value
// escapes every backslash once more; % doubles, control characters become escapes.
TEST_P(ExecQuoting, FollowsTheDesktopEntryStandard) {
    EXPECT_EQ(platform::ExecArgument(GetParam().argument), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(SessionAutostart, ExecQuoting,
                         ::testing::Values(QuotingCase{"Plain", "/usr/lib/bootrama/bootrama",
                                                       R"("/usr/lib/bootrama/bootrama")"},
                                           QuotingCase{"Blank", "/opt/My Programs/bootrama",
                                                       R"("/opt/My Programs/bootrama")"},
                                           QuotingCase{"Dollar", "/home/$USER/b",
                                                       R"("/home/\\$USER/b")"},
                                           QuotingCase{"Quote", "/a\"b", R"("/a\\"b")"},
                                           QuotingCase{"Backtick", "/a`b", R"("/a\\`b")"},
                                           QuotingCase{"Backslash", "/a\\b", R"("/a\\\\b")"},
                                           QuotingCase{"Percent", "/100%/b", R"("/100%%/b")"},
                                           QuotingCase{"Newline", "/a\nb", R"("/a\nb")"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
