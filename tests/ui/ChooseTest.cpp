// The logo list editor on a temporary machine: browsing, including with and without
// conversion, Esc, the preview, excluding, and what OK and Cancel leave on disk.

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <sstream>

#include "UiTest.h"
#include "image/BmpTools.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "ui/Choose.h"
#include "ui/ListBox.h"
#include "ui/LogoPreview.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

namespace uitest {

// A JPEG picture of w by h in one colour.
void WriteJpeg(const fs::path& path, int width = 64, int height = 48) {
    fs::create_directories(path.parent_path());
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(200, 120, 40));
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "JPG"));
}

class ChooseTest : public UiTest {
protected:
    ChooseTest() {
        for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
        fs::create_directories(Pictures());
        fs::create_directories(DriveC() / "Logos");
        GlobalInfo().SetImagePath("C:\\Pictures\\");
    }
    fs::path Pictures() { return DriveC() / "Pictures"; }

    void Open(TLogoKind kind = lkBoot) {
        dialog_ = NewChooseDlg(kind, nullptr);
        dialog_->show();
        QTRY_VERIFY(!Child<QLabel>(Dialog(), "BmpCount")->text().isEmpty());
    }
    TChooseDlg& Dialog() { return *dialog_; }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(Dialog(), button), Qt::LeftButton);
    }
    QListView& FileList() { return *Child<QListView>(Dialog(), "ListBoxFile"); }
    TListBox& List() { return *Child<TListBox>(Dialog(), "BmpListBox"); }
    std::vector<std::string> FileRows() {
        std::vector<std::string> rows;
        for (int row = 0; row < FileList().model()->rowCount(); ++row)
            rows.push_back(FileList().model()->index(row, 0).data().toString().toStdString());
        return rows;
    }
    void SelectFile(const std::string& name) {
        const auto rows = FileRows();
        const auto row = std::find(rows.begin(), rows.end(), name) - rows.begin();
        ASSERT_LT(row, std::ssize(rows)) << name;
        FileList().setCurrentIndex(FileList().model()->index(int(row), 0));
    }
    std::string ListFile() { return ReadFile(ListHost(lkBoot)); }
    std::vector<std::string> ListLines() {
        std::vector<std::string> lines;
        std::istringstream text(ListFile());
        for (std::string line; std::getline(text, line);)
            lines.push_back(line.substr(0, line.find('\r')));
        return lines;
    }
    void ChooseFolderForNewLogos(const std::string& folder, int* shown = nullptr) {
        WhenModal([folder, shown](QDialog& chooser) {
            EXPECT_EQ(chooser.windowTitle(), "Save new logos in");
            Child<QLineEdit>(chooser, "PathEdit")->setText(QString::fromStdString(folder));
            chooser.accept();
            if (shown)
                ++*shown;
        });
    }
    void ExpectNoBoxes() {
        for (const auto& box : Boxes()) ADD_FAILURE() << box->title << ": " << box->text;
    }

    std::unique_ptr<TChooseDlg> dialog_;
};

TEST_F(ChooseTest, CaptionsOfTheStartupVariant) {
    Open(lkBoot);
    EXPECT_EQ(Dialog().windowTitle(), "List of Startup logos");
    ExpectCaptions(Dialog(), {
                                 {"Headline", "Choose Startup logos for automatic logo switch"},
                                 {"IncludeBtn", "&Include"},
                                 {"IncAllBtn", "Include &all"},
                                 {"ExcludeBtn", "&Exclude"},
                                 {"ExAllBtn", "Exclude &all"},
                                 {"PreviewCheckBox", "&Show preview"},
                                 {"LabelEsc", "Hit <Esc> to break"},
                                 {"CountLabel", "Logos used:"},
                                 {"BmpCount", "    0"},
                                 {"Edit1", "*.sys;*.bmp;*.jp*"},
                                 {"OKBtn", "OK"},
                                 {"CancelBtn", "Cancel"},
                                 {"HelpBtn", "&Help..."},
                             });
    EXPECT_FALSE(Child(Dialog(), "LabelEsc")->isVisible());
    EXPECT_TRUE(Child<QCheckBox>(Dialog(), "PreviewCheckBox")->isChecked());
    ExpectNoControlSquashed(Dialog());
    Click("HelpBtn");
    EXPECT_THAT(HelpRequests(), ElementsAre("topic 11"));
}

