#pragma once
// The VHD format of Virtual PC, as Microsoft documents it: a 512-byte footer at the end of
// the file; a dynamic disk adds a header, a block allocation table and blocks of a sector
// bitmap followed by data. All big-endian.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>

#include "platform/drives/Disk.h"

namespace platform::drives {

constexpr std::size_t kVhdFooterSize = 512;

struct VhdFooter {
    enum Type : std::uint32_t { Fixed = 2, Dynamic = 3, Differencing = 4 };
    std::array<std::uint8_t, kVhdFooterSize> bytes{};
    std::uint64_t dataOffset = 0;  // the dynamic header
    std::uint64_t size = 0;        // of the virtual disk
    std::uint32_t type = 0;
    bool checksumRight = false;
    bool savedState = false;  // the virtual machine was suspended, not shut down
};

// Nothing when the bytes are no VHD footer.
std::optional<VhdFooter> ParseVhdFooter(std::span<const std::uint8_t> bytes);

// Where the dynamic disk's reads find nothing allocated, they see zeros; a write there
// allocates the block where the footer was, moves the footer behind it and enters the
// block in the table, so the image stays a valid VHD at every commit.
class DynamicVhd : public Disk {
public:
    // Refuses (EDiskImageError) a header it can't follow, and for writing one that is not
    // exactly right.
    DynamicVhd(ImageFile& file, const VhdFooter& footer, bool forWriting);
    std::string Format() const override { return "dynamic VHD"; }
    std::uint64_t Size() const override { return footer_.size; }
    void Read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    void Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what) override;

private:
    static constexpr std::uint32_t kUnused = 0xFFFFFFFF;

    std::uint32_t TableEntry(std::uint64_t block);
    std::uint64_t BlockData(std::uint64_t block, std::uint32_t entry) const;
    std::uint32_t Allocate(std::uint64_t block);
    void MarkPresent(std::uint32_t entry, std::uint64_t firstSector, std::uint64_t count);

    VhdFooter footer_;
    std::uint64_t tableOffset_ = 0;
    std::uint32_t tableEntries_ = 0;
    std::uint64_t blockSize_ = 0;
    std::uint64_t bitmapSize_ = 0;
    std::uint64_t footerAt_ = 0;
    std::unordered_map<std::uint64_t, std::uint32_t> entries_;
};

}  // namespace platform::drives
