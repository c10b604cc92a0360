#pragma once
// The logo list files: one logo path per line, bound to one list file, optionally shown
// in a dialog's list view.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Progress.h"
#include "lists/EntryIndex.h"
#include "platform/MessageBox.h"

// What a list needs of the dialog's list control; the GUI implements it, tests fake it.
class ListView {
public:
    virtual ~ListView() = default;

    virtual void AddItem(const std::string& text) = 0;
    virtual void InsertItem(int index, const std::string& text) = 0;
    virtual void DeleteItem(int index) = 0;
    virtual void ClearItems() = 0;
    virtual void MoveItem(int from, int to) = 0;
    virtual void ExchangeItems(int first, int second) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;

    // Width in pixels of a text in the view's font.
    virtual int TextWidth(const std::string& text) const = 0;
    // The drawing area, scroll bar not taken off.
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int ItemHeight() const = 0;
    virtual int TopIndex() const = 0;  // first visible row
    virtual int ScrollBarWidth() const = 0;

    // "tooltip|status text"
    virtual std::string Hint() const = 0;
    virtual void SetHint(const std::string& hint) = 0;
    // The list routes the view's mouse moves (vertical position) to UpdateHint; an empty
    // function disconnects.
    virtual void SetMouseMoveHandler(std::function<void(int y)> handler) = 0;
};

// A list of strings bound to one list file; keeps every line, duplicates included.
class TFileStringlist {
public:
    // Reads the file when it exists; a missing file leaves the list empty.
    explicit TFileStringlist(std::string fileName);
    virtual ~TFileStringlist() = default;
    TFileStringlist(const TFileStringlist&) = delete;
    TFileStringlist& operator=(const TFileStringlist&) = delete;

    bool Exists = false;
    const std::string& FileName() const { return fileName_; }

    bool CheckExists();
    virtual void LoadList();
    // Writes the sorted list, asking before it creates a missing file; returns the answer
    // (IDYES when written, IDNO or IDCANCEL when not).
    virtual platform::BoxAnswer SaveList();

    int Count() const { return static_cast<int>(strings_.size()); }
    const std::string& operator[](int index) const;
    const std::vector<std::string>& Strings() const { return strings_; }
    // The first entry equal without regard to case, or -1.
    int IndexOf(std::string_view text) const;

    virtual int Add(const std::string& text);
    virtual void Insert(int index, const std::string& text);
    virtual void Delete(int index);
    virtual void Clear();
    virtual void Move(int from, int to);
    virtual void Exchange(int first, int second);
    void AddStrings(const TFileStringlist& other);
    void AddStrings(const std::vector<std::string>& other);
    virtual void Sort();

protected:
    // For the constructor of a derived list, whose own Add must take part in the reading.
    struct DeferLoad {};
    TFileStringlist(std::string fileName, DeferLoad);
    void LoadIfExists();
    bool Contains(std::string_view text) const;
    void CheckIndex(int index, int upper) const;

private:
    std::string fileName_;
    std::vector<std::string> strings_;
    TEntryIndex index_;  // the entries again, for the duplicate test
};

class TPathStringList;
// Progress of CheckEntries: the stage, the percentage done and what is being done.
using TCheckProgressEvent = std::function<void(TPathStringList& sender, TProgressStage stage,
                                               int percentDone, const std::string& message)>;

// A list of logo paths without duplicates, mirrored into a bound list view, one display
// line per entry in the entries' order.
class TPathStringList : public TFileStringlist {
public:
    // The view is not owned and must outlive the list.
    explicit TPathStringList(std::string fileName, ListView* listBox = nullptr);
    ~TPathStringList() override;

    ListView* ListBox() const { return listBox_; }
    int Breite() const;

    void LoadList() override;
    // -1 when the path is already there.
    int Add(const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;
    void Move(int from, int to) override;
    void Exchange(int first, int second) override;
    void Sort() override;

    bool EntryExists(int index) const;
    // Offers to remove the entries whose files are missing.
    void CheckEntries(const TCheckProgressEvent& onProgress = {});
    virtual void RefreshDisplay();
    std::string ShortenPath(const std::string& path) const;
    void UpdateHint(int y);

private:
    void FillListBox();
    std::string ShortenedForWidth(const std::string& path, int width) const;

    ListView* listBox_ = nullptr;
};

// Percentage of part in whole, to the nearest integer, halves to the even neighbour.
int RoundedPercent(long long part, long long whole);
