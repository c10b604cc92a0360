#pragma once
// What every window of the program shares: design sizes scaled to the screen, centring,
// the general error display behind every handler, and help contexts.

#include <QString>
#include <exception>
#include <utility>

class QLabel;
class QObject;
class QWidget;

// Forms are laid out at 120 pixels per inch; this is the factor for the screen of widget.
double DesignScale(const QWidget* widget);
int Scaled(int designPixels, double scale);
// Scales the geometry of every child that no layout manages, and the fixed sizes of all.
void ScaleDesignGeometry(QWidget* form, double scale);
void CenterOnScreen(QWidget* window);
// Keeps room for the widest text a label will show, so that a fixed-size dialog laid out
// with its first texts still has it.
void ReserveWidth(QLabel* label, const QString& widestText);
// A dialog border can't be sized by the user: the design size, grown where the texts of
// the dialog's layout need more room (wrapped labels included, on every page).
void FixDialogSize(QWidget* dialog, int designWidth, int designHeight);
// Registers the icons of the forms (they live in a static library); safe to call again.
void InitUiResources();

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
