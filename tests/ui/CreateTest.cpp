#include <gmock/gmock.h>

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "UiTest.h"
#include "image/BmpTools.h"
#include "ui/Create.h"
#include "ui/LogoPreview.h"

using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::IsEmpty;

namespace uitest {
namespace {

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDYES;

class CreateDlgTest : public UiTest {
protected:
    // The dialog asks for its picture as it opens; nothing given: the user cancels.
    std::unique_ptr<TCreateDlg> Open(const std::string& picture = "") {
        if (!picture.empty())
            FileDialogs().openAnswers = {picture};
        auto dialog = std::make_unique<TCreateDlg>();
        dialog->show();
        return dialog;
    }
    std::string Picture(int width, int height, const char* name = "tree.bmp") {
        WriteBitmap(DriveC() / "Pictures" / name, width, height);
        return Win(DriveC() / "Pictures" / name);
    }
    static std::string Text(const TCreateDlg& dialog, const char* label) {
        return Child<QLabel>(dialog, label)->text().toStdString();
    }
    static void Click(const TCreateDlg& dialog, const char* button) {
        Child<QAbstractButton>(dialog, button)->click();
    }
    static QRgb PreviewTop(const TCreateDlg& dialog) {
        return Child<TLogoPreview>(dialog, "BmpPaintBox")->Image().pixel(160, 0);
    }
    // Whether the dialog shows a logo, checked on every control the two states set.
    static void ExpectState(const TCreateDlg& dialog, bool hasLogo) {
        EXPECT_EQ(Child(dialog, "BmpPaintBox")->isVisible(), hasLogo);
        EXPECT_EQ(Child(dialog, "ErrorPanel")->isVisible(), !hasLogo);
        for (const char* control : {"SaveBtn", "optionsGroup", "PropBox", "TxtPropBox"})
            EXPECT_EQ(Child(dialog, control)->isEnabled(), hasLogo) << control;
        EXPECT_TRUE(Child(dialog, "OpenBtn")->isEnabled());
    }
};

TEST_F(CreateDlgTest, WithoutAPictureOnlyLoadingIsPossible) {
    auto dialog = Open();
    ASSERT_EQ(FileDialogs().openRequests.size(), 1u);
    const TOpenDialogRequest& request = FileDialogs().openRequests[0];
    EXPECT_EQ(request.Title, "Open source file ");
    EXPECT_EQ(request.Filter, "Bitmap (*.bmp)|*.bmp|Jpeg (*.jpg)|*.jpg|Bitmap + Jpeg|*.bmp;*.jpg");
    EXPECT_EQ(request.FilterIndex, 3);
    EXPECT_EQ(dialog->windowTitle(), "Create logo - no source file specified");
    EXPECT_EQ(Text(*dialog, "ErrorPanel"), "! No source file specified !");
    EXPECT_EQ(Text(*dialog, "BmpBreite"), "0");
    ExpectState(*dialog, false);
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(CreateDlgTest, APictureEnablesEverythingAndIsSavedUnderAProposedName) {
    fs::create_directories(DriveC() / "Logos");
    GlobalInfo().SetLogoPath("C:\\Logos\\");
    auto dialog = Open(Picture(640, 480));
    EXPECT_EQ(dialog->windowTitle(), "Create logo from tree.bmp");
    EXPECT_EQ(Text(*dialog, "BmpBreite") + "x" + Text(*dialog, "BmpHoehe"), "640x480");
    EXPECT_EQ(Text(*dialog, "BmpColors"), "256");
    ExpectState(*dialog, true);

    FileDialogs().saveAnswers = {"C:\\Logos\\treeLogo.bmp"};
    Click(*dialog, "SaveBtn");
    ASSERT_EQ(FileDialogs().saveRequests.size(), 1u);
    EXPECT_EQ(FileDialogs().saveRequests[0].Title, "Save Logo as");
    EXPECT_EQ(FileDialogs().saveRequests[0].FileName, "treeLogo.bmp");
    EXPECT_EQ(FileDialogs().saveRequests[0].InitialDir, "C:\\Logos\\");
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\treeLogo.bmp"));
    dialog->close();  // saved: nothing to ask
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_THAT(BoxTexts(), IsEmpty());
}

struct ProposalCase {
    int width, height;
    const char* method;
};

class ProposalTest : public CreateDlgTest, public ::testing::WithParamInterface<ProposalCase> {};

TEST_P(ProposalTest, EachPictureGetsTheMethodTheBuilderProposes) {
    auto dialog = Open(Picture(GetParam().width, GetParam().height));
    EXPECT_TRUE(Child<QRadioButton>(*dialog, GetParam().method)->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProposalTest,
                         ::testing::Values(ProposalCase{200, 150, "CropItem"},
                                           ProposalCase{640, 480, "StretchItem"}));

// A 640x480 picture stretched with aspect correction gets black bands at the top and the
// bottom; zoomed, or without the correction, it fills the logo.
TEST_F(CreateDlgTest, MethodAndAspectRebuildThePreviewAtOnce) {
    auto dialog = Open(Picture(640, 480));
    const QRgb picture = qRgb(7, 7, 7);
    EXPECT_EQ(PreviewTop(*dialog), qRgb(0, 0, 0));
    Click(*dialog, "ZoomItem");
    EXPECT_EQ(PreviewTop(*dialog), picture);
    Click(*dialog, "StretchItem");
    EXPECT_EQ(PreviewTop(*dialog), qRgb(0, 0, 0));
    Click(*dialog, "PropBox");
    EXPECT_EQ(PreviewTop(*dialog), picture);
    // The aspect box stays as the user left it for the next picture.
    FileDialogs().openAnswers = {Picture(200, 150, "small.bmp")};
    Click(*dialog, "OpenBtn");
    EXPECT_FALSE(Child<QAbstractButton>(*dialog, "PropBox")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(*dialog, "CropItem")->isChecked());
}

struct CloseAnswer {
    platform::BoxAnswer answer;
    bool closes;
    bool saveAsked;
};

class CloseQuestionTest : public CreateDlgTest,
                          public ::testing::WithParamInterface<CloseAnswer> {};

TEST_P(CloseQuestionTest, ANewLogoIsOfferedForSavingAtTheClose) {
    auto dialog = Open(Picture(640, 480));
    Answer({GetParam().answer});
    dialog->close();  // the save dialog, if asked, is cancelled
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "New logo");
    EXPECT_EQ(Boxes()[0]->text, "Save the new logo?");
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::YesNoCancel);
    EXPECT_EQ(dialog->isVisible(), !GetParam().closes);
    EXPECT_EQ(FileDialogs().saveRequests.size(), GetParam().saveAsked ? 1u : 0u);
    if (!GetParam().closes) {
        EXPECT_EQ(dialog->windowTitle(), "Create logo from tree.bmp");
        ExpectState(*dialog, true);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseQuestionTest,
                         ::testing::Values(CloseAnswer{IDCANCEL, false, false},
                                           CloseAnswer{IDNO, true, false},
                                           CloseAnswer{IDYES, true, true}));

TEST_F(CreateDlgTest, APictureThatFailsAfterAGoodOneLeavesNoSource) {
    auto dialog = Open(Picture(640, 480));
    WriteFile(DriveC() / "broken.jpg", "no JPEG data");
    FileDialogs().openAnswers = {"C:\\broken.jpg"};
    Click(*dialog, "OpenBtn");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Error");
    EXPECT_EQ(Boxes()[0]->text, "File \"C:\\broken.jpg\" is no valid Bitmap.");
    EXPECT_EQ(dialog->windowTitle(), "Create logo - no source file specified");
    ExpectState(*dialog, false);
}

TEST_F(CreateDlgTest, JpegLoadCountsInTheCaptionAndEscAbortsIt) {
    const fs::path jpeg = DriveC() / "Pictures" / "hill.jpg";
    if (!MakeJpeg(jpeg, 800, 600))
        GTEST_SKIP() << "ImageMagick's convert is needed to make a JPEG picture";
    auto dialog = Open();
    std::vector<std::string> captions;
    QObject::connect(dialog.get(), &QWidget::windowTitleChanged,
                     [&](const QString& title) { captions.push_back(title.toStdString()); });
    FileDialogs().openAnswers = {Win(jpeg)};
    dialog->OpenBtnClick();
    EXPECT_THAT(captions, Contains(EndsWith("%")));
    EXPECT_EQ(captions.back(), "Create logo from hill.jpg");

    // Esc waits in the queue until the load lets events through; it ends the load, not the
    // dialog.
    QCoreApplication::postEvent(dialog.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    FileDialogs().openAnswers = {Win(jpeg)};
    dialog->OpenBtnClick();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Create logo - no source file specified");
    ExpectState(*dialog, false);
    EXPECT_THAT(BoxTexts(), IsEmpty());
}

}  // namespace
}  // namespace uitest
