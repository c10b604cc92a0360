// Where windows go on the screen, and how a dialog shares the program with the help window.

#include <QApplication>
#include <QDialog>
#include <QScreen>

#include "UiTest.h"
#include "ui/FormTools.h"

namespace uitest {
namespace {

struct SideBySideCase {
    const char* name;
    QRect anchor;
    QSize wanted;
    bool anchorMayMove;
    QRect expectedAnchor;
    QRect expectedWindow;
};

void PrintTo(const SideBySideCase& c, std::ostream* out) {
    *out << c.name;
}

class SideBySideTest : public ::testing::TestWithParam<SideBySideCase> {};

// A 1000 x 700 screen area; the window wants at least half its width beside the anchor.
TEST_P(SideBySideTest, PlacesBothWindowsInTheArea) {
    const SideBySideCase& c = GetParam();
    const QRect area(0, 0, 1000, 700);
    const TSideBySide place =
        SideBySide(area, c.anchor, c.wanted, c.wanted.width() / 2, c.anchorMayMove);
    EXPECT_EQ(place.anchor, c.expectedAnchor);
    EXPECT_EQ(place.window, c.expectedWindow);
    EXPECT_TRUE(area.contains(place.window));
}

// name, anchor, wanted size, anchor may move, where the anchor goes, where the window goes
// clang-format off
const SideBySideCase SideBySideCases[] = {
    {"RoomOnTheRight",      {100, 50, 300, 200}, {500, 400}, false, {100, 50, 300, 200}, {400, 50, 500, 400}},
    {"RoomOnTheLeftOnly",   {600, 50, 300, 200}, {500, 400}, false, {600, 50, 300, 200}, {100, 50, 500, 400}},
    {"NarrowerStrip",       {300, 50, 300, 200}, {500, 400}, false, {300, 50, 300, 200}, {600, 50, 400, 400}},
    {"OverlapsAtTheEdge",   {250, 50, 500, 200}, {600, 400}, false, {250, 50, 500, 200}, {700, 50, 300, 400}},
    {"AnchorMakesRoom",     {300, 50, 300, 200}, {500, 400}, true,  {200, 50, 300, 200}, {500, 50, 500, 400}},
    {"AnchorMakesWhatRoomItCan", {250, 50, 500, 200}, {600, 400}, true, {0, 50, 500, 200}, {500, 50, 500, 400}},
    {"AnchorStopsAtTheEdge", {200, 50, 600, 200}, {800, 400}, true, {0, 50, 600, 200}, {600, 50, 400, 400}},
    {"NoHigherThanTheArea", {100, 300, 300, 200}, {500, 900}, false, {100, 300, 300, 200}, {400, 0, 500, 700}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, SideBySideTest, ::testing::ValuesIn(SideBySideCases),
                         [](const ::testing::TestParamInfo<SideBySideCase>& c) {
                             return std::string(c.param.name);
                         });

class WindowPlacementTest : public UiTest {};

// Notes when Qt tells a window that a modal one blocks it.
class BlockedRecorder : public QObject {
public:
    explicit BlockedRecorder(QWidget& window) { window.installEventFilter(this); }
    bool blocked = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked)
            blocked = true;
        return false;
    }
};

TEST_F(WindowPlacementTest, AWindowLargerThanTheScreenIsBoundedByIt) {
    QWidget window;
    const QRect area = window.screen()->availableGeometry();
    window.setMinimumSize(area.size() * 2);
    window.move(area.topLeft() + QPoint(300, 200));
    BoundToScreen(&window);
    EXPECT_LE(window.width(), area.width());
    EXPECT_LT(window.height(), area.height());  // room for the title bar
    EXPECT_TRUE(area.contains(QRect(window.pos(), window.size())));
}

// The help window is another top-level window: a dialog shown for the main window must
// leave it usable. After the dialog the focus is back where it was.
TEST_F(WindowPlacementTest, ADialogBlocksOnlyItsOwnWindowAndGivesTheFocusBack) {
    QWidget owner;
    QWidget help;
    owner.show();
    help.show();
    QApplication::setActiveWindow(&owner);
    ASSERT_EQ(QApplication::activeWindow(), &owner);

    BlockedRecorder ownerState(owner);
    BlockedRecorder helpState(help);
    QDialog dialog(&owner);
    WhenModal([&](QDialog& shown) {
        QApplication::setActiveWindow(&help);
        shown.accept();
    });
    EXPECT_EQ(ExecModal(dialog), QDialog::Accepted);
    EXPECT_TRUE(ownerState.blocked);
    EXPECT_FALSE(helpState.blocked);
    QCoreApplication::processEvents();  // activation goes through the window system
    EXPECT_EQ(QApplication::activeWindow(), &owner);
}

}  // namespace
}  // namespace uitest
