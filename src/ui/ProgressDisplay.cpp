#include "ui/ProgressDisplay.h"

#include <QLabel>
#include <QProgressBar>

#include "ui/FormTools.h"

TProgressDisplay::TProgressDisplay(QWidget& window, QLabel& text, QLabel& escHint,
                                   QProgressBar& gauge)
    : TEscWatch(window), text_(text), escHint_(escHint), gauge_(gauge) {}

void TProgressDisplay::ShowProgress(int percent, const std::string& text) {
    Step();
    Display(percent, text);
}

void TProgressDisplay::Reset() {
    Display(0, "");
}

void TProgressDisplay::SetGauge(int percent) {
    if (gauge_.value() == percent)
        return;
    gauge_.setValue(percent);
    gauge_.repaint();
}

// Painted at once: the operation goes on without the event loop.
void TProgressDisplay::Display(int percent, const std::string& text) {
    const QString shown = FromStd(text);
    escHint_.setVisible(!text.empty());
    if (text_.text() != shown) {
        text_.setText(shown);
        text_.repaint();
        escHint_.repaint();
    }
    SetGauge(percent);
}
