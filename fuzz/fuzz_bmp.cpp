// The BMP reader on arbitrary bytes: a picture or EInvalidGraphic, nothing else.

#include <cstddef>
#include <cstdint>

#include "image/BmpCodec.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TBitmap image = ReadBmp({data, size});
        if (image.Pixels.size() != std::size_t(image.Width) * image.Height)
            __builtin_trap();
        for (std::uint8_t index : image.Pixels)
            if (index >= image.Colours.size())
                __builtin_trap();
    } catch (const platform::EInvalidGraphic&) {
    }
    return 0;
}
