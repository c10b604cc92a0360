#include <gmock/gmock.h>

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include "UiTest.h"
#include "core/RegEntries.h"
#include "image/Bitmap.h"
#include "platform/MessageBox.h"
#include "ui/Create.h"
#include "ui/FormTools.h"
#include "ui/LogoPreview.h"
#include "ui/about.h"
#include "ui/options.h"
#include "ui/view.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace uitest {
namespace {

using platform::IDNO;
using platform::IDYES;

class MainFormTest : public UiTest {};

// ---- Creation ----

TEST_F(MainFormTest, FirstStartRunsTheSetupBeforeListsPreviewsAndStatus) {
    WriteIni("NewInstalled=1\r\nChangeBootBmp=1\r\nChangeClosingBmp=1\r\n");
    WriteLogo(ProgramDir() / "Examples" / "sunrise.bmp");
    FillList(lkClosing);
    Answer({IDNO});  // no backup
    auto form = OpenMainForm();

    // The configuration was read first (NewInstalled=1 started the setup), the setup
    // opened its help topic after the help file was set.
    EXPECT_THAT(HelpRequests(),
                ElementsAre("file " + GlobalInfo().AppPath + "BootramaE.qch", "topic 52"));
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().front()->title, "Backup");
    // The setup created the lists, so nothing was asked about missing list files.
    for (const auto& box : Boxes()) EXPECT_NE(box->title, "Data file");
    EXPECT_THAT(ReadFile(ListHost(lkBoot)), HasSubstr("sunrise.bmp"));
    EXPECT_FALSE(GlobalInfo().NewInstalled);
    // The previews and status follow the setup and UpdateAutoSwitch: the Startup list got an
    // example, so its switch stays on; the Final list is empty, its flag was never on.
    EXPECT_EQ(Child<QPushButton>(*form, "BootActiveBtn")->text(), "On");
    EXPECT_EQ(Child<QPushButton>(*form, "ClosingActiveBtn")->text(), "On");
    EXPECT_EQ(Child<QPushButton>(*form, "CloseActiveBtn")->text(), "Off");
    EXPECT_TRUE(IsAutoStartOn());
}

TEST_F(MainFormTest, AutoSwitchOfAnEmptyListIsClearedBeforeTheStatusIsShown) {
    WriteIni("NewInstalled=0\r\nChangeBootBmp=1\r\n");
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    EXPECT_EQ(Child<QPushButton>(*form, "BootActiveBtn")->text(), "Off");
    EXPECT_FALSE(GlobalInfo().ChangeBootBmp);
    EXPECT_FALSE(IsAutoStartOn());
}

TEST_F(MainFormTest, MissingListFilesAreOfferedAfterTheConfigurationIsRead) {
    Answer({IDYES, IDYES, IDYES});
    auto form = OpenMainForm();
    int questions = 0;
    for (const auto& box : Boxes()) questions += box->title == "Data file";
    EXPECT_EQ(questions, 3);
    for (TLogoKind kind : AllLogoKinds) EXPECT_TRUE(fs::exists(ListHost(kind)));
}

// ---- Layout ----

struct DesignSize {
    const char* control;
    int width, height;
};

class DesignSizeTest : public UiTest, public ::testing::WithParamInterface<DesignSize> {};

TEST_P(DesignSizeTest, ScaledWithTheScreen) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    const double scale = DesignScale(form.get());
    const QWidget* control = Child(*form, GetParam().control);
    EXPECT_EQ(control->size(),
              QSize(Scaled(GetParam().width, scale), Scaled(GetParam().height, scale)));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, DesignSizeTest,
    ::testing::Values(DesignSize{"centralwidget", 479, 354}, DesignSize{"SpeedBar", 479, 37},
                      DesignSize{"Panel1", 449, 265}, DesignSize{"BootBevel", 134, 104},
                      DesignSize{"ClosingBox", 130, 100}, DesignSize{"CloseErrorTxt", 128, 96},
                      DesignSize{"BlockPanel1", 134, 20}),
    [](const ::testing::TestParamInfo<DesignSize>& size) {
        return std::string(size.param.control);
    });

