#pragma once
// Reading a logo list file: its lines, and its entries as a TPathStringList holds them.

#include <cstddef>
#include <functional>
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

    std::string_view Text() const { return text_; }
    // The lines in order, as views into Text().
    void ForEachLine(const std::function<void(std::string_view line)>& visit) const;
    // The number of lines where they all end alike, for reserving room.
    std::size_t LineCountEstimate() const;

private:
    std::string text_;  // up to the first NUL
};

// The entries a TPathStringList reads from the file (each line once, in the file's order),
// without building one: for reading a long list for one entry.
class TPathListEntries {
public:
    // A missing file gives no entries; one that can't be read raises EFileListError.
    explicit TPathListEntries(const std::string& fileName);

    bool Exists = false;
    const std::vector<std::string_view>& Entries() const { return entries_; }

private:
    std::optional<TListFileText> file_;
    std::vector<std::string_view> entries_;  // into the text of file_
};
