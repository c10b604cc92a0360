// The Qt file dialogs behind the windows: they show the host's folders and answer with
// Windows paths of the machine.

#include <gmock/gmock.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "UiTest.h"
#include "platform/Files.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace uitest {
namespace {

class QtFileDialogsTest : public UiTest {
protected:
    QtFileDialogsTest() { SetFileDialogs(nullptr); }
    static QFileDialog& FileDialog(QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr);
        return *files;
    }
};

TEST_F(QtFileDialogsTest, PictureChosenOnTheHostComesBackAsAWindowsPath) {
    WriteBitmap(DriveC() / "Pictures" / "tree.bmp", 64, 48);
    TOpenDialogRequest request;
    request.Title = "Open";
    request.Filter = "Images & Logos|*.jpg;*.jpeg;*.bmp;*.sys|JPEG Image File (*.jpg)|*.jpg;*.jpeg";
    request.FilterIndex = 2;
    request.InitialDir = "C:\\Pictures\\";
    QStringList filters, selectedFilter;
    QString folder;
    WhenModal([&](QDialog& dialog) {
        QFileDialog& files = FileDialog(dialog);
        filters = files.nameFilters();
        selectedFilter = {files.selectedNameFilter()};
        folder = files.directory().absolutePath();
        // Typed as a user types it: selectFile leaves a field that has the focus alone.
        Child<QLineEdit>(dialog, "fileNameEdit")->setText(QStringLiteral("tree.bmp"));
        dialog.accept();  // public in QDialog, QFileDialog's own runs
    });
    const auto chosen = CurrentFileDialogs().OpenPicture(nullptr, request);
    EXPECT_THAT(filters, ElementsAre("Images & Logos (*.jpg *.jpeg *.bmp *.sys)",
                                     "JPEG Image File (*.jpg *.jpeg)"));
    EXPECT_THAT(selectedFilter, ElementsAre("JPEG Image File (*.jpg *.jpeg)"));
    EXPECT_EQ(fs::canonical(folder.toStdString()), fs::canonical(DriveC() / "Pictures"));
    EXPECT_EQ(chosen, std::optional<std::string>("C:\\Pictures\\tree.bmp"));
}

// Never the process's working folder, which is no place of the machine.
TEST_F(QtFileDialogsTest, WithoutItsInitialFolderTheDialogStartsAtTheDrivesRoot) {
    for (const char* initialDir : {"", "C:\\Missing\\"}) {
        TOpenDialogRequest request;
        request.InitialDir = initialDir;
        QString folder;
        WhenModal([&](QDialog& dialog) {
            folder = FileDialog(dialog).directory().absolutePath();
            dialog.reject();
        });
        CurrentFileDialogs().OpenPicture(nullptr, request);
        EXPECT_EQ(fs::canonical(folder.toStdString()), fs::canonical(DriveC())) << initialDir;
    }
}

// Where a drive leads now, else the home folder; beside it this computer's places.
TEST_F(QtFileDialogsTest, TheChooserOfADrivesTargetStartsWhereTheDriveLeads) {
    using Kind = platform::DriveTarget::Kind;
    const fs::path images = DriveC().parent_path() / "images";
    fs::create_directories(images);
    const fs::path home = QDir::homePath().toStdString();
    const struct {
        Kind kind;
        fs::path start;
        fs::path folder;
    } cases[] = {
        {Kind::Folder, DriveC(), DriveC()},
        {Kind::Image, images / "win98.img", images},
        {Kind::Image, {}, home},
        {Kind::Folder, images / "missing", home},
    };
    for (const auto& test : cases) {
        QString folder;
        QList<QUrl> places;
        WhenModal([&](QDialog& dialog) {
            folder = FileDialog(dialog).directory().absolutePath();
            places = FileDialog(dialog).sidebarUrls();
            dialog.reject();
        });
        EXPECT_EQ(CurrentFileDialogs().ChooseDriveTarget(nullptr, test.kind, test.start),
                  std::nullopt);
        EXPECT_EQ(fs::canonical(folder.toStdString()), fs::canonical(test.folder)) << test.start;
        EXPECT_EQ(places, (QList{QUrl::fromLocalFile(QDir::homePath()),
                                 QUrl::fromLocalFile(QDir::rootPath())}));
    }
}

TEST_F(QtFileDialogsTest, TheHighlightedPictureIsPreviewedWithItsSize) {
    WriteBitmap(DriveC() / "Pictures" / "tree.bmp", 64, 48);
    TOpenDialogRequest request;
    request.Filter = "Bitmap (*.bmp)|*.bmp";
    request.InitialDir = "C:\\Pictures\\";
    std::vector<QString> facts;
    WhenModal([&](QDialog& dialog) {
        emit FileDialog(dialog).currentChanged(
            QString::fromStdString((DriveC() / "Pictures" / "tree.bmp").string()));
        auto shownFacts = [&] {
            facts.clear();
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (label->text().contains(QLatin1String("colours")))
                    facts.push_back(label->text());
            }
            return !facts.empty();
        };
        // The preview reads the picture once the highlight rests.
        EXPECT_TRUE(QTest::qWaitFor(shownFacts));
        dialog.reject();
    });
    EXPECT_EQ(CurrentFileDialogs().OpenPicture(nullptr, request), std::nullopt);
    EXPECT_THAT(facts, ElementsAre("64 x 48, 256 colours"));
}

TEST_F(QtFileDialogsTest, SavingOverAReadOnlyFileIsRefused) {
    WriteLogo(DriveC() / "Logos" / "old.bmp");
    ASSERT_TRUE(
        platform::SetFileAttributes("C:\\Logos\\old.bmp", platform::FILE_ATTRIBUTE_READONLY));
    TSaveDialogRequest request;
    request.Title = "Save Logo as";
    request.Filter = "Windows logo (*.sys)|*.sys|Bitmap (*.bmp)|*.bmp";
    request.FilterIndex = 2;
    request.InitialDir = "C:\\Logos\\";
    request.FileName = "old.bmp";
    request.NoReadOnlyReturn = true;
    bool stayedOpen = false;
    WhenModal([&](QDialog& dialog) {
        dialog.accept();
        stayedOpen = dialog.isVisible();
        dialog.reject();
    });
    EXPECT_EQ(CurrentFileDialogs().SaveFile(nullptr, request), std::nullopt);
    EXPECT_TRUE(stayedOpen);
    EXPECT_THAT(BoxTexts(), ElementsAre("C:\\Logos\\old.bmp\rThis file is set to read-only.\r"
                                        "Try again with a different file name."));
}

}  // namespace
}  // namespace uitest
