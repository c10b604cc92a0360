#include "ui/EscapeWatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

bool TEscapeWatch::EscPressed() {
    escPressed_ = false;
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    return escPressed_;
}

bool TEscapeWatch::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window_)
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
