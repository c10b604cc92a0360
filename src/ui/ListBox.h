#pragma once
// A list box that a logo list fills (the ListView a TPathStringList mirrors itself into),
// with the list's hint as its tooltip and status text. It can take files dropped from the
// desktop's file manager.

#include <QListWidget>
#include <QStringList>
#include <functional>

#include "lists/Pathlist.h"

class TListBox : public QListWidget, public ListView {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);

    void AddItem(const std::string& text) override;
    void InsertItem(int index, const std::string& text) override;
    void DeleteItem(int index) override;
    void ClearItems() override;
    void MoveItem(int from, int to) override;
    void ExchangeItems(int first, int second) override;
    void BeginUpdate() override;
    void EndUpdate() override;

    int TextWidth(const std::string& text) const override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    int ItemHeight() const override;
    int TopIndex() const override;
    int ScrollBarWidth() const override;

    std::string Hint() const override;
    void SetHint(const std::string& hint) override;
    void SetMouseMoveHandler(std::function<void(int y)> handler) override;

signals:
    // Host paths of local files dropped onto the box.
    void FilesDropped(const QStringList& hostPaths);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::function<void(int y)> mouseMoveHandler_;
};

// The rows selected in a list view, in ascending order.
std::vector<int> SelectedRows(const QAbstractItemView& view);
