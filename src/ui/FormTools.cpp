#include "ui/FormTools.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "core/Global.h"
#include "core/ProgErrors.h"

namespace {

constexpr double DesignDpi = 120.0;
constexpr const char* HelpContextProperty = "helpContext";

bool ManagedByLayout(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return parent != nullptr && parent->layout() != nullptr;
}

QSize ScaledSize(QSize size, double scale) {
    return {Scaled(size.width(), scale), Scaled(size.height(), scale)};
}

}  // namespace

double DesignScale(const QWidget* widget) {
    return widget->logicalDpiY() / DesignDpi;
}

int Scaled(int designPixels, double scale) {
    if (designPixels >= QWIDGETSIZE_MAX)
        return designPixels;
    return static_cast<int>(std::lround(designPixels * scale));
}

void ScaleDesignGeometry(QWidget* form, double scale) {
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (child->isWindow())
            continue;
        if (child->minimumSize() == child->maximumSize())
            child->setFixedSize(ScaledSize(child->minimumSize(), scale));
        if (!ManagedByLayout(child)) {
            const QRect design = child->geometry();
            child->setGeometry(Scaled(design.x(), scale), Scaled(design.y(), scale),
                               Scaled(design.width(), scale), Scaled(design.height(), scale));
        }
    }
}

void FixDialogSize(QWidget* dialog, int designWidth, int designHeight) {
    const double scale = DesignScale(dialog);
    const QLayout* layout = dialog->layout();
    const int width = std::max(Scaled(designWidth, scale), layout->totalMinimumSize().width());
    // A top-level window doesn't grow by itself for labels that wrap at its width.
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalMinimumSize().height();
    dialog->setFixedSize(width, std::max(Scaled(designHeight, scale), needed));
}

void SetUpDialog(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel,
                 QAbstractButton* help) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const std::pair<QAbstractButton*, QStyle::StandardPixmap> icons[] = {
        {ok, QStyle::SP_DialogOkButton},
        {cancel, QStyle::SP_DialogCancelButton},
        {help, QStyle::SP_DialogHelpButton}};
    for (const auto& [button, icon] : icons)
        if (button != nullptr)
            button->setIcon(dialog.style()->standardIcon(icon));
}

void InitUiResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

void CenterOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

TOverrideCursor::TOverrideCursor(Qt::CursorShape shape, bool onlyOverAnother)
    : set_(!onlyOverAnother || QGuiApplication::overrideCursor() != nullptr) {
    if (set_)
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

TOverrideCursor::~TOverrideCursor() {
    if (set_)
        QGuiApplication::restoreOverrideCursor();
}

void ShowException(const std::exception& error) {
    // A cancelled operation ends without a word.
    if (dynamic_cast<const EQuietException*>(&error) != nullptr)
        return;
    ErrorBox("Bootrama", error.what());
}

int HelpContextOf(const QObject* object) {
    return object ? object->property(HelpContextProperty).toInt() : 0;
}

void SetHelpContext(QObject* object, int context) {
    object->setProperty(HelpContextProperty, context);
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ToStd(const QString& text) {
    return text.toStdString();
}
