#pragma once
// One drive of the machine, whatever holds it: a host folder or a FAT partition inside a
// disk image. Paths are Windows paths on this drive ("C:\WINDOWS\LOGOW.SYS" or
// "\WINDOWS\LOGOW.SYS"; a drive letter in front is not looked at) and match without regard
// to case, through long and 8.3 names alike. Messages name a path as the caller spelled it.
//
// Queries report a missing file as nothing there; changes throw what the folder code
// throws for the same fault. Every drive throws EDiskImageError where the medium itself
// refuses (an image in use, damaged or of an unknown format).

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace platform::drives {

// The Windows codes the drives' errors carry.
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kDiskFull = 112;
inline constexpr int kInvalidName = 123;
inline constexpr int kAlreadyExists = 183;

// "I/O error 112", as the folder code reports a Windows error code.
EInOutError InOutError(int code);

// Tells whether two paths name the same file (a file is never copied onto itself).
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t entry = 0;  // where an image keeps the file's directory entry
    auto operator<=>(const FileId&) const = default;
};

struct Entry {
    std::string name;              // the long name, else the 8.3 name
    std::string shortName;         // the 8.3 name; empty where the drive has none
    std::uint32_t attributes = 0;  // FILE_ATTRIBUTE_*, FILE_ATTRIBUTE_NORMAL for none
    std::uint64_t size = 0;
    std::chrono::system_clock::time_point modified;
    FileId id;

    bool IsDirectory() const;
};

enum class EntryKind { File, Folder };

class Drive {
public:
    virtual ~Drive() = default;

    // The entry a path names (the root is a directory with an empty name).
    virtual std::optional<Entry> Find(std::string_view path) = 0;
    // What Find would find, where its other details are not wanted.
    virtual std::optional<EntryKind> KindOf(std::string_view path);
    // The entries of a folder ("." and ".." left out) in the order the drive keeps them;
    // empty for a folder that is not there.
    virtual std::vector<Entry> List(std::string_view folder) = 0;

    // The whole file. EFOpenError when it is not there (or is a folder), EReadError when
    // reading fails or the file is larger than maxBytes.
    virtual std::string ReadFile(std::string_view path, std::uintmax_t maxBytes) = 0;
    // At most `size` bytes from `offset` on, with ReadFile's errors.
    virtual std::string ReadFilePart(std::string_view path, std::uintmax_t offset, std::size_t size,
                                     std::uintmax_t maxBytes);
    // Nothing when the path names no file (nothing, a folder, a medium that can't be read);
    // else ReadFile.
    virtual std::optional<std::string> ReadFileIfExists(std::string_view path,
                                                        std::uintmax_t maxBytes);
    // The file open for a reader that streams it, with ReadFile's errors. A drive that
    // can't hand out the file itself reads it whole and streams it from memory.
    virtual ReadStream OpenReadStream(std::string_view path, std::uintmax_t maxBytes);
    // Creates or replaces the file atomically: a failure leaves the old file. A replaced
    // file keeps its attributes unless attributes are given; a new one gets them, else the
    // archive bit. EFCreateError (3: no such folder, 5: a folder or a read-only file,
    // 123: a name Windows refuses), EInOutError 112 when the drive is full.
    virtual void WriteFile(std::string_view path, std::string_view contents,
                           std::optional<std::uint32_t> attributes = std::nullopt) = 0;
    // WriteFile(path, from.ReadFile(source, maxBytes), attributes), which a drive may do
    // without holding the file in memory.
    virtual void WriteCopy(std::string_view path, Drive& from, std::string_view source,
                           std::uintmax_t maxBytes, std::uint32_t attributes);

    // These throw EInOutError with the Windows code: 2 no such file, 3 no such folder,
    // 5 refused (read-only, a folder where a file is meant), 183 the name is taken,
    // 112 the drive is full, 123 a name Windows refuses.
    virtual void SetAttributes(std::string_view path, std::uint32_t attributes) = 0;
    virtual void DeleteFile(std::string_view path) = 0;
    // Moves a file or folder to a new name, also into another folder of the drive.
    virtual void Rename(std::string_view from, std::string_view to) = 0;
    virtual void CreateFolder(std::string_view path) = 0;

    // Whether WriteFile could replace the file once its read-only attribute is cleared;
    // only looks.
    virtual bool Replaceable(std::string_view path) = 0;
    // A file inside a disk image has none: the image changes as a whole.
    virtual std::optional<FileStamp> SettledStamp(std::string_view path);

    bool Exists(std::string_view path) { return Find(path).has_value(); }
    bool IsDirectory(std::string_view path);
    // INVALID_FILE_ATTRIBUTES when the path names nothing.
    std::uint32_t Attributes(std::string_view path);
    std::optional<std::chrono::system_clock::time_point> ModificationTime(std::string_view path);
    // Copies contents and attributes to a path of this or another drive, replacing the
    // destination atomically. EFOpenError for a missing source, EFCreateError 32 for a
    // file copied onto itself; the rest as WriteFile.
    void Copy(std::string_view source, Drive& target, std::string_view destination,
              std::uintmax_t maxBytes = std::uintmax_t{1} << 30);
};

}  // namespace platform::drives
