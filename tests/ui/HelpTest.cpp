#include <gmock/gmock.h>

#include <QAction>
#include <QApplication>
#include <QHelpContentWidget>
#include <QHelpEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolTip>

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

    static QWidget* Window() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("HelpWindow") && window->isVisible())
                return window;
        return nullptr;
    }
    static QTextBrowser* Page() {
        QWidget* window = Window();
        return window ? window->findChild<QTextBrowser*>() : nullptr;
    }
    static void Trigger(const char* action) {
        ASSERT_NE(Window(), nullptr);
        auto* found = Window()->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }
    static bool Shows(const char* page) { return Page()->source().toString().endsWith(page); }
    // Opens the built help file, its contents read.
    void Open(THelpViewer& viewer) {
        const fs::path helpFile = fs::path(BOOTRAMA_PROGRAM_DIR) / "BootramaE.qch";
        ASSERT_TRUE(fs::exists(helpFile)) << "the help file is built with the program";
        viewer.SetHelpFile(Win(helpFile));
        viewer.Contents();
        auto* contents = Window()->findChild<QHelpContentWidget*>();
        if (contents->model()->rowCount() == 0) {
            QSignalSpy created(contents->model(), SIGNAL(contentsCreated()));
            ASSERT_TRUE(created.wait());
        }
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

TEST_F(HelpViewerTest, BackForwardAndHomeLeadThroughTheVisitedPages) {
    THelpViewer viewer;
    Open(viewer);
    viewer.Topic(12);
    viewer.Topic(55);
    Trigger("BackAction");
    EXPECT_TRUE(Shows("options.html"));
    Trigger("ForwardAction");
    EXPECT_TRUE(Shows("mainwindow.html"));
    Trigger("HomeAction");
    EXPECT_TRUE(Shows("index.html"));
}

TEST_F(HelpViewerTest, TheContentsFollowThePage) {
    THelpViewer viewer;
    Open(viewer);
    auto* contents = Window()->findChild<QHelpContentWidget*>();
    for (int context : {12, 24}) {
        viewer.Topic(context);
        const QModelIndex current = contents->currentIndex();
        ASSERT_TRUE(current.isValid()) << context;
        EXPECT_EQ(contents->model()->data(current, Qt::DisplayRole).toString(),
                  Page()->documentTitle());
    }
}

TEST_F(HelpViewerTest, ZoomGrowsAndShrinksThePageAndComesBack) {
    THelpViewer viewer;
    Open(viewer);
    const qreal normal = Page()->font().pointSizeF();
    Trigger("ZoomInAction");
    Trigger("ZoomInAction");
    EXPECT_GT(Page()->font().pointSizeF(), normal);
    Trigger("NormalSizeAction");
    EXPECT_EQ(Page()->font().pointSizeF(), normal);
    Trigger("ZoomOutAction");
    EXPECT_LT(Page()->font().pointSizeF(), normal);
}

// The window fits the screen; the contents can give the page nearly all of it.
TEST_F(HelpViewerTest, TheWindowFitsTheScreenAndTheContentsShrink) {
    THelpViewer viewer;
    Open(viewer);
    QWidget* window = Window();
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(QRect(window->pos(), window->size())));
    auto* splitter = window->findChild<QSplitter*>();
    auto* tabs = window->findChild<QTabWidget*>();
    splitter->setSizes({1, window->width()});
    EXPECT_LT(tabs->width(), tabs->minimumSizeHint().width());
    EXPECT_GT(Page()->width(), window->width() * 3 / 4);
}

// A contents title cut by a narrow pane shows whole in its tooltip.
TEST_F(HelpViewerTest, CutTitlesShowWholeInTheirTooltip) {
    THelpViewer viewer;
    Open(viewer);
    auto* splitter = Window()->findChild<QSplitter*>();
    splitter->setSizes({60, Window()->width()});
    auto* contents = Window()->findChild<QHelpContentWidget*>();
    viewer.Topic(26);  // "Restoring saved logos", far wider than the pane
    const QModelIndex item = contents->currentIndex();
    ASSERT_TRUE(item.isValid());
    const QPoint at = contents->visualRect(item).center();
    QHelpEvent tip(QEvent::ToolTip, at, contents->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(contents->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), "Restoring saved logos");
    QToolTip::hideText();
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
