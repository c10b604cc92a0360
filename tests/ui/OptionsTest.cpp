#include <gmock/gmock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "UiTest.h"
#include "core/RegEntries.h"
#include "platform/Files.h"
#include "ui/FormTools.h"
#include "ui/options.h"

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace uitest {
namespace {

class OptionsTest : public UiTest {
protected:
    OptionsTest() {
        for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
        fs::create_directories(DriveC() / "Logos");
        fs::create_directories(DriveC() / "Pictures");
    }

    void Open() {
        dialog_ = std::make_unique<TOptionDlg>();
        dialog_->show();
    }
    TOptionDlg& Dialog() { return *dialog_; }
    void SetEdits(const std::string& logoPath, const std::string& imagePath) {
        Child<QLineEdit>(Dialog(), "EditLogoSave")->setText(QString::fromStdString(logoPath));
        Child<QLineEdit>(Dialog(), "EditLookup")->setText(QString::fromStdString(imagePath));
    }
    void PressOk() { QTest::mouseClick(Child<QPushButton>(Dialog(), "OKBtn"), Qt::LeftButton); }
    QCheckBox* Box(const char* name) { return Child<QCheckBox>(Dialog(), name); }

private:
    std::unique_ptr<TOptionDlg> dialog_;
};

TEST_F(OptionsTest, OpensWithTheSettingsOfGlobalInfo) {
    GlobalInfo().SetLogoPath("C:\\Logos\\");
    GlobalInfo().ChangeCloseBmp = true;
    Open();
    EXPECT_EQ(Child<QLineEdit>(Dialog(), "EditLogoSave")->text(), "C:\\Logos\\");
    EXPECT_EQ(Child<QLineEdit>(Dialog(), "EditLookup")->text(), "");
    EXPECT_TRUE(Box("CloseCheckBox")->isChecked());
    EXPECT_FALSE(Box("BootCheckBox")->isChecked());
    EXPECT_TRUE(Box("BootOffCheckBox")->isChecked());  // no Logo entry: the logo is on
    EXPECT_EQ(Child<QComboBox>(Dialog(), "BootDriveBox")->currentData().toString(), "C");
}

// The explanations wrap at the dialog's width; the dialog makes room for them on both pages
// and can't be sized by the user.
TEST_F(OptionsTest, EveryControlHasItsRoomOnBothPages) {
    Open();
    const double scale = DesignScale(&Dialog());
    EXPECT_EQ(Dialog().minimumSize(), Dialog().maximumSize());
    EXPECT_GE(Dialog().width(), Scaled(523, scale));
    EXPECT_GE(Dialog().height(), Scaled(342, scale));
    auto* pages = Child<QTabWidget>(Dialog(), "PageControl1");
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        ExpectNoControlSquashed(Dialog());
    }
}

// The texts users know, spelling included.
TEST_F(OptionsTest, CaptionsAsShipped) {
    Open();
    const std::pair<const char*, const char*> captions[] = {
        {"Headline", "Options"},
        {"Label1",
         "Decide, which  logos are switched at random whith every Windows startup. This option "
         "is only available if the according logo list has, at least, one entry."},
        {"BootCheckBox", "Switch &Startup logo"},
        {"ClosingCheckBox", "Switch Shut&down logo"},
        {"CloseCheckBox", "Switch &Final logo"},
        {"Label2", "In case, you prefer not to see any startup logo, deacivate this checkbox."},
        {"BootOffCheckBox", "S&tartup logo activated"},
        {"Label3",
         "The following directories are entered first, if you want to store or look up logos. "
         "Leave an entry blank, to use the last active directory instead."},
        {"LogoDirLabel", "&Save logos in"},
        {"BrowseBtnSave", "&Browse..."},
        {"LabelImagePath", "&Look up images in"},
        {"BrowseBtnLookup", "&Browse..."},
        {"Label4", "This option is not to be changed, in most cases!"},
        {"BootDirLabel", "&Boot drive"},
        {"OKBtn", "OK"},
        {"CancelBtn", "Cancel"},
        {"HelpBtn", "&Help..."},
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(Child(Dialog(), name)->property("text").toString().toStdString(), caption)
            << name;
    auto* pages = Child<QTabWidget>(Dialog(), "PageControl1");
    EXPECT_EQ(pages->tabText(0), "Automatic logo switch");
    EXPECT_EQ(pages->tabText(1), "Directories");
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(Dialog().windowTitle(), "Options");
}

TEST_F(OptionsTest, DriveBoxListsTheMachinesDrives) {
    Open();
    auto* drives = Child<QComboBox>(Dialog(), "BootDriveBox");
    ASSERT_GE(drives->count(), 2);
    EXPECT_EQ(drives->itemData(0).toString(), "C");
    EXPECT_EQ(drives->itemData(drives->count() - 1).toString(), "Z");
}

TEST_F(OptionsTest, InvalidLogoPathKeepsTheDialogOpenAndAppliesNothing) {
    Open();
    SetEdits("C:\\Missing", "C:\\Pictures");
    Box("BootOffCheckBox")->setChecked(false);
    PressOk();
    EXPECT_TRUE(Dialog().isVisible());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Options");
    EXPECT_EQ(
        Boxes()[0]->text,
        "The path \"C:\\Missing\\\" is not valid. Please, check the entry in the Options dialog!");
    EXPECT_EQ(GlobalInfo().LogoPath(), "");
    EXPECT_EQ(GlobalInfo().ImagePath(), "");
    EXPECT_THAT(ReadFile(MsDosSys()), Not(HasSubstr("Logo=0")));
}

TEST_F(OptionsTest, StepsBeforeTheFailingOneHaveRun) {
    Open();
    SetEdits("C:\\Logos", "C:\\Logos\\file.txt");
    WriteFile(DriveC() / "Logos" / "file.txt", "not a folder");
    PressOk();
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(GlobalInfo().LogoPath(), "C:\\Logos\\");
    EXPECT_EQ(GlobalInfo().ImagePath(), "");
    // Corrected, OK applies all steps from the start.
    SetEdits("C:\\Logos", "C:\\Pictures\\");
    PressOk();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(Dialog().result(), QDialog::Accepted);
    EXPECT_EQ(GlobalInfo().ImagePath(), "C:\\Pictures\\");
}

TEST_F(OptionsTest, EmptyEntriesAreStoredEmpty) {
    GlobalInfo().SetLogoPath("C:\\Logos\\");
    Open();
    SetEdits("", "");
    PressOk();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(GlobalInfo().LogoPath(), "");
    EXPECT_EQ(GlobalInfo().ImagePath(), "");
    EXPECT_THAT(BoxTexts(), IsEmpty());
}

TEST_F(OptionsTest, UncheckingTheStartupLogoWritesLogoZero) {
    Open();
    ASSERT_TRUE(Box("BootOffCheckBox")->isEnabled());
    Box("BootOffCheckBox")->setChecked(false);
    PressOk();
    EXPECT_THAT(ReadFile(MsDosSys()), HasSubstr("Logo=0"));
}

TEST_F(OptionsTest, CheckedStartupLogoLeavesNoLogoEntry) {
    Open();
    PressOk();
    EXPECT_THAT(ReadFile(MsDosSys()), Not(HasSubstr("Logo=")));
}

TEST_F(OptionsTest, MissingMsDosSysDisablesTheStartupLogoBox) {
    fs::remove(MsDosSys());
    Open();
    EXPECT_FALSE(Box("BootOffCheckBox")->isEnabled());
    PressOk();
    EXPECT_FALSE(fs::exists(MsDosSys()));
    EXPECT_FALSE(Dialog().isVisible());
}

TEST_F(OptionsTest, AGreyedStartupLogoBoxSaysWhy) {
    fs::remove(MsDosSys());
    Open();
    auto* reason = Child<QLabel>(Dialog(), "ErrorLabel");
    EXPECT_TRUE(reason->isVisibleTo(&Dialog()));
    EXPECT_EQ(reason->text(), "Error reading the file \"C:\\msdos.sys\"!\nError: not FileOK");
    ExpectNoControlSquashed(Dialog());
}

// Windows 98 leaves msdos.sys read-only, hidden and system; looking at it changes nothing.
TEST_F(OptionsTest, CancelLeavesMsDosSysAsItWas) {
    WriteFile(MsDosSys(), "[Options]\r\nBootGUI=1\r\nLogo=1\r\n");
    const std::string file = GlobalInfo().BootDrive() + "msdos.sys";
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::FILE_ATTRIBUTE_READONLY |
                                                      platform::FILE_ATTRIBUTE_HIDDEN |
                                                      platform::FILE_ATTRIBUTE_SYSTEM));
    const auto mode = fs::status(MsDosSys()).permissions();
    const auto attributes = platform::GetFileAttributes(file);
    Open();
    EXPECT_TRUE(Box("BootOffCheckBox")->isEnabled());
    EXPECT_FALSE(Child<QLabel>(Dialog(), "ErrorLabel")->isVisibleTo(&Dialog()));
    QTest::mouseClick(Child<QPushButton>(Dialog(), "CancelBtn"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(MsDosSys()), "[Options]\r\nBootGUI=1\r\nLogo=1\r\n");
    EXPECT_EQ(platform::GetFileAttributes(file), attributes);
    EXPECT_EQ(fs::status(MsDosSys()).permissions(), mode);
}

TEST_F(OptionsTest, SwitchBoxesFollowTheListsAndEmptyListsEndTheirSwitch) {
    FillList(lkClosing);
    GlobalInfo().ChangeBootBmp = true;  // its list is empty
    Open();
    EXPECT_FALSE(Box("BootCheckBox")->isEnabled());
    EXPECT_TRUE(Box("BootCheckBox")->isChecked());
    EXPECT_TRUE(Box("ClosingCheckBox")->isEnabled());
    EXPECT_FALSE(Box("CloseCheckBox")->isEnabled());
    Box("ClosingCheckBox")->setChecked(true);
    PressOk();
    EXPECT_FALSE(GlobalInfo().ChangeBootBmp);  // cleared by UpdateAutoSwitch
    EXPECT_TRUE(GlobalInfo().ChangeClosingBmp);
    EXPECT_TRUE(IsAutoStartOn());
}

TEST_F(OptionsTest, CancelAppliesNothing) {
    FillList(lkBoot);
    Open();
    SetEdits("C:\\Logos", "C:\\Pictures");
    Box("BootCheckBox")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(Dialog(), "CancelBtn"), Qt::LeftButton);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(GlobalInfo().LogoPath(), "");
    EXPECT_FALSE(GlobalInfo().ChangeBootBmp);
    EXPECT_FALSE(IsAutoStartOn());
}

TEST_F(OptionsTest, BootDriveIsStoredAsTheDriveRoot) {
    Open();
    auto* drives = Child<QComboBox>(Dialog(), "BootDriveBox");
    drives->setCurrentIndex(drives->findData(QStringLiteral("Z")));
    PressOk();
    EXPECT_EQ(GlobalInfo().BootDrive(), "Z:\\");
}

TEST_F(OptionsTest, HelpButtonOpensTopicTwelve) {
    Open();
    QTest::mouseClick(Child<QPushButton>(Dialog(), "HelpBtn"), Qt::LeftButton);
    EXPECT_EQ(HelpRequests().back(), "topic 12");
}

}  // namespace
}  // namespace uitest
