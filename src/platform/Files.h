#pragma once
// File operations on Windows paths with DOS attributes, behaving as on Windows 9x.
// Read-only is the absence of the owner's write permission; hidden, system and archive
// live in the extended attribute user.DOSATTRIB where the file system keeps it.
// Windows refuses to overwrite or delete a read-only file; so do these functions, also
// for root, who could do it on the host.
//
// A path's drive letter picks its drive: a host folder or a disk image. Queries answer for
// an image that can't be read as for a drive without its disk; the changes that answer
// with a bool still throw EDiskImageError when an image refuses them (in use, damaged, of
// a format we don't write), so that the user learns why.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAttributes.h"

namespace platform {

// How large a file may be, by what it is for; a larger one is refused before it is read.
// A logo is 129,078 bytes; a file copied as one (list entries, backups, current logos) gets
// room for odd but harmless layouts.
constexpr std::uintmax_t kMaxLogoFileBytes = 4u << 20;
// A picture to convert: its reader bounds the pixels by what the data can carry; this
// bounds the data so that a picture never needs more memory than about 300 MB.
constexpr std::uintmax_t kMaxPictureFileBytes = 64u << 20;
// Text the program keeps: far above real use (a list of 100,000 logos is about 6 MB).
constexpr std::uintmax_t kMaxListFileBytes = 16u << 20;
constexpr std::uintmax_t kMaxProfileFileBytes = 16u << 20;  // bootrama.ini, msdos.sys
constexpr std::uintmax_t kMaxRegistryFileBytes = 64u << 20;

// INVALID_FILE_ATTRIBUTES when the file can't be reached. A file without any attribute
// reads as FILE_ATTRIBUTE_NORMAL.
std::uint32_t GetFileAttributes(std::string_view path);
bool SetFileAttributes(std::string_view path, std::uint32_t attributes);

// Copies contents and attributes; the destination is replaced atomically. Fails when the
// source is missing, when failIfExists and the destination exists, and when the
// destination is read-only, hidden or system (as CopyFile does), for a file copied onto
// itself, and where ReadFile or WriteFileAtomic would fail (a source past maxBytes, or
// anything but regular files).
bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists,
              std::uintmax_t maxBytes);
// Fails for a missing or read-only file and for anything but a regular file (or a link to
// one, which goes itself).
bool DeleteFile(std::string_view path);

bool FileExists(std::string_view path);  // a file, not a directory
// Whether WriteFileAtomic could replace the file once its read-only attribute is cleared;
// the file is not touched.
bool FileReplaceable(std::string_view path);
bool DirectoryExists(std::string_view path);
// The path as its drive spells the names that are there ("c:\windows\" gives "C:\WINDOWS");
// names that are not there stay as given. Nothing when the path's drive is not mapped.
std::optional<std::string> SpelledPath(std::string_view path);

// Names (without directory) of the entries matching a pattern such as "C:\X\*.*" or
// "C:\X\*.sys", in the order the file system returns them; wildcards match without regard
// to case, "*.*" also names without a dot. "." and ".." are never listed.
struct FindOptions {
    bool skipDirectories = false;
    bool skipHiddenAndSystem = false;
};
std::vector<std::string> FindFiles(std::string_view pattern, FindOptions options = {});
// The same listing with each entry's attributes, as FindFirstFile/FindNextFile give them.
struct FindData {
    std::string name;
    std::uint32_t attributes = 0;
};
std::vector<FindData> FindEntries(std::string_view pattern, FindOptions options = {});
// Whether a file name matches one of the patterns of a list such as "*.sys;*.bmp;*.jp*",
// without regard to case, as Windows' PathMatchSpec does.
bool PathMatchSpec(std::string_view name, std::string_view patterns);

// What tells that a file's contents are unchanged: while its identity, size and times stay the
// same, so do they, provided its change time had settled when they were taken (two seconds
// before), so that any later change shows in it however coarse the file system's clock.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since 1970
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a regular file (a link is followed) whose change time has settled; nothing for
// one that changed just now, is not there or lies inside a disk image.
std::optional<FileStamp> SettledStamp(std::string_view path);

// The whole file, which must be a regular file (a link is followed): nothing else is
// opened, and nothing makes the program wait. Throws EFOpenError when it can't be opened or
// is no regular file, EReadError when reading fails or the file is larger than maxBytes.
std::string ReadFile(std::string_view path, std::uintmax_t maxBytes);
// At most `size` bytes from `offset` on, by the rules of ReadFile.
std::string ReadFilePart(std::string_view path, std::uintmax_t offset, std::size_t size,
                         std::uintmax_t maxBytes);
// The same, with nothing for a path where FileExists sees no file (nothing there, a folder,
// an image that can't be read), in one look at the drive.
std::optional<std::string> ReadFileIfExists(std::string_view path, std::uintmax_t maxBytes);
// The file open for a reader that streams it, so that a large picture is never held twice;
// by the rules of ReadFile and with its errors. The stream closes with the object.
struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
struct ReadStream {
    // What a stream over memory reads (a file inside a disk image); it outlives the stream.
    std::unique_ptr<const std::string> memory;
    std::unique_ptr<std::FILE, CloseStream> file;
    std::uintmax_t size = 0;  // as the file was opened
};
ReadStream OpenReadStream(std::string_view path, std::uintmax_t maxBytes);
// Replaces the file atomically (written beside it, flushed, renamed over it), keeping its
// attributes; a failure leaves the old file as it was. A link stays and points at the new
// contents. Throws EFCreateError when the file can't be created (missing folder, read-only
// file, a device, FIFO or folder in its place) and EInOutError with the system's error code
// when writing fails (a full disk).
void WriteFileAtomic(std::string_view path, std::string_view contents);

}  // namespace platform
