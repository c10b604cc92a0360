// Every window as it opens: within the available area of its screen, with no control cut
// off, and its Help button opening its own topic. ctest runs these again on a small screen
// and on a high-resolution one.

#include <gmock/gmock.h>

#include <QAbstractButton>
#include <QScreen>
#include <QTest>

#include "UiTest.h"
#include "ui/Choose.h"
#include "ui/Create.h"
#include "ui/FolderBrowser.h"
#include "ui/about.h"
#include "ui/options.h"
#include "ui/view.h"

using ::testing::ElementsAre;

namespace uitest {
namespace {

struct WindowCase {
    const char* name;
    std::unique_ptr<QWidget> (*open)();
    const char* helpButton;  // none: the window has no Help button
    int helpTopic;
    // Laid out by layouts, which give no control less than it asks for; the main window
    // keeps its scaled design geometry instead.
    bool laidOut = true;
};

void PrintTo(const WindowCase& c, std::ostream* out) {
    *out << c.name;
}

template <class Window>
std::unique_ptr<QWidget> Open() {
    return std::make_unique<Window>();
}

std::unique_ptr<QWidget> OpenFolderChooser() {
    auto chooser = std::make_unique<TFolderBrowser>(nullptr, "Save new logos in",
                                                    "Some of the files selected are no logos, yet.",
                                                    "Please, choose where to store the new logos!");
    chooser->Start("C:\\");
    return chooser;
}

const WindowCase WindowCases[] = {
    {"MainWindow", Open<TMainForm>, "HelpSpeedBtn", 55, false},
    {"ViewAndReplace", Open<TViewBootDlg>, "HelpBtn", 22},
    // The open dialog it asks first is cancelled.
    {"CreateLogo", Open<TCreateDlg>, "HelpBtn", 21},
    {"ListEditor", Open<TChooseBootDlg>, "HelpBtn", 11},
    {"FolderChooser", OpenFolderChooser, nullptr, 0},
    {"Options", Open<TOptionDlg>, "HelpBtn", 12},
    {"ProgramInfo", Open<TAboutBox>, nullptr, 0},
};

class WindowOnScreenTest : public UiTest, public ::testing::WithParamInterface<WindowCase> {
protected:
    WindowOnScreenTest() {
        for (TLogoKind kind : AllLogoKinds) FillList(kind);
    }
};

TEST_P(WindowOnScreenTest, FitsTheScreenWithEveryControlWhole) {
    const std::unique_ptr<QWidget> window = GetParam().open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << frame.width() << "x" << frame.height() << "+" << frame.x() << "+" << frame.y() << " on "
        << area.width() << "x" << area.height();
    if (GetParam().laidOut)
        ExpectNoControlSquashed(*window);
}

TEST_P(WindowOnScreenTest, HelpButtonOpensTheWindowsTopic) {
    if (GetParam().helpButton == nullptr)
        GTEST_SKIP() << "no Help button";
    const std::unique_ptr<QWidget> window = GetParam().open();
    window->show();
    const std::size_t before = HelpRequests().size();
    QTest::mouseClick(Child<QAbstractButton>(*window, GetParam().helpButton), Qt::LeftButton);
    EXPECT_THAT(std::vector<std::string>(HelpRequests().begin() + before, HelpRequests().end()),
                ElementsAre("topic " + std::to_string(GetParam().helpTopic)));
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowOnScreenTest, ::testing::ValuesIn(WindowCases),
                         [](const ::testing::TestParamInfo<WindowCase>& c) {
                             return std::string(c.param.name);
                         });

}  // namespace
}  // namespace uitest
