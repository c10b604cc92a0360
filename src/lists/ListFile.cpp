#include "lists/ListFile.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "lists/EntryIndex.h"
#include "lists/Words.h"
#include "platform/Errors.h"
#include "platform/Files.h"

TListFileText::TListFileText(const std::string& fileName) {
    try {
        text_ = platform::ReadFile(fileName, platform::kMaxListFileBytes);
    } catch (const platform::EStreamError& error) {
        throw EFileListError(
            Format("Error reading the file \"%s\"!\rError: %s", {fileName, error.ClassName()}));
    } catch (const std::exception& error) {
        throw EFileListError(Format("General Error reading the file \"%s\"!\rError: %s",
                                    {fileName, platform::ErrorDetail(error)}));
    }
    text_.resize(std::min(text_.find('\0'), text_.size()));
}

// The line's end is found and its hash taken in one pass, eight characters at a time, as
// long lists are read for one entry.
TListFileText::TLine TListFileText::LineAt(std::size_t start) const {
    TCaselessHash hash;
    std::size_t at = start;
    for (;; at += 8) {
        std::uint64_t word = 0;
        if (at + 8 <= text_.size()) {
            word = Load8(text_.data() + at);
        } else {
            std::memcpy(&word, text_.data() + at, text_.size() - at);
            // Bytes beyond the text count as a line's end.
            word |= ~FirstBytes(~std::uint64_t{0}, text_.size() - at) & (kLowBits * '\n');
        }
        if (const std::uint64_t ends = ByteMatches(word, '\r') | ByteMatches(word, '\n')) {
            const std::size_t length = std::size_t(std::countr_zero(ends) / 8);
            hash.Take(FirstBytes(word, length));
            at += length;
            break;
        }
        hash.Take(word);
    }
    return {std::string_view(text_).substr(start, at - start), hash.Result(at - start)};
}

std::size_t TListFileText::NextLine(std::size_t end) const {
    if (end < text_.size() && text_[end] == '\r')
        ++end;
    if (end < text_.size() && text_[end] == '\n')
        ++end;
    return end;
}

TPathListEntries::TPathListEntries(const std::string& fileName) {
    Exists = platform::FileExists(fileName);
    if (!Exists)
        return;
    const TListFileText& file = file_.emplace(fileName);
    TEntryIndex index(file.Text());
    // Room for lines of 32 characters, without counting them first; shorter ones grow it.
    index.Reserve(file.Text().size() / 32);
    file.ForEachLine([&](const TListFileText::TLine& line) {
        if (index.Add(line.text, line.hash))
            starts_.push_back(static_cast<std::uint32_t>(line.text.data() - file.Text().data()));
    });
}
