#pragma once
// What every window of the program shares: design sizes scaled to the screen, centring,
// the general error display behind every handler, and help contexts.

#include <QAbstractButton>
#include <QRect>
#include <QString>
#include <Qt>
#include <exception>
#include <initializer_list>
#include <utility>

class QDialog;
class QLabel;
class QObject;
class QWidget;

// Forms are laid out at 120 pixels per inch; this is the factor for the screen of widget.
double DesignScale(const QWidget* widget);
int Scaled(int designPixels, double scale);
// Scales the geometry of every child that no layout manages, and the fixed sizes of all.
void ScaleDesignGeometry(QWidget* form, double scale);
// Every window stays within the available area of its screen, frame included: smaller
// where it is larger, and, once it has a place, moved in where it sticks out.
void BoundToScreen(QWidget* window);
void CenterOnScreen(QWidget* window);
// A one-line label whose text may be wider than the label: cut with "…" to the label's
// width, again whenever that changes, rather than cut off mid-word.
void ShowElided(QLabel& label, const QString& text);
// Keeps room for the widest text a label will show, so that a fixed-size dialog laid out
// with its first texts still has it.
void ReserveWidth(QLabel* label, const QString& widestText);
// A dialog border can't be sized by the user: the design size, grown where the texts of
// the dialog's layout need more room (wrapped labels included, on every page), and
// bounded by the screen.
void FixDialogSize(QWidget* dialog, int designWidth, int designHeight);
// Makes such a dialog taller, within the screen, when a text shown since needs more room;
// it never shrinks while it is open.
void GrowToFit(QWidget* dialog);
// A dialog border with the system menu and the close box only.
void SetDialogBorder(QDialog& dialog);
// The dialog border, and the icons of OK, Cancel and Help on the dialog's buttons (a button
// may be absent).
void SetUpDialog(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel,
                 QAbstractButton* help = nullptr);

// Two windows side by side within an area (frame rectangles). The window goes into the
// wider strip beside the anchor, as wide as it wants where that fits; a movable anchor
// makes room for that, moving at most to the area's edge. The window is never narrower
// than minimumWidth: where no strip is that wide it overlaps the anchor at the edge.
struct TSideBySide {
    QRect anchor;
    QRect window;
};
TSideBySide SideBySide(const QRect& area, QRect anchor, QSize wanted, int minimumWidth,
                       bool anchorMayMove);
// The same for two windows on the anchor's screen; a window at least half its size.
void PlaceBeside(QWidget* window, QWidget* anchor, bool anchorMayMove);

// Shows a dialog modal for the window it belongs to only, so that the help window stays
// usable beside it, and gives the focus back to the window that had it before. A dialog
// that belongs to no window blocks the whole program.
int ExecModal(QDialog& dialog);
// Registers the icons of the forms (they live in a static library); safe to call again.
void InitUiResources();

// An application-wide cursor for the lifetime of the object. onlyOverAnother: only while
// another one is in force, so that a dialog asking the user in the middle of a long
// operation shows the normal cursor instead of the hourglass.
class TOverrideCursor {
public:
    explicit TOverrideCursor(Qt::CursorShape shape, bool onlyOverAnother = false);
    ~TOverrideCursor();
    TOverrideCursor(const TOverrideCursor&) = delete;
    TOverrideCursor& operator=(const TOverrideCursor&) = delete;

private:
    bool set_;
};

// The application's general error display: the message of an error that escaped a handler;
// nothing for EQuietException.
void ShowException(const std::exception& error);

// Runs an event handler; an error that escapes it ends the handler at the general error
// display instead of unwinding through the event loop.
template <class Handler>
void RunHandler(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

// The hint convention of the program: "tooltip|status text"; a hint without "|" is both.
void SetHint(QWidget& widget, const std::string& hint);

// Runs the handler of each button when it is clicked, as an event handler (RunHandler).
template <class Form>
void ConnectClicks(Form* form,
                   std::initializer_list<std::pair<QAbstractButton*, void (Form::*)()>> buttons) {
    for (const auto& [button, handler] : buttons) {
        QObject::connect(button, &QAbstractButton::clicked, form,
                         [form, handler] { RunHandler([&] { (form->*handler)(); }); });
    }
}

// Help context of an object: its "helpContext" property, 0 when unset.
int HelpContextOf(const QObject* object);
void SetHelpContext(QObject* object, int context);

QString FromStd(const std::string& text);
// A message of the program as a label or box shows it: its carriage returns as line breaks.
QString MessageText(const std::string& text);
std::string ToStd(const QString& text);
