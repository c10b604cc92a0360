// The Drives page of the options dialog: what it says a letter leads to, and the links its
// buttons make, undo and show in the rest of the dialog.

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <map>

#include "UiTest.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/DiskImages.h"
#include "ui/DrivesPage.h"
#include "ui/options.h"

using ::testing::HasSubstr;

namespace uitest {
namespace {

using platform::DriveTarget;

struct Described {
    const char* name;
    // Makes the target below folder.
    DriveTarget (*make)(const fs::path& folder);
    TTargetFacts facts;  // the details of a problem only in part
};

DriveTarget Image(const fs::path& folder, const imagetest::ImageKind& kind, int partition = 0) {
    return {DriveTarget::Kind::Image, imagetest::TestImage(folder, kind).Path(), partition};
}

const Described kDescribed[] = {
    {"Folder",
     [](const fs::path& f) {
         return DriveTarget{DriveTarget::Kind::Folder, f, 0};
     },
     {"Folder", "", false}},
    {"MissingFolder",
     [](const fs::path& f) {
         return DriveTarget{DriveTarget::Kind::Folder, f / "gone", 0};
     },
     {"Not found", "not there", true}},
    {"HostRoot",
     [](const fs::path&) {
         return DriveTarget{DriveTarget::Kind::Folder, "/", 0};
     },
     {"Whole computer", "The root folder of this computer, with all its files.", false}},
    {"Superfloppy",
     [](const fs::path& f) { return Image(f, imagetest::kImageKinds[0]); },
     {"FAT12", "Raw image, whole disk: FAT12, 1.4 MB", false}},
    {"ActivePartition",
     [](const fs::path& f) { return Image(f, imagetest::kImageKinds[1]); },
     {"FAT16, partition 2", "Raw image, partition 2: FAT16, 35.0 MB", false}},
    {"ChosenPartition",
     [](const fs::path& f) { return Image(f, imagetest::kImageKinds[1], 1); },
     {"FAT12, partition 1", "Raw image, partition 1: FAT12, 4.0 MB", false}},
    {"DynamicVhd",
     [](const fs::path& f) { return Image(f, imagetest::kImageKinds[4]); },
     {"FAT32, partition 1", "Dynamic VHD, partition 1: FAT32, 47.0 MB", false}},
    {"Qcow2",
     [](const fs::path& f) {
         imagetest::Shell("qemu-img create -q -f qcow2 '" + (f / "disk.qcow2").string() + "' 1M");
         return DriveTarget{DriveTarget::Kind::Image, f / "disk.qcow2", 0};
     },
     {"Can't be read", "qemu-img convert -O raw", true}},
};

class DescribeDriveTargetTest : public UiTest, public ::testing::WithParamInterface<Described> {};

TEST_P(DescribeDriveTargetTest, SaysWhatIsThere) {
    if (auto missing = imagetest::MissingTool(); !missing.empty())
        GTEST_SKIP() << missing << " is not installed";
    const fs::path folder = DriveC().parent_path() / "targets";
    fs::create_directories(folder);
    const TTargetFacts facts = DescribeDriveTarget(GetParam().make(folder));
    const TTargetFacts& expected = GetParam().facts;
    EXPECT_EQ(facts.type, expected.type);
    EXPECT_EQ(facts.problem, expected.problem);
    if (expected.problem)
        EXPECT_THAT(facts.details, HasSubstr(expected.details));
    else
        EXPECT_EQ(facts.details, expected.details);
}

INSTANTIATE_TEST_SUITE_P(Targets, DescribeDriveTargetTest, ::testing::ValuesIn(kDescribed),
                         [](const auto& test) { return std::string(test.param.name); });

class DrivesPageTest : public UiTest {
protected:
    void SetUp() override {
        if (auto missing = imagetest::MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
        fs::create_directories(Images());
        image_ = imagetest::TestImage(Images(), imagetest::kImageKinds[1]).Path();
    }
    fs::path Images() const { return DriveC().parent_path() / "images"; }
    fs::path Link(const char* name) const { return DriveC().parent_path() / "dosdevices" / name; }
    void Click(QWidget& page, const char* name) {
        QTest::mouseClick(Child<QPushButton>(page, name), Qt::LeftButton);
    }
    QStringList Rows(QWidget& page) {
        QStringList rows;
        auto* list = Child<QTreeWidget>(page, "DriveList");
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            rows << list->topLevelItem(row)->text(0) + " " + list->topLevelItem(row)->text(1) +
                        " " + list->topLevelItem(row)->text(2);
        return rows;
    }
    fs::path image_;
};

TEST_F(DrivesPageTest, AddsAnImageDriveChoosesItsPartitionAndRemovesIt) {
    TDrivesPage page;
    int changes = 0;
    QObject::connect(&page, &TDrivesPage::DrivesChanged, [&] { ++changes; });
    EXPECT_THAT(Rows(page).join('\n').toStdString(), HasSubstr("z: / Whole computer"));

    WhenModal([](QDialog& dialog) {
        auto& ask = dynamic_cast<QInputDialog&>(dialog);
        EXPECT_EQ(ask.textValue(), "d:");  // the first free letter after the floppies
        ask.setTextValue(QStringLiteral("e:"));
        ask.accept();
    });
    Click(page, "AddDriveBtn");
    EXPECT_EQ(page.SelectedLetter(), 'E');
    EXPECT_FALSE(fs::exists(fs::symlink_status(Link("e:"))));
    EXPECT_TRUE(Child<QLabel>(page, "DriveInfoLabel")->isVisibleTo(&page));

    FileDialogs().driveAnswers = {image_};
    Click(page, "BrowseImageBtn");
    EXPECT_EQ(fs::read_symlink(Link("e:")), image_);
    EXPECT_TRUE(platform::FileExists("E:\\LOGO.SYS"));
    auto* partitions = Child<QComboBox>(page, "PartitionBox");
    ASSERT_EQ(partitions->count(), 3);
    EXPECT_EQ(partitions->itemText(2), "Partition 2: FAT16, 35.0 MB (active)");

    partitions->setCurrentIndex(1);
    emit partitions->activated(1);
    EXPECT_EQ(fs::read_symlink(Link("e:")), image_ / "1");
    EXPECT_FALSE(platform::FileExists("E:\\LOGO.SYS"));
    EXPECT_THAT(Rows(page).join('\n').toStdString(),
                HasSubstr("e: " + image_.string() + " FAT12, partition 1"));

    Click(page, "RemoveDriveBtn");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Link("e:"))));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(FileDialogs().driveRequests, (std::vector{DriveTarget::Kind::Image}));
}

