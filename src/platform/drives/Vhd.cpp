#include "platform/drives/Vhd.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/drives/Bytes.h"
#include "platform/drives/ImageErrors.h"

namespace platform::drives {

namespace {

constexpr std::size_t kHeaderSize = 1024;
constexpr std::uint64_t kSector = 512;

// The one's complement of the byte sum, the checksum's own four bytes left out.
std::uint32_t Checksum(std::span<const std::uint8_t> bytes, std::size_t checksumAt) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i < checksumAt || i >= checksumAt + 4)
            sum += bytes[i];
    }
    return ~sum;
}

}  // namespace

std::optional<VhdFooter> ParseVhdFooter(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kVhdFooterSize || std::memcmp(bytes.data(), "conectix", 8) != 0)
        return std::nullopt;
    VhdFooter footer;
    std::copy_n(bytes.begin(), kVhdFooterSize, footer.bytes.begin());
    footer.dataOffset = Be64(&bytes[16]);
    footer.size = Be64(&bytes[48]);
    footer.type = Be32(&bytes[60]);
    footer.checksumRight = Checksum(bytes.first(kVhdFooterSize), 64) == Be32(&bytes[64]);
    footer.savedState = bytes[84] != 0;
    return footer;
}

DynamicVhd::DynamicVhd(ImageFile& file, const VhdFooter& footer, bool forWriting)
    : Disk(file), footer_(footer) {
    const auto damaged = [&](std::string_view what) { return Damaged(file.Path(), what); };
    std::array<std::uint8_t, kHeaderSize> header{};
    if (footer.dataOffset > file.Size() || file.Size() - footer.dataOffset < kHeaderSize)
        throw damaged("its dynamic disk header is missing");
    file.Read(footer.dataOffset, header);
    if (std::memcmp(header.data(), "cxsparse", 8) != 0 || Be32(&header[24]) != 0x00010000)
        throw damaged("its dynamic disk header is of an unknown kind");
    tableOffset_ = Be64(&header[16]);
    tableEntries_ = Be32(&header[28]);
    blockSize_ = Be32(&header[32]);
    if (blockSize_ < kSector || blockSize_ > (1u << 28) || !std::has_single_bit(blockSize_))
        throw damaged("its block size is not a power of two");
    bitmapSize_ = (blockSize_ / kSector / 8 + kSector - 1) / kSector * kSector;
    if (footer.size > tableEntries_ * blockSize_ || tableOffset_ > file.Size() ||
        (file.Size() - tableOffset_) / 4 < tableEntries_) {
        throw damaged("its block allocation table does not cover the disk");
    }
    footerAt_ = file.Size() - kVhdFooterSize;
    if (!forWriting)
        return;
    if (Checksum(header, 36) != Be32(&header[36]))
        throw damaged("a VHD checksum is wrong");
    if (file.Size() % kSector != 0)
        throw damaged("the VHD footer is not on a sector boundary");
}

std::uint32_t DynamicVhd::TableEntry(std::uint64_t block) {
    if (auto known = entries_.find(block); known != entries_.end())
        return known->second;
    std::array<std::uint8_t, 4> bytes{};
    File().Read(tableOffset_ + block * 4, bytes);
    return entries_[block] = Be32(bytes.data());
}

std::uint64_t DynamicVhd::BlockData(std::uint64_t block, std::uint32_t entry) const {
    const std::uint64_t start = std::uint64_t{entry} * kSector + bitmapSize_;
    if (start > footerAt_ || footerAt_ - start < blockSize_)
        throw Damaged(File().Path(), "block " + std::to_string(block) + " lies outside the VHD");
    return start;
}

void DynamicVhd::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
    CheckRange(offset, out.size());
    for (std::size_t done = 0; done < out.size();) {
        const std::uint64_t block = (offset + done) / blockSize_;
        const std::uint64_t within = (offset + done) % blockSize_;
        const std::size_t count = std::min<std::uint64_t>(blockSize_ - within, out.size() - done);
        const std::uint32_t entry = TableEntry(block);
        auto part = out.subspan(done, count);
        if (entry == kUnused)
            std::fill(part.begin(), part.end(), std::uint8_t{0});
        else
            File().Read(BlockData(block, entry) + within, part);
        done += count;
    }
}

void DynamicVhd::Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what) {
    CheckRange(offset, data.size());
    for (std::size_t done = 0; done < data.size();) {
        const std::uint64_t block = (offset + done) / blockSize_;
        const std::uint64_t within = (offset + done) % blockSize_;
        const std::size_t count = std::min<std::uint64_t>(blockSize_ - within, data.size() - done);
        std::uint32_t entry = TableEntry(block);
        if (entry == kUnused)
            entry = Allocate(block);
        else
            MarkPresent(entry, within / kSector,
                        (within + count + kSector - 1) / kSector - within / kSector);
        File().Write(BlockData(block, entry) + within, data.subspan(done, count), what);
        done += count;
    }
}

// A new block is all present and all zeros: the file grows with zeros, and only the old
// footer's sector needs the bitmap written over it.
std::uint32_t DynamicVhd::Allocate(std::uint64_t block) {
    const std::uint64_t start = footerAt_;
    const std::uint64_t entry = start / kSector;
    if (entry >= kUnused)
        throw Damaged(File().Path(), "the VHD has grown past its largest size");
    footerAt_ = start + bitmapSize_ + blockSize_;
    File().Grow(footerAt_ + kVhdFooterSize);
    const std::vector<std::uint8_t> bitmap(bitmapSize_, 0xFF);
    File().Write(start, bitmap, Overwrites::Data);
    File().Write(footerAt_, footer_.bytes, Overwrites::FreeSpace);
    std::array<std::uint8_t, 4> bytes{};
    PutBe32(bytes.data(), static_cast<std::uint32_t>(entry));
    File().Write(tableOffset_ + block * 4, bytes, Overwrites::Data);
    return entries_[block] = static_cast<std::uint32_t>(entry);
}

// Blocks written by other programs may mark only some sectors present (most significant
// bit first); a sector we write must be marked.
void DynamicVhd::MarkPresent(std::uint32_t entry, std::uint64_t firstSector, std::uint64_t count) {
    const std::uint64_t bitmapAt = std::uint64_t{entry} * kSector;
    const std::uint64_t firstByte = firstSector / 8;
    std::vector<std::uint8_t> bits((firstSector + count + 7) / 8 - firstByte);
    File().Read(bitmapAt + firstByte, bits);
    const std::vector<std::uint8_t> before = bits;
    for (std::uint64_t sector = firstSector; sector < firstSector + count; ++sector)
        bits[sector / 8 - firstByte] |= static_cast<std::uint8_t>(0x80 >> (sector % 8));
    if (bits != before)
        File().Write(bitmapAt + firstByte, bits, Overwrites::Data);
}

}  // namespace platform::drives
