#include <gmock/gmock.h>

#include <QApplication>
#include <QTextBrowser>

#include "UiTest.h"
#include "ui/HelpViewer.h"

using ::testing::HasSubstr;

namespace uitest {
namespace {

const int ContextNumbers[] = {11, 12, 21, 22, 23, 24, 25, 26, 51, 52, 55};

TEST(HelpTopics, EveryContextNumberHasAPageOfTheHelpSources) {
    for (int context : ContextNumbers) {
        const QString page = HelpPageOf(context);
        ASSERT_FALSE(page.isEmpty()) << context;
        EXPECT_TRUE(
            fs::exists(fs::path(BOOTRAMA_SOURCE_DIR) / "help" / "topics" / page.toStdString()))
            << page.toStdString();
    }
    EXPECT_TRUE(HelpPageOf(99).isEmpty());
}

class HelpViewerTest : public UiTest {
protected:
    HelpViewerTest() {
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((ProgramDir() / "cache").string()));
    }
    ~HelpViewerTest() override { qunsetenv("XDG_CACHE_HOME"); }

    static QTextBrowser* Page() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("HelpWindow") && window->isVisible())
                return window->findChild<QTextBrowser*>();
        return nullptr;
    }
};

TEST_F(HelpViewerTest, TopicsOpenTheirPagesOfTheBuiltHelpFile) {
    const fs::path helpFile = fs::path(BOOTRAMA_PROGRAM_DIR) / "BootramaE.qch";
    ASSERT_TRUE(fs::exists(helpFile)) << "the help file is built with the program";
    THelpViewer viewer;
    viewer.SetHelpFile(Win(helpFile));
    for (int context : ContextNumbers) {
        viewer.Topic(context);
        QTextBrowser* page = Page();
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->source().toString().endsWith(HelpPageOf(context))) << context;
        EXPECT_FALSE(page->toPlainText().isEmpty()) << context;
    }
    viewer.UsingHelp();
    EXPECT_THAT(Page()->toPlainText().toStdString(), HasSubstr("Index"));
    viewer.Contents();
    EXPECT_TRUE(Page()->source().toString().endsWith("index.html"));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(HelpViewerTest, MissingHelpFileIsReported) {
    THelpViewer viewer;
    viewer.SetHelpFile(Win(ProgramDir()) + "BootramaE.qch");
    viewer.Topic(55);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_THAT(Boxes()[0]->text, HasSubstr("BootramaE.qch"));
}

}  // namespace
}  // namespace uitest
