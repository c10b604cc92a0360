#pragma once
// The progress line of a window's long operations: a text, "Hit <Esc> to break" while
// there is one, and a gauge; between two steps the window's Esc watch.

#include <string>

#include "ui/EscWatch.h"

class QLabel;
class QProgressBar;
class QWidget;

class TProgressDisplay : public TEscWatch {
public:
    TProgressDisplay(QWidget& window, QLabel& text, QLabel& escHint, QProgressBar& gauge);

    // Throws EQuietException("Esc by user") when Esc was pressed since the last step.
    void ShowProgress(int percent, const std::string& text);
    // The display after an operation; looks for no key.
    void Reset();
    void SetGauge(int percent);

private:
    void Display(int percent, const std::string& text);

    QLabel& text_;
    QLabel& escHint_;
    QProgressBar& gauge_;
};
