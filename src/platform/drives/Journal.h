#pragma once
// The undo journal beside an image: the old contents of every sector a change overwrites
// and the image's old size. It is written and flushed before the image is touched and
// removed once the image is flushed, so a journal found later belongs to a change that may
// have stopped half-way, and rolling it back restores the image as it was before.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::drives {

struct JournalRegion {
    std::uint64_t offset = 0;
    std::string old;  // the bytes there before the change
};

std::filesystem::path JournalPath(const std::filesystem::path& image);

// Writes the journal and flushes it and its folder. Throws EDiskImageError when it can't be
// created, EInOutError 112 when the host disk is full.
void WriteJournal(const std::filesystem::path& image, std::uint64_t oldSize, std::uint64_t newSize,
                  const std::vector<JournalRegion>& regions);
void RemoveJournal(const std::filesystem::path& image);

// Rolls back a journal left behind, on the image open for writing in fd (which the caller
// has locked). A journal that was never finished, and so never acted on, is only removed.
// EDiskImageError when the journal does not fit the image.
void RollBack(const std::filesystem::path& image, int fd);

}  // namespace platform::drives
