#include "ui/EscWatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "core/ProgErrors.h"

TEscWatch::TEscWatch(QWidget& window) : window_(window) {}

void TEscWatch::Step() {
    if (!EscPressed())
        return;
    escEnded_ = true;
    throw EQuietException("Esc by user");
}

bool TEscWatch::Run(const std::function<void()>& operation) {
    const TBusy busy(*this);
    escEnded_ = false;
    operation();
    return !escEnded_;
}

TEscWatch::TBusy::TBusy(TEscWatch& watch) : watch_(watch) {
    ++watch_.busy_;
}

TEscWatch::TBusy::~TBusy() {
    if (watch_.busy_ == 1)
        watch_.EscPressed();
    --watch_.busy_;
}

bool TEscWatch::EscPressed() {
    escPressed_ = false;
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    return escPressed_;
}

bool TEscWatch::eventFilter(QObject* watched, QEvent* event) {
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
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
    }
}
