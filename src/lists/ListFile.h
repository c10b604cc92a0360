#pragma once
// Reading a logo list file: its lines, and its entries as a TPathStringList holds them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

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
// That an unchanged list holds no entry twice is remembered, so that it is then not read
// again but for the entry asked for.
class TPathListEntries {
public:
    // A missing file gives no entries; one that can't be read raises EFileListError.
    explicit TPathListEntries(const std::string& fileName);

    bool Exists = false;
    std::size_t Count() const { return count_; }
    std::string operator[](std::size_t index) const;

private:
    TPathListEntries(const std::string& fileName, bool mayRecall);
    bool Recall(const platform::FileStamp& stamp);
    // Finds the entries; gives the number of lines, and where every 256th line starts.
    std::size_t TakeApart(std::vector<std::uint64_t>& marks);
    // The line of a list known to hold no entry twice; nothing when the list has changed.
    std::optional<std::string> LineFromPart(std::size_t index) const;

    std::string fileName_;
    std::size_t count_ = 0;
    // A list taken apart: its text, and where its entries' lines start.
    std::optional<TListFileText> file_;
    std::vector<std::uint32_t> starts_;
    // A list known to hold no entry twice: its stamp, and where every 256th line starts.
    std::optional<platform::FileStamp> stamp_;
    std::vector<std::uint64_t> lineMarks_;
};
