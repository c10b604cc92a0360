// The picture reader on arbitrary bytes, decoded from memory as each kind of picture it
// knows, followed by a conversion to a logo: only the program's own errors may leave.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

#include "image/BmpTools.h"
#include "platform/Errors.h"

namespace {

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> signature) {
    return data.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), data.begin());
}

// By the signature each kind starts with, so that real pictures seed the corpus as they are;
// anything else by its first byte, so that every reader sees every kind of garbage.
TPictureKind kindOf(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t bitmap[] = {'B', 'M'};
    static constexpr std::uint8_t jpeg[] = {0xFF, 0xD8};
    static constexpr std::uint8_t icon[] = {0, 0, 1, 0};
    static constexpr std::uint8_t placeable[] = {0xD7, 0xCD, 0xC6, 0x9A};
    if (startsWith(data, bitmap))
        return TPictureKind::Bitmap;
    if (startsWith(data, jpeg))
        return TPictureKind::Jpeg;
    if (startsWith(data, icon))
        return TPictureKind::Icon;
    if (startsWith(data, placeable))
        return TPictureKind::Metafile;
    static constexpr TPictureKind kinds[] = {TPictureKind::Bitmap, TPictureKind::Jpeg,
                                             TPictureKind::Icon, TPictureKind::Metafile};
    return kinds[data[0] % std::size(kinds)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    const std::uint8_t last = data[size - 1];
    try {
        std::int32_t colours = 0;
        const auto picture = DecodePicture(bytes, kindOf(bytes), colours, {});
        const auto logo = ConvertToLogo(*picture, (last & 4) != 0, TStretchMode(last % 3));
        if (!IsLogoImage(logo.get()))
            __builtin_trap();
    } catch (const platform::EInvalidGraphic&) {
    } catch (const platform::EConvertError&) {
    }
    return 0;
}
