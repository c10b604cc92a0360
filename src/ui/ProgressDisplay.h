#pragma once
// The progress line of a window's long operations: a text, "Hit <Esc> to break" while
// there is one, and a gauge; and the Esc test between two steps. The test lets the window
// repaint and delivers what is pending: Esc is remembered, whatever else the user types or
// clicks in the window meanwhile is swallowed (a click would start a second operation
// inside the first, a key would move the selection the operation works on).

#include <QObject>
#include <string>

class QLabel;
class QProgressBar;
class QWidget;

class TProgressDisplay : public QObject {
public:
    TProgressDisplay(QWidget& window, QLabel& text, QLabel& escHint, QProgressBar& gauge);

    // Throws EQuietException("Esc by user") when Esc was pressed since the last test.
    void ShowProgress(int percent, const std::string& text);
    // The display after an operation; looks for no key.
    void Reset();
    void SetGauge(int percent);

    // Marks a long operation for its lifetime (they nest). When the outermost one ends,
    // what the user typed or clicked meanwhile is swallowed: a late Esc would otherwise
    // cancel the window.
    class TBusy {
    public:
        explicit TBusy(TProgressDisplay& display);
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TProgressDisplay& display_;
    };
    bool Busy() const { return busy_ > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Delivers what is pending; true when Esc was among it.
    bool EscPressed();
    void Display(int percent, const std::string& text);

    QWidget& window_;
    QLabel& text_;
    QLabel& escHint_;
    QProgressBar& gauge_;
    bool escPressed_ = false;
    int busy_ = 0;
};
