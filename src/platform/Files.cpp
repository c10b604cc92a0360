#include "platform/Files.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/Errors.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Host(std::string_view path) {
    return CurrentMachine().ToHost(path);
}

// A path no drive holds can't be opened, as a missing file can't.
fs::path HostToRead(std::string_view path) {
    auto host = Host(path);
    if (!host)
        throw EFOpenError("Cannot open file \"" + std::string(path) + "\"");
    return *host;
}

bool HasAttribute(std::uint32_t attributes, std::uint32_t flag) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & flag) != 0;
}

bool IsDirectory(const fs::path& file) {
    std::error_code error;
    return fs::is_directory(file, error);
}

bool Exists(const fs::path& file) {
    std::error_code error;
    return fs::exists(fs::symlink_status(file, error));
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
    auto host = Host(path);
    return host ? host::Attributes(*host) : INVALID_FILE_ATTRIBUTES;
}

bool SetFileAttributes(std::string_view path, std::uint32_t attributes) {
    auto host = Host(path);
    return host && host::SetAttributes(*host, attributes);
}

bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists,
              std::uintmax_t maxBytes) {
    auto from = Host(source);
    auto to = Host(destination);
    if (!from || !to)
        return false;
    std::error_code error;
    if (Exists(*to)) {
        std::uint32_t existing = host::Attributes(*to);
        if (failIfExists || fs::equivalent(*from, *to, error) ||
            HasAttribute(existing, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) {
            return false;
        }
    }
    try {
        host::ReplaceAtomically(*to, destination, host::ReadWhole(*from, source, maxBytes), *from);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool DeleteFile(std::string_view path) {
    auto host = Host(path);
    // A link goes itself, harmless to what it points at; a device, FIFO or socket stays.
    std::error_code error;
    auto kind = host ? fs::symlink_status(*host, error).type() : fs::file_type::none;
    if ((kind != fs::file_type::regular && kind != fs::file_type::symlink) || IsDirectory(*host))
        return false;
    if (HasAttribute(host::Attributes(*host), FILE_ATTRIBUTE_READONLY))
        return false;
    return fs::remove(*host, error);
}

bool FileExists(std::string_view path) {
    auto host = Host(path);
    if (!host)
        return false;
    std::error_code error;
    return fs::exists(*host, error) && !IsDirectory(*host);
}

bool FileReplaceable(std::string_view path) {
    auto host = Host(path);
    return host && host::Replaceable(*host);
}

bool DirectoryExists(std::string_view path) {
    auto host = Host(path);
    return host && IsDirectory(*host);
}

std::vector<FindData> FindEntries(std::string_view pattern, FindOptions options) {
    std::vector<FindData> entries;
    auto separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos)
        return entries;
    auto directory = Host(pattern.substr(0, separator + 1));
    std::u32string namePattern = FoldedPattern(pattern.substr(separator + 1));
    if (!directory || namePattern.empty())
        return entries;
    std::error_code error;
    for (fs::directory_iterator it(*directory, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (namePattern != U"*" && !WildcardMatch(namePattern, Folded(name)))
            continue;
        std::uint32_t attributes = host::Attributes(it->path());
        if (options.skipDirectories && HasAttribute(attributes, FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (options.skipHiddenAndSystem &&
            HasAttribute(attributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        entries.push_back({std::move(name), attributes});
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
    return host::ReadWhole(HostToRead(path), path, maxBytes);
}

ReadStream OpenReadStream(std::string_view path, std::uintmax_t maxBytes) {
    return host::OpenReadStream(HostToRead(path), path, maxBytes);
}

void WriteFileAtomic(std::string_view path, std::string_view contents) {
    auto host = Host(path);
    if (!host)
        throw EFCreateError("Cannot create file \"" + std::string(path) + "\"");
    host::ReplaceAtomically(*host, path, contents);
}

}  // namespace platform
