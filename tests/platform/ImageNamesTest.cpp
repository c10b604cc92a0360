// The names a new file gets on a FAT drive: an upper-case 8.3 name alone where the name fits
// one, else long-name entries and an alias made as Windows makes it; mtools finds the file
// by the long name, so the long-name entries are right too. And its time, in local time.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "support/DiskImages.h"
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

// "2024-05-01  7:09", as mdir shows a time.
std::string MdirTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return std::string(text) + " " + (local.tm_hour < 10 ? "  " : " ") +
           std::to_string(local.tm_hour) + ":" + (local.tm_min < 10 ? "0" : "") +
           std::to_string(local.tm_min);
}

TEST_F(ImageNamesTest, TimesAreKeptInLocalTimeAsDosKeepsThem) {
    // Five and a half hours east of UTC, a zone no host is likely to be in already.
    const char* zone = std::getenv("TZ");
    const std::string saved = zone != nullptr ? zone : "";
    ::setenv("TZ", "XST-5:30", 1);
    ::tzset();
    const std::time_t before = std::time(nullptr);
    ImageDrive(image_->Path()).WriteFile("C:\\NEW.SYS", "contents");
    const std::time_t after = std::time(nullptr);
    const std::string listing = image_->MDir("::/");
    const auto modified = std::chrono::system_clock::to_time_t(
        *ImageDrive(image_->Path()).ModificationTime("C:\\NEW.SYS"));
    zone != nullptr ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
    EXPECT_TRUE(listing.find(MdirTime(before)) != std::string::npos ||
                listing.find(MdirTime(after)) != std::string::npos)
        << listing << "\nexpected " << MdirTime(before);
    EXPECT_GE(modified, before - 2);
    EXPECT_LE(modified, after);
}

}  // namespace
