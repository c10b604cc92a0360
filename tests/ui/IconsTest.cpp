#include <QIcon>
#include <QImage>

#include "UiTest.h"
#include "ui/FormTools.h"
#include "ui/Icons.h"

namespace uitest {
namespace {

// A desktop icon theme that has an icon for exit only.
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
        glyph.save(QString::fromStdString((theme / "16x16/actions/application-exit.png").string()));
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
    for (TCommandIcon own : {TCommandIcon::Options, TCommandIcon::Help, TCommandIcon::About,
                             TCommandIcon::Ok, TCommandIcon::Cancel, TCommandIcon::Back}) {
        const QIcon icon = CommandIcon(own);
        EXPECT_FALSE(icon.isNull()) << static_cast<int>(own);
        EXPECT_TRUE(icon.name().isEmpty()) << static_cast<int>(own);
    }
}

}  // namespace
}  // namespace uitest