// The error label's red text is its own; the tooltip it shows keeps the tooltip colours.
TEST_F(MainFormTest, TooltipOverAPreviewLooksLikeATooltip) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    form->show();
    auto* label = Child<QLabel>(*form, "BootErrorTxt");
    EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::red));
    QToolTip::showText(label->mapToGlobal(QPoint(5, 5)), label->toolTip(), label);
    const QWidget* tip = nullptr;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("qtooltip_label") && window->isVisible())
            tip = window;
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->palette().color(tip->foregroundRole()),
              QToolTip::palette().color(QPalette::ToolTipText));
    QToolTip::hideText();
}

// ---- Previews ----

enum class LogoFile { Missing, Valid, WrongSize, NotABitmap };

struct PreviewCase {
    TLogoKind kind;
    LogoFile file;
    const char* errorText;
};

class PreviewTest : public UiTest, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(PreviewTest, ShowsTheLogoOrTellsWhyNot) {
    const PreviewCase& c = GetParam();
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    switch (c.file) {
        case LogoFile::Missing:
            break;
        case LogoFile::Valid:
            WriteLogo(LogoHost(c.kind), 200);
            break;
        case LogoFile::WrongSize:
            WriteBitmap(LogoHost(c.kind), 640, 480);
            break;
        case LogoFile::NotABitmap:
            WriteFile(LogoHost(c.kind), "no bitmap at all");
            break;
    }
    auto form = OpenMainForm();
    static const TKindTable<const char*> names = {"Boot", "Closing", "Close"};
    const std::string prefix = names[c.kind];
    EXPECT_EQ(Child<QLabel>(*form, (prefix + "ErrorTxt").c_str())->text().toStdString(),
              c.errorText);
    const QImage& image = Child<TLogoPreview>(*form, (prefix + "Box").c_str())->Image();
    if (c.file == LogoFile::Valid) {
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(320, 400));
        EXPECT_EQ(image.pixel(160, 200), qRgb(200, 200, 200));
    } else {
        EXPECT_TRUE(image.isNull());  // painted black
    }
    EXPECT_THAT(BoxTexts(), IsEmpty());  // a preview never reports by a box
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PreviewTest,
    ::testing::Values(
        PreviewCase{lkBoot, LogoFile::Missing, "Default Windows logo"},
        PreviewCase{lkClosing, LogoFile::Missing, "Can't open the file!"},
        PreviewCase{lkClose, LogoFile::Missing, "Can't open the file!"},
        PreviewCase{lkBoot, LogoFile::Valid, ""}, PreviewCase{lkClosing, LogoFile::Valid, ""},
        PreviewCase{lkClose, LogoFile::Valid, ""},
        PreviewCase{lkBoot, LogoFile::WrongSize, "File \"logo.sys\" is no valid Logo."},
        PreviewCase{lkClosing, LogoFile::WrongSize, "File \"logow.sys\" is no valid Logo."},
        PreviewCase{lkClose, LogoFile::WrongSize, "File \"logos.sys\" is no valid Logo."},
        PreviewCase{lkBoot, LogoFile::NotABitmap, "Default Windows logo"},
        PreviewCase{lkClosing, LogoFile::NotABitmap, "Can't open the file!"}));

TEST_F(MainFormTest, LogoPreviewDrawsTheColourTable) {
    TBitmap bitmap;
    bitmap.Width = 2;
    bitmap.Height = 1;
    bitmap.BitsPerPixel = 8;
    bitmap.Pixels = {0, 5};
    bitmap.Colours = {{255, 0, 0}};  // index 5 lies past the table
    const QImage image = LogoImage(bitmap);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(LogoImage(TBitmap{}).isNull());
}

// ---- Enabling ----

struct ListCase {
    bool boot, closing, close;
};

