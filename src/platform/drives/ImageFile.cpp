#include "platform/drives/ImageFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Errors.h"
#include "platform/drives/ImageErrors.h"
#include "platform/drives/ImageLock.h"
#include "platform/drives/Journal.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

UniqueFd OpenImage(const fs::path& path, bool forWriting) {
    // Never blocks, should the path name a pipe rather than a file.
    UniqueFd fd(::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK));
    if (fd.Valid())
        return fd;
    if (forWriting && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        throw EDiskImageError("The disk image " + Quoted(path) + " is read-only.",
                              kImageWriteProtected);
    }
    throw EFOpenError("Cannot open file " + Quoted(path));
}

// A journal means a change was cut short. Rolling it back needs the image writable and our
// lock; a program that has the image open, such as another Bootrama still in its change,
// keeps it for a later open.
void RollBackInterruptedChange(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(JournalPath(path), error)))
        return;
    try {
        WaitForOtherWriters(path);
    } catch (const EDiskImageError&) {
        return;
    }
    UniqueFd writable(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!writable.Valid()) {
        throw EDiskImageError("The disk image " + Quoted(path) +
                                  " holds an unfinished change that can only be taken back "
                                  "when the image may be written.",
                              kImageWriteProtected);
    }
    if (TryLockForWriting(writable.Get()))
        RollBack(path, writable.Get());
}

// The file itself, not a link to it: its journal must be found whichever way it is reached.
fs::path RealPath(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? path : real;
}

}  // namespace

ImageFile::ImageFile(const fs::path& path, bool forWriting) : path_(RealPath(path)) {
    if (forWriting)
        WaitForOtherWriters(path_);
    fd_ = OpenImage(path_, forWriting);
    if (forWriting) {
        LockForWriting(fd_.Get(), path_);
        RollBack(path_, fd_.Get());
    } else {
        RollBackInterruptedChange(path_);
    }
    if (::fstat(fd_.Get(), &status_) != 0 || !S_ISREG(status_.st_mode))
        throw EFOpenError("Cannot open file " + Quoted(path_));
    size_ = static_cast<std::uint64_t>(status_.st_size);
}

void ImageFile::Read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (offset > size_ || out.size() > size_ - offset)
        throw Damaged(path_, "a structure lies beyond the end of the image");
    const auto fileSize = static_cast<std::uint64_t>(status_.st_size);
    std::size_t stored =
        offset >= fileSize ? 0 : std::min<std::uint64_t>(out.size(), fileSize - offset);
    long long count = ReadAt(fd_.Get(), out.data(), stored, offset);
    if (count < 0)
        throw EReadError("Stream read error");
    std::fill(out.begin() + count, out.end(), std::uint8_t{0});
    const std::uint64_t end = offset + out.size();
    for (auto it = pending_.lower_bound(offset / kSector); it != pending_.end(); ++it) {
        const std::uint64_t sectorStart = it->first * kSector;
        if (sectorStart >= end)
            break;
        const std::uint64_t from = std::max(sectorStart, offset);
        const std::uint64_t to = std::min(sectorStart + kSector, end);
        std::memcpy(out.data() + (from - offset), it->second.bytes.data() + (from - sectorStart),
                    to - from);
    }
}

ImageFile::PendingSector& ImageFile::Pending(std::uint64_t sector, bool wholeSector) {
    auto [it, added] = pending_.try_emplace(sector);
    if (added && !wholeSector) {
        const std::uint64_t start = sector * kSector;
        const std::uint64_t length = std::min<std::uint64_t>(kSector, size_ - start);
        Read(start, std::span(it->second.bytes.data(), length));
    }
    return it->second;
}

void ImageFile::Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what) {
    if (offset > size_ || data.size() > size_ - offset)
        throw Damaged(path_, "a write beyond the end of the image");
    const auto fileSize = static_cast<std::uint64_t>(status_.st_size);
    std::uint64_t at = offset;
    for (std::size_t done = 0; done < data.size();) {
        const std::uint64_t sector = at / kSector;
        const std::uint64_t within = at % kSector;
        const std::size_t count = std::min<std::size_t>(kSector - within, data.size() - done);
        PendingSector& pending = Pending(sector, within == 0 && count == kSector);
        std::memcpy(pending.bytes.data() + within, data.data() + done, count);
        pending.journal |= what == Overwrites::Data && sector * kSector < fileSize;
        done += count;
        at += count;
    }
}

void ImageFile::Grow(std::uint64_t size) {
    size_ = std::max(size_, size);
}

void ImageFile::Commit() {
    const auto oldSize = static_cast<std::uint64_t>(status_.st_size);
    if (pending_.empty() && size_ == oldSize)
        return;
    std::vector<JournalRegion> regions;
    for (const auto& [sector, pending] : pending_) {
        if (!pending.journal)
            continue;
        const std::uint64_t start = sector * kSector;
        std::string old(std::min(kSector, oldSize - start), '\0');
        if (ReadAt(fd_.Get(), old.data(), old.size(), start) != static_cast<long long>(old.size()))
            throw EReadError("Stream read error");
        if (!regions.empty() && regions.back().offset + regions.back().old.size() == start)
            regions.back().old += old;
        else
            regions.push_back({start, std::move(old)});
    }
    WriteJournal(path_, oldSize, size_, regions);
    try {
        WriteOut();
    } catch (...) {
        RollBack(path_, fd_.Get());
        throw;
    }
    RemoveJournal(path_);
    pending_.clear();
    status_.st_size = static_cast<off_t>(size_);
}

void ImageFile::WriteOut() {
    const auto oldSize = static_cast<std::uint64_t>(status_.st_size);
    if (size_ > oldSize && ::ftruncate(fd_.Get(), static_cast<off_t>(size_)) != 0)
        ThrowWriteFailure(errno);
    std::vector<std::uint8_t> run;
    std::uint64_t runStart = 0;
    auto flush = [&] {
        const std::size_t length = std::min<std::uint64_t>(run.size(), size_ - runStart);
        if (!run.empty() && !WriteAt(fd_.Get(), run.data(), length, runStart))
            ThrowWriteFailure(errno);
        run.clear();
    };
    for (const auto& [sector, pending] : pending_) {
        if (!run.empty() && runStart + run.size() != sector * kSector)
            flush();
        if (run.empty())
            runStart = sector * kSector;
        run.insert(run.end(), pending.bytes.begin(), pending.bytes.end());
    }
    flush();
    if (::fsync(fd_.Get()) != 0)
        ThrowWriteFailure(errno);
}

}  // namespace platform::drives
