// The names a new file gets on a FAT drive: an upper-case 8.3 name alone where the name fits
// one, else long-name entries and an alias made as Windows makes it; mtools finds the file
// by the long name, so the long-name entries are right too.

#include <gtest/gtest.h>

#include <memory>

#include "DiskImages.h"
#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "support/TestEnv.h"

namespace {

using namespace imagetest;
using platform::drives::ImageDrive;

struct NameCase {
    const char* name;
    const char* shortName;
    const char* longName;  // as the drive lists it; empty without one
};

void PrintTo(const NameCase& test, std::ostream* out) {
    *out << test.name;
}

const NameCase kNames[] = {
    {"logo.sys", "LOGO.SYS", ""},
    {"Logo.Sys", "LOGO.SYS", ""},
    {"README", "README", ""},
    {"Logo Files.txt", "LOGOFI~1.TXT", "Logo Files.txt"},
    {".bashrc", "BASHRC~1", ".bashrc"},
    {"my.long.name.txt", "MYLONG~1.TXT", "my.long.name.txt"},
    {"logo.sysx", "LOGO~1.SYS", "logo.sysx"},
    {"Grüße aus Köln.sys", "GR__EA~1.SYS", "Grüße aus Köln.sys"},
    {"trailing dots...", "TRAILI~1", "trailing dots"},
};

class ImageNamesTest : public ::testing::TestWithParam<NameCase> {
protected:
    void SetUp() override {
        if (auto missing = MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
        image_ = std::make_unique<TestImage>(temp_.Path(), ImageKind{"Floppy", kMakeFloppy, 0, ""});
    }
    testenv::TempDir temp_;
    std::unique_ptr<TestImage> image_;
};

TEST_P(ImageNamesTest, ANewFileGetsTheNamesWindowsWouldGiveIt) {
    ImageDrive drive(image_->Path());
    drive.WriteFile(std::string("C:\\") + GetParam().name, "contents");
    auto entry = drive.Find(std::string("C:\\") + GetParam().shortName);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->shortName, GetParam().shortName);
    const std::string longName = GetParam().longName;
    EXPECT_EQ(entry->name, longName.empty() ? GetParam().shortName : longName);
    EXPECT_EQ(image_->MRead("::/" + (longName.empty() ? entry->shortName : longName)), "contents");
}

INSTANTIATE_TEST_SUITE_P(Names, ImageNamesTest, ::testing::ValuesIn(kNames));

TEST_F(ImageNamesTest, NamesWindowsRefusesAreRefused) {
    ImageDrive drive(image_->Path());
    const std::string before = Bytes(image_->Path());
    for (const std::string& name : {std::string("a*b.sys"), std::string("what?"),
                                    std::string("x<y"), std::string(256, 'x')}) {
        try {
            drive.WriteFile("C:\\" + name, "contents");
            ADD_FAILURE() << name << " was written";
        } catch (const platform::EFCreateError& error) {
            EXPECT_EQ(error.ErrorCode(), 123) << name;
        }
    }
    EXPECT_TRUE(Bytes(image_->Path()) == before);
}

}  // namespace
