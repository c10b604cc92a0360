#pragma once
// Reading a logo list file: its lines, and its entries as a TPathStringList holds them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file's text and its lines, by the rule of list files: lines end at CR, LF or CR LF,
// the last one may end at the end of the file, and a NUL byte ends the text. A file that
// can't be read raises EFileListError.
class TListFileText {
public:
    explicit TListFileText(const std::string& fileName);

    struct TLine {
        std::string_view text;              // into Text(), without the line's end
        std::optional<std::uint32_t> hash;  // EntryHash(text)
    };

    std::string_view Text() const { return text_; }
    // The line that starts at `start`.
    TLine LineAt(std::size_t start) const;
    // The line at an index from 0 (a CR LF pair ends one line); the first where there are
    // fewer lines.
    std::string_view Line(std::size_t index) const;
    // The lines in order.
    template <typename Visit>
    void ForEachLine(Visit&& visit) const {
        for (std::size_t start = 0; start < text_.size();) {
            const TLine line = LineAt(start);
            visit(line);
            start = NextLine(start + line.text.size());
        }
    }

private:
    // Where the line that starts at `start` ends.
    std::size_t LineEnd(std::size_t start) const;
    // Calls visit(at, marks) for the text eight characters at a time, marks flagging (as
    // ByteMatches does) the characters that end a line, of a CR LF pair the CR only; stops
    // when visit returns true.
    template <typename Visit>
    void ScanLineEnds(Visit&& visit) const;
    // Where the line after the one ending at `end` starts.
    std::size_t NextLine(std::size_t end) const {
        if (end < text_.size() && text_[end] == '\r')
            ++end;
        if (end < text_.size() && text_[end] == '\n')
            ++end;
        return end;
    }

    std::string text_;  // up to the first NUL
};

// The entries a TPathStringList reads from the file (each line once, in the file's order),
// without building one: for reading a long list for one entry, as at every start of Windows.
// That an unchanged list holds no entry twice is remembered, so that its lines are then
// only counted.
class TPathListEntries {
public:
    // A missing file gives no entries; one that can't be read raises EFileListError.
    explicit TPathListEntries(const std::string& fileName);

    bool Exists = false;
    std::size_t Count() const { return count_; }
    std::string_view operator[](std::size_t index) const {
        return everyLine_ ? file_->Line(index) : file_->LineAt(starts_[index]).text;
    }

private:
    // Finds the entries; gives the number of lines.
    std::size_t TakeApart();

    std::optional<TListFileText> file_;
    bool everyLine_ = false;             // each line is an entry of its own
    std::vector<std::uint32_t> starts_;  // otherwise those of the entries' lines in the text
    std::size_t count_ = 0;
};
