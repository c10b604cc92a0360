#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QPushButton>

#include "UiTest.h"
#include "ui/Choose.h"
#include "ui/Create.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"
#include "ui/view.h"

namespace uitest {
namespace {

// A desktop icon theme that has icons for exit, save, closing a window and a hard disk
// only.
class IconsTest : public UiTest {
protected:
    IconsTest() : searchPaths_(QIcon::themeSearchPaths()), themeName_(QIcon::themeName()) {
        InitUiResources();
        const fs::path theme = ProgramDir() / "icons" / "Desktop";
        WriteFile(theme / "index.theme",
                  "[Icon Theme]\nName=Desktop\nDirectories=16x16/actions\n\n"
                  "[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
        fs::create_directories(theme / "16x16" / "actions");
        QImage glyph(16, 16, QImage::Format_ARGB32);
        glyph.fill(Qt::red);
        for (const char* name :
             {"application-exit", "document-save", "window-close", "drive-harddisk"})
            glyph.save(QString::fromStdString((theme / "16x16/actions" / name).string() + ".png"));
        QIcon::setThemeSearchPaths({QString::fromStdString((ProgramDir() / "icons").string())});
        QIcon::setThemeName(QStringLiteral("Desktop"));
    }
    ~IconsTest() override {
        QIcon::setThemeSearchPaths(searchPaths_);
        QIcon::setThemeName(themeName_);
    }

private:
    QStringList searchPaths_;
    QString themeName_;
};

TEST_F(IconsTest, TheThemesIconWhereItHasOneOurGlyphOrTheStylesElse) {
    const QIcon exit = CommandIcon(TCommandIcon::Exit);
    EXPECT_EQ(exit.name(), "application-exit");
    EXPECT_EQ(exit.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    for (TCommandIcon own :
         {TCommandIcon::Options, TCommandIcon::Help, TCommandIcon::About, TCommandIcon::Ok,
          TCommandIcon::Cancel, TCommandIcon::Back, TCommandIcon::Folder}) {
        const QIcon icon = CommandIcon(own);
        EXPECT_FALSE(icon.isNull()) << static_cast<int>(own);
        EXPECT_TRUE(icon.name().isEmpty()) << static_cast<int>(own);
    }
}

// Every window takes its icons from the one lookup, the dialogs and browsers too.
TEST_F(IconsTest, TheDialogsTakeTheThemesIcons) {
    WriteFile(ListHost(lkBoot), "");
    TViewBootDlg view;
    EXPECT_EQ(Child<QPushButton>(view, "CloseBtn")->icon().name(), "window-close");
    TCreateDlg create;
    EXPECT_EQ(Child<QPushButton>(create, "SaveBtn")->icon().name(), "document-save");
    const auto editor = NewChooseDlg(lkBoot, nullptr);
    const QComboBox* drives = Child<QComboBox>(*editor, "DriveComboBox");
    EXPECT_EQ(drives->itemIcon(0).name(), "drive-harddisk");
}

}  // namespace
}  // namespace uitest
