#pragma once
// Host-side file primitives shared by the platform modules (files, profiles, registry):
// DOS attributes on a host file, reading a whole file, atomic replacement. Every read and
// every rewrite of the program goes through these two, so they hold the rules that keep
// the host safe. Errors name the file as the caller shows it (usually its Windows path).

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace platform::host {

// The code Windows reports for what the system's errno says went wrong (3: path not found,
// 5: access denied, 112: disk full, ...).
int WindowsErrorCode(int errnoValue);

FileStamp StampOf(const struct stat& status);

// INVALID_FILE_ATTRIBUTES when the file can't be reached; FILE_ATTRIBUTE_NORMAL when it
// has no attribute.
std::uint32_t Attributes(const std::filesystem::path& file);
// The same for a file whose status (links followed) is known already.
std::uint32_t Attributes(const std::filesystem::path& file, const struct stat& status);
// Only regular files and folders take attributes: a device behind a link keeps its mode.
bool SetAttributes(const std::filesystem::path& file, std::uint32_t attributes);

// Whether ReplaceAtomically could replace the file once its read-only flag is cleared: a
// regular file whose attributes this user may change, in a folder that takes new files.
// Looks only; nothing is changed.
bool Replaceable(const std::filesystem::path& file);

// Links are followed; anything but a regular file (a device, FIFO, socket or folder, which
// could block, never end or act on being opened) and any file of the kernel's proc and sys
// file systems throws EFOpenError without being opened, as does a missing file. The open
// never waits, nor does a read. A file larger than maxBytes throws EReadError before
// anything is read; so does a failed read.
// A caller that has just taken the file's status (links followed) may hand it in.
std::string ReadWhole(const std::filesystem::path& file, std::string_view shownName,
                      std::uintmax_t maxBytes, const struct stat* status = nullptr);

// At most `size` bytes from `offset` on, by ReadWhole's rules.
std::string ReadPart(const std::filesystem::path& file, std::string_view shownName,
                     std::uintmax_t maxBytes, std::uintmax_t offset, std::size_t size,
                     const struct stat* status = nullptr);

// ReadWhole's rules up to the reading, for a reader that streams the file.
ReadStream OpenReadStream(const std::filesystem::path& file, std::string_view shownName,
                          std::uintmax_t maxBytes);

// Replaces the file, as ReplaceAtomically does, by a copy of source (read by ReadWhole's rules,
// with its status when the caller has just taken it) with the attributes given; the data go from
// file to file inside the kernel where the file systems let them.
void CopyAtomically(const std::filesystem::path& source, std::string_view shownSource,
                    std::uintmax_t maxBytes, const struct stat* sourceStatus,
                    const std::filesystem::path& target, std::string_view shownTarget,
                    std::uint32_t attributes);

// Writes contents beside the file, flushes, and renames it over the file. A symbolic link
// is followed to what it points at, which is replaced beside itself, so the link stays and
// shows the new contents. The new file keeps the replaced file's permissions and DOS
// attributes; given attributes (a copy's) take the place of the DOS attributes, read-only
// included. A target that is
// read-only or no regular file (a device, FIFO, socket or folder) and a missing folder throw
// EFCreateError and change nothing, a failed write EInOutError; on any failure the old file
// stays and nothing is left beside it. Temporaries that a killed run left in the folder go
// first.
void ReplaceAtomically(const std::filesystem::path& file, std::string_view shownName,
                       std::string_view contents,
                       std::optional<std::uint32_t> attributes = std::nullopt);

}  // namespace platform::host