class EnablingTest : public UiTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(EnablingTest, SwitchButtonsAndRandomItemsFollowTheLists) {
    const ListCase& c = GetParam();
    const TKindTable<bool> filled = {c.boot, c.closing, c.close};
    for (TLogoKind kind : AllLogoKinds) {
        if (filled[kind])
            FillList(kind);
        else
            WriteFile(ListHost(kind), "");
    }
    auto form = OpenMainForm();
    const TKindTable<const char*> buttons = {"BootActiveBtn", "ClosingActiveBtn", "CloseActiveBtn"};
    const TKindTable<const char*> items = {"RandomBootItem", "RandomClosingItem",
                                           "RandomCloseItem"};
    const TKindTable<const char*> pops = {"PopRandomBoot", "PopRandomClosing", "PopRandomClose"};
    for (TLogoKind kind : AllLogoKinds) {
        EXPECT_EQ(Child<QPushButton>(*form, buttons[kind])->isEnabled(), filled[kind]);
        EXPECT_EQ(Child<QAction>(*form, items[kind])->isEnabled(), filled[kind]);
        EXPECT_EQ(Child<QAction>(*form, pops[kind])->isEnabled(), filled[kind]);
    }
    const bool any = c.boot || c.closing || c.close;
    EXPECT_EQ(Child<QAction>(*form, "RandomBothItem")->isEnabled(), any);
    EXPECT_EQ(Child<QMenu>(*form, "RandomItem")->menuAction()->isEnabled(), any);
}

INSTANTIATE_TEST_SUITE_P(Lists, EnablingTest,
                         ::testing::Values(ListCase{false, false, false},
                                           ListCase{true, false, false},
                                           ListCase{false, true, false},
                                           ListCase{false, false, true},
                                           ListCase{true, true, true}));

class RestoreItemTest : public UiTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RestoreItemTest, AnyOneBackupEnablesRestore) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    const std::string backup = GetParam();
    if (!backup.empty())
        WriteLogo(ProgramDir() / backup);
    auto form = OpenMainForm();
    EXPECT_EQ(Child<QAction>(*form, "RestoreItem")->isEnabled(), !backup.empty());
}

INSTANTIATE_TEST_SUITE_P(Backups, RestoreItemTest,
                         ::testing::Values("", "logo.bak", "logow.bak", "logos.bak"));

TEST_F(MainFormTest, BackupEnablesRestoreAtOnce) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteLogo(LogoHost(lkClosing));
    auto form = OpenMainForm();
    ASSERT_FALSE(Child<QAction>(*form, "RestoreItem")->isEnabled());
    Answer({platform::IDOK});
    Child<QAction>(*form, "BackupItem")->trigger();
    EXPECT_TRUE(Child<QAction>(*form, "RestoreItem")->isEnabled());
}

// ---- The deactivation band ----

struct BandCase {
    const char* options;
    bool band;
};

class BandTest : public UiTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BandTest, FollowsTheLogoEntryOfMsDosSys) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteFile(MsDosSys(),
              std::string("[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\n") +
                  GetParam().options);
    auto form = OpenMainForm();
    EXPECT_EQ(Child(*form, "BlockPanel1")->isVisibleTo(form.get()), GetParam().band);
    EXPECT_EQ(Child(*form, "BlockPanel2")->isVisibleTo(form.get()), GetParam().band);
}

INSTANTIATE_TEST_SUITE_P(Entries, BandTest,
                         ::testing::Values(BandCase{"", false}, BandCase{"Logo=1\r\n", false},
                                           BandCase{"Logo=0\r\n", true}));

TEST_F(MainFormTest, BandFollowsMsDosSysAtTheNextStatusRefresh) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    ASSERT_FALSE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
    WriteFile(MsDosSys(), "[Options]\r\nLogo=0\r\n");
    WhenModal([](QDialog& editor) { editor.reject(); });
    Child<QAction>(*form, "ChooseBootItem")->trigger();  // followed by a status refresh
    EXPECT_TRUE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
}

// Commands that switch the Startup logo on take the band away at once.
struct BandCommandCase {
    const char* item;
    const char* backup;  // in the program folder; without logo.bak the default logo returns
};

