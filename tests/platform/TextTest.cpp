#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

using namespace platform;

TEST(TextTest, LetterCaseDoesNotCount) {
    EXPECT_EQ(CompareText("C:\\WINDOWS\\LOGOW.SYS", "c:\\windows\\logow.sys"), 0);
    EXPECT_TRUE(SameText("Ärger", "äRGER"));
    EXPECT_FALSE(SameText("logo", "logos"));
    EXPECT_TRUE(SameText("CAFE\xCC\x81.bmp", "café.BMP"));  // e with a combining accent
    EXPECT_EQ(CompareText("CAFE\xCC\x81.bmp", "café.BMP"), 0);
}

TEST(TextTest, OrdersAsADictionaryNotByCodePoint) {
    std::vector<std::string> words = {"zebra", "Banana", "apple", "Zoo", "banana2"};
    std::sort(words.begin(), words.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    std::vector<std::string> expected = {"apple", "Banana", "banana2", "zebra", "Zoo"};
    EXPECT_EQ(words, expected);
}

TEST(TextTest, ZeroOnlyForTheSameTextApartFromCase) {
    // Collation alone would call these equal; a list must still tell them apart.
    EXPECT_NE(CompareText("a\x01", "a"), 0);
    EXPECT_NE(CompareText("file\xff", "file\xfe"), 0);
    EXPECT_FALSE(SameText("file\xff", "file\xfe"));
    EXPECT_EQ(CompareText("a", "b"), -CompareText("b", "a"));
}

TEST(TextTest, UpperCaseKnowsMoreThanAscii) {
    EXPECT_EQ(UpperCase("c:\\fenêtre\\logo.sys"), "C:\\FENÊTRE\\LOGO.SYS");
}

TEST(TextTest, SortTextsOrdersAsCompareText) {
    std::vector<std::string> names = {"zebra.bmp", "Banana.jpg", "a\x01",        "apple.sys", "a",
                                      "Zoo",       "banana2",    "CAFE\xCC\x81", "café2"};
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    SortTexts(names);
    EXPECT_EQ(names, expected);
}

}  // namespace
