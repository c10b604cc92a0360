#include "ui/ProgressDisplay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include "core/ProgErrors.h"
#include "ui/FormTools.h"

TProgressDisplay::TProgressDisplay(QWidget& window, QLabel& text, QLabel& escHint,
                                   QProgressBar& gauge)
    : window_(window), text_(text), escHint_(escHint), gauge_(gauge) {}

void TProgressDisplay::ShowProgress(int percent, const std::string& text) {
    if (EscPressed())
        throw EQuietException("Esc by user");
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

TProgressDisplay::TBusy::TBusy(TProgressDisplay& display) : display_(display) {
    ++display_.busy_;
}

TProgressDisplay::TBusy::~TBusy() {
    if (display_.busy_ == 1)
        display_.EscPressed();
    --display_.busy_;
}

bool TProgressDisplay::EscPressed() {
    escPressed_ = false;
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    return escPressed_;
}

bool TProgressDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Taken by the widget, so that no button's shortcut fires.
            event->accept();
            return true;
        case QEvent::KeyPress:
            escPressed_ = escPressed_ || static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
    }
}