// The browser shows the machine by Windows names: the drives, the folders down to the one
// open, and its files that match the mask, whatever their letter case.
TEST_F(ChooseTest, BrowsesTheMachineByWindowsNames) {
    for (const char* name : {"b.BMP", "a.jpeg", "c.sys", "readme.txt", ".dot.bmp"})
        WriteFile(Pictures() / name, "x");
    fs::create_directories(Pictures() / "Holidays");
    Open();
    EXPECT_THAT(FileRows(), ElementsAre("a.jpeg", "b.BMP", "c.sys"));
    auto* folders = Child<QTreeView>(Dialog(), "ListBoxDir");
    const QModelIndex root = folders->model()->index(0, 0);
    const QModelIndex current = folders->model()->index(0, 0, root);
    EXPECT_EQ(root.data().toString(), "C:\\");
    EXPECT_EQ(current.data().toString(), "Pictures");
    EXPECT_EQ(folders->model()->index(0, 0, current).data().toString(), "Holidays");
    auto* drives = Child<QComboBox>(Dialog(), "DriveComboBox");
    EXPECT_EQ(drives->currentData().toString(), "C");
    EXPECT_GE(drives->count(), 2);

    auto* name = Child<QLineEdit>(Dialog(), "Edit1");
    name->setText("*.TXT");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_THAT(FileRows(), ElementsAre("readme.txt"));
    EXPECT_TRUE(Dialog().isVisible());  // Return went to the field, not to OK
    name->setText("..");
    QTest::keyClick(name, Qt::Key_Return);
    const QModelIndex drive = folders->model()->index(0, 0);
    std::vector<std::string> below;
    for (int row = 0; row < folders->model()->rowCount(drive); ++row)
        below.push_back(folders->model()->index(row, 0, drive).data().toString().toStdString());
    EXPECT_THAT(below, ElementsAre("Logos", "Pictures", "WINDOWS"));
    EXPECT_THAT(FileRows(), IsEmpty());  // the mask stays: no *.txt there
    EXPECT_EQ(name->text(), "*.TXT");
}

