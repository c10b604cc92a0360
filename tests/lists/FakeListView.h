#pragma once
// A list view of fixed metrics whose text width is easy to reckon: 10 pixels a byte,
// 1 pixel a dot, so that "..." barely counts.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "lists/Pathlist.h"

class FakeListView : public ListView {
public:
    std::vector<std::string> items;
    int clientWidth = 1000;
    int clientHeight = 160;
    int itemHeight = 16;
    int topIndex = 0;
    int scrollBarWidth = 17;
    int updateDepth = 0;
    int maxUpdateDepth = 0;
    int addsOutsideUpdate = 0;
    std::string hint = "untouched";
    std::function<void(int)> mouseMove;
    // A text containing it makes TextWidth fail, as a broken canvas would.
    std::string failingText = "\x01";

    void AddItem(const std::string& text) override {
        if (updateDepth == 0)
            ++addsOutsideUpdate;
        items.push_back(text);
    }
    void InsertItem(int index, const std::string& text) override {
        items.insert(items.begin() + index, text);
    }
    void DeleteItem(int index) override { items.erase(items.begin() + index); }
    void ClearItems() override { items.clear(); }
    void MoveItem(int from, int to) override {
        std::string item = items[from];
        items.erase(items.begin() + from);
        items.insert(items.begin() + to, item);
    }
    void ExchangeItems(int first, int second) override { std::swap(items[first], items[second]); }
    void BeginUpdate() override { maxUpdateDepth = std::max(maxUpdateDepth, ++updateDepth); }
    void EndUpdate() override { --updateDepth; }

    int TextWidth(const std::string& text) const override {
        if (text.find(failingText) != std::string::npos)
            throw std::runtime_error("canvas");
        int width = 0;
        for (char c : text) width += c == '.' ? 1 : 10;
        return width;
    }
    int ClientWidth() const override { return clientWidth; }
    int ClientHeight() const override { return clientHeight; }
    int ItemHeight() const override { return itemHeight; }
    int TopIndex() const override { return topIndex; }
    int ScrollBarWidth() const override { return scrollBarWidth; }
    std::string Hint() const override { return hint; }
    void SetHint(const std::string& text) override { hint = text; }
    void SetMouseMoveHandler(std::function<void(int)> handler) override {
        mouseMove = std::move(handler);
    }
};
