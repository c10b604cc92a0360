#pragma once
// The application-wide hint and help-key handling. A hint has a short part (the tooltip)
// and a long part (the status-line text); Qt carries them as toolTip and statusTip. The
// long part of whatever the mouse or the menu selection is on, in any window of the
// program, goes to one status line; F1 opens the help context of the highlighted menu item
// or of the window.

#include <QObject>
#include <QString>
#include <functional>

class TApplicationHints : public QObject {
    Q_OBJECT
public:
    using ShowHint = std::function<void(const QString& longHint)>;
    // Installs itself on the application for as long as it lives.
    TApplicationHints(ShowHint showHint, int fallbackHelpContext, QObject* parent = nullptr);
    ~TApplicationHints() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int HelpContextFor(QObject* watched) const;

    ShowHint showHint_;
    int fallbackHelpContext_;
};
