// A machine whose drive is a disk image: the program's file and ini functions work on it as
// on a folder, mtools and fsck.fat agree with what they wrote, and a refusal of the image
// reaches the caller with its reason.

#include <gmock/gmock.h>

#include "PlatformFixture.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/DiskImages.h"

namespace {

using namespace platform;
using namespace platformtest;
using imagetest::ImageKind;
using imagetest::Pattern;
using imagetest::TestImage;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

class ImageMachine : public PlatformTest {
protected:
    void SetUp() override {
        if (auto missing = imagetest::MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
    }
    // The image made and mapped as the letter's drive.
    TestImage& Map(char letter, const ImageKind& kind, int partition = 0) {
        fs::create_directories(Outside() / "image");
        image_ = std::make_unique<TestImage>(Outside() / "image", kind);
        CurrentMachine().MapDrive(letter, {DriveTarget::Kind::Image, image_->Path(), partition});
        return *image_;
    }
    // A file of the host, by its Windows path on Z:.
    std::string HostFile(const std::string& name, const std::string& contents) {
        Write(Outside() / name, contents);
        return CurrentMachine().ToWindows(Outside() / name);
    }
    void ExpectCheckedClean() {
        int status = -1;
        const std::string report = image_->Fsck(&status);
        EXPECT_EQ(status, 0) << report;
    }

    std::unique_ptr<TestImage> image_;
};

class ImageMachineTest : public ImageMachine, public ::testing::WithParamInterface<ImageKind> {};

TEST_P(ImageMachineTest, FilesAndIniFunctionsWorkOnTheImage) {
    TestImage& image = Map('C', GetParam());
    const std::string logo = HostFile("new.sys", Pattern('n'));
    EXPECT_TRUE(CopyFile(logo, "C:\\logo.sys", false, kMaxLogoFileBytes));
    EXPECT_TRUE(CopyFile(logo, "c:\\windows\\logow.sys", true, kMaxLogoFileBytes));
    EXPECT_FALSE(CopyFile(logo, "C:\\WINDOWS\\LOGOW.SYS", true, kMaxLogoFileBytes));
    EXPECT_EQ(image.MRead("::/LOGO.SYS"), Pattern('n'));
    EXPECT_EQ(image.MRead("::/WINDOWS/LOGOW.SYS"), Pattern('n'));
    EXPECT_TRUE(FileExists("C:\\Windows\\LogoW.sys"));
    EXPECT_TRUE(DirectoryExists("C:\\windows\\"));
    EXPECT_EQ(SpelledPath("c:\\windows\\logow.sys"), "C:\\WINDOWS\\LOGOW.SYS");
    EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                      FILE_ATTRIBUTE_SYSTEM |
                                                      FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_THAT(FindFiles("C:\\*.SYS"), UnorderedElementsAre("LOGO.SYS", "MSDOS.SYS"));
    EXPECT_THAT(FindFiles("C:\\MTOOLS~1.*", {.skipHiddenAndSystem = true}),
                UnorderedElementsAre("Mtools Long Name.txt"));
    const ReadStream stream = OpenReadStream("C:\\LOGO.SYS", kMaxLogoFileBytes);
    std::string streamed(stream.size, '\0');
    EXPECT_EQ(std::fread(streamed.data(), 1, streamed.size(), stream.file.get()), stream.size);
    EXPECT_EQ(streamed, Pattern('n'));

    // The startup-logo switch, as the options dialog makes it.
    ASSERT_TRUE(SetFileAttributes("C:\\MSDOS.SYS", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));
    EXPECT_EQ(image.MRead("::/MSDOS.SYS"), "[Options]\r\nBootGUI=1\r\nLogo=0\r\n");
    EXPECT_THAT(image.MAttrib("::/MSDOS.SYS"), HasSubstr("  SH  "));
    EXPECT_EQ(GetPrivateProfileString("Options", "Logo", "", "C:\\MSDOS.SYS"), "0");

    EXPECT_TRUE(DeleteFile("C:\\WINDOWS\\LOGOW.SYS"));
    EXPECT_FALSE(FileExists("C:\\WINDOWS\\LOGOW.SYS"));
    EXPECT_EQ(image.MRead("::/WINDOWS/LOGOW.SYS"), "");
    ExpectCheckedClean();
}

INSTANTIATE_TEST_SUITE_P(Images, ImageMachineTest, ::testing::ValuesIn(imagetest::kImageKinds),
                         [](const auto& test) { return std::string(test.param.name); });

// Folders are the host's business: the host's dialogs get no path into an image.
TEST_F(ImageMachine, AnImageDriveHasNoHostPath) {
    const fs::path image = Map('C', imagetest::kImageKinds[0]).Path();
    EXPECT_EQ(CurrentMachine().ToHost("C:\\LOGO.SYS"), std::nullopt);
    EXPECT_EQ(CurrentMachine().DriveRoot('C'), std::nullopt);
    EXPECT_THAT(CurrentMachine().ToWindows(image), ::testing::StartsWith("Z:\\"));
    EXPECT_EQ(CurrentMachine().Target('c'),
              (DriveTarget{DriveTarget::Kind::Image, image.lexically_normal(), 0}));
}

TEST_F(ImageMachine, ALetterCanNameAnotherPartitionOfTheImage) {
    const fs::path image = Map('C', imagetest::kImageKinds[1]).Path();
    CurrentMachine().MapDrive('D', {DriveTarget::Kind::Image, image, 1});
    EXPECT_EQ(fs::read_symlink(Root() / "dosdevices" / "d:"), image / "1");
    EXPECT_EQ(CurrentMachine().Target('D')->partition, 1);
    EXPECT_TRUE(FileExists("C:\\LOGO.SYS"));
    EXPECT_FALSE(FileExists("D:\\LOGO.SYS"));
    EXPECT_TRUE(CopyFile("C:\\LOGO.SYS", "D:\\LOGO.SYS", false, kMaxLogoFileBytes));
    EXPECT_EQ(ReadFile("D:\\LOGO.SYS", kMaxLogoFileBytes), TestImage::OldLogo());

    CurrentMachine().UnmapDrive('d');
    EXPECT_EQ(CurrentMachine().Drives(), (std::vector<char>{'C', 'Z'}));
    EXPECT_FALSE(FileExists("D:\\LOGO.SYS"));
    EXPECT_TRUE(fs::exists(image));
}

TEST_F(ImageMachine, AnImageInUseRefusesChangesWithItsReasonAndKeepsEverything) {
    const fs::path image = Map('C', imagetest::kImageKinds[0]).Path();
    const std::string before = imagetest::Bytes(image);
    const imagetest::QemuLikeLock lock(image);
    ASSERT_TRUE(lock.Held());
    const std::string logo = HostFile("new.sys", Pattern('n'));
    const auto expectRefused = [](auto change) {
        try {
            change();
            ADD_FAILURE() << "the change was made";
        } catch (const EDiskImageError& error) {
            EXPECT_THAT(error.Message(), HasSubstr("Close the virtual machine first"));
            EXPECT_THAT(ErrorDetail(error), ::testing::StartsWith("EDiskImageError\r"));
        }
    };
    expectRefused([&] { CopyFile(logo, "C:\\LOGO.SYS", false, kMaxLogoFileBytes); });
    expectRefused([&] { SetFileAttributes("C:\\LOGO.SYS", FILE_ATTRIBUTE_NORMAL); });
    expectRefused([&] { DeleteFile("C:\\LOGO.SYS"); });
    expectRefused([&] { WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"); });
    // Looking stays possible.
    EXPECT_EQ(ReadFile("C:\\LOGO.SYS", kMaxLogoFileBytes), TestImage::OldLogo());
    EXPECT_TRUE(imagetest::Bytes(image) == before);
}

TEST_F(ImageMachine, AnImageOfAnotherFormatIsADriveWithoutItsDiskThatSaysWhy) {
    const fs::path image = Outside() / "win98.qcow2";
    ASSERT_EQ(imagetest::Shell("qemu-img create -q -f qcow2 '" + image.string() + "' 16M"), 0);
    CurrentMachine().MapDrive('C', {DriveTarget::Kind::Image, image, 0});
    EXPECT_FALSE(FileExists("C:\\LOGO.SYS"));
    EXPECT_EQ(GetFileAttributes("C:\\"), INVALID_FILE_ATTRIBUTES);
    try {
        ReadFile("C:\\LOGO.SYS", kMaxLogoFileBytes);
        ADD_FAILURE() << "a qcow2 image was read";
    } catch (const EDiskImageError& error) {
        EXPECT_THAT(error.Message(), HasSubstr("qemu-img convert -O raw"));
    }
}

}  // namespace