void PrintTo(const BandCommandCase& c, std::ostream* out) {
    *out << c.item;
}

class BandCommandTest : public UiTest, public ::testing::WithParamInterface<BandCommandCase> {};

TEST_P(BandCommandTest, TakesTheBandAwayAtOnce) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteFile(MsDosSys(), "[Options]\r\nBootGUI=1\r\nLogo=0\r\n");
    WriteLogo(LogoHost(lkBoot));
    WriteLogo(ProgramDir() / GetParam().backup);
    auto form = OpenMainForm();
    ASSERT_TRUE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
    Answer({IDYES});
    Child<QAction>(*form, GetParam().item)->trigger();
    EXPECT_EQ(ReadFile(MsDosSys()), "[Options]\r\nBootGUI=1\r\n");
    EXPECT_FALSE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
    EXPECT_EQ(Child<QLabel>(*form, "BootErrorTxt")->text(), "Default Windows logo");
}

INSTANTIATE_TEST_SUITE_P(Commands, BandCommandTest,
                         ::testing::Values(BandCommandCase{"StandardItem", "logow.bak"},
                                           BandCommandCase{"PopStandardItem", "logow.bak"},
                                           BandCommandCase{"RestoreItem", "logos.bak"}),
                         [](const ::testing::TestParamInfo<BandCommandCase>& c) {
                             return std::string(c.param.item);
                         });

// Over a text on the preview the band moves to its lower edge; over a logo it lies across
// the middle. It never takes the preview's clicks.
TEST_F(MainFormTest, BandAndPreviewTextAreBothReadable) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteFile(MsDosSys(), "[Options]\r\nLogo=0\r\n");
    auto form = OpenMainForm();
    form->show();
    auto* text = Child<QLabel>(*form, "BootErrorTxt");
    const QWidget* band = Child(*form, "BlockPanel1");
    const QWidget* preview = Child(*form, "BootBox");
    ASSERT_EQ(text->text(), "Default Windows logo");
    const QRect textArea = text->contentsRect().translated(text->pos());
    EXPECT_FALSE(textArea.intersects(band->geometry()));
    EXPECT_GE(textArea.height(), text->heightForWidth(textArea.width()));
    EXPECT_EQ(band->geometry().bottom(), preview->geometry().bottom());
    EXPECT_EQ(text->parentWidget()->childAt(band->geometry().center()), text);

    WriteLogo(LogoHost(lkBoot));
    WhenModal([](QDialog& dialog) { dialog.reject(); });
    Child<QAction>(*form, "ViewBoot")->trigger();  // reloads the Startup preview
    ASSERT_EQ(text->text(), "");
    EXPECT_LE(std::abs(band->geometry().center().y() - preview->geometry().center().y()), 1);
    EXPECT_EQ(text->parentWidget()->childAt(band->geometry().center()), text);
}

TEST_F(MainFormTest, MissingMsDosSysIsReportedAndLeavesTheBand) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    fs::remove(MsDosSys());
    auto form = OpenMainForm();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::Error);
    EXPECT_FALSE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
}

// ---- Automatic switch buttons and closing ----

TEST_F(MainFormTest, SwitchButtonWritesTheAutostartAtOnceAndTheConfigurationAtClose) {
    FillList(lkClosing);
    WriteFile(ListHost(lkBoot), "");
    WriteFile(ListHost(lkClose), "");
    auto form = OpenMainForm();
    const std::string before = ReadFile(Ini());
    auto* button = Child<QPushButton>(*form, "ClosingActiveBtn");
    ASSERT_EQ(button->text(), "Off");

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), "On");
    EXPECT_TRUE(GlobalInfo().ChangeClosingBmp);
    EXPECT_TRUE(IsAutoStartOn());
    EXPECT_EQ(ReadFile(Ini()), before);

    form->close();
    EXPECT_THAT(ReadFile(Ini()), HasSubstr("ChangeClosingBmp=1\r\n"));
    EXPECT_THAT(ReadFile(Ini()), HasSubstr("ChangeBootBmp=0\r\n"));
}

