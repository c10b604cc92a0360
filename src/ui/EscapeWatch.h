#pragma once
// The Esc test of a window's long operations. Between two steps the operation lets the
// window repaint and looks whether Esc was pressed. Whatever else the user types or clicks
// in the window meanwhile is swallowed: a click delivered there would start a second
// operation inside the first, and a key would move the selection the operation works on.

#include <QObject>

class QWidget;

class TEscapeWatch : public QObject {
public:
    explicit TEscapeWatch(QWidget* window) : window_(window) {}

    // Delivers what is pending; true when Esc was among it.
    bool EscPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool escPressed_ = false;
};
