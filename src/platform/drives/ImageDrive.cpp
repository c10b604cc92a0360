#include "platform/drives/ImageDrive.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "platform/drives/Container.h"
#include "platform/drives/FatFiles.h"
#include "platform/drives/ImageErrors.h"
#include "platform/drives/Partitions.h"
#include "platform/drives/WindowsPath.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

struct Chosen {
    int partition = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

[[noreturn]] void RefusePartition(const fs::path& image, const std::string& why) {
    throw EDiskImageError("The disk image " + Quoted(image) + " " + why + ".", kImageUnknown);
}

// A partition table wins over a boot sector in sector 0 when it lists FAT partitions, so
// an MBR whose code happens to look like a boot sector still counts as one; without FAT
// partitions, a boot sector there makes the whole disk one volume (a "superfloppy").
Chosen ChooseVolume(Disk& disk, int requested) {
    const auto partitions = ReadPartitions(disk);
    const auto fat = [](const Partition& p) { return p.IsFat(); };
    if (requested != 0) {
        auto it = std::find_if(partitions.begin(), partitions.end(),
                               [&](const Partition& p) { return p.number == requested; });
        if (it == partitions.end())
            RefusePartition(disk.File().Path(), "has no partition " + std::to_string(requested));
        return {it->number, it->offset, it->length};
    }
    auto it = std::find_if(partitions.begin(), partitions.end(),
                           [&](const Partition& p) { return p.active && p.IsFat(); });
    if (it == partitions.end())
        it = std::find_if(partitions.begin(), partitions.end(), fat);
    if (it != partitions.end())
        return {it->number, it->offset, it->length};
    std::array<std::uint8_t, 512> first{};
    if (disk.Size() >= first.size())
        disk.Read(0, first);
    if (!partitions.empty() && !ParseBootSector(first, disk.Size()))
        RefusePartition(disk.File().Path(), "has no FAT partition");
    return {0, 0, disk.Size()};
}

}  // namespace

class ImageDrive::Session {
public:
    Session(const fs::path& image, int partition, bool forWriting)
        : file_(image, forWriting),
          disk_(OpenDisk(file_, forWriting)),
          chosen_(ChooseVolume(*disk_, partition)),
          volume_(*disk_, chosen_.offset, chosen_.length, forWriting),
          files_(volume_, FileId{file_.Status().st_dev, file_.Status().st_ino, 0}) {}

    FatFiles& Files() { return files_; }
    void Commit() { file_.Commit(); }
    Description Describe() const {
        return {disk_->Format(), chosen_.partition, volume_.Layout().type, chosen_.length};
    }

private:
    ImageFile file_;
    std::unique_ptr<Disk> disk_;
    Chosen chosen_;
    FatVolume volume_;
    FatFiles files_;
};

template <typename Operation>
auto ImageDrive::Reading(Operation operation) {
    Session session(image_, partition_, false);
    return operation(session.Files());
}

template <typename Operation>
void ImageDrive::Changing(Operation operation) {
    Session session(image_, partition_, true);
    operation(session.Files());
    session.Commit();
}

std::optional<Entry> ImageDrive::Find(std::string_view path) {
    std::error_code error;
    if (!fs::exists(image_, error))
        return std::nullopt;  // like a folder drive whose link leads nowhere
    return Reading([&](FatFiles& files) { return files.Find(PathComponents(BelowDrive(path))); });
}

std::vector<Entry> ImageDrive::List(std::string_view folder) {
    std::error_code error;
    if (!fs::exists(image_, error))
        return {};
    return Reading([&](FatFiles& files) { return files.List(PathComponents(BelowDrive(folder))); });
}

std::string ImageDrive::ReadFile(std::string_view path, std::uintmax_t maxBytes) {
    return Reading([&](FatFiles& files) {
        return files.Read(PathComponents(BelowDrive(path)), maxBytes, path);
    });
}

void ImageDrive::WriteFile(std::string_view path, std::string_view contents,
                           std::optional<std::uint32_t> attributes) {
    Changing([&](FatFiles& files) {
        files.Write(PathComponents(BelowDrive(path)), contents, attributes, path);
    });
}

void ImageDrive::SetAttributes(std::string_view path, std::uint32_t attributes) {
    Changing([&](FatFiles& files) {
        files.SetAttributes(PathComponents(BelowDrive(path)), attributes);
    });
}

void ImageDrive::DeleteFile(std::string_view path) {
    Changing([&](FatFiles& files) { files.Delete(PathComponents(BelowDrive(path))); });
}

void ImageDrive::Rename(std::string_view from, std::string_view to) {
    Changing([&](FatFiles& files) {
        files.Rename(PathComponents(BelowDrive(from)), PathComponents(BelowDrive(to)));
    });
}

void ImageDrive::CreateFolder(std::string_view path) {
    Changing([&](FatFiles& files) { files.CreateFolder(PathComponents(BelowDrive(path))); });
}

bool ImageDrive::Replaceable(std::string_view path) {
    if (::access(image_.c_str(), W_OK) != 0)
        return false;
    auto entry = Find(path);
    return entry && !entry->IsDirectory();
}

ImageDrive::Description ImageDrive::Describe() {
    Session session(image_, partition_, false);
    return session.Describe();
}

std::vector<ImageDrive::Volume> ImageDrive::Volumes(const fs::path& image) {
    ImageFile file(image, false);
    const auto disk = OpenDisk(file, false);
    std::vector<Volume> volumes;
    const auto fatOn = [&](std::uint64_t offset, std::uint64_t length) -> std::optional<FatType> {
        std::array<std::uint8_t, 512> sector{};
        if (offset > disk->Size() || disk->Size() - offset < sector.size())
            return std::nullopt;
        disk->Read(offset, sector);
        const auto layout = ParseBootSector(sector, std::min(length, disk->Size() - offset));
        return layout ? std::optional(layout->type) : std::nullopt;
    };
    const auto partitions = ReadPartitions(*disk);
    for (const Partition& partition : partitions) {
        if (auto type = fatOn(partition.offset, partition.length))
            volumes.push_back({partition.number, *type, partition.length, partition.active});
    }
    if (partitions.empty()) {
        if (auto type = fatOn(0, disk->Size()))
            volumes.push_back({0, *type, disk->Size(), false});
    }
    return volumes;
}

}  // namespace platform::drives
