// The index of list entries against a plain model: a count per ASCII spelling in lower case.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>

#include "lists/EntryIndex.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Spellings of a few lengths around the eight characters the hash reads at a time, with
// every letter in either case; many share a spelling, so counts go up and down.
std::string RandomSpelling(std::mt19937& random) {
    static const std::string letters = "azm@[`{";
    std::string text(random() % 19, ' ');
    for (char& c : text) {
        c = letters[random() % letters.size()];
        if (random() % 2 != 0)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

TEST(EntryIndex, CountsLikeAPlainModelThroughGrowthAndRemovals) {
    std::mt19937 random(7);
    TEntryIndex index;
    std::map<std::string, int> model;
    for (int step = 0; step < 20000; ++step) {
        const std::string text = RandomSpelling(random);
        const std::string key = Lower(text);
        switch (random() % 3) {
            case 0:
                ASSERT_EQ(index.Add(text), model[key]++ == 0) << step << " " << text;
                break;
            case 1:
                index.Remove(text);
                if (model[key] > 0)
                    --model[key];
                break;
            default:
                ASSERT_EQ(index.Contains(text), model[key] > 0) << step << " " << text;
        }
        if (step % 5000 == 4999) {
            index.Clear();
            model.clear();
        }
    }
}

TEST(EntryIndex, BorrowedTextsAreFoundAsCopiedOnes) {
    const std::string text = "C:\\Logos\\Sky.sys\nc:\\logos\\SKY.SYS\nC:\\Logos\\Sea.sys";
    TEntryIndex borrowing(text);
    TEntryIndex copying;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        const std::string_view line = std::string_view(text).substr(start, end - start);
        EXPECT_EQ(borrowing.Add(line), copying.Add(std::string(line))) << line;
    }
    for (const char* other : {"C:\\LOGOS\\SEA.SYS", "C:\\Logos\\Sun.sys"})
        EXPECT_EQ(borrowing.Contains(other), copying.Contains(other)) << other;
}

}  // namespace