TEST_F(MainFormTest, SwitchingOffTheLastKindRemovesTheAutostart) {
    WriteIni("NewInstalled=0\r\nChangeBootBmp=1\r\n");
    FillList(lkBoot);
    WriteFile(ListHost(lkClosing), "");
    WriteFile(ListHost(lkClose), "");
    auto form = OpenMainForm();
    ASSERT_TRUE(IsAutoStartOn());
    QTest::mouseClick(Child<QPushButton>(*form, "BootActiveBtn"), Qt::LeftButton);
    EXPECT_EQ(Child<QPushButton>(*form, "BootActiveBtn")->text(), "Off");
    EXPECT_FALSE(IsAutoStartOn());
}

// ---- Commands ----

TEST_F(MainFormTest, RandomSwitchAnsweredNoChangesNothingButReloadsThePreview) {
    FillList(lkBoot);
    WriteFile(ListHost(lkClosing), "");
    WriteFile(ListHost(lkClose), "");
    auto form = OpenMainForm();
    WriteLogo(LogoHost(lkBoot), 99);  // appears only through the reload
    Answer({IDNO});
    Child<QAction>(*form, "RandomBootItem")->trigger();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Switch logo");
    EXPECT_EQ(Boxes()[0]->text, "Startup logo will be replaced now at random.");
    EXPECT_EQ(Child<TLogoPreview>(*form, "BootBox")->Image().pixel(0, 0), qRgb(99, 99, 99));
}

TEST_F(MainFormTest, RandomSwitchAnsweredYesShowsTheNewLogo) {
    FillList(lkBoot);
    WriteFile(ListHost(lkClosing), "");
    WriteFile(ListHost(lkClose), "");
    auto form = OpenMainForm();
    ASSERT_EQ(Child<QLabel>(*form, "BootErrorTxt")->text(), "Default Windows logo");
    Answer({IDYES});
    Child<QAction>(*form, "PopRandomBoot")->trigger();
    EXPECT_EQ(Child<QLabel>(*form, "BootErrorTxt")->text(), "");
    EXPECT_TRUE(fs::exists(DriveC() / "logo.sys"));
}

TEST_F(MainFormTest, DefaultStartupLogoDeletesLogoSysOnYesOnly) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteLogo(LogoHost(lkBoot));
    auto form = OpenMainForm();
    Answer({IDNO});
    Child<QAction>(*form, "StandardItem")->trigger();
    EXPECT_TRUE(fs::exists(LogoHost(lkBoot)));
    Answer({IDYES});
    Child<QAction>(*form, "PopStandardItem")->trigger();
    EXPECT_FALSE(fs::exists(LogoHost(lkBoot)));
    EXPECT_EQ(Child<QLabel>(*form, "BootErrorTxt")->text(), "Default Windows logo");
}

TEST_F(MainFormTest, RestoreReportsSuccessAndFailure) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    WriteLogo(ProgramDir() / "logow.bak", 50);
    auto form = OpenMainForm();
    Answer({IDYES});
    Child<QAction>(*form, "RestoreItem")->trigger();
    ASSERT_GE(Boxes().size(), 2u);
    EXPECT_EQ(Boxes().front()->title, "Recover old logos");
    EXPECT_EQ(Boxes().front()->text,
              "Do you wish to replace the current logos by the backup copies?");
    EXPECT_EQ(Boxes().back()->title, "Recover old logos");
    EXPECT_EQ(Boxes().back()->kind, platform::BoxKind::Warning);
    EXPECT_EQ(Boxes().back()->text,
              "Errors occured while Bootrama tried to replace the current logos by backup copies. "
              "Check, wether all backup copies are in the Bootrama directory! ");
    EXPECT_EQ(Child<TLogoPreview>(*form, "ClosingBox")->Image().pixel(0, 0), qRgb(50, 50, 50));
}

// ---- The dialogs ----

enum class Gesture { Trigger, Click, DoubleClick };