// Another C: is another msdos.sys and another name in the boot-drive box.
TEST_F(DrivesPageTest, TheRestOfTheDialogFollowsAChangedDrive) {
    ASSERT_TRUE(platform::SetFileAttributes("C:\\MSDOS.SYS", platform::FILE_ATTRIBUTE_NORMAL));
    TOptionDlg dialog;
    dialog.show();
    EXPECT_TRUE(Child<QCheckBox>(dialog, "BootOffCheckBox")->isChecked());
    platform::CurrentMachine().MapDrive('D', {DriveTarget::Kind::Image, image_, 0});
    ASSERT_TRUE(platform::SetFileAttributes("D:\\MSDOS.SYS", platform::FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(platform::WritePrivateProfileString("Options", "Logo", "0", "D:\\MSDOS.SYS"));
    platform::CurrentMachine().UnmapDrive('D');

    auto* page = Child<TDrivesPage>(dialog, "SheetDrives");
    page->SelectLetter('C');
    FileDialogs().driveAnswers = {image_};
    Click(*page, "BrowseImageBtn");
    EXPECT_FALSE(Child<QCheckBox>(dialog, "BootOffCheckBox")->isChecked());
    EXPECT_EQ(Child<QComboBox>(dialog, "BootDriveBox")->currentText(), "c: [raw.img]");

    FileDialogs().driveAnswers = {DriveC()};
    Click(*page, "BrowseFolderBtn");
    EXPECT_TRUE(Child<QCheckBox>(dialog, "BootOffCheckBox")->isChecked());
    EXPECT_EQ(Child<QComboBox>(dialog, "BootDriveBox")->currentText(), "c: [drive_c]");
    EXPECT_EQ(fs::read_symlink(Link("c:")), DriveC());
}

// The conversion a refusal names is a command to copy: none of it is cut off.
TEST_F(DrivesPageTest, TheRefusalOfAnotherFormatIsShownWhole) {
    const fs::path qcow2 = Images() / "a disk image of QEMU with a long name.qcow2";
    ASSERT_EQ(imagetest::Shell("qemu-img create -q -f qcow2 '" + qcow2.string() + "' 1M"), 0);
    TOptionDlg dialog;
    dialog.show();
    auto* page = Child<TDrivesPage>(dialog, "SheetDrives");
    Child<QTabWidget>(dialog, "PageControl1")->setCurrentWidget(page);
    const int height = dialog.height();
    page->SelectLetter('C');
    FileDialogs().driveAnswers = {qcow2};
    Click(*page, "BrowseImageBtn");
    QCoreApplication::processEvents();
    const auto* label = Child<QLabel>(*page, "DriveInfoLabel");
    EXPECT_THAT(label->text().toStdString(), HasSubstr("qemu-img convert -O raw"));
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_GT(dialog.height(), height);

    FileDialogs().driveAnswers = {DriveC()};
    Click(*page, "BrowseFolderBtn");
    EXPECT_GT(dialog.height(), height);  // no jumping back
}

// Alt with a key two controls share only moves between them; each must press its button.
TEST_F(DrivesPageTest, EachAltKeyOfTheTabReachesOneControl) {
    TOptionDlg dialog;
    dialog.show();
    Child<QTabWidget>(dialog, "PageControl1")
        ->setCurrentWidget(Child<TDrivesPage>(dialog, "SheetDrives"));
    std::map<QChar, QString> keys;
    auto take = [&](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size()) {
            const auto [taken, fresh] = keys.emplace(text[at + 1].toLower(), text);
            EXPECT_TRUE(fresh) << text.toStdString() << " and " << taken->second.toStdString();
        }
    };
    for (const auto* button : dialog.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&dialog))
            take(button->text());
    }
    for (const auto* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() != nullptr && label->isVisibleTo(&dialog))
            take(label->text());
    }
    EXPECT_GE(keys.size(), 6u);
}

}  // namespace
}  // namespace uitest
