#include <gmock/gmock.h>

#include "image/Bitmap.h"
#include "image/BmpCodec.h"
#include "platform/Files.h"
#include "setup/FirstRun.h"
#include "support/TestEnv.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

std::string BitmapBytes(int width, int height) {
    TBitmap image;
    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = 8;
    image.Pixels.assign(std::size_t(width) * height, 1);
    image.Colours.assign(256, TRGBColour{10, 20, 30});
    return EncodeBmp8(image);
}

class FirstRunTest : public testenv::MachineTest {
protected:
    fs::path Examples() const { return ProgramDir() / "Examples"; }
    fs::path List(const char* name) const { return ProgramDir() / name; }
    std::string Example(const std::string& name) const {
        return GlobalInfo().AppPath + "Examples\\" + name;
    }
    void WriteExamples() {
        WriteFile(Examples() / "a.sys", BitmapBytes(320, 400));
        WriteFile(Examples() / "B.SYS", BitmapBytes(320, 400));
        WriteFile(Examples() / "wide.bmp", BitmapBytes(640, 480));
        WriteFile(Examples() / "readme.txt", "not a logo");
        WriteFile(Examples() / "hidden.sys", BitmapBytes(320, 400));
        platform::SetFileAttributes(Win(Examples() / "hidden.sys"),
                                    platform::FILE_ATTRIBUTE_HIDDEN);
        WriteFile(Examples() / "system.sys", BitmapBytes(320, 400));
        platform::SetFileAttributes(Win(Examples() / "system.sys"),
                                    platform::FILE_ATTRIBUTE_SYSTEM);
        fs::create_directories(Examples() / "folder.sys");
    }
};

TEST_F(FirstRunTest, NothingToDoWhenNotNewlyInstalled) {
    WriteExamples();
    EXPECT_FALSE(FirstRunSetup());
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_THAT(HelpRequests(), IsEmpty());
    EXPECT_FALSE(fs::exists(List("brboot.dat")));
}

TEST_F(FirstRunTest, SetupCreatesListsBacksUpShowsHelpAndAddsExamples) {
    WriteExamples();
    GlobalInfo().NewInstalled = true;
    EXPECT_TRUE(FirstRunSetup());
    EXPECT_FALSE(GlobalInfo().NewInstalled);
    EXPECT_EQ(ReadFile(List("brclsing.dat")), "");
    EXPECT_EQ(ReadFile(List("brclose.dat")), "");
    EXPECT_EQ(ReadFile(List("brboot.dat")), Example("a.sys") + "\r\n" + Example("B.SYS") + "\r\n");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Backup");
    EXPECT_THAT(HelpRequests(), ElementsAre("topic 52"));
}

TEST_F(FirstRunTest, ExampleAlreadyListedInOtherCaseIsNotAddedAgain) {
    WriteExamples();
    const std::string listed = Example("A.SYS");
    WriteFile(List("brboot.dat"), listed + "\r\n");
    AddExampleLogos();
    EXPECT_EQ(ReadFile(List("brboot.dat")), listed + "\r\n" + Example("B.SYS") + "\r\n");
    AddExampleLogos();
    EXPECT_EQ(ReadFile(List("brboot.dat")), listed + "\r\n" + Example("B.SYS") + "\r\n");
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(FirstRunTest, ExistingListFilesAreLeftAlone) {
    WriteFile(List("brclose.dat"), "C:\\mine.sys\r\n");
    CreateMissingListFiles();
    EXPECT_EQ(ReadFile(List("brclose.dat")), "C:\\mine.sys\r\n");
    EXPECT_EQ(ReadFile(List("brboot.dat")), "");
}

TEST_F(FirstRunTest, ListFileThatCannotBeCreatedStopsTheRest) {
    fs::create_directories(List("brclsing.dat"));
    CreateMissingListFiles();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_THAT(Boxes()[0]->text, HasSubstr("Error creating new logo list files\rError: E"));
    EXPECT_TRUE(fs::exists(List("brboot.dat")));
    EXPECT_FALSE(fs::exists(List("brclose.dat")));
}

TEST_F(FirstRunTest, MissingStartupListIsOfferedBeforeExamplesAreSaved) {
    WriteExamples();
    Answer({platform::IDNO});
    AddExampleLogos();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Data file");
    EXPECT_FALSE(fs::exists(List("brboot.dat")));
}

TEST_F(FirstRunTest, UnwritableStartupListIsReported) {
    WriteExamples();
    WriteFile(List("brboot.dat"), "");
    platform::SetFileAttributes(GlobalInfo().BootListFile, platform::FILE_ATTRIBUTE_READONLY);
    AddExampleLogos();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->text, "Error adding example logos to logo list!\rError: EFileListError");
    EXPECT_EQ(ReadFile(List("brboot.dat")), "");
}

}  // namespace
