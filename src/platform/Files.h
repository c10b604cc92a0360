#pragma once
// File operations on Windows paths with DOS attributes, behaving as on Windows 9x.
// Read-only is the absence of the owner's write permission; hidden, system and archive
// live in the extended attribute user.DOSATTRIB where the file system keeps it.
// Windows refuses to overwrite or delete a read-only file; so do these functions, also
// for root, who could do it on the host.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAttributes.h"

namespace platform {

// INVALID_FILE_ATTRIBUTES when the file can't be reached. A file without any attribute
// reads as FILE_ATTRIBUTE_NORMAL.
std::uint32_t GetFileAttributes(std::string_view path);
bool SetFileAttributes(std::string_view path, std::uint32_t attributes);

// Copies contents and attributes; the destination is replaced atomically. Fails when the
// source is missing, when failIfExists and the destination exists, and when the
// destination is read-only, hidden or system (as CopyFile does), and for a file copied onto itself.
bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists);
// Fails for a missing or read-only file and for a directory.
bool DeleteFile(std::string_view path);

bool FileExists(std::string_view path);  // a file, not a directory
bool DirectoryExists(std::string_view path);

// Names (without directory) of the entries matching a pattern such as "C:\X\*.*" or
// "C:\X\*.sys", in the order the file system returns them; wildcards match without regard
// to case, "*.*" also names without a dot. "." and ".." are never listed.
struct FindOptions {
    bool skipDirectories = false;
    bool skipHiddenAndSystem = false;
};
std::vector<std::string> FindFiles(std::string_view pattern, FindOptions options = {});

// The whole file. Throws EFOpenError when it can't be opened, EReadError when reading
// fails, EOutOfMemory past maxBytes.
std::string ReadFile(std::string_view path, std::uintmax_t maxBytes = 1u << 30);
// Replaces the file atomically (written beside it, flushed, renamed over it), keeping its
// attributes; a failure leaves the old file as it was. Throws EFCreateError when the file
// can't be created (missing folder, read-only file) and EInOutError with the system's
// error code when writing fails (a full disk).
void WriteFileAtomic(std::string_view path, std::string_view contents);

}  // namespace platform
