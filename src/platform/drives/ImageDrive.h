#pragma once
// A drive that is a FAT partition inside a disk image: a raw disk with or without an MBR,
// a fixed or a dynamic VHD. Each operation opens the image afresh, so what an emulator
// wrote in between is seen; each change is one journalled transaction, refused while a
// virtual machine has the image open.

#include <filesystem>

#include "platform/drives/BootSector.h"
#include "platform/drives/Drive.h"

namespace platform::drives {

class ImageDrive : public Drive {
public:
    // partition 0 picks the active FAT partition, else the first FAT partition, else the
    // whole disk when it has no partition table; 1-4 name a primary partition, 5 on the
    // logical drives of an extended partition.
    explicit ImageDrive(std::filesystem::path image, int partition = 0)
        : image_(std::move(image)), partition_(partition) {}

    std::optional<Entry> Find(std::string_view path) override;
    std::vector<Entry> List(std::string_view folder) override;
    std::string ReadFile(std::string_view path, std::uintmax_t maxBytes) override;
    void WriteFile(std::string_view path, std::string_view contents,
                   std::optional<std::uint32_t> attributes = std::nullopt) override;
    void SetAttributes(std::string_view path, std::uint32_t attributes) override;
    void DeleteFile(std::string_view path) override;
    void Rename(std::string_view from, std::string_view to) override;
    void CreateFolder(std::string_view path) override;
    // The image may be written and the file is there; whether a virtual machine has the
    // image open is asked only when it is written.
    bool Replaceable(std::string_view path) override;

    // What the drive is, for showing it: "dynamic VHD", partition 2 (0: the whole disk).
    struct Description {
        std::string format;
        int partition = 0;
        FatType type = FatType::Fat12;
        std::uint64_t size = 0;  // of the partition
    };
    Description Describe();

    // The FAT volumes of an image, to choose one: the partitions that hold a FAT file system,
    // or the whole disk (partition 0) when it has no partition table.
    struct Volume {
        int partition = 0;
        FatType type = FatType::Fat12;
        std::uint64_t size = 0;
        bool active = false;
    };
    static std::vector<Volume> Volumes(const std::filesystem::path& image);

private:
    class Session;
    template <typename Operation>
    auto Reading(Operation operation);
    template <typename Operation>
    void Changing(Operation operation);

    std::filesystem::path image_;
    int partition_;
};

}  // namespace platform::drives
