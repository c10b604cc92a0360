#include "lists/ListFile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <exception>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "lists/EntryIndex.h"
#include "lists/Words.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Remembered.h"

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

namespace {

// The eight characters from `at` on; those beyond the text read as line ends.
std::uint64_t WordAt(std::string_view text, std::size_t at) {
    if (at + 8 <= text.size())
        return Load8(text.data() + at);
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, text.size() - at);
    return word | (~FirstBytes(~std::uint64_t{0}, text.size() - at) & (kLowBits * '\n'));
}

}  // namespace

// The line's end is found and its hash taken in one pass, eight characters at a time, as
// long lists are read for one entry.
TListFileText::TLine TListFileText::LineAt(std::size_t start) const {
    TCaselessHash hash;
    std::size_t at = start;
    for (;; at += 8) {
        const std::uint64_t word = WordAt(text_, at);
        // Only a word with a character below 0x0E may hold CR or LF, and few others do.
        if (BytesBelow(word, '\r' + 1) != 0) {
            if (const std::uint64_t ends = ByteMatches(word, '\r') | ByteMatches(word, '\n')) {
                const std::size_t length = std::size_t(std::countr_zero(ends) / 8);
                hash.Take(FirstBytes(word, length));
                at += length;
                break;
            }
        }
        hash.Take(word);
    }
    return {std::string_view(text_).substr(start, at - start), hash.Result(at - start)};
}

namespace {

// The distinct lines of a list file while all are ASCII, for reading a long list for one
// entry: a table beside TEntryIndex, as this one needs no counts, spellings or whole hashes.
// Five bytes a line: its start, and seven bits of its hash that tag its slot in the group of
// eight the hash picks, so that one word of tags tells a new line (the usual case) without a
// branch the processor can't foresee.
class TFirstLines {
public:
    TFirstLines(const TListFileText& file, std::size_t expected) : file_(file) {
        Grow(std::bit_ceil(std::max<std::size_t>(8, expected * 4 / 3 + 1)));
    }

    // True when no equal line came before.
    bool Insert(std::string_view line, std::uint32_t hash) {
        if ((used_ + 1) * 4 > starts_.size() * 3)
            Grow(starts_.size() * 2);
        const std::size_t at = Find(line, hash);
        if (tags_[at] != kFree)
            return false;
        tags_[at] = Tag(hash);
        starts_[at] = static_cast<std::uint32_t>(line.data() - file_.Text().data());
        ++used_;
        return true;
    }

private:
    static constexpr char kFree = '\x80';
    static char Tag(std::uint32_t hash) { return static_cast<char>(hash >> 25); }

    // The slot of an equal line, or the free one where the line goes.
    std::size_t Find(std::string_view line, std::uint32_t hash) const {
        const std::size_t groupMask = tags_.size() / 8 - 1;
        for (std::size_t group = hash & groupMask;; group = (group + 1) & groupMask) {
            const std::uint64_t tags = Load8(tags_.data() + 8 * group);
            for (std::uint64_t same = ByteMatches(tags, Tag(hash)); same != 0; same &= same - 1) {
                const std::size_t at = 8 * group + std::size_t(std::countr_zero(same) / 8);
                if (SameLine(starts_[at], line))
                    return at;
            }
            if (const std::uint64_t free = tags & kHighBits)
                return 8 * group + std::size_t(std::countr_zero(free) / 8);
        }
    }

    // The line at `start` is as long as `line` when a line's end follows that many characters.
    bool SameLine(std::size_t start, std::string_view line) const {
        const std::string_view text = file_.Text();
        const std::size_t end = start + line.size();
        return end <= text.size() &&
               (end == text.size() || text[end] == '\r' || text[end] == '\n') &&
               SameAscii(text.substr(start, line.size()), line);
    }

    // The slots' hashes are not kept: growing reads their lines again, hence room enough
    // from the start.
    void Grow(std::size_t slotCount) {
        std::string tags(slotCount, kFree);
        std::vector<std::uint32_t> starts(slotCount);
        tags.swap(tags_);
        starts.swap(starts_);
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (tags[i] == kFree)
                continue;
            const TListFileText::TLine line = file_.LineAt(starts[i]);
            const std::size_t at = Find(line.text, *line.hash);
            tags_[at] = Tag(*line.hash);
            starts_[at] = starts[i];
        }
    }

    const TListFileText& file_;
    std::string tags_;                   // a power of two, at most three quarters used
    std::vector<std::uint32_t> starts_;  // of the lines in the text
    std::size_t used_ = 0;
};

// What is remembered of a list that holds no entry twice: its number of lines, and where
// every kLinesApart-th line starts, so that a line is found reading little of the list.
constexpr std::string_view kDistinctLines = "distinct-lines";
constexpr std::size_t kLinesApart = 256;
constexpr std::size_t kPartBytes = 16 * 1024;

std::string FactOf(std::size_t count, const std::vector<std::uint64_t>& marks) {
    std::string fact = std::to_string(count);
    for (const std::uint64_t mark : marks) fact += ' ' + std::to_string(mark);
    return fact;
}

