#include "platform/drives/Drive.h"

#include <cstdio>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace platform::drives {

EInOutError InOutError(int code) {
    return EInOutError("I/O error " + std::to_string(code), code);
}

bool Entry::IsDirectory() const {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Drive::ReadFilePart(std::string_view path, std::uintmax_t offset, std::size_t size,
                                std::uintmax_t maxBytes) {
    const std::string whole = ReadFile(path, maxBytes);
    return offset < whole.size() ? whole.substr(static_cast<std::size_t>(offset), size) : "";
}

std::optional<FileStamp> Drive::SettledStamp(std::string_view) {
    return std::nullopt;
}

std::optional<EntryKind> Drive::KindOf(std::string_view path) {
    auto entry = Find(path);
    if (!entry)
        return std::nullopt;
    return entry->IsDirectory() ? EntryKind::Folder : EntryKind::File;
}

bool Drive::IsDirectory(std::string_view path) {
    return KindOf(path) == EntryKind::Folder;
}

std::uint32_t Drive::Attributes(std::string_view path) {
    auto entry = Find(path);
    return entry ? entry->attributes : INVALID_FILE_ATTRIBUTES;
}

std::optional<std::chrono::system_clock::time_point> Drive::ModificationTime(
    std::string_view path) {
    auto entry = Find(path);
    return entry ? std::optional(entry->modified) : std::nullopt;
}

std::optional<std::string> Drive::ReadFileIfExists(std::string_view path, std::uintmax_t maxBytes) {
    std::optional<EntryKind> kind;
    try {
        kind = KindOf(path);
    } catch (const EDiskImageError&) {
        // As FileExists sees it: a drive without its disk holds no file.
    }
    if (kind != EntryKind::File)
        return std::nullopt;
    return ReadFile(path, maxBytes);
}

ReadStream Drive::OpenReadStream(std::string_view path, std::uintmax_t maxBytes) {
    ReadStream stream;
    stream.memory = std::make_unique<const std::string>(ReadFile(path, maxBytes));
    stream.size = stream.memory->size();
    stream.file.reset(
        ::fmemopen(const_cast<char*>(stream.memory->data()), stream.memory->size(), "rb"));
    if (!stream.file)
        throw CannotOpen(path);
    return stream;
}

void Drive::Copy(std::string_view source, Drive& target, std::string_view destination,
                 std::uintmax_t maxBytes) {
    auto from = Find(source);
    if (!from || from->IsDirectory())
        throw CannotOpen(source);
    if (auto to = target.Find(destination); to && to->id == from->id) {
        constexpr int kSharingViolation = 32;
        throw EFCreateError("Cannot create file \"" + std::string(destination) + "\"",
                            kSharingViolation);
    }
    target.WriteCopy(destination, *this, source, maxBytes, from->attributes);
}

void Drive::WriteCopy(std::string_view path, Drive& from, std::string_view source,
                      std::uintmax_t maxBytes, std::uint32_t attributes) {
    WriteFile(path, from.ReadFile(source, maxBytes), attributes);
}

}  // namespace platform::drives
