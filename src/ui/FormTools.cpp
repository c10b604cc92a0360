#include "ui/FormTools.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "ui/Icons.h"

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

const QScreen* ScreenOf(const QWidget* window) {
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// The window manager's frame; before the window was first decorated, a title bar.
QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame != inner) {
        return {inner.left() - frame.left(), inner.top() - frame.top(),
                frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    }
    return {0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), 0, 0};
}

// Qt knows a window's frame only once the window manager has decorated it; before that,
// moving a window places its inside, so windows are placed by their inside here.
QRect FrameRect(const QWidget* window) {
    return window->geometry().marginsAdded(FrameMargins(window));
}

void SetFrameRect(QWidget* window, const QRect& frame) {
    window->setGeometry(frame.marginsRemoved(FrameMargins(window)));
}

// Where the window goes beside the anchor, the anchor left where it is.
QRect BesideAnchor(const QRect& area, const QRect& anchor, QSize wanted, int minimumWidth) {
    const int leftRoom = anchor.left() - area.left();
    const int rightRoom = area.right() - anchor.right();
    const bool right = rightRoom >= leftRoom;
    const int width = std::clamp(right ? rightRoom : leftRoom, minimumWidth, wanted.width());
    const int x = right ? std::min(anchor.right() + 1, area.right() + 1 - width)
                        : std::max(anchor.left() - width, area.left());
    const int y = std::clamp(anchor.top(), area.top(), area.bottom() + 1 - wanted.height());
    return {x, y, width, wanted.height()};
}

constexpr const char* WholeTextProperty = "wholeText";
constexpr const char* EliderName = "elider";

// Cuts the whole text of a label to its width each time its size changes.
class TElider : public QObject {
public:
    explicit TElider(QLabel& label) : QObject(&label) {
        setObjectName(QLatin1String(EliderName));
        label.installEventFilter(this);
    }
    static void Elide(QLabel& label) {
        const QString whole = label.property(WholeTextProperty).toString();
        label.setText(
            label.fontMetrics().elidedText(whole, Qt::ElideRight, label.contentsRect().width()));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            Elide(*static_cast<QLabel*>(watched));
        return false;
    }
};

// Layouts keep the sizes their controls had when they were last laid out (before the first
// showing: a frame before its own controls, a label before its text).
void ForgetSizes(QWidget* dialog) {
    for (QWidget* child : dialog->findChildren<QWidget*>()) child->updateGeometry();
}

// The height a dialog's controls need at a width. A top-level window doesn't grow by itself
// for labels that wrap at its width.
int NeededHeight(const QWidget* dialog, int width) {
    const QLayout* layout = dialog->layout();
    return layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                       : layout->totalMinimumSize().height();
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
    ForgetSizes(dialog);
    const double scale = DesignScale(dialog);
    const int width =
        std::max(Scaled(designWidth, scale), dialog->layout()->totalMinimumSize().width());
    dialog->setFixedSize(width, std::max(Scaled(designHeight, scale), NeededHeight(dialog, width)));
    BoundToScreen(dialog);
}

void GrowToFit(QWidget* dialog) {
    if (!dialog->isVisible() || dialog->layout() == nullptr)
        return;
    ForgetSizes(dialog);
    const int needed = NeededHeight(dialog, dialog->width());
    if (needed <= dialog->height())
        return;
    dialog->setFixedHeight(needed);
    BoundToScreen(dialog);
}

void ShowElided(QLabel& label, const QString& text) {
    if (label.findChild<QObject*>(QLatin1String(EliderName), Qt::FindDirectChildrenOnly) == nullptr)
        new TElider(label);
    label.setProperty(WholeTextProperty, text);
    TElider::Elide(label);
}

void ReserveWidth(QLabel* label, const QString& widestText) {
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widestText));
}

void SetDialogBorder(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void SetUpDialog(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel,
                 QAbstractButton* help) {
    SetDialogBorder(dialog);
    SetCommandIcons(
        {{ok, TCommandIcon::Ok}, {cancel, TCommandIcon::Cancel}, {help, TCommandIcon::Help}});
}

void InitUiResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

void BoundToScreen(QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameMargins(window);
    const QSize room = area.size().shrunkBy(frame);
    window->setMinimumSize(window->minimumSize().boundedTo(room));
    window->setMaximumSize(window->maximumSize().boundedTo(room));
    window->resize(window->size().boundedTo(room));
    // A window without a place of its own yet is placed by Qt or the window manager.
    if (!window->testAttribute(Qt::WA_Moved))
        return;
    // The frame's top left stays on the screen even where the window can't shrink.
    QRect outer = FrameRect(window);
    outer.moveTo(std::max(area.left(), std::min(outer.x(), area.right() + 1 - outer.width())),
                 std::max(area.top(), std::min(outer.y(), area.bottom() + 1 - outer.height())));
    SetFrameRect(window, outer);
}

void CenterOnScreen(QWidget* window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr)
        return;
    QRect frame = FrameRect(window);
    frame.moveCenter(screen->availableGeometry().center());
    SetFrameRect(window, frame);
    BoundToScreen(window);
}

TSideBySide SideBySide(const QRect& area, QRect anchor, QSize wanted, int minimumWidth,
                       bool anchorMayMove) {
    wanted = wanted.boundedTo(area.size());
    minimumWidth = std::min(minimumWidth, wanted.width());
    const int leftRoom = anchor.left() - area.left();
    const int rightRoom = area.right() - anchor.right();
    const int lacking = wanted.width() - std::max(leftRoom, rightRoom);
    if (anchorMayMove && lacking > 0) {
        // Away from the wider side, at most to the area's edge.
        const int shift = std::min(lacking, std::min(leftRoom, rightRoom));
        anchor.translate(rightRoom >= leftRoom ? -shift : shift, 0);
    }
    return {anchor, BesideAnchor(area, anchor, wanted, minimumWidth)};
}

void PlaceBeside(QWidget* window, QWidget* anchor, bool anchorMayMove) {
    const QScreen* screen = ScreenOf(anchor);
    if (screen == nullptr)
        return;
    const QSize wanted = FrameRect(window).size();
    const TSideBySide place = SideBySide(screen->availableGeometry(), FrameRect(anchor), wanted,
                                         wanted.width() / 2, anchorMayMove);
    SetFrameRect(anchor, place.anchor);
    SetFrameRect(window, place.window);
}

int ExecModal(QDialog& dialog) {
    const QPointer<QWidget> before = QApplication::activeWindow();
    if (dialog.parentWidget() != nullptr)
        dialog.setWindowModality(Qt::WindowModal);
    const int result = dialog.exec();
    // Left to the window manager, the focus may go to the help window instead.
    if (before != nullptr && before->isVisible())
        before->activateWindow();
    return result;
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

void SetHint(QWidget& widget, const std::string& hint) {
    const QString text = FromStd(hint);
    const auto bar = text.indexOf(QLatin1Char('|'));
    widget.setToolTip(bar < 0 ? text : text.left(bar));
    widget.setStatusTip(bar < 0 ? text : text.mid(bar + 1));
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

QString MessageText(const std::string& text) {
    return FromStd(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