struct DialogEntry {
    const char* control;
    Gesture gesture;
    const char* title;
    std::optional<TLogoKind> kind;  // of a view dialog, whose preview is loaded again
};

class DialogEntryTest : public UiTest, public ::testing::WithParamInterface<DialogEntry> {};

TEST_P(DialogEntryTest, OpensItsDialogAndRefreshesAfterwards) {
    const DialogEntry& entry = GetParam();
    for (TLogoKind kind : AllLogoKinds) {
        WriteFile(ListHost(kind), "");
        WriteLogo(LogoHost(kind), 50);
    }
    auto form = OpenMainForm();
    std::string title;
    WhenModal([&](QDialog& dialog) {
        title = dialog.windowTitle().toStdString();
        // What the dialog changed shows in the main window when it is closed.
        if (entry.kind)
            WriteLogo(LogoHost(*entry.kind), 99);
        WriteFile(MsDosSys(), "[Options]\r\nLogo=0\r\n");
        dialog.reject();
    });
    switch (entry.gesture) {
        case Gesture::Trigger:
            Child<QAction>(*form, entry.control)->trigger();
            break;
        case Gesture::Click:
            QTest::mouseClick(Child(*form, entry.control), Qt::LeftButton);
            break;
        case Gesture::DoubleClick:
            QTest::mouseDClick(Child(*form, entry.control), Qt::LeftButton);
            break;
    }
    EXPECT_EQ(title, entry.title);
    EXPECT_THAT(BoxTexts(), IsEmpty());
    static const char* const boxes[] = {"BootBox", "ClosingBox", "CloseBox"};
    if (entry.kind) {
        EXPECT_EQ(Child<TLogoPreview>(*form, boxes[KindIndex(*entry.kind)])->Image().pixel(0, 0),
                  qRgb(99, 99, 99));
        EXPECT_TRUE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
    } else {
        EXPECT_FALSE(Child(*form, "BlockPanel1")->isVisibleTo(form.get()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DialogEntryTest,
    ::testing::Values(
        DialogEntry{"ViewBoot", Gesture::Trigger, "View & Replace Startup logo", lkBoot},
        DialogEntry{"ViewClosing", Gesture::Trigger, "View & Replace Shutdown logo", lkClosing},
        DialogEntry{"ViewClose", Gesture::Trigger, "View & Replace Final logo", lkClose},
        DialogEntry{"PopViewItem", Gesture::Trigger, "View & Replace Startup logo", lkBoot},
        DialogEntry{"PopMenuItem1", Gesture::Trigger, "View & Replace Shutdown logo", lkClosing},
        DialogEntry{"PopMenuItem5", Gesture::Trigger, "View & Replace Final logo", lkClose},
        DialogEntry{"BootErrorTxt", Gesture::DoubleClick, "View & Replace Startup logo", lkBoot},
        DialogEntry{"ClosingErrorTxt", Gesture::DoubleClick, "View & Replace Shutdown logo",
                    lkClosing},
        DialogEntry{"CloseErrorTxt", Gesture::DoubleClick, "View & Replace Final logo", lkClose},
        DialogEntry{"Erstellen", Gesture::Trigger, "Create logo - no source file specified",
                    std::nullopt},
        DialogEntry{"SpeedButton2", Gesture::Click, "Create logo - no source file specified",
                    std::nullopt}),
    [](const ::testing::TestParamInfo<DialogEntry>& entry) {
        return std::string(entry.param.control);
    });

TEST_F(MainFormTest, HelpCommandsReachTheHelpSystem) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    for (const char* item :
         {"HelpContentsItem", "HelpSearchItem", "HelpHowToUseItem", "CrashCourseItem"})
        Child<QAction>(*form, item)->trigger();
    QTest::mouseClick(Child<QWidget>(*form, "HelpSpeedBtn"), Qt::LeftButton);
    EXPECT_THAT(std::vector<std::string>(HelpRequests().begin() + 1, HelpRequests().end()),
                ElementsAre("contents", "index ", "using", "topic 51", "topic 55"));
}

TEST_F(MainFormTest, HelpKeyOnAHighlightedMenuItemOpensItsTopic) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    auto* menu = Child<QMenu>(*form, "Grafiken");
    menu->popup(QPoint(0, 0));
    menu->setActiveAction(Child<QAction>(*form, "BackupItem"));
    QTest::keyClick(menu, Qt::Key_F1);
    menu->setActiveAction(Child<QAction>(*form, "Erstellen"));  // no context of its own
    QTest::keyClick(menu, Qt::Key_F1);
    menu->hide();
    EXPECT_THAT(std::vector<std::string>(HelpRequests().begin() + 1, HelpRequests().end()),
                ElementsAre("topic 25", "topic 55"));
}

TEST_F(MainFormTest, HelpKeyOnAMenuItemClosesTheMenus) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    form->show();
    auto* menu = Child<QMenu>(*form, "Grafiken");
    menu->popup(QPoint(0, 0));
    auto* submenu = Child<QMenu>(*form, "ViewItem");
    submenu->popup(QPoint(10, 10));
    ASSERT_EQ(QApplication::activePopupWidget(), submenu);
    submenu->setActiveAction(Child<QAction>(*form, "ViewBoot"));
    QTest::keyClick(submenu, Qt::Key_F1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(HelpRequests().back(), "topic 55");
}

TEST_F(MainFormTest, HelpKeyOpensTheTopicOfTheWindowInFront) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    QTest::keyClick(Child(*form, "BootActiveBtn"), Qt::Key_F1);
    TOptionDlg options(form.get());
    QTest::keyClick(Child(options, "BootOffCheckBox"), Qt::Key_F1);
    EXPECT_THAT(std::vector<std::string>(HelpRequests().begin() + 1, HelpRequests().end()),
                ElementsAre("topic 55", "topic 12"));
}

