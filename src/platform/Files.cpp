#include "platform/Files.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/Errors.h"
#include "platform/Machine.h"
#include "platform/drives/Drive.h"
#include "platform/drives/WindowsPath.h"

namespace platform {

namespace {

drives::Drive* DriveOf(std::string_view path) {
    return CurrentMachine().DriveOf(path);
}

// A question about a file has no room for why a disk image can't be read: its file is not
// there then, as on a drive without its disk. Reading or changing the file says why.
template <typename Query, typename Answer>
Answer Asking(std::string_view path, Answer nothing, Query query) {
    drives::Drive* drive = DriveOf(path);
    if (!drive)
        return nothing;
    try {
        return query(*drive);
    } catch (const EDiskImageError&) {
        return nothing;
    }
}

// A change that reports only success: the drive's own refusals are a plain failure, as on
// Windows; a disk image that refuses is an error the user must see, so it goes on.
template <typename Change>
bool Changing(Change change) {
    try {
        change();
        return true;
    } catch (const EDiskImageError&) {
        throw;
    } catch (const std::exception&) {
        return false;
    }
}

// A path no drive holds can't be opened, as a missing file can't.
drives::Drive& DriveToRead(std::string_view path) {
    drives::Drive* drive = DriveOf(path);
    if (!drive)
        throw CannotOpen(path);
    return *drive;
}

bool HasAttribute(std::uint32_t attributes, std::uint32_t flag) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & flag) != 0;
}

std::u32string Folded(std::string_view text) {
    // Most names are ASCII; a folder of thousands of them is folded without Unicode tables.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::u32string folded(text.size(), U'\0');
        std::transform(text.begin(), text.end(), folded.begin(), [](char c) {
            return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
        return folded;
    }
    // Composed the same way as SameText compares names.
    auto folded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                      .normalized(QString::NormalizationForm_C)
                      .toCaseFolded();
    auto ucs4 = folded.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

bool WildcardMatch(std::u32string_view pattern, std::u32string_view name) {
    // Iterative matching with one backtrack point: linear enough for file names.
    std::size_t p = 0, n = 0, starP = std::u32string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

// As on Windows, "*.*" also matches names without a dot.
std::u32string FoldedPattern(std::string_view pattern) {
    std::u32string folded = Folded(pattern);
    return folded == U"*.*" ? U"*" : folded;
}

}  // namespace

std::uint32_t GetFileAttributes(std::string_view path) {
    return Asking(path, INVALID_FILE_ATTRIBUTES,
                  [&](drives::Drive& drive) { return drive.Attributes(path); });
}

bool SetFileAttributes(std::string_view path, std::uint32_t attributes) {
    drives::Drive* drive = DriveOf(path);
    return drive && Changing([&] { drive->SetAttributes(path, attributes); });
}

bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists,
              std::uintmax_t maxBytes) {
    drives::Drive* from = DriveOf(source);
    drives::Drive* to = DriveOf(destination);
    if (!from || !to)
        return false;
    constexpr std::uint32_t kProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                         FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    if (auto existing = to->Find(destination);
        existing && (failIfExists || HasAttribute(existing->attributes, kProtected))) {
        return false;
    }
    return Changing([&] { from->Copy(source, *to, destination, maxBytes); });
}

bool DeleteFile(std::string_view path) {
    drives::Drive* drive = DriveOf(path);
    return drive && Changing([&] { drive->DeleteFile(path); });
}

bool FileExists(std::string_view path) {
    return Asking(path, false, [&](drives::Drive& drive) {
        return drive.KindOf(path) == drives::EntryKind::File;
    });
}

bool FileReplaceable(std::string_view path) {
    return Asking(path, false, [&](drives::Drive& drive) { return drive.Replaceable(path); });
}

bool DirectoryExists(std::string_view path) {
    return Asking(path, false, [&](drives::Drive& drive) { return drive.IsDirectory(path); });
}

std::optional<std::string> SpelledPath(std::string_view path) {
    drives::Drive* drive = DriveOf(path);
    if (!drive)
        return std::nullopt;
    std::string spelled{static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))), ':'};
    bool found = true;
    for (const std::string& name : drives::PathComponents(path.substr(2))) {
        const std::string next = spelled + "\\" + name;
        std::optional<drives::Entry> entry;
        if (found) {
            try {
                entry = drive->Find(next);
            } catch (const EDiskImageError&) {
            }
        }
        found = entry.has_value();
        spelled = found ? spelled + "\\" + entry->name : next;
    }
    return spelled.size() == 2 ? spelled + "\\" : spelled;
}

// The entries of a folder whose names match, long or 8.3, as FindFirstFile finds them.
std::vector<FindData> FindEntries(std::string_view pattern, FindOptions options) {
    std::vector<FindData> entries;
    auto separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos)
        return entries;
    const std::string_view folder = pattern.substr(0, separator + 1);
    std::u32string namePattern = FoldedPattern(pattern.substr(separator + 1));
    if (namePattern.empty())
        return entries;
    const auto matches = [&](const std::string& name) {
        return !name.empty() && WildcardMatch(namePattern, Folded(name));
    };
    auto listing = Asking(folder, std::vector<drives::Entry>(),
                          [&](drives::Drive& drive) { return drive.List(folder); });
    for (drives::Entry& entry : listing) {
        if (namePattern != U"*" && !matches(entry.name) && !matches(entry.shortName))
            continue;
        if (options.skipDirectories && HasAttribute(entry.attributes, FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (options.skipHiddenAndSystem &&
            HasAttribute(entry.attributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        entries.push_back({std::move(entry.name), entry.attributes});
    }
    return entries;
}

std::vector<std::string> FindFiles(std::string_view pattern, FindOptions options) {
    std::vector<std::string> names;
    for (FindData& entry : FindEntries(pattern, options)) names.push_back(std::move(entry.name));
    return names;
}

bool PathMatchSpec(std::string_view name, std::string_view patterns) {
    const std::u32string folded = Folded(name);
    while (!patterns.empty()) {
        const auto end = std::min(patterns.find(';'), patterns.size());
        std::string_view one = patterns.substr(0, end);
        while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
        while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
        if (!one.empty() && WildcardMatch(FoldedPattern(one), folded))
            return true;
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
    }
    return false;
}

std::string ReadFile(std::string_view path, std::uintmax_t maxBytes) {
    return DriveToRead(path).ReadFile(path, maxBytes);
}

std::string ReadFilePart(std::string_view path, std::uintmax_t offset, std::size_t size,
                         std::uintmax_t maxBytes) {
    return DriveToRead(path).ReadFilePart(path, offset, size, maxBytes);
}

std::optional<FileStamp> SettledStamp(std::string_view path) {
    return Asking(path, std::optional<FileStamp>(),
                  [&](drives::Drive& drive) { return drive.SettledStamp(path); });
}

std::optional<std::string> ReadFileIfExists(std::string_view path, std::uintmax_t maxBytes) {
    drives::Drive* drive = DriveOf(path);
    if (!drive)
        return std::nullopt;
    return drive->ReadFileIfExists(path, maxBytes);
}

ReadStream OpenReadStream(std::string_view path, std::uintmax_t maxBytes) {
    return DriveToRead(path).OpenReadStream(path, maxBytes);
}

void WriteFileAtomic(std::string_view path, std::string_view contents) {
    drives::Drive* drive = DriveOf(path);
    if (!drive)
        throw EFCreateError("Cannot create file \"" + std::string(path) + "\"");
    drive->WriteFile(path, contents);
}

}  // namespace platform
