#pragma once
// The virtual disk inside an image file, as the machine that uses the image sees it.

#include <cstdint>
#include <span>
#include <string>

#include "platform/drives/ImageFile.h"

namespace platform::drives {

class Disk {
public:
    explicit Disk(ImageFile& file) : file_(file) {}
    virtual ~Disk() = default;
    Disk(const Disk&) = delete;
    Disk& operator=(const Disk&) = delete;

    ImageFile& File() const { return file_; }
    virtual std::string Format() const = 0;  // "raw image", "fixed VHD", ...
    virtual std::uint64_t Size() const = 0;
    // Both throw EDiskImageError (damaged) for a range past the disk's end.
    virtual void Read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    virtual void Write(std::uint64_t offset, std::span<const std::uint8_t> data,
                       Overwrites what) = 0;

protected:
    void CheckRange(std::uint64_t offset, std::size_t length) const;

private:
    ImageFile& file_;
};

// The disk's sectors stored in order from the file's start: a raw image, or the data of a
// fixed VHD in front of its footer.
class PlainDisk : public Disk {
public:
    PlainDisk(ImageFile& file, std::uint64_t size, std::string format)
        : Disk(file), size_(size), format_(std::move(format)) {}
    std::string Format() const override { return format_; }
    std::uint64_t Size() const override { return size_; }
    void Read(std::uint64_t offset, std::span<std::uint8_t> out) override;
    void Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what) override;

private:
    std::uint64_t size_;
    std::string format_;
};

}  // namespace platform::drives