TEST_F(MainFormTest, HintsOfDialogsReachTheStatusLine) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    TAboutBox about(form.get());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(Child(about, "SpeedMail"), &enter);
    EXPECT_EQ(form->statusBar()->currentMessage(), "send me an e-mail");
    TViewBootDlg view(form.get());
    QCoreApplication::sendEvent(Child(view, "ChangeBtn"), &enter);
    EXPECT_EQ(form->statusBar()->currentMessage(), "Replace current Startup logo");
    TCreateDlg create(form.get());
    QCoreApplication::sendEvent(Child(create, "AnimateBox"), &enter);
    EXPECT_EQ(form->statusBar()->currentMessage(),
              "Rotate the colours of the logo as Windows does while it starts");
    QCoreApplication::sendEvent(Child(*form, "SpeedButton3"), &enter);
    EXPECT_EQ(form->statusBar()->currentMessage(), "Exit this application");
    EXPECT_EQ(Child(*form, "SpeedButton3")->toolTip(), "Exit");
    QCoreApplication::sendEvent(Child(*form, "SpeedButton4"), &enter);  // "Help content|"
    EXPECT_EQ(form->statusBar()->currentMessage(), "");
}

TEST_F(MainFormTest, AHintTooLongForTheStatusLineIsCutWithAnEllipsisAndWholeInItsTooltip) {
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    auto form = OpenMainForm();
    form->show();
    QStatusBar* line = form->statusBar();
    const int room = line->width() - 18;  // the margins QStatusBar draws its message in
    const QString whole = Child<QAction>(*form, "StandardItem")->statusTip();
    ASSERT_GT(line->fontMetrics().horizontalAdvance(whole), room);
    form->ShowHint(whole);
    const QString shown = line->currentMessage();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(whole.startsWith(shown.chopped(1)));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), room);
    const QPoint at(5, line->height() / 2);
    QHelpEvent tip(QEvent::ToolTip, at, line->mapToGlobal(at));
    QCoreApplication::sendEvent(line, &tip);
    EXPECT_EQ(QToolTip::text(), whole);
    QToolTip::hideText();

    form->ShowHint("Exit this application");
    EXPECT_EQ(line->currentMessage(), "Exit this application");
}

}  // namespace
}  // namespace uitest
