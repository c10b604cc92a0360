#include "ui/ListBox.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "ui/FormTools.h"

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr)
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

}  // namespace

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    viewport()->setMouseTracking(true);
}

void TListBox::AddItem(const std::string& text) {
    addItem(FromStd(text));
}
void TListBox::InsertItem(int index, const std::string& text) {
    insertItem(index, FromStd(text));
}
void TListBox::DeleteItem(int index) {
    delete takeItem(index);
}
void TListBox::ClearItems() {
    clear();
}
void TListBox::MoveItem(int from, int to) {
    insertItem(to, takeItem(from));
}
void TListBox::ExchangeItems(int first, int second) {
    const QString text = item(first)->text();
    item(first)->setText(item(second)->text());
    item(second)->setText(text);
}
void TListBox::BeginUpdate() {
    setUpdatesEnabled(false);
}
void TListBox::EndUpdate() {
    setUpdatesEnabled(true);
}

int TListBox::TextWidth(const std::string& text) const {
    return fontMetrics().horizontalAdvance(FromStd(text));
}

// The room for text in a row of the viewport as it is without scroll bars (the list takes
// the bar off itself): the row's text margins are not the text's.
int TListBox::ClientWidth() const {
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return maximumViewportSize().width() - 2 * margin;
}
int TListBox::ClientHeight() const {
    return maximumViewportSize().height();
}

int TListBox::ItemHeight() const {
    const int row = count() > 0 ? sizeHintForRow(0) : -1;
    return row > 0 ? row : fontMetrics().height();
}

int TListBox::TopIndex() const {
    const QModelIndex top = indexAt(QPoint(0, 0));
    return top.isValid() ? top.row() : 0;
}

int TListBox::ScrollBarWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

std::string TListBox::Hint() const {
    return ToStd(toolTip() + QLatin1Char('|') + statusTip());
}

void TListBox::SetHint(const std::string& hint) {
    ::SetHint(*this, hint);
}

void TListBox::SetMouseMoveHandler(std::function<void(int y)> handler) {
    mouseMoveHandler_ = std::move(handler);
}

std::vector<int> SelectedRows(const QAbstractItemView& view) {
    std::vector<int> rows;
    for (const QModelIndex& index : view.selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TListBox::mouseMoveEvent(QMouseEvent* event) {
    if (mouseMoveHandler_)
        mouseMoveHandler_(event->position().toPoint().y());
    QListWidget::mouseMoveEvent(event);
}

void TListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QListWidget::dragEnterEvent(event);
}

void TListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QListWidget::dragMoveEvent(event);
}

void TListBox::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty()) {
        QListWidget::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit FilesDropped(files);
}
