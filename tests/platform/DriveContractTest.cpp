// The two drives behind one interface: a folder of the host and a disk image answer every
// operation, and every refusal, alike, so that no caller needs to know which it has.

#include <gtest/gtest.h>

#include <functional>

#include "PlatformFixture.h"
#include "platform/Errors.h"
#include "platform/drives/Drive.h"
#include "support/DiskImages.h"

namespace {

using namespace platformtest;
using platform::drives::Drive;

// The Windows code an operation fails with; 0 when it succeeds.
int CodeOf(const std::function<void()>& operation) {
    try {
        operation();
        return 0;
    } catch (const platform::EInOutError& error) {
        return error.ErrorCode();
    } catch (const platform::EFCreateError& error) {
        return error.ErrorCode();
    }
}

class DriveContractTest : public PlatformTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (!GetParam()) {
            Write(DriveC() / "LOGO.SYS", imagetest::TestImage::OldLogo());
            Write(DriveC() / "Mtools Long Name.txt", "");
            platform::CurrentMachine().MapDrive('D',
                                                {platform::DriveTarget::Kind::Folder, DriveC(), 0});
        } else {
            if (auto missing = imagetest::MissingTool(); !missing.empty())
                GTEST_SKIP() << missing << " is not installed";
            fs::create_directories(Outside() / "image");
            const imagetest::TestImage image(Outside() / "image", imagetest::kImageKinds[0]);
            platform::CurrentMachine().MapDrive(
                'D', {platform::DriveTarget::Kind::Image, image.Path(), 0});
        }
        drive_ = platform::CurrentMachine().DriveOf("D:\\");
        ASSERT_NE(drive_, nullptr);
        drive_->SetAttributes("D:\\MSDOS.SYS", platform::FILE_ATTRIBUTE_READONLY);
    }
    Drive* drive_ = nullptr;
};

TEST_P(DriveContractTest, RefusesWithTheSameWindowsCodes) {
    Drive& drive = *drive_;
    EXPECT_EQ(CodeOf([&] { drive.CreateFolder("D:\\WINDOWS"); }), 183);
    EXPECT_EQ(CodeOf([&] { drive.CreateFolder("D:\\NONE\\SUB"); }), 3);
    EXPECT_EQ(CodeOf([&] { drive.Rename("D:\\NONE.SYS", "D:\\X.SYS"); }), 2);
    EXPECT_EQ(CodeOf([&] { drive.Rename("D:\\LOGO.SYS", "D:\\msdos.sys"); }), 183);
    EXPECT_EQ(CodeOf([&] { drive.Rename("D:\\LOGO.SYS", "D:\\NONE\\X.SYS"); }), 3);
    EXPECT_EQ(CodeOf([&] { drive.DeleteFile("D:\\MSDOS.SYS"); }), 5);
    EXPECT_EQ(CodeOf([&] { drive.DeleteFile("D:\\WINDOWS"); }), 5);
    EXPECT_EQ(CodeOf([&] { drive.DeleteFile("D:\\NONE.SYS"); }), 2);
    EXPECT_EQ(CodeOf([&] { drive.SetAttributes("D:\\NONE.SYS", 0); }), 2);
    EXPECT_EQ(CodeOf([&] { drive.WriteFile("D:\\MSDOS.SYS", ""); }), 5);
    EXPECT_EQ(CodeOf([&] { drive.WriteFile("D:\\NONE\\X.SYS", ""); }), 3);
    EXPECT_THROW(drive.ReadFile("D:\\NONE.SYS", 1 << 20), platform::EFOpenError);
    EXPECT_THROW(drive.ReadFile("D:\\WINDOWS", 1 << 20), platform::EFOpenError);
    EXPECT_THROW(drive.ReadFile("D:\\LOGO.SYS", 1000), platform::EReadError);
    EXPECT_THROW(drive.ReadFilePart("D:\\NONE.SYS", 0, 8, 1 << 20), platform::EFOpenError);
    EXPECT_THROW(drive.ReadFilePart("D:\\LOGO.SYS", 0, 8, 1000), platform::EReadError);
}

TEST_P(DriveContractTest, ChangesAndFindsAlike) {
    Drive& drive = *drive_;
    EXPECT_EQ(CodeOf([&] { drive.CreateFolder("D:\\Logos"); }), 0);
    EXPECT_EQ(CodeOf([&] { drive.Rename("D:\\logo.sys", "D:\\Logos\\Old.sys"); }), 0);
    EXPECT_EQ(CodeOf([&] { drive.Rename("D:\\Logos\\old.SYS", "D:\\Logos\\OLD.SYS"); }), 0);
    EXPECT_EQ(drive.Find("D:\\LOGOS\\old.sys")->name, "OLD.SYS");
    const std::string old = imagetest::TestImage::OldLogo();
    EXPECT_EQ(drive.ReadFile("D:\\Logos\\OLD.SYS", 1 << 20), old);
    EXPECT_EQ(drive.ReadFilePart("D:\\logos\\old.sys", 10, 20, 1 << 20), old.substr(10, 20));
    EXPECT_EQ(drive.ReadFilePart("D:\\Logos\\OLD.SYS", old.size() - 5, 20, 1 << 20),
              old.substr(old.size() - 5));
    EXPECT_EQ(drive.ReadFilePart("D:\\Logos\\OLD.SYS", old.size() + 5, 20, 1 << 20), "");
    EXPECT_TRUE(drive.IsDirectory("D:\\logos"));
    EXPECT_FALSE(drive.Exists("D:\\LOGO.SYS"));
    EXPECT_EQ(drive.Attributes("D:\\MSDOS.SYS") & platform::FILE_ATTRIBUTE_READONLY,
              platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(drive.Replaceable("D:\\MSDOS.SYS"));
    EXPECT_FALSE(drive.Replaceable("D:\\WINDOWS"));
    drive.Copy("D:\\Logos\\OLD.SYS", drive, "D:\\WINDOWS\\LOGOW.SYS");
    EXPECT_EQ(drive.Find("D:\\WINDOWS\\LOGOW.SYS")->size, imagetest::TestImage::OldLogo().size());
    EXPECT_EQ(
        CodeOf([&] { drive.Copy("D:\\WINDOWS\\LOGOW.SYS", drive, "D:\\windows\\logow.sys"); }), 32);
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveContractTest, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Image" : "Folder"; });

}  // namespace
