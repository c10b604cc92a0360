// The folder chooser works on the machine: it starts where its field points, offers the
// drives by their letters, and shows and answers Windows paths only.

#include <gmock/gmock.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "UiTest.h"
#include "ui/FolderBrowser.h"
#include "ui/options.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace uitest {
namespace {

class FolderBrowserTest : public UiTest {
protected:
    FolderBrowserTest() {
        for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
        fs::create_directories(DriveC() / "Logos" / "Old");
    }
    static QString Path(const TFolderBrowser& browser) {
        return Child<QLineEdit>(browser, "PathEdit")->text();
    }
};

struct StartCase {
    const char* initial;
    const char* shown;
};

class FolderBrowserStartTest : public FolderBrowserTest,
                               public ::testing::WithParamInterface<StartCase> {};

TEST_P(FolderBrowserStartTest, StartsInTheFolderOfTheFieldElseAtTheDrivesRoot) {
    TFolderBrowser browser(nullptr, "Logo directory", "Select a folder.", "");
    browser.Start(GetParam().initial);
    EXPECT_EQ(Path(browser).toStdString(), GetParam().shown);
    const QModelIndex drive = Child<QListView>(browser, "DriveBar")->currentIndex();
    EXPECT_EQ(drive.data(Qt::UserRole).toString(), QString(QLatin1Char(GetParam().shown[0])));
    EXPECT_EQ(Child<QPushButton>(browser, "OKBtn")->isEnabled(), true);
}

INSTANTIATE_TEST_SUITE_P(Fields, FolderBrowserStartTest,
                         ::testing::Values(StartCase{"C:\\Logos\\", "C:\\Logos"},
                                           StartCase{"c:\\logos\\old", "C:\\Logos\\Old"},
                                           StartCase{"C:\\Missing\\", "C:\\"},
                                           StartCase{"", "C:\\"}, StartCase{"Q:\\Logos", "C:\\"},
                                           StartCase{"Z:\\", "Z:\\"}));

TEST_F(FolderBrowserTest, ShowsDrivesByLetterAndNoHostPath) {
    TFolderBrowser browser(nullptr, "Save new logos in", "Instruction", "Status");
    browser.Start("C:\\Logos");
    const std::string host = MachineRoot().string();
    for (const QLabel* label : browser.findChildren<QLabel*>())
        EXPECT_THAT(label->text().toStdString(), Not(HasSubstr(host)));
    EXPECT_THAT(Path(browser).toStdString(), Not(HasSubstr(host)));
    auto* drives = Child<QListView>(browser, "DriveBar")->model();
    ASSERT_GE(drives->rowCount(), 2);
    EXPECT_TRUE(drives->index(0, 0).data().toString().startsWith("c:"));
    EXPECT_TRUE(drives->index(drives->rowCount() - 1, 0).data().toString().startsWith("z:"));
    auto* folders = Child<QTreeView>(browser, "FolderTree")->model();
    const QModelIndex logos = folders->index(0, 0, folders->index(0, 0));
    EXPECT_EQ(logos.data().toString(), "Logos");
    EXPECT_EQ(folders->index(0, 0, logos).data().toString(), "Old");
}

// The options dialog hands the field to the chooser and takes back a Windows path.
TEST_F(FolderBrowserTest, OptionsBrowseTakesTheChosenWindowsPath) {
    TOptionDlg options;
    auto* field = Child<QLineEdit>(options, "EditLogoSave");
    field->setText("C:\\Logos");
    WhenModal([](QDialog& browser) {
        EXPECT_EQ(browser.windowTitle(), "Logo directory");
        auto* path = Child<QLineEdit>(browser, "PathEdit");
        EXPECT_EQ(path->text(), "C:\\Logos");
        path->setText("c:\\nowhere");
        EXPECT_FALSE(Child<QPushButton>(browser, "OKBtn")->isEnabled());
        path->setText("c:\\windows");
        QTest::mouseClick(Child<QPushButton>(browser, "OKBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(Child<QPushButton>(options, "BrowseBtnSave"), Qt::LeftButton);
    EXPECT_EQ(field->text(), "C:\\WINDOWS");
    WhenModal([](QDialog& browser) { browser.reject(); });
    QTest::mouseClick(Child<QPushButton>(options, "BrowseBtnSave"), Qt::LeftButton);
    EXPECT_EQ(field->text(), "C:\\WINDOWS");
}

}  // namespace
}  // namespace uitest