// The line `skip` lines on in `part`, text from a line's start on: nothing when `part` does
// not hold it whole; `toEnd` when the text ends with `part`.
std::optional<std::string_view> LineInPart(std::string_view part, std::size_t skip, bool toEnd) {
    if (const std::size_t nul = part.find('\0'); nul != std::string_view::npos) {
        part = part.substr(0, nul);
        toEnd = true;
    }
    for (std::size_t start = 0; start < part.size();) {
        const std::size_t end = part.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            return toEnd && skip == 0 ? std::optional(part.substr(start)) : std::nullopt;
        if (skip-- == 0)
            return part.substr(start, end - start);
        start = end + 1;
        if (part[end] == '\r' && start < part.size() && part[start] == '\n')
            ++start;
    }
    return std::nullopt;
}

}  // namespace

TPathListEntries::TPathListEntries(const std::string& fileName)
    : TPathListEntries(fileName, true) {}

TPathListEntries::TPathListEntries(const std::string& fileName, bool mayRecall)
    : fileName_(fileName) {
    Exists = platform::FileExists(fileName);
    if (!Exists)
        return;
    const auto stamp = platform::SettledStamp(fileName);
    if (stamp && mayRecall && Recall(*stamp))
        return;
    file_.emplace(fileName);
    std::vector<std::uint64_t> marks;
    const std::size_t lines = TakeApart(marks);
    count_ = starts_.size();
    // The stamp holds for the text read when it still holds after the reading.
    if (stamp && count_ == lines && platform::SettledStamp(fileName) == stamp)
        platform::Remember(*stamp, kDistinctLines, FactOf(count_, marks));
}

bool TPathListEntries::Recall(const platform::FileStamp& stamp) {
    const auto fact = platform::Recalled(stamp, kDistinctLines);
    if (!fact)
        return false;
    // Numbers with one space between them.
    std::vector<std::uint64_t> numbers;
    for (const char *at = fact->data(), *end = at + fact->size(); at < end; ++at) {
        std::uint64_t number = 0;
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc() || (next != end && *next != ' '))
            return false;
        numbers.push_back(number);
        at = next;
    }
    // Where the lines start: rising, within the file, one for each kLinesApart lines.
    if (numbers.empty() ||
        numbers.size() != 1 + (numbers[0] == 0 ? 0 : (numbers[0] - 1) / kLinesApart) ||
        !std::is_sorted(numbers.begin() + 1, numbers.end()) ||
        (numbers.size() > 1 && numbers.back() >= stamp.size)) {
        return false;
    }
    count_ = static_cast<std::size_t>(numbers[0]);
    numbers[0] = 0;  // the first line's start
    lineMarks_ = std::move(numbers);
    stamp_ = stamp;
    return true;
}

std::string TPathListEntries::operator[](std::size_t index) const {
    if (!stamp_)
        return std::string(file_->LineAt(starts_[index]).text);
    if (auto line = LineFromPart(index))
        return *line;
    // Changed since it was known to hold no entry twice: the list as it is now.
    const TPathListEntries now(fileName_, false);
    return now.Count() > 0 ? now[index % now.Count()] : std::string();
}

std::optional<std::string> TPathListEntries::LineFromPart(std::size_t index) const {
    // From the character before the line's start on, which must end the line before.
    const std::uint64_t mark = lineMarks_[index / kLinesApart];
    const std::uint64_t offset = mark > 0 ? mark - 1 : 0;
    for (std::size_t size = kPartBytes;; size *= 2) {
        std::string part;
        try {
            part = platform::ReadFilePart(fileName_, offset, size, platform::kMaxListFileBytes);
        } catch (const std::exception&) {
            return std::nullopt;  // said again where the list is read whole
        }
        const bool toEnd = part.size() < size;
        if (platform::SettledStamp(fileName_) != stamp_)
            return std::nullopt;
        std::string_view lines = part;
        if (mark > 0) {
            const bool lineStart =
                part.size() > 1 && (part[0] == '\n' || (part[0] == '\r' && part[1] != '\n'));
            if (!lineStart)
                return std::nullopt;
            lines.remove_prefix(1);
        }
        if (auto line = LineInPart(lines, index % kLinesApart, toEnd))
            return std::string(*line);
        if (toEnd)
            return std::nullopt;
    }
}

std::size_t TPathListEntries::TakeApart(std::vector<std::uint64_t>& marks) {
    const TListFileText& file = *file_;
    const std::string_view text = file.Text();
    // Room for lines of 24 characters, without counting them first; shorter ones grow the
    // table. The entries get room for shorter lines still, as room they don't fill stays
    // untouched.
    TFirstLines ascii(file, text.size() / 24);
    starts_.reserve(text.size() / 16);
    // From the first line beyond ASCII on, the lines go through the comparison of the list.
    std::optional<TEntryIndex> index;
    std::size_t lines = 0;
    file.ForEachLine([&](const TListFileText::TLine& line) {
        if (lines > 0 && lines % kLinesApart == 0)
            marks.push_back(std::uint64_t(line.text.data() - text.data()));
        ++lines;
        if (!line.hash && !index) {
            index.emplace(text);
            for (const std::uint32_t start : starts_) index->Add(file.LineAt(start).text);
        }
        if (index ? index->Add(line.text, line.hash) : ascii.Insert(line.text, *line.hash))
            starts_.push_back(static_cast<std::uint32_t>(line.text.data() - text.data()));
    });
    return lines;
}
