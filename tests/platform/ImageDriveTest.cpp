// The image drive on images that mkfs.fat, sfdisk and qemu-img make; after every change
// fsck.fat must find nothing wrong and mtools must read back exactly what was written.

#include <gtest/gtest.h>

#include <memory>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/drives/ImageDrive.h"
#include "support/DiskImages.h"
#include "support/TestEnv.h"

namespace {

using namespace imagetest;
using platform::drives::ImageDrive;

class ImageDriveTest : public ::testing::TestWithParam<ImageKind> {
protected:
    void SetUp() override {
        if (auto missing = MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
        image_ = std::make_unique<TestImage>(temp_.Path(), GetParam());
        drive_ = std::make_unique<ImageDrive>(image_->Path());
    }
    // What an independent reader says after a change.
    void ExpectCheckedClean() {
        int status = -1;
        std::string report = image_->Fsck(&status);
        EXPECT_EQ(status, 0) << report;
    }

    testenv::TempDir temp_;
    std::unique_ptr<TestImage> image_;
    std::unique_ptr<ImageDrive> drive_;
};

TEST_P(ImageDriveTest, ReplacesALogoAndKeepsTheAttributesOfMsdosSys) {
    const std::string logo = Pattern('n');
    drive_->WriteFile("C:\\logo.sys", logo);
    EXPECT_EQ(image_->MRead("::/LOGO.SYS"), logo);
    EXPECT_EQ(drive_->ReadFile("c:\\Logo.Sys", 1 << 20), logo);
    // As Windows, read-only refuses; the msdos.sys switch clears it and keeps the rest.
    EXPECT_THROW(drive_->WriteFile("C:\\MSDOS.SYS", "[Options]\r\n"), platform::EFCreateError);
    using namespace platform;
    drive_->SetAttributes("C:\\MSDOS.SYS",
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    drive_->WriteFile("C:\\MSDOS.SYS", "[Options]\r\nLogo=0\r\n");
    EXPECT_EQ(image_->MRead("::/MSDOS.SYS"), "[Options]\r\nLogo=0\r\n");
    EXPECT_NE(image_->MAttrib("::/MSDOS.SYS").find("A  SH "), std::string::npos)
        << image_->MAttrib("::/MSDOS.SYS");
    ExpectCheckedClean();
}

TEST_P(ImageDriveTest, CreatesAMissingLogoUnderItsUpperCaseShortName) {
    const std::string logo = Pattern('w');
    drive_->WriteFile("C:\\windows\\logow.sys", logo);
    EXPECT_EQ(image_->MRead("::/WINDOWS/LOGOW.SYS"), logo);
    // mdir shows a long name after the size and date only where there is one.
    const std::string listing = image_->MDir("::/WINDOWS");
    EXPECT_NE(listing.find("LOGOW    SYS"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("logow"), std::string::npos) << listing;
    auto entry = drive_->Find("C:\\WINDOWS\\LOGOW.SYS");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "LOGOW.SYS");
    EXPECT_EQ(entry->attributes, platform::FILE_ATTRIBUTE_ARCHIVE);
    ExpectCheckedClean();
}

TEST_P(ImageDriveTest, FindsAndWritesLongNamesThroughEitherName) {
    EXPECT_EQ(drive_->ReadFile("C:\\mtools long NAME.TXT", 1 << 20),
              image_->MRead("::/Mtools Long Name.txt"));
    drive_->WriteFile("C:\\My Boot Logo.sys", Pattern('1'));
    drive_->WriteFile("C:\\My Boot Logo 2.sys", Pattern('2'));
    EXPECT_EQ(image_->MRead("::/My Boot Logo.sys"), Pattern('1'));
    EXPECT_EQ(image_->MRead("::/My Boot Logo 2.sys"), Pattern('2'));
    EXPECT_EQ(drive_->Find("C:\\MYBOOT~1.SYS")->name, "My Boot Logo.sys");
    EXPECT_EQ(drive_->Find("C:\\my boot logo 2.SYS")->shortName, "MYBOOT~2.SYS");
    ExpectCheckedClean();
}

TEST_P(ImageDriveTest, DeletesRenamesAndMakesFolders) {
    drive_->CreateFolder("C:\\Logos");
    drive_->Rename("C:\\LOGO.SYS", "C:\\Logos\\Old startup logo.sys");
    drive_->Rename("C:\\WINDOWS", "C:\\Logos\\WINDOWS");
    drive_->WriteFile("C:\\Logos\\WINDOWS\\LOGOS.SYS", Pattern('s'));
    drive_->DeleteFile("C:\\Mtools Long Name.txt");
    EXPECT_EQ(image_->MRead("::/Logos/Old startup logo.sys"), TestImage::OldLogo());
    EXPECT_EQ(image_->MRead("::/Logos/WINDOWS/LOGOS.SYS"), Pattern('s'));
    EXPECT_EQ(image_->MRead("::/LOGO.SYS"), "");
    EXPECT_EQ(image_->MRead("::/Mtools Long Name.txt"), "");
    EXPECT_FALSE(drive_->Exists("C:\\WINDOWS"));
    try {
        drive_->DeleteFile("C:\\MSDOS.SYS");
        ADD_FAILURE() << "a read-only file was deleted";
    } catch (const platform::EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 5);
    }
    ExpectCheckedClean();
}

TEST_P(ImageDriveTest, AFullVolumeRefusesAndKeepsTheImageAsItWas) {
    const std::string before = Bytes(image_->Path());
    try {
        drive_->WriteFile("C:\\LOGO.SYS", Pattern('f', 64 << 20));
        ADD_FAILURE() << "a file larger than the volume was written";
    } catch (const platform::EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 112);
    }
    EXPECT_TRUE(Bytes(image_->Path()) == before);
    EXPECT_EQ(image_->MRead("::/LOGO.SYS"), TestImage::OldLogo());
}

using DynamicVhdTest = ImageDriveTest;

TEST_P(DynamicVhdTest, GrowsByTheBlocksAWriteNeeds) {
    const auto before = fs::file_size(image_->Path());
    drive_->WriteFile("C:\\BIG.BIN", Pattern('b', 5 << 20));
    EXPECT_GT(fs::file_size(image_->Path()), before);
    EXPECT_EQ(image_->MRead("::/BIG.BIN"), Pattern('b', 5 << 20));
    ExpectCheckedClean();
}

const auto kName = [](const auto& test) { return std::string(test.param.name); };
INSTANTIATE_TEST_SUITE_P(Images, ImageDriveTest, ::testing::ValuesIn(kImageKinds), kName);
INSTANTIATE_TEST_SUITE_P(Images, DynamicVhdTest, ::testing::Values(kImageKinds[4]), kName);

}  // namespace
