#include <gmock/gmock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "UiTest.h"
#include "core/RegEntries.h"
#include "image/BmpCodec.h"
#include "image/BmpTools.h"
#include "ui/LogoPreview.h"
#include "ui/view.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace uitest {
namespace {

const char* const NoConvert = "ImageMagick's convert is needed to make a JPEG picture";

class ViewDlgTest : public UiTest {
protected:
    static std::unique_ptr<TViewDlg> Open(TLogoKind kind) {
        switch (kind) {
            case lkBoot:
                return std::make_unique<TViewBootDlg>();
            case lkClosing:
                return std::make_unique<TViewClosingDlg>();
            default:
                return std::make_unique<TViewCloseDlg>();
        }
    }
    static std::vector<std::string> Items(const TViewDlg& dialog) {
        auto* box = Child<QComboBox>(dialog, "logoBox");
        std::vector<std::string> items;
        for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
        return items;
    }
    static std::string Selected(const TViewDlg& dialog) {
        return Child<QComboBox>(dialog, "logoBox")->currentText().toStdString();
    }
    static bool Enabled(const TViewDlg& dialog, const char* button) {
        return Child<QPushButton>(dialog, button)->isEnabled();
    }
    static void Click(const TViewDlg& dialog, const char* button) {
        QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
    }
    static bool ShowsBlack(const TViewDlg& dialog) {
        const QImage& image = Child<TLogoPreview>(dialog, "LogoPaintBox")->Image();
        return image.isNull() ||
               image.pixel(image.width() / 2, image.height() / 2) == qRgb(0, 0, 0);
    }
    // A picture on drive C: that is no logo yet; empty when it can't be made.
    std::string Jpeg(const char* name = "sunset.jpg") {
        const fs::path path = DriveC() / "Pictures" / name;
        return MakeJpeg(path, 640, 480) ? Win(path) : std::string();
    }
    // The Startup dialog over a list of one logo, with a JPEG picture loaded; none when the
    // picture can't be made.
    std::unique_ptr<TViewDlg> OpenOnAJpeg() {
        const std::string jpeg = Jpeg();
        if (jpeg.empty())
            return nullptr;
        WriteList(lkBoot, {"a.sys"});
        auto dialog = Open(lkBoot);
        FileDialogs().openAnswers = {jpeg};
        Click(*dialog, "OpenBtn");
        return dialog;
    }
    fs::path ListLogo(const char* name) const { return DriveC() / "Logos" / name; }
    void WriteList(TLogoKind kind, std::initializer_list<const char*> names) {
        std::string lines;
        for (const char* name : names) {
            WriteLogo(ListLogo(name));
            lines += Win(ListLogo(name)) + "\r\n";
        }
        WriteFile(ListHost(kind), lines);
    }
};

TEST_F(ViewDlgTest, OpensOnTheDefaultWindowsLogoWithoutABox) {
    WriteFile(ListHost(lkBoot), "");
    auto dialog = Open(lkBoot);
    EXPECT_EQ(dialog->windowTitle(), "View & Replace Startup logo");
    EXPECT_THAT(Items(*dialog), ElementsAre("<current logo>"));
    EXPECT_FALSE(Child(*dialog, "logoBox")->isEnabled());
    EXPECT_TRUE(ShowsBlack(*dialog));
    EXPECT_TRUE(Child(*dialog, "TxtStandard")->isVisibleTo(dialog.get()));
    EXPECT_FALSE(Enabled(*dialog, "ChangeBtn"));
    EXPECT_FALSE(Enabled(*dialog, "AddBtn"));
    EXPECT_EQ(Child<QPushButton>(*dialog, "ChangeBtn")->toolTip(), "Replace current Startup logo");
    EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(ViewDlgTest, LoadedJpegBecomesTheCurrentLogo) {
    auto dialog = OpenOnAJpeg();
    if (!dialog)
        GTEST_SKIP() << NoConvert;
    EXPECT_THAT(Items(*dialog), ElementsAre("a.sys", "<non-registered logo>", "<current logo>"));
    EXPECT_EQ(Selected(*dialog), "<non-registered logo>");
    EXPECT_TRUE(Child(*dialog, "noLogoLabel")->isVisibleTo(dialog.get()));
    EXPECT_EQ(Child<QLabel>(*dialog, "noLogoLabel")->text(), "File is not yet saved as logo.");
    EXPECT_EQ(Child<QLabel>(*dialog, "BmpColors")->text(), "16777216");
    EXPECT_EQ(Child<QPushButton>(*dialog, "AddBtn")->text(), "&Add to list");
    EXPECT_TRUE(Enabled(*dialog, "AddBtn"));
    EXPECT_TRUE(Enabled(*dialog, "ChangeBtn"));

    Click(*dialog, "ChangeBtn");
    // The picture as the program converts it, written as logo.sys; no other file saved.
    std::int32_t colours = 0;
    const auto picture = LoadPicture("C:\\Pictures\\sunset.jpg", colours, {}, TLogoFiles::Refused);
    EXPECT_TRUE(ReadFile(DriveC() / "logo.sys") ==
                EncodeBmp8(*ConvertToLogo(
                    *picture, true,
                    FitsInsideLogo(*picture, true) ? TStretchMode::crop : TStretchMode::stretch)));
    EXPECT_THAT(Items(*dialog), ElementsAre("a.sys", "<current logo>"));
    EXPECT_EQ(Selected(*dialog), "<current logo>");
    EXPECT_TRUE(Child(*dialog, "Infolabel")->isVisibleTo(dialog.get()));
    EXPECT_FALSE(Enabled(*dialog, "ChangeBtn"));
    EXPECT_THAT(FileDialogs().saveRequests, IsEmpty());
    EXPECT_THAT(BoxTexts(), IsEmpty());

    // The next picture is looked for where the last one was.
    Click(*dialog, "OpenBtn");
    ASSERT_EQ(FileDialogs().openRequests.size(), 2u);
    EXPECT_EQ(FileDialogs().openRequests[1].InitialDir, "C:\\Pictures\\");
}

// A cancelled save asks nothing and changes nothing; a saved logo is listed at the close.
TEST_F(ViewDlgTest, AddedPictureIsSavedAsALogoFirst) {
    auto dialog = OpenOnAJpeg();
    if (!dialog)
        GTEST_SKIP() << NoConvert;
    Click(*dialog, "AddBtn");  // the save dialog is cancelled
    ASSERT_EQ(FileDialogs().saveRequests.size(), 1u);
    EXPECT_EQ(FileDialogs().saveRequests[0].Title, "Save new logo as");
    EXPECT_EQ(FileDialogs().saveRequests[0].FileName, "sunsetLogo.bmp");
    EXPECT_EQ(Selected(*dialog), "<non-registered logo>");
    EXPECT_THAT(BoxTexts(), IsEmpty());

    FileDialogs().saveAnswers = {Win(ListLogo("sunsetLogo.bmp"))};
    Click(*dialog, "AddBtn");
    EXPECT_TRUE(IsLogoFile(Win(ListLogo("sunsetLogo.bmp"))));
    EXPECT_THAT(Items(*dialog), ElementsAre("a.sys", "sunsetLogo.bmp", "<current logo>"));
    EXPECT_EQ(Child<QPushButton>(*dialog, "AddBtn")->text(), "R&emove from List");
    EXPECT_EQ(Child<QLabel>(*dialog, "ListCount")->text(), "2");
    Click(*dialog, "CloseBtn");
    EXPECT_EQ(ReadFile(ListHost(lkBoot)),
              Win(ListLogo("a.sys")) + "\r\n" + Win(ListLogo("sunsetLogo.bmp")) + "\r\n");
}

TEST_F(ViewDlgTest, DamagedPictureBringsThePreviousOneBack) {
    WriteList(lkBoot, {"a.sys"});
    WriteLogo(LogoHost(lkBoot), 40);
    WriteFile(DriveC() / "broken.bmp", "BM no bitmap at all");
    auto dialog = Open(lkBoot);
    FileDialogs().openAnswers = {"C:\\broken.bmp"};
    Click(*dialog, "OpenBtn");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "View & Replace Startup logo");
    EXPECT_EQ(Boxes()[0]->text, "File \"C:\\broken.bmp\" is no valid Bitmap.");
    EXPECT_THAT(Items(*dialog), ElementsAre("a.sys", "<current logo>"));
    EXPECT_EQ(Selected(*dialog), "<current logo>");
    const QImage& image = Child<TLogoPreview>(*dialog, "LogoPaintBox")->Image();
    EXPECT_EQ(image.pixel(0, 0), qRgb(40, 40, 40));
}

// The status column takes the longest file name and the widest numbers beside the preview.
TEST_F(ViewDlgTest, StatusColumnNeverCoversThePreview) {
    const std::string jpeg = Jpeg("a photo of the hills behind the house in the evening.jpg");
    if (jpeg.empty())
        GTEST_SKIP() << NoConvert;
    auto dialog = Open(lkBoot);
    dialog->show();
    const QSize size = dialog->size();
    FileDialogs().openAnswers = {jpeg};
    Click(*dialog, "OpenBtn");
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->size(), size);
    const QWidget* preview = Child(*dialog, "Bevel1");
    const QRect previewArea(preview->mapTo(dialog.get(), QPoint()), preview->size());
    for (const char* control : {"StatusPanel", "Bevel3", "noLogoLabel", "Bevel2"}) {
        const QWidget* widget = Child(*dialog, control);
        const QRect area(widget->mapTo(dialog.get(), QPoint()), widget->size());
        EXPECT_FALSE(area.intersects(previewArea)) << control;
        EXPECT_LE(area.right(), dialog->rect().right()) << control;
        EXPECT_GE(widget->width(), widget->minimumSizeHint().width()) << control;
    }
    // The name is cut with an ellipsis, not mid-word; the tooltip has the whole path.
    const auto* name = Child<QLabel>(*dialog, "BmpFilename");
    EXPECT_TRUE(name->text().endsWith(QChar(0x2026))) << name->text().toStdString();
    EXPECT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->contentsRect().width());
    EXPECT_EQ(name->toolTip().toStdString(), jpeg);
}

