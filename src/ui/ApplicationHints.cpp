#include "ui/ApplicationHints.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QWidget>

#include "platform/Help.h"
#include "ui/FormTools.h"

namespace {

// Help chosen on a menu item takes the place of the menu, which would otherwise float
// over the help window.
void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
}

}  // namespace

TApplicationHints::TApplicationHints(ShowHint showHint, int fallbackHelpContext, QObject* parent)
    : QObject(parent), showHint_(std::move(showHint)), fallbackHelpContext_(fallbackHelpContext) {
    qApp->installEventFilter(this);
}

TApplicationHints::~TApplicationHints() {
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
}

bool TApplicationHints::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Taken at the first receiver: status tips of dialogs never reach the main window.
        showHint_(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        // A hint whose long part is empty ("Help content|") empties the status line.
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->statusTip().isEmpty() && !widget->toolTip().isEmpty())
            showHint_({});
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        if (int context = HelpContextFor(watched); context != 0) {
            CloseMenus();
            RunHandler([context] { platform::CurrentHelp().Topic(context); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// The highlighted menu item's context, else the nearest window or widget that has one.
int TApplicationHints::HelpContextFor(QObject* watched) const {
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        if (int context = HelpContextOf(menu->activeAction()); context != 0)
            return context;
    }
    for (QObject* object = watched; object != nullptr; object = object->parent()) {
        if (int context = HelpContextOf(object); context != 0)
            return context;
    }
    return fallbackHelpContext_;
}
