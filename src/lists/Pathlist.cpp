#include "lists/Pathlist.h"

#include <algorithm>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "lists/ListFile.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// Byte offset of the character after the first `count` characters of a UTF-8 text (the
// system's 8-bit code page), or the text's size when it is shorter.
std::size_t OffsetOfCharacter(const std::string& text, std::size_t count) {
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size() && seen < count; ++seen) {
        ++offset;
        while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    return offset;
}

std::size_t CharacterCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

int RoundedPercent(long long part, long long whole) {
    long long quotient = part * 100 / whole;
    long long twiceRest = part * 100 % whole * 2;
    if (twiceRest > whole || (twiceRest == whole && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(quotient);
}

// ---- TFileStringlist ----

TFileStringlist::TFileStringlist(std::string fileName) : fileName_(std::move(fileName)) {
    LoadIfExists();
}

TFileStringlist::TFileStringlist(std::string fileName, DeferLoad)
    : fileName_(std::move(fileName)) {}

void TFileStringlist::LoadIfExists() {
    if (CheckExists())
        LoadList();
}

bool TFileStringlist::CheckExists() {
    Exists = platform::FileExists(fileName_);
    return Exists;
}

void TFileStringlist::LoadList() {
    const TListFileText file(fileName_);
    Clear();
    file.ForEachLine([this](const TListFileText::TLine& line) { Add(std::string(line.text)); });
}

platform::BoxAnswer TFileStringlist::SaveList() {
    try {
        platform::BoxAnswer answer = platform::IDYES;
        if (!CheckExists()) {
            answer = YesNoCancelBox(
                "Data file", Format("Can not find logo list file %s.\rCreate new?", {fileName_}));
        }
        if (answer != platform::IDYES)
            return answer;
        Sort();
        platform::WriteFileAtomic(fileName_, JoinLines(strings_));
        return answer;
    } catch (const std::exception& error) {
        throw EFileListError(Format("Error creating the file \"%s\"!\rError: %s",
                                    {fileName_, platform::ErrorDetail(error)}));
    }
}

void TFileStringlist::CheckIndex(int index, int upper) const {
    if (index < 0 || index > upper) {
        throw platform::EStringListError(
            Format("List index out of bounds (%d)", {std::to_string(index)}));
    }
}

const std::string& TFileStringlist::operator[](int index) const {
    CheckIndex(index, Count() - 1);
    return strings_[static_cast<std::size_t>(index)];
}

bool TFileStringlist::Contains(std::string_view text) const {
    return index_.Contains(text);
}

int TFileStringlist::IndexOf(std::string_view text) const {
    if (!Contains(text))
        return -1;
    auto found = std::find_if(strings_.begin(), strings_.end(), [&](const std::string& entry) {
        return platform::CompareText(entry, text) == 0;
    });
    return static_cast<int>(found - strings_.begin());
}

int TFileStringlist::Add(const std::string& text) {
    strings_.push_back(text);
    index_.Add(text);
    return Count() - 1;
}

void TFileStringlist::Insert(int index, const std::string& text) {
    CheckIndex(index, Count());
    strings_.insert(strings_.begin() + index, text);
    index_.Add(text);
}

void TFileStringlist::Delete(int index) {
    CheckIndex(index, Count() - 1);
    index_.Remove(strings_[static_cast<std::size_t>(index)]);
    strings_.erase(strings_.begin() + index);
}

void TFileStringlist::Clear() {
    strings_.clear();
    index_.Clear();
}

void TFileStringlist::Move(int from, int to) {
    CheckIndex(from, Count() - 1);
    CheckIndex(to, Count() - 1);
    auto begin = strings_.begin();
    if (from < to) {
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    } else {
        std::rotate(begin + to, begin + from, begin + from + 1);
    }
}

void TFileStringlist::Exchange(int first, int second) {
    CheckIndex(first, Count() - 1);
    CheckIndex(second, Count() - 1);
    std::swap(strings_[static_cast<std::size_t>(first)],
              strings_[static_cast<std::size_t>(second)]);
}

void TFileStringlist::AddStrings(const TFileStringlist& other) {
    AddStrings(other.Strings());
}

void TFileStringlist::AddStrings(const std::vector<std::string>& other) {
    // A copy, since other may be this list's own entries.
    for (const auto& text : std::vector<std::string>(other)) Add(text);
}

void TFileStringlist::Sort() {
    std::stable_sort(strings_.begin(), strings_.end(), TCompareTextLess());
}

// ---- TPathStringList ----

TPathStringList::TPathStringList(std::string fileName, ListView* listBox)
    : TFileStringlist(std::move(fileName), DeferLoad()) {
    LoadIfExists();
    listBox_ = listBox;
    if (listBox_)
        listBox_->SetMouseMoveHandler([this](int y) { UpdateHint(y); });
    RefreshDisplay();
}

TPathStringList::~TPathStringList() {
    if (listBox_)
        listBox_->SetMouseMoveHandler({});
}

void TPathStringList::LoadList() {
    TFileStringlist::LoadList();
    RefreshDisplay();
}

int TPathStringList::Add(const std::string& text) {
    if (Contains(text))
        return -1;
    int index = TFileStringlist::Add(text);
    if (listBox_)
        listBox_->AddItem(ShortenPath(text));
    return index;
}

void TPathStringList::Insert(int index, const std::string& text) {
    if (Contains(text))
        return;
    TFileStringlist::Insert(index, text);
    if (listBox_)
        listBox_->InsertItem(index, ShortenPath(text));
}

void TPathStringList::Delete(int index) {
    TFileStringlist::Delete(index);
    if (listBox_)
        listBox_->DeleteItem(index);
}

void TPathStringList::Clear() {
    TFileStringlist::Clear();
    if (listBox_)
        listBox_->ClearItems();
}

void TPathStringList::Move(int from, int to) {
    TFileStringlist::Move(from, to);
    if (listBox_ && from != to)
        listBox_->MoveItem(from, to);
}

void TPathStringList::Exchange(int first, int second) {
    TFileStringlist::Exchange(first, second);
    if (listBox_ && first != second)
        listBox_->ExchangeItems(first, second);
}

void TPathStringList::Sort() {
    TFileStringlist::Sort();
    if (listBox_)
        FillListBox();
}

void TPathStringList::RefreshDisplay() {
    if (!listBox_)
        return;
    try {
        Sort();
    } catch (const platform::EStringListError& error) {
        throw EFileListError(
            Format("Error editing the logo list!\rError: %s", {error.ClassName()}));
    }
}

void TPathStringList::FillListBox() {
    listBox_->ClearItems();
    listBox_->BeginUpdate();
    try {
        for (const auto& entry : Strings()) listBox_->AddItem(ShortenPath(entry));
    } catch (...) {
        listBox_->EndUpdate();
        throw;
    }
    listBox_->EndUpdate();
}

int TPathStringList::Breite() const {
    if (!listBox_)
        return 0;
    int width = listBox_->ClientWidth();
    int itemHeight = listBox_->ItemHeight();
    int visibleRows = itemHeight > 0 ? listBox_->ClientHeight() / itemHeight : 0;
    if (Count() > visibleRows)
        width -= listBox_->ScrollBarWidth();
    return width;
}

bool TPathStringList::EntryExists(int index) const {
    return platform::FileExists((*this)[index]);
}

void TPathStringList::CheckEntries(const TCheckProgressEvent& onProgress) {
    auto report = [&](TProgressStage stage, int percent, const std::string& message) {
        if (onProgress)
            onProgress(*this, stage, percent, message);
    };

    const int total = Count();
    int invalid = 0;
    for (int i = 0; i < total; ++i) {
        if (!EntryExists(i))
            ++invalid;
        report(TProgressStage::psRunning, RoundedPercent(i + 1, total), "Checking list");
    }
    if (invalid > 0 &&
        YesNoBox("Switch logo",
                 Format("The %s list contains one or more invalid entries.\rInvalid entries: "
                        "%d\rDo you want to remove these entries from the logo list?",
                        {"logo", std::to_string(invalid)})) == platform::IDYES) {
        for (int i = total - 1; i >= 0; --i) {
            // Tested anew: a file that came back meanwhile stays.
            if (!EntryExists(i))
                Delete(i);
            int left = Count();
            report(TProgressStage::psRunning, left == 0 ? 100 : RoundedPercent(left - i, left),
                   "Deleting invalid entries");
        }
    }
    report(TProgressStage::psEnding, 0, "");
}

std::string TPathStringList::ShortenPath(const std::string& path) const {
    try {
        int width = Breite();
        if (listBox_ == nullptr || listBox_->TextWidth(path) <= width)
            return path;
        return ShortenedForWidth(path, width);
    } catch (...) {
        return path;
    }
}

std::string TPathStringList::ShortenedForWidth(const std::string& path, int width) const {
    std::size_t nameStart = path.find_last_of("\\:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    const std::string name = path.substr(nameStart);
    const int nameWidth = listBox_->TextWidth(name);

    std::string dir = path.substr(0, nameStart);
    dir.insert(OffsetOfCharacter(dir, 3), "...");
    // Characters go from just after the "..." until the rest fits; the drive, the "..."
    // and the last backslash always stay.
    do {
        std::size_t from = OffsetOfCharacter(dir, 6);
        dir.erase(from, OffsetOfCharacter(dir, 7) - from);
    } while (listBox_->TextWidth(dir) >= width - nameWidth && CharacterCount(dir) > 7);
    return dir + name;
}

void TPathStringList::UpdateHint(int y) {
    if (!listBox_)
        return;
    try {
        int itemHeight = listBox_->ItemHeight();
        if (itemHeight <= 0)
            return;
        int row = (y >= 0 ? y / itemHeight : -((-y + itemHeight - 1) / itemHeight)) +
                  listBox_->TopIndex();
        if (row < 0 || row >= Count())
            return;
        const std::string& entry = (*this)[row];
        listBox_->SetHint("");
        if (listBox_->TextWidth(entry) > Breite() - 5)
            listBox_->SetHint(entry + "|");
    } catch (const std::exception& error) {
        listBox_->SetHint(
            Format("Error creating the hint\rError: %s", {platform::ErrorDetail(error)}));
    }
}