// A name too wide for the file list shows whole as the list's tooltip; one that fits, none.
TEST_F(ChooseTest, NamesTooWideForTheFileListAreTheirOwnTooltip) {
    const std::string wide = std::string(120, 'w') + ".bmp";
    WriteFile(Pictures() / "a.bmp", "x");
    WriteFile(Pictures() / wide, "x");
    Open();
    auto moveTo = [&](int row) {
        const QPoint at(4, FileList().visualRect(FileList().model()->index(row, 0)).center().y());
        QMouseEvent move(QEvent::MouseMove, at, FileList().viewport()->mapToGlobal(at),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(FileList().viewport(), &move);
        return FileList().toolTip().toStdString();
    };
    EXPECT_EQ(moveTo(1), wide);
    EXPECT_EQ(moveTo(0), "");
}

// A drive whose link leads nowhere (a disk image unplugged, a mount gone) says so and
// leaves the browser where it was.
TEST_F(ChooseTest, AMissingDriveIsReportedAndNothingChanges) {
    fs::create_directory_symlink(MachineRoot() / "nowhere", MachineRoot() / "dosdevices" / "d:");
    Open();
    auto* drives = Child<QComboBox>(Dialog(), "DriveComboBox");
    drives->setCurrentIndex(drives->findData("D"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "List of Startup logos");
    EXPECT_EQ(Boxes()[0]->text, "D:\\ is not accessible.");
    EXPECT_EQ(drives->currentData().toString(), "C");
    EXPECT_EQ(Child<QTreeView>(Dialog(), "ListBoxDir")->currentIndex().data().toString(),
              "Pictures");
}

TEST_F(ChooseTest, LogosEnterUnchangedAskingNothingAndOnlyOnce) {
    for (const char* name : {"one.bmp", "two.sys", "three.BMP"}) WriteLogo(Pictures() / name);
    Open();
    Click("IncAllBtn");
    EXPECT_THAT(List().count(), 3);
    EXPECT_EQ(Child<QLabel>(Dialog(), "BmpCount")->text(), "    3");
    SelectFile("two.sys");
    Click("IncludeBtn");
    EXPECT_THAT(List().count(), 3);
    Click("OKBtn");
    EXPECT_EQ(ListFile(),
              "C:\\Pictures\\one.bmp\r\nC:\\Pictures\\three.BMP\r\nC:\\Pictures\\two.sys\r\n");
    ExpectNoBoxes();
    EXPECT_EQ(fs::directory_iterator(DriveC() / "Logos"), fs::directory_iterator());
}

// One picture among logos: a save dialog proposes its name in the logo folder (beside the
// picture while there is none); cancelling it stops the include at that file.
struct OnePictureCase {
    bool save;
    const char* logoPath;
    const char* proposed;
};

class ChooseOnePictureTest : public ChooseTest,
                             public ::testing::WithParamInterface<OnePictureCase> {};

TEST_P(ChooseOnePictureTest, OneSaveDialogWithTheProposedName) {
    const bool save = GetParam().save;
    GlobalInfo().SetLogoPath(GetParam().logoPath);
    WriteLogo(Pictures() / "a.bmp");
    WriteJpeg(Pictures() / "sunset.jpg");
    WriteLogo(Pictures() / "z.bmp");
    Open();
    if (save)
        FileDialogs().saveAnswers = {GetParam().proposed};
    Click("IncAllBtn");
    ASSERT_EQ(FileDialogs().saveRequests.size(), 1u);
    const TSaveDialogRequest& asked = FileDialogs().saveRequests[0];
    EXPECT_EQ(asked.Title, "Save new logo as");
    EXPECT_EQ(AddBackslash(asked.InitialDir) + asked.FileName, GetParam().proposed);
    std::vector<std::string> entries = {"C:\\Pictures\\a.bmp"};
    if (save)
        entries = {GetParam().proposed, "C:\\Pictures\\a.bmp", "C:\\Pictures\\z.bmp"};
    Click("OKBtn");
    EXPECT_THAT(ListLines(), UnorderedElementsAreArray(entries));
    EXPECT_EQ(IsLogoFile(GetParam().proposed), save);
    ExpectNoBoxes();
}

INSTANTIATE_TEST_SUITE_P(
    SaveOrCancel, ChooseOnePictureTest,
    ::testing::Values(OnePictureCase{true, "C:\\Logos\\", "C:\\Logos\\sunsetLogo.bmp"},
                      OnePictureCase{false, "C:\\Logos\\", "C:\\Logos\\sunsetLogo.bmp"},
                      OnePictureCase{true, "", "C:\\Pictures\\sunsetLogo.bmp"}));

TEST_F(ChooseTest, TwoPicturesAskForAFolderOnceAndKeepIt) {
    WriteJpeg(Pictures() / "sunset.jpg");
    WriteJpeg(Pictures() / "forest.jpeg", 800, 600);
    WriteLogo(Pictures() / "ready.bmp");
    WriteFile(DriveC() / "Logos" / "sunsetLogo.bmp", "an older file of that name");
    Open();
    int chooserShown = 0;
    ChooseFolderForNewLogos("C:\\Logos", &chooserShown);
    Click("IncAllBtn");
    EXPECT_EQ(chooserShown, 1);
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\sunsetLogo.bmp"));
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\forest.Logo.bmp"));
    EXPECT_EQ(List().count(), 3);

    // The folder chosen is where the chooser starts the next time.
    WhenModal([](QDialog& chooser) {
        EXPECT_EQ(Child<QLineEdit>(chooser, "PathEdit")->text(), "C:\\Logos");
        chooser.reject();
    });
    Click("IncAllBtn");
    ExpectNoBoxes();
}

TEST_F(ChooseTest, EscStopsBeforeTheNextFileAndKeepsWhatWasDone) {
    const std::vector<std::string> names = {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"};
    for (const auto& name : names) WriteJpeg(Pictures() / name);
    Open();
    ChooseFolderForNewLogos("C:\\Logos");
    // Esc once the second picture is under way; a key before it is swallowed.
    QTimer esc;
    QObject::connect(&esc, &QTimer::timeout, [&] {
        const QString shown = Child<QLabel>(Dialog(), "ProgressLabel")->text();
        if (shown == "p1.jpg")
            QTest::keyClick(&FileList(), Qt::Key_Down);
        if (shown == "p2.jpg") {
            EXPECT_TRUE(Child(Dialog(), "LabelEsc")->isVisible());
            QTest::keyClick(&FileList(), Qt::Key_Escape);
            esc.stop();
        }
    });
    esc.start(0);
    const int currentRow = FileList().currentIndex().row();
    Click("IncAllBtn");
    std::vector<std::string> saved;
    for (const auto& entry : fs::directory_iterator(DriveC() / "Logos"))
        saved.push_back("C:\\Logos\\" + entry.path().filename().string());
    EXPECT_GE(saved.size(), 1u);
    EXPECT_LT(saved.size(), names.size());
    EXPECT_EQ(List().count(), int(saved.size()));
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_FALSE(Child(Dialog(), "LabelEsc")->isVisible());
    EXPECT_EQ(FileList().currentIndex().row(), currentRow);  // the Down key went nowhere
    Click("OKBtn");
    for (const auto& path : saved) EXPECT_NE(ListFile().find(path), std::string::npos) << path;
    ExpectNoBoxes();
}

struct PreviewCase {
    bool previewOn;
    bool fromList;
    const char* name;
    const char* errorText;
    bool logoShown;
};

class ChoosePreviewTest : public ChooseTest, public ::testing::WithParamInterface<PreviewCase> {};

// An entry of the list must be a logo; a file of the browser may be any picture.
TEST_P(ChoosePreviewTest, ShowsTheLogoOrSaysWhy) {
    const PreviewCase& c = GetParam();
    WriteJpeg(Pictures() / "photo.jpg", 640, 480);
    WriteLogo(Pictures() / "logo.bmp");
    WriteFile(Pictures() / "broken.bmp", "BM broken");
    WriteFile(ListHost(lkBoot), std::string("C:\\Pictures\\") + c.name + "\r\n");
    GlobalInfo().ShowPreview = c.previewOn;
    Open();
    if (c.fromList)
        List().setCurrentRow(0);
    else
        SelectFile(c.name);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    auto* error = Child<QLabel>(Dialog(), "LogoErrorTxt");
    // What the box shows; a path may break after its backslashes.
    EXPECT_EQ(error->text().remove(QChar(0x200B)).toStdString(), c.errorText);
    EXPECT_EQ(!Child<TLogoPreview>(Dialog(), "LogoBox")->Image().isNull(), c.logoShown);
    Click("CancelBtn");
    EXPECT_EQ(GlobalInfo().ShowPreview, c.previewOn);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChoosePreviewTest,
    ::testing::Values(PreviewCase{true, true, "photo.jpg",
                                  "File \"C:\\Pictures\\photo.jpg\" is no valid Logo.", false},
                      PreviewCase{true, false, "photo.jpg", "", true},
                      PreviewCase{true, true, "logo.bmp", "", true},
                      PreviewCase{true, false, "broken.bmp", "Can't open the file!", false},
                      PreviewCase{false, false, "broken.bmp", "", false},
                      PreviewCase{false, true, "logo.bmp", "", false}));

// The builder keeps the logo it had when it refuses an entry; the preview must not show
// that logo under the refused entry's message.
TEST_F(ChooseTest, ARefusedEntryDoesNotShowThePreviousLogo) {
    WriteLogo(Pictures() / "logo.bmp");
    WriteJpeg(Pictures() / "photo.jpg");
    WriteFile(ListHost(lkBoot), "C:\\Pictures\\logo.bmp\r\nC:\\Pictures\\photo.jpg\r\n");
    Open();
    auto* box = Child<TLogoPreview>(Dialog(), "LogoBox");
    List().setCurrentRow(0);
    QTRY_VERIFY(!box->Image().isNull());
    List().setCurrentRow(1);
    QTRY_VERIFY(box->Image().isNull());
    EXPECT_FALSE(Child<QLabel>(Dialog(), "LogoErrorTxt")->text().isEmpty());
}

struct DeleteCase {
    std::vector<int> selected;
    int focused;
    std::vector<const char*> left;
    int current;
};

class ChooseDeleteTest : public ChooseTest, public ::testing::WithParamInterface<DeleteCase> {};

// Del removes the selected entries and selects the row that took the focused one's place,
// or the new last row.
TEST_P(ChooseDeleteTest, DelReselects) {
    std::string lines;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) {
        WriteLogo(Pictures() / name);
        lines += std::string("C:\\Pictures\\") + name + "\r\n";
    }
    WriteFile(ListHost(lkBoot), lines);
    Open();
    List().setCurrentRow(GetParam().focused, QItemSelectionModel::NoUpdate);
    for (int row : GetParam().selected) List().item(row)->setSelected(true);
    QTest::keyClick(&List(), Qt::Key_Delete);
    std::vector<std::string> left;
    for (int row = 0; row < List().count(); ++row)
        left.push_back(List().item(row)->text().toStdString());
    std::vector<std::string> expected;
    for (const char* name : GetParam().left)
        expected.push_back(std::string("C:\\Pictures\\") + name);
    EXPECT_EQ(left, expected);
    EXPECT_EQ(List().currentRow(), GetParam().current);
    EXPECT_EQ(SelectedRows(List()), std::vector<int>{GetParam().current});
}

INSTANTIATE_TEST_SUITE_P(Rows, ChooseDeleteTest,
                         ::testing::Values(DeleteCase{{1}, 1, {"a.bmp", "c.bmp", "d.bmp"}, 1},
                                           DeleteCase{{1, 2}, 2, {"a.bmp", "d.bmp"}, 1},
                                           DeleteCase{{3}, 3, {"a.bmp", "b.bmp", "c.bmp"}, 2}));

TEST_F(ChooseTest, OkOnAMissingListFileAsksAndCancelKeepsTheDialogOpen) {
    fs::remove(ListHost(lkBoot));
    WriteLogo(Pictures() / "one.bmp");
    Open();
    Click("IncAllBtn");
    Answer({platform::IDCANCEL});
    Click("OKBtn");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Data file");
    EXPECT_EQ(Boxes()[0]->text,
              "Can not find logo list file " + Win(ListHost(lkBoot)) + ".\rCreate new?");
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_FALSE(fs::exists(ListHost(lkBoot)));
    Answer({platform::IDYES});
    Click("OKBtn");
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), "C:\\Pictures\\one.bmp\r\n");
}

