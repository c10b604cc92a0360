#include "lists/ListFile.h"

#include <algorithm>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "lists/EntryIndex.h"
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

void TListFileText::ForEachLine(const std::function<void(std::string_view line)>& visit) const {
    const std::string_view text = text_;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = std::min(text.find('\n', start), text.size());
        const std::size_t end =
            std::min(text.substr(start, lineFeed - start).find('\r'), lineFeed - start) + start;
        visit(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r')
            ++start;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::size_t TListFileText::LineCountEstimate() const {
    auto count = [this](char c) {
        std::size_t found = 0;
        for (auto at = text_.find(c); at != std::string::npos; at = text_.find(c, at + 1)) ++found;
        return found;
    };
    return std::max(count('\n'), count('\r')) + 1;
}

TPathListEntries::TPathListEntries(const std::string& fileName) {
    Exists = platform::FileExists(fileName);
    if (!Exists)
        return;
    const TListFileText& file = file_.emplace(fileName);
    TEntryIndex index(file.Text());
    const std::size_t lines = file.LineCountEstimate();
    index.Reserve(lines);
    entries_.reserve(lines);
    file.ForEachLine([&](std::string_view line) {
        if (index.Add(line))
            entries_.push_back(line);
    });
}
