#pragma once
// What every window of the program shares: design sizes scaled to the screen, centring,
// the general error display behind every handler, and help contexts.

#include <QString>
#include <Qt>
#include <exception>
#include <utility>

class QAbstractButton;
class QDialog;
class QObject;
class QWidget;

// Forms are laid out at 120 pixels per inch; this is the factor for the screen of widget.
double DesignScale(const QWidget* widget);
int Scaled(int designPixels, double scale);
// Scales the geometry of every child that no layout manages, and the fixed sizes of all.
void ScaleDesignGeometry(QWidget* form, double scale);
void CenterOnScreen(QWidget* window);
// A dialog border can't be sized by the user: the design size, grown where the texts of
// the dialog's layout need more room (wrapped labels included, on every page).
void FixDialogSize(QWidget* dialog, int designWidth, int designHeight);
// A dialog border with the system menu and the close box only, and the standard icons on
// the dialog's buttons (a button may be absent).
void SetUpDialog(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel,
                 QAbstractButton* help = nullptr);
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

// Help context of an object: its "helpContext" property, 0 when unset.
int HelpContextOf(const QObject* object);
void SetHelpContext(QObject* object, int context);

QString FromStd(const std::string& text);
std::string ToStd(const QString& text);