// A list file that can't be written keeps the editor open with the edits, so that nothing
// the user did is lost.
TEST_F(ChooseTest, AListFileThatCantBeWrittenKeepsTheEditorOpen) {
    WriteLogo(Pictures() / "one.bmp");
    ASSERT_TRUE(
        platform::SetFileAttributes(Win(ListHost(lkBoot)), platform::FILE_ATTRIBUTE_READONLY));
    Open();
    Click("IncAllBtn");
    Click("OKBtn");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "List of Startup logos");
    EXPECT_EQ(Boxes()[0]->text.rfind("Error creating the file \"" + Win(ListHost(lkBoot)), 0), 0u);
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(List().count(), 1);
}

TEST_F(ChooseTest, CancelLeavesTheListFileAsItWas) {
    WriteLogo(Pictures() / "one.bmp");
    WriteLogo(Pictures() / "two.bmp");
    const std::string before = "C:\\Pictures\\two.bmp\r\nC:\\Pictures\\one.bmp\r\n";
    WriteFile(ListHost(lkBoot), before);
    Open();
    Click("ExAllBtn");
    EXPECT_EQ(List().count(), 0);
    Click("CancelBtn");
    EXPECT_EQ(ListFile(), before);
    ExpectNoBoxes();
}

// Pictures dropped from the desktop's file manager come by their host paths and enter
// the list by their Windows paths, converted on the way like any other.
TEST_F(ChooseTest, DroppedFilesTakeTheIncludesWay) {
    WriteLogo(Pictures() / "logo.bmp");
    WriteJpeg(Pictures() / "drop.jpg");
    GlobalInfo().SetLogoPath("C:\\Logos\\");
    Open();
    FileDialogs().saveAnswers = {"C:\\Logos\\dropLogo.bmp"};
    QMimeData files;
    files.setUrls(
        {QUrl::fromLocalFile(QString::fromStdString((Pictures() / "logo.bmp").string())),
         QUrl::fromLocalFile(QString::fromStdString((Pictures() / "drop.jpg").string()))});
    const QPoint at = List().viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &drop);
    QTRY_COMPARE(List().count(), 2);
    EXPECT_TRUE(IsLogoFile("C:\\Logos\\dropLogo.bmp"));
    ExpectNoBoxes();
}

struct CommandCase {
    const char* control;
    const char* caption;
};

class OpenedFromTheMainWindowTest : public ChooseTest,
                                    public ::testing::WithParamInterface<CommandCase> {};

TEST_P(OpenedFromTheMainWindowTest, EveryListCommandOpensTheEditorOfItsKind) {
    auto form = OpenMainForm();
    QString caption;
    WhenModal([&](QDialog& editor) {
        caption = editor.windowTitle();
        editor.reject();
    });
    if (auto* action = form->findChild<QAction*>(QLatin1String(GetParam().control)))
        action->trigger();
    else
        Child<QPushButton>(*form, GetParam().control)->click();
    EXPECT_EQ(caption, GetParam().caption);
    ExpectNoBoxes();
}

INSTANTIATE_TEST_SUITE_P(Commands, OpenedFromTheMainWindowTest,
                         ::testing::Values(CommandCase{"ChooseBootBtn", "List of Startup logos"},
                                           CommandCase{"ChooseClosingItem",
                                                       "List of Shutdown logos"},
                                           CommandCase{"PopMenuItem8", "List of Final logos"},
                                           CommandCase{"PopListItem", "List of Startup logos"}));

}  // namespace uitest
