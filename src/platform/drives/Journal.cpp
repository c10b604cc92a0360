#include "platform/drives/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "platform/Errors.h"
#include "platform/HostFile.h"
#include "platform/PosixFile.h"
#include "platform/drives/ImageErrors.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "BRJRNL01";
constexpr std::uintmax_t kMaxJournalBytes = std::uintmax_t{1} << 31;

struct Contents {
    std::uint64_t oldSize = 0;
    std::uint64_t newSize = 0;
    std::vector<JournalRegion> regions;
};

std::uint64_t Checksum(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325;  // FNV-1a
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3;
    }
    return hash;
}

void Put64(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// Reads the journal's fields front to back; any field that runs past the end fails it.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::uint64_t> U64() {
        if (bytes_.size() - at_ < 8)
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes_[at_ + i]);
        at_ += 8;
        return value;
    }
    std::optional<std::string_view> Bytes(std::uint64_t count) {
        if (bytes_.size() - at_ < count)
            return std::nullopt;
        auto part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::string Serialize(std::uint64_t oldSize, std::uint64_t newSize,
                      const std::vector<JournalRegion>& regions) {
    std::string out(kMagic);
    Put64(out, oldSize);
    Put64(out, newSize);
    Put64(out, regions.size());
    for (const auto& region : regions) {
        Put64(out, region.offset);
        Put64(out, region.old.size());
        out += region.old;
    }
    Put64(out, Checksum(out));
    return out;
}

// Nothing for a journal that was not written to its end: its change never began.
std::optional<Contents> Parse(std::string_view bytes) {
    if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    Reader sum(bytes.substr(bytes.size() - 8));
    if (sum.U64() != Checksum(bytes.substr(0, bytes.size() - 8)))
        return std::nullopt;
    Reader reader(bytes.substr(kMagic.size(), bytes.size() - 8 - kMagic.size()));
    Contents contents;
    auto oldSize = reader.U64();
    auto newSize = reader.U64();
    auto count = reader.U64();
    if (!oldSize || !newSize || !count)
        return std::nullopt;
    contents.oldSize = *oldSize;
    contents.newSize = *newSize;
    for (std::uint64_t i = 0; i < *count; ++i) {
        auto offset = reader.U64();
        auto length = reader.U64();
        auto old = length ? reader.Bytes(*length) : std::nullopt;
        if (!offset || !old)
            return std::nullopt;
        contents.regions.push_back({*offset, std::string(*old)});
    }
    if (!reader.AtEnd())
        return std::nullopt;
    return contents;
}

void Discard(const fs::path& journal) {
    ::unlink(journal.c_str());
    SyncFolder(journal.parent_path());
}

}  // namespace

fs::path JournalPath(const fs::path& image) {
    fs::path journal = image;
    journal += ".bootrama-journal";
    return journal;
}

void WriteJournal(const fs::path& image, std::uint64_t oldSize, std::uint64_t newSize,
                  const std::vector<JournalRegion>& regions) {
    const fs::path journal = JournalPath(image);
    const std::string bytes = Serialize(oldSize, newSize, regions);
    UniqueFd fd(::open(journal.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
        throw EDiskImageError(
            "Bootrama keeps a journal of its changes beside the disk image, "
            "but can't create " +
                Quoted(journal) + ".",
            kImageWriteProtected);
    }
    if (!WriteAt(fd.Get(), bytes.data(), bytes.size(), 0) || ::fsync(fd.Get()) != 0) {
        int failure = errno;
        Discard(journal);
        ThrowWriteFailure(failure);
    }
    SyncFolder(journal.parent_path());
}

void RemoveJournal(const fs::path& image) {
    // Not flushed: a journal that comes back after a power failure undoes a finished
    // change, which leaves the old state, whole.
    ::unlink(JournalPath(image).c_str());
}

void RollBack(const fs::path& image, int fd) {
    const fs::path journal = JournalPath(image);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(journal, error)))
        return;
    // One larger than any change of ours can make is none of ours.
    if (const auto size = fs::file_size(journal, error); !error && size > kMaxJournalBytes)
        return Discard(journal);
    const auto contents = Parse(host::ReadWhole(journal, journal.string(), kMaxJournalBytes));
    if (!contents)
        return Discard(journal);
    struct stat status {};
    if (::fstat(fd, &status) != 0 ||
        (static_cast<std::uint64_t>(status.st_size) != contents->oldSize &&
         static_cast<std::uint64_t>(status.st_size) != contents->newSize)) {
        throw EDiskImageError("The disk image " + Quoted(image) +
                                  " does not fit the journal of an unfinished change beside it, " +
                                  Quoted(journal) +
                                  ".\rIf the image was replaced on purpose, delete the journal.",
                              kImageDamaged);
    }
    for (const auto& region : contents->regions) {
        if (!WriteAt(fd, region.old.data(), region.old.size(), region.offset))
            ThrowWriteFailure(errno);
    }
    if (static_cast<std::uint64_t>(status.st_size) > contents->oldSize &&
        ::ftruncate(fd, static_cast<off_t>(contents->oldSize)) != 0) {
        ThrowWriteFailure(errno);
    }
    if (::fsync(fd) != 0)
        ThrowWriteFailure(errno);
    Discard(journal);
}

}  // namespace platform::drives
