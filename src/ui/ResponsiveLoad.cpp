#include "ui/ResponsiveLoad.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "core/ProgErrors.h"

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        // Closing a window in the middle of its own load would pull the picture away.
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool TResponsiveLoad::Run(const std::function<void()>& load) {
    struct Running {
        TResponsiveLoad& owner;
        explicit Running(TResponsiveLoad& load) : owner(load) {
            owner.running_ = true;
            owner.aborted_ = false;
            QCoreApplication::instance()->installEventFilter(&owner);
        }
        ~Running() {
            QCoreApplication::instance()->removeEventFilter(&owner);
            owner.running_ = false;
        }
    } running(*this);
    load();
    return !aborted_;
}

void TResponsiveLoad::KeepResponsive() {
    if (!running_)
        return;
    QCoreApplication::processEvents();
    if (aborted_)
        throw EQuietException("");
}

bool TResponsiveLoad::eventFilter(QObject* watched, QEvent* event) {
    if (!running_ || !IsInput(event->type()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        aborted_ = true;
    event->ignore();
    return true;
}
