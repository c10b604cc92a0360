// The real program on a display of its own, driven by keys as a user would drive it: the
// list editor opened from the main window's menu includes a picture, converting it on the
// way, and OK saves the list.

#include <gmock/gmock.h>

#include <QImage>

#include "RealProgram.h"
#include "UiTest.h"
#include "image/BmpTools.h"

namespace uitest {
namespace {

class ListEditorRunTest : public UiTest {};

TEST_F(ListEditorRunTest, OpensFromTheMenuAndIncludesAPicture) {
    if (const auto tool = RealProgram::MissingXTool())
        GTEST_SKIP() << *tool << " is not installed (make deps installs it)";
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteIni("NewInstalled=0\r\nLogoPath=C:\\Logos\\\r\nImagePath=C:\\Pictures\\\r\n");
    fs::create_directories(DriveC() / "Logos");
    fs::create_directories(DriveC() / "Pictures");
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(30, 90, 160));
    ASSERT_TRUE(
        picture.save(QString::fromStdString((DriveC() / "Pictures" / "sunset.jpg").string())));
    CopyProgram({"BootramaE.qch"});
    RealProgram program(ProgramDir(), MachineRoot());
    ASSERT_TRUE(program.Start(RealProgram::Display::PrivateX));

    const std::string main = program.WaitForWindow("Bootrama");
    ASSERT_TRUE(program.Keys(main, {"alt+a", "s"}));  // Automatic, List of Startup logos
    const std::string editor = program.WaitForWindow("List of Startup logos");
    ASSERT_TRUE(program.Keys(editor, {"ctrl+a", "alt+i"}));  // all files, Include
    const std::string save = program.WaitForWindow("Save new logo as");
    ASSERT_TRUE(program.Keys(save, {"Return"}));  // the proposed name in the logo folder
    ASSERT_TRUE(program.WaitUntilGone("Save new logo as"));
    ASSERT_TRUE(program.Keys(editor, {"Return"}));  // OK
    ASSERT_TRUE(program.WaitUntilGone("List of Startup logos"));
    ASSERT_TRUE(program.Keys(main, {"alt+f", "x"}));  // File, Exit
    ASSERT_TRUE(program.WaitForEnd());

    EXPECT_FALSE(program.Crashed());
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), "C:\\Logos\\sunsetLogo.bmp\r\n");
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\sunsetLogo.bmp"));
    EXPECT_FALSE(fs::exists(program.BoxLog())) << ReadFile(program.BoxLog());
}

}  // namespace
}  // namespace uitest