// A list file that can't be read is shown empty and can't be edited, so that the close never
// writes an empty list over it.
TEST_F(ViewDlgTest, AnUnreadableListIsNeverOverwritten) {
    WriteFile(ListHost(lkBoot), "");
    fs::resize_file(ListHost(lkBoot), (std::uintmax_t(1) << 30) + 1);  // past any list's size
    WriteBitmap(DriveC() / "tree.bmp", 64, 48);
    auto dialog = Open(lkBoot);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "View & Replace Startup logo");
    EXPECT_THAT(Items(*dialog), ElementsAre("<current logo>"));
    FileDialogs().openAnswers = {"C:\\tree.bmp"};
    Click(*dialog, "OpenBtn");
    EXPECT_EQ(Selected(*dialog), "<non-registered logo>");
    EXPECT_FALSE(Enabled(*dialog, "AddBtn"));
    Click(*dialog, "CloseBtn");
    EXPECT_EQ(fs::file_size(ListHost(lkBoot)), (std::uintmax_t(1) << 30) + 1);
}

// Two logos of one name in different folders: each selects its own entry.
TEST_F(ViewDlgTest, EntriesOfTheSameNameStayApart) {
    WriteLogo(DriveC() / "A" / "logo.sys", 10);
    WriteLogo(DriveC() / "B" / "logo.sys", 20);
    WriteLogo(LogoHost(lkBoot), 30);
    WriteFile(ListHost(lkBoot), "C:\\A\\logo.sys\r\nC:\\B\\logo.sys\r\n");
    auto dialog = Open(lkBoot);
    EXPECT_EQ(Child<QComboBox>(*dialog, "logoBox")->currentIndex(), 2);  // <current logo>
    auto* box = Child<QComboBox>(*dialog, "logoBox");
    box->setCurrentIndex(1);
    emit box->activated(1);
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(Child<TLogoPreview>(*dialog, "LogoPaintBox")->Image().pixel(0, 0), qRgb(20, 20, 20));
}

