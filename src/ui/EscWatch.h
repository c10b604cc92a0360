#pragma once
// A window's long operations (a big JPEG's load, a list's check, an include) run on the one
// thread of the program. Between two of their steps the watch lets the window repaint and
// delivers what is pending: Esc is remembered, whatever else the user types or clicks in
// the window meanwhile is swallowed (a click would start a second operation inside the
// first, a key would move the selection it works on, closing would pull its data away).

#include <QObject>
#include <functional>

class QWidget;

class TEscWatch : public QObject {
public:
    explicit TEscWatch(QWidget& window);

    // Between two steps: throws EQuietException("Esc by user") when Esc was pressed since
    // the last step.
    void Step();
    // Runs an operation whose steps call Step (the loads of TLogo end quietly on it); false
    // when Esc ended it. Errors of the operation pass through.
    bool Run(const std::function<void()>& operation);

    // Marks a long operation for its lifetime (they nest). When the outermost one ends,
    // what the user typed or clicked meanwhile is swallowed: a late Esc would otherwise
    // cancel the window.
    class TBusy {
    public:
        explicit TBusy(TEscWatch& watch);
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TEscWatch& watch_;
    };
    bool Busy() const { return busy_ > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Delivers what is pending; true when Esc was among it.
    bool EscPressed();

    QWidget& window_;
    bool escPressed_ = false;
    bool escEnded_ = false;
    int busy_ = 0;
};
