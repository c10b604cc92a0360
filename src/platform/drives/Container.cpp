#include "platform/drives/Container.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/drives/Bytes.h"
#include "platform/drives/ImageErrors.h"
#include "platform/drives/Vhd.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

using Head = std::array<std::uint8_t, 512>;

bool StartsWith(const Head& head, std::size_t at, std::string_view magic) {
    return std::memcmp(head.data() + at, magic.data(), magic.size()) == 0;
}

// The name of a format we know but don't write into, from the file's first bytes.
std::optional<std::string_view> ForeignFormat(const Head& head) {
    if (StartsWith(head, 0, "QFI\xfb"))
        return "qcow2";
    if (StartsWith(head, 0, "QED\0"))
        return "QED";
    if (StartsWith(head, 0, "vhdxfile"))
        return "VHDX";
    if (StartsWith(head, 0, "KDMV") || StartsWith(head, 0, "COWD") ||
        StartsWith(head, 0, "# Disk DescriptorFile")) {
        return "VMDK";
    }
    if (Le32(head.data() + 0x40) == 0xBEDA107F)
        return "VDI";
    return std::nullopt;
}

fs::path WithExtension(const fs::path& image, const char* extension) {
    fs::path converted = image;
    return converted.replace_extension(extension);
}

[[noreturn]] void RefuseFormat(const fs::path& image, std::string_view format, const char* target,
                               const char* extension) {
    throw EDiskImageError(
        "Bootrama can't change files in " + std::string(format) + " images like " + Quoted(image) +
            ". With the virtual machine closed, convert it:\r"
            "qemu-img convert -O " +
            target + " " + Quoted(image) + " " + Quoted(WithExtension(image, extension)),
        kImageUnknown);
}

}  // namespace

std::unique_ptr<Disk> OpenDisk(ImageFile& file, bool forWriting) {
    Head head{};
    Head tail{};
    const std::uint64_t size = file.Size();
    file.Read(0, std::span(head).first(std::min<std::uint64_t>(size, head.size())));
    if (auto foreign = ForeignFormat(head))
        RefuseFormat(file.Path(), *foreign, "raw", ".img");
    if (size >= tail.size())
        file.Read(size - tail.size(), tail);
    auto footer = ParseVhdFooter(tail);
    if (!footer && ParseVhdFooter(head))
        throw Damaged(file.Path(), "its VHD footer is missing at the end");
    if (!footer)
        return std::make_unique<PlainDisk>(file, size, "raw image");
    if (forWriting && !footer->checksumRight)
        throw Damaged(file.Path(), "a VHD checksum is wrong");
    if (forWriting && footer->savedState)
        throw Damaged(file.Path(), "the virtual machine was suspended with it; shut it down");
    switch (footer->type) {
        case VhdFooter::Fixed:
            if (footer->size > size - kVhdFooterSize)
                throw Damaged(file.Path(), "the fixed VHD is shorter than its disk");
            return std::make_unique<PlainDisk>(file, footer->size, "fixed VHD");
        case VhdFooter::Dynamic:
            return std::make_unique<DynamicVhd>(file, *footer, forWriting);
        case VhdFooter::Differencing:
            RefuseFormat(file.Path(), "differencing VHD", "vpc", ".merged.vhd");
        default:
            throw Damaged(file.Path(), "a VHD of an unknown type");
    }
}

}  // namespace platform::drives