struct CloseCase {
    bool withCloseButton;
    bool listWritten;
};

class ViewCloseTest : public ViewDlgTest, public ::testing::WithParamInterface<CloseCase> {};

// Removing the last entry: "&Close" writes the empty list and ends the automatic switch;
// the close box drops the edit.
TEST_P(ViewCloseTest, ListEditsReachTheFileOnlyThroughClose) {
    WriteIni("NewInstalled=0\r\nChangeBootBmp=1\r\n");
    WriteList(lkBoot, {"a.sys"});
    auto form = OpenMainForm();  // the automatic switch as the program leaves it
    ASSERT_TRUE(IsAutoStartOn());
    const std::string list = ReadFile(ListHost(lkBoot));
    auto dialog = Open(lkBoot);
    dialog->show();
    auto* box = Child<QComboBox>(*dialog, "logoBox");
    box->setCurrentIndex(0);
    emit box->activated(0);
    ASSERT_EQ(Child<QPushButton>(*dialog, "AddBtn")->text(), "R&emove from List");
    Click(*dialog, "AddBtn");
    // The logo on show is no longer in the list: it can be added again.
    EXPECT_THAT(Items(*dialog), ElementsAre("<non-registered logo>", "<current logo>"));
    if (GetParam().withCloseButton)
        Click(*dialog, "CloseBtn");
    else
        dialog->close();
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), GetParam().listWritten ? "" : list);
    EXPECT_EQ(GlobalInfo().ChangeBootBmp, !GetParam().listWritten);
    EXPECT_EQ(IsAutoStartOn(), !GetParam().listWritten);
}

INSTANTIATE_TEST_SUITE_P(Ways, ViewCloseTest,
                         ::testing::Values(CloseCase{true, true}, CloseCase{false, false}));

}  // namespace
}  // namespace uitest
